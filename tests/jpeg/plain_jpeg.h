// The plain decoder the game's decoder is held to, pixel for pixel and null for null.
#ifndef VELMORA_TEST_PLAIN_JPEG_H
#define VELMORA_TEST_PLAIN_JPEG_H

#include <allegro.h>

// Same contract as decode_jpeg: the stream of `size` bytes at `data` as a new bitmap of the
// depth _color_load_depth(24, FALSE) names, or null; `palette`, when given, gets the 3-3-2
// palette.
BITMAP *plain_decode_jpeg(const unsigned char *data, long size, RGB *palette);

#endif
