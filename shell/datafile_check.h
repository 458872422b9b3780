// A structural check of a resource file before Allegro's loader reads it. The loader trusts
// every count and size it finds and crashes on a file cut short, so the game walks the file
// first and refuses what does not fit.
#ifndef VELMORA_DATAFILE_CHECK_H
#define VELMORA_DATAFILE_CHECK_H

#include <cstddef>

// Null when the `size` bytes at `data` are a stored (uncompressed) datafile whose objects,
// properties and nested files all fit, and whose fonts' ranges and glyphs fit their objects;
// otherwise what is wrong, as a phrase for a message.
const char *check_datafile(const unsigned char *data, size_t size);

#endif
