#include "platform/i_scale.h"

#include <pixman.h>

#include <algorithm>

namespace {

pixman_image_t *image_of(const pixel_buffer &b)
{
    return pixman_image_create_bits(PIXMAN_x8r8g8b8, b.w, b.h, b.pixels,
                                    b.stride * static_cast<int>(sizeof(uint32_t)));
}

// `r` cut to 0..w x 0..h.
pixel_rect clipped(pixel_rect r, int w, int h)
{
    int x0 = std::max(r.x, 0), y0 = std::max(r.y, 0);
    int x1 = std::min(r.x + r.w, w), y1 = std::min(r.y + r.h, h);
    return {x0, y0, std::max(x1 - x0, 0), std::max(y1 - y0, 0)};
}

// The span [a, a + n) of a line `from` pixels long, on a line `to` pixels long: the pixels
// it covers, rounded outwards.
void map_span(int a, int n, int from, int to, int *start, int *end)
{
    *start = static_cast<int>(static_cast<int64_t>(a) * to / from);
    *end = static_cast<int>((static_cast<int64_t>(a + n) * to + from - 1) / from);
}

// Draws `from` scaled to `to`'s size onto the rectangle r of `to`, with `filter`.
void scale_into(const pixel_buffer &from, const pixel_buffer &to, pixel_rect r,
                pixman_filter_t filter)
{
    pixman_image_t *src = image_of(from), *dst = image_of(to);
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_int_to_fixed(from.w) / to.w,
                                pixman_int_to_fixed(from.h) / to.h);
    pixman_image_set_transform(src, &t);
    pixman_image_set_filter(src, filter, nullptr, 0);
    // The edge pixels repeat outwards, so the bilinear shrink keeps the border's colour.
    pixman_image_set_repeat(src, PIXMAN_REPEAT_PAD);
    pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, r.x, r.y, 0, 0, r.x, r.y, r.w,
                             r.h);
    pixman_image_unref(src);
    pixman_image_unref(dst);
}

}  // namespace

pixel_rect fitted_size(int source_w, int source_h, int room_w, int room_h)
{
    int64_t w = room_w, h = static_cast<int64_t>(room_w) * source_h / source_w;
    if (h > room_h) {
        h = room_h;
        w = static_cast<int64_t>(room_h) * source_w / source_h;
    }
    return {0, 0, std::max(static_cast<int>(w), 1), std::max(static_cast<int>(h), 1)};
}

int prescale_factor(int source_w, int out_w)
{
    return std::max((out_w + source_w - 1) / source_w, 1);
}

pixel_rect scale_rect(const pixel_buffer &source, const pixel_buffer &prescaled,
                      const pixel_buffer &out, pixel_rect changed)
{
    changed = clipped(changed, source.w, source.h);
    if (changed.w == 0 || changed.h == 0)
        return {0, 0, 0, 0};
    int k = prescale_factor(source.w, out.w);
    pixel_rect r;
    if (out.w == source.w * k && out.h == source.h * k) {
        r = {changed.x * k, changed.y * k, changed.w * k, changed.h * k};
        scale_into(source, out, r, PIXMAN_FILTER_NEAREST);
        return r;
    }
    // A bilinear pixel reads its neighbours too: one more pixel of `out` on every side, and
    // in the prescaled picture everything that those pixels read.
    int x0, x1, y0, y1;
    map_span(changed.x, changed.w, source.w, out.w, &x0, &x1);
    map_span(changed.y, changed.h, source.h, out.h, &y0, &y1);
    r = clipped({x0 - 1, y0 - 1, x1 - x0 + 2, y1 - y0 + 2}, out.w, out.h);
    map_span(r.x, r.w, out.w, source.w, &x0, &x1);
    map_span(r.y, r.h, out.h, source.h, &y0, &y1);
    pixel_rect read = clipped({x0 - 1, y0 - 1, x1 - x0 + 2, y1 - y0 + 2}, source.w, source.h);
    scale_into(source, prescaled, {read.x * k, read.y * k, read.w * k, read.h * k},
               PIXMAN_FILTER_NEAREST);
    scale_into(prescaled, out, r, PIXMAN_FILTER_BILINEAR);
    return r;
}
