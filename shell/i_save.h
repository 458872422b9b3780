// Saving a small file so that it is either wholly replaced or left as it was.
#ifndef VELMORA_I_SAVE_H
#define VELMORA_I_SAVE_H

#include <cstddef>

// Writes `count` bytes to a new file beside `path` (same folder), flushes it to the disk and
// renames it over `path`, which ends with access mode 0664. On any failure the temporary file
// is removed, whatever stood at `path` stays untouched, and the result is false.
bool replace_file_atomically(const char *path, const unsigned char *bytes, size_t count);

#endif
