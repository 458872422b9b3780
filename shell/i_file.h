// Files on the host: names as the game writes them ("Sound\type.wav") mapped to the host's
// separator, and whole files read into memory.
#ifndef VELMORA_I_FILE_H
#define VELMORA_I_FILE_H

#include <string>
#include <vector>

std::string native_file_name(const char *name);

// The whole file at `path` (a host name) in `bytes`; false when it cannot be opened or read.
bool read_whole_file(const std::string &path, std::vector<unsigned char> &bytes);

#endif
