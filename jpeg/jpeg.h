// Baseline JPEG decoding into Allegro bitmaps.
#ifndef VELMORA_JPEG_H
#define VELMORA_JPEG_H

#include <allegro.h>

// Decodes the JPEG stream of `size` bytes at `data` into a new bitmap of the depth that
// _color_load_depth(24, FALSE) names, owned by the caller. When `palette` is not null it
// receives a 3-3-2 palette. Returns null for a stream outside the accepted subset.
BITMAP *decode_jpeg(const unsigned char *data, long size, RGB *palette);

// Allegro bitmap-loader callback for "jpg" files.
BITMAP *load_jpg(const char *filename, RGB *palette);

#endif
