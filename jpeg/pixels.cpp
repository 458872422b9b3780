// Pixel output: colour conversion of a strip of samples into the picture's rows.
#include "jpeg_parts.h"

namespace jpeg_parts {

namespace {

inline int limit(int v)
{
    if (v > 255)
        v = 255;
    if (v < 0)
        v = 0;
    return v;
}

// Colour conversion adds to the luma of each pixel offsets that depend on chroma alone:
// (y * 65536 + 91881 * (cr - 128)) >> 16 is y + ((91881 * (cr - 128)) >> 16), and so on,
// exactly, as samples stay within 14 bits. Each chroma sample covers 2^SHIFT pixels of the
// row (1, 2 or 4); a constant, so that each loop is vectorised on its own.
template <int SHIFT>
BUILT_INTO_CALLER void colour_offsets_for(const sample_strip &strip, int chroma_row, int from,
                                          int count)
{
    const int16_t *cb = strip.cb + chroma_row * strip.chroma_stride;
    const int16_t *cr = strip.cr + chroma_row * strip.chroma_stride;
    int16_t *red = strip.red, *green = strip.green, *blue = strip.blue;
    for (int i = from; i < count; i++) {
        int db = cb[i] - 128, dr = cr[i] - 128;
        int16_t r = static_cast<int16_t>((91881 * dr) >> 16);
        int16_t g = static_cast<int16_t>((-22553 * db - 46802 * dr) >> 16);
        int16_t b = static_cast<int16_t>((116130 * db) >> 16);
        if (SHIFT == 0) {
            red[i] = r;
            green[i] = g;
            blue[i] = b;
        } else if (SHIFT == 1) {
            red[2 * i] = red[2 * i + 1] = r;
            green[2 * i] = green[2 * i + 1] = g;
            blue[2 * i] = blue[2 * i + 1] = b;
        } else {
            for (int j = 4 * i; j < 4 * i + 4; j++) {
                red[j] = r;
                green[j] = g;
                blue[j] = b;
            }
        }
    }
}

// Chroma samples `from` to `count` - 1 of a row.
BUILT_INTO_CALLER void colour_offsets(const sample_strip &strip, int chroma_row, int from,
                                      int count, int shift)
{
    if (shift == 0)
        colour_offsets_for<0>(strip, chroma_row, from, count);
    else if (shift == 1)
        colour_offsets_for<1>(strip, chroma_row, from, count);
    else
        colour_offsets_for<2>(strip, chroma_row, from, count);
}

// Pixels `from` to `width` - 1 of a row.
BUILT_INTO_CALLER void colour_row(const sample_strip &strip, const int16_t *luma, int from,
                                  int width, channel_shifts to, uint32_t *line)
{
    for (int x = from; x < width; x++) {
        int y = luma[x];
        line[x] = (u32(limit(y + strip.red[x])) << to.r) |
                  (u32(limit(y + strip.green[x])) << to.g) |
                  (u32(limit(y + strip.blue[x])) << to.b);
    }
}

BUILT_INTO_CALLER void grey_row(const int16_t *luma, int width, channel_shifts to,
                                uint32_t *line)
{
    for (int x = 0; x < width; x++) {
        u32 v = u32(limit(luma[x]));
        line[x] = (v << to.r) | (v << to.g) | (v << to.b);
    }
}

#if WITH_AVX2
// Sixteen 16-bit lanes, each pixel of a chroma sample `shift` (0 or 1) times doubled, at `to`.
AVX2_TARGET inline void put_offsets(__m256i offsets, int shift, int16_t *to)
{
    if (shift == 0) {
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(to), offsets);
        return;
    }
    __m256i low = _mm256_unpacklo_epi16(offsets, offsets);   // samples 0..3, 8..11
    __m256i high = _mm256_unpackhi_epi16(offsets, offsets);  // 4..7, 12..15
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(to),
                        _mm256_permute2x128_si256(low, high, 0x20));
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(to + 16),
                        _mm256_permute2x128_si256(low, high, 0x31));
}

// colour_offsets sixteen chroma samples a step in 16-bit lanes, for chroma shifts 0 and 1.
// The products split into a multiple of 65536 and a factor that fits 16 bits, which a
// multiply keeping the high half floors as the shift by 16 does: with d = cb - 128 or
// cr - 128 (within -8192..8191), (91881 d) >> 16 = d + ((26345 d) >> 16) and
// (116130 d) >> 16 = 2 d + ((-14942 d) >> 16); green sums its two products first,
// (-22553 db - 46802 dr) >> 16 = ((-22553 db + 18734 dr) >> 16) - dr. Returns how many
// samples it did, a multiple of sixteen.
AVX2_TARGET int colour_offsets_16(const sample_strip &strip, int chroma_row, int count,
                                  int shift)
{
    const int16_t *cb = strip.cb + chroma_row * strip.chroma_stride;
    const int16_t *cr = strip.cr + chroma_row * strip.chroma_stride;
    const __m256i centre = _mm256_set1_epi16(128);
    const __m256i green_factors =
        _mm256_set1_epi32(static_cast<int>((u32(18734) << 16) | (u32(-22553) & 0xFFFF)));
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        __m256i db = _mm256_sub_epi16(
            _mm256_loadu_si256(reinterpret_cast<const __m256i *>(cb + i)), centre);
        __m256i dr = _mm256_sub_epi16(
            _mm256_loadu_si256(reinterpret_cast<const __m256i *>(cr + i)), centre);
        __m256i red = _mm256_add_epi16(dr, _mm256_mulhi_epi16(dr, _mm256_set1_epi16(26345)));
        __m256i blue = _mm256_add_epi16(_mm256_add_epi16(db, db),
                                        _mm256_mulhi_epi16(db, _mm256_set1_epi16(-14942)));
        __m256i low = _mm256_madd_epi16(_mm256_unpacklo_epi16(db, dr), green_factors);
        __m256i high = _mm256_madd_epi16(_mm256_unpackhi_epi16(db, dr), green_factors);
        __m256i green = _mm256_sub_epi16(
            _mm256_packs_epi32(_mm256_srai_epi32(low, 16), _mm256_srai_epi32(high, 16)), dr);
        put_offsets(red, shift, strip.red + (i << shift));
        put_offsets(green, shift, strip.green + (i << shift));
        put_offsets(blue, shift, strip.blue + (i << shift));
    }
    return i;
}

// colour_row sixteen pixels a step, for pixels with green in the second byte and red and blue
// in the first and third (shifts 0, 8, 16 when `red_low`, else 16, 8, 0). The sums stay in 16
// bits: samples lie within -8064..8319 and the offsets within -14518..14517. Returns how many
// pixels it did, a multiple of sixteen.
AVX2_TARGET int colour_row_16(const sample_strip &strip, const int16_t *luma, int width,
                              bool red_low, uint32_t *line)
{
    const __m256i zero = _mm256_setzero_si256(), top = _mm256_set1_epi16(255);
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(luma + x));
        __m256i channel[3];
        const int16_t *offsets[3] = {strip.red + x, strip.green + x, strip.blue + x};
        for (int c = 0; c < 3; c++) {
            __m256i sum = _mm256_add_epi16(
                y, _mm256_loadu_si256(reinterpret_cast<const __m256i *>(offsets[c])));
            channel[c] = _mm256_max_epi16(_mm256_min_epi16(sum, top), zero);  // limit
        }
        __m256i first = channel[red_low ? 0 : 2], third = channel[red_low ? 2 : 0];
        __m256i first_green = _mm256_or_si256(first, _mm256_slli_epi16(channel[1], 8));
        __m256i low = _mm256_unpacklo_epi16(first_green, third);   // pixels 0..3, 8..11
        __m256i high = _mm256_unpackhi_epi16(first_green, third);  // 4..7, 12..15
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(line + x),
                            _mm256_permute2x128_si256(low, high, 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(line + x + 8),
                            _mm256_permute2x128_si256(low, high, 0x31));
    }
    return x;
}
#endif

// put_rows, built into its generic and its AVX2 build below.
BUILT_INTO_CALLER void put_rows_steps(const jpeg_state &s, const sample_strip &strip,
                                      BITMAP *picture, int top, int rows, int chroma_shift_x,
                                      int chroma_shift_y)
{
    bool direct = bitmap_color_depth(picture) == 32;
    channel_shifts to = direct ? channel_shifts{_rgb_r_shift_32, _rgb_g_shift_32, _rgb_b_shift_32}
                               : channel_shifts{_rgb_r_shift_24, _rgb_g_shift_24, _rgb_b_shift_24};
    int chroma_count = (s.width + (1 << chroma_shift_x) - 1) >> chroma_shift_x;
    for (int y = 0; y < rows; y++) {
        uint32_t *line = direct ? reinterpret_cast<uint32_t *>(picture->line[top + y]) : strip.row;
        const int16_t *luma = strip.luma + y * strip.luma_stride;
        if (s.scan_components == 1) {
            grey_row(luma, s.width, to, line);
        } else {
            if ((y & ((1 << chroma_shift_y) - 1)) == 0) {
                int chroma_done = 0;
#if WITH_AVX2
                if (strip.kernels == AVX2_KERNELS && chroma_shift_x < 2)
                    chroma_done = colour_offsets_16(strip, y >> chroma_shift_y, chroma_count,
                                                    chroma_shift_x);
#endif
                colour_offsets(strip, y >> chroma_shift_y, chroma_done, chroma_count,
                               chroma_shift_x);
            }
            int done = 0;
#if WITH_AVX2
            if (strip.kernels == AVX2_KERNELS && to.g == 8 && to.r + to.b == 16 &&
                to.r * to.b == 0)
                done = colour_row_16(strip, luma, s.width, to.r == 0, line);
#endif
            colour_row(strip, luma, done, s.width, to, line);
        }
        if (!direct)
            for (int x = 0; x < s.width; x++)
                _putpixel24(picture, x, top + y, static_cast<int>(line[x]));
    }
}

void put_rows_generic(const jpeg_state &s, const sample_strip &strip, BITMAP *picture, int top,
                      int rows, int chroma_shift_x, int chroma_shift_y)
{
    put_rows_steps(s, strip, picture, top, rows, chroma_shift_x, chroma_shift_y);
}

#if WITH_AVX2
AVX2_TARGET void put_rows_avx2(const jpeg_state &s, const sample_strip &strip, BITMAP *picture,
                               int top, int rows, int chroma_shift_x, int chroma_shift_y)
{
    put_rows_steps(s, strip, picture, top, rows, chroma_shift_x, chroma_shift_y);
}
#endif

}  // namespace

// Converts the strip's first `rows` rows into the picture from row `top` on. A 32-bit picture
// takes its pixels straight into its rows, a 24-bit one through strip.row. Runs the build of
// the steps that the strip's kernel set names.
void put_rows(const jpeg_state &s, const sample_strip &strip, BITMAP *picture, int top,
              int rows, int chroma_shift_x, int chroma_shift_y)
{
#if WITH_AVX2
    if (strip.kernels != GENERIC_KERNELS)
        return put_rows_avx2(s, strip, picture, top, rows, chroma_shift_x, chroma_shift_y);
#endif
    put_rows_generic(s, strip, picture, top, rows, chroma_shift_x, chroma_shift_y);
}

}  // namespace jpeg_parts
