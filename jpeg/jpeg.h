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
// (see "Accepted" in jpeg_parts.h: JFIF version 1, baseline 8-bit frame, one scan holding every
// component of the frame: grey, or YCbCr numbered 1, 2, 3 with chroma sampled 1x1 and luma
// H and V each 1, 2 or 4 (at most 8 luma blocks); every table before SOS, SOS within 10000
// bytes; any other marker before SOS, or a header that runs past the end, refuses the
// stream); a frame of width or height 0, or of 2^29 pixels or more; a frame whose scan data
// (from the first entropy-coded byte to the end of the stream) holds fewer than two bits for
// each of its blocks, which no real stream does (a decompression bomb, refused before any
// allocation); and a bitmap or strip that cannot be allocated. Once the headers pass,
// damaged or truncated entropy-coded data still gives a picture.
//
// Restart markers: with a DRI segment before SOS of interval n > 0, the MCUs are counted in
// scan order and after every n-th the DC predictors return to zero and the reader drops the
// rest of its current byte and passes over the next two bytes (the RSTn marker that a clean
// stream has there), whatever they hold. An interval of 0 means no restarts. Markers anywhere
// else in the scan are not stepped over (jpeg_parts.h, entropy.cpp).
//
// Threads: two or more threads may call decode_jpeg at once, each with its own palette or
// null. The decoder keeps no state between calls but the kernel set, chosen once for the
// process (VELMORA_JPEG_GENERIC=1 in the environment forces the generic kernels), and its
// conversion to depths other than 24 and 32 bits, which goes through Allegro's shared colour
// tables, runs in one call at a time. Allegro's own settings must not change meanwhile
// (set_color_depth, set_color_conversion), and at 8 bits other drawing must not use rgb_map
// while a decode converts.
BITMAP *decode_jpeg(const unsigned char *data, long size, RGB *palette);

// Allegro bitmap-loader callback for "jpg" files: decode_jpeg on the whole file, null when it
// cannot be read. On several threads at once as far as Allegro's file functions allow.
BITMAP *load_jpg(const char *filename, RGB *palette);

#endif
