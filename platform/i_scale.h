// Scaling the game's picture to the size it has on the player's screen. Whole-number scales
// copy pixels exactly; any other scale first enlarges the picture by the next whole number
// with nearest pixels, then shrinks that bilinearly to size, so that text stays sharp and its
// strokes even. Plain memory in and out (pixman does the work), so it runs anywhere.
#ifndef VELMORA_I_SCALE_H
#define VELMORA_I_SCALE_H

#include <cstdint>

// 32-bit pixels (0xXXRRGGBB) in rows `stride` pixels apart.
struct pixel_buffer {
    uint32_t *pixels;
    int w, h, stride;
};

// A rectangle in pixels of some buffer.
struct pixel_rect {
    int x, y, w, h;
};

// The largest w x h of the picture's shape (source_w x source_h) that fits in
// room_w x room_h; at least 1 x 1.
pixel_rect fitted_size(int source_w, int source_h, int room_w, int room_h);

// The whole number the picture is first enlarged by on its way to out_w pixels wide.
int prescale_factor(int source_w, int out_w);

// Rewrites the part of `out` that the rectangle `changed` of `source` reaches, and returns that
// part (empty when `changed` lies outside the source). `out` holds the whole scaled picture;
// `prescaled` is the source enlarged prescale_factor times, a buffer of that size kept between
// calls (unused at whole-number scales). Only `out` and `prescaled` are written.
pixel_rect scale_rect(const pixel_buffer &source, const pixel_buffer &prescaled,
                      const pixel_buffer &out, pixel_rect changed);

#endif
