// Baseline JPEG decoding into Allegro bitmaps. How the decoder works, and exactly which
// streams it accepts, is set out at the top of jpeg_parts.h, which maps every step to its code.
#ifndef VELMORA_JPEG_H
#define VELMORA_JPEG_H

#include <allegro.h>

// Decodes the JPEG stream of `size` bytes at `data` into a new bitmap of the depth that
// _color_load_depth(24, FALSE) names, owned by the caller. When `palette` is not null it
// receives a 3-3-2 palette. Reads nothing outside the `size` bytes.
//
// Null comes back for: no data or a size of 0 or less; a stream outside the accepted subset
// (see "Accepted" in jpeg_parts.h: JFIF version 1, baseline 8-bit frame, one scan of grey or
// YCbCr with luma sampling 1, 2 or 4, every table before SOS, SOS within 10000 bytes; any
// other marker before SOS, or a header that runs past the end, refuses the stream); a frame
// of 2^29 pixels or more; and a bitmap or strip that cannot be allocated. Once the headers
// pass, damaged or truncated entropy-coded data still gives a picture.
//
// Restart markers: the interval of a DRI segment is not read. When a DRI segment comes before
// SOS, every MCU row is taken to end at a restart marker, whatever the interval says: after
// each row the DC predictors return to zero and the reader drops the rest of its current byte
// and passes over the next two bytes, whatever they hold. Markers anywhere else in the scan
// are not stepped over (jpeg_parts.h, entropy.cpp). So a picture with restarts decodes as its
// encoder meant only when its interval is one MCU row; other intervals give wrong pixels.
BITMAP *decode_jpeg(const unsigned char *data, long size, RGB *palette);

// Allegro bitmap-loader callback for "jpg" files: decode_jpeg on the whole file, null when it
// cannot be read.
BITMAP *load_jpg(const char *filename, RGB *palette);

#endif
