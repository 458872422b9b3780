// Scratch folders and raw file contents for the highscore tests.
#ifndef VELMORA_SCORE_FILES_H
#define VELMORA_SCORE_FILES_H

#include <string>
#include <vector>

typedef std::vector<unsigned char> byte_list;

// A fresh empty folder under the system's temporary folder.
std::string make_scratch_folder();
void remove_scratch_folder(const std::string &folder);

void put_file(const std::string &path, const byte_list &bytes);
// The whole file; `exists` false when it cannot be opened.
byte_list file_bytes(const std::string &path, bool *exists = nullptr);
// The names in a folder, sorted.
std::vector<std::string> folder_names(const std::string &folder);

#endif
