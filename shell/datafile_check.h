// A structural check of a resource file before Allegro's loader reads it. The loader trusts
// every count and size it finds and crashes on a file cut short, so the game walks the file
// first and refuses what does not fit.
#ifndef VELMORA_DATAFILE_CHECK_H
#define VELMORA_DATAFILE_CHECK_H

#include <cstddef>

// Null when the `size` bytes at `data` are a stored (uncompressed) datafile whose objects,
// properties and nested files all fit, and in which every object the loader builds a
// structure from (font, bitmap, compiled sprite, sample, MIDI, nested file) holds all that the
// loader reads from it; otherwise what is wrong, as a phrase for a message. RLE sprites, the
// old font layouts, fonts that Allegro cannot draw (mono and colour ranges in one font, mono
// glyphs with rows but no width) and untyped objects and properties are refused.
const char *check_datafile(const unsigned char *data, size_t size);

// True when the loader keeps an object of `type` as the bytes of its chunk, so that its data
// pointer and size are those bytes.
bool datafile_object_is_raw(int type);

#endif
