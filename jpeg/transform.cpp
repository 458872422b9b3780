// Transform: the inverse DCT of each block, from dequantised coefficients to samples.
#include "jpeg_parts.h"

#include <atomic>
#include <cstdlib>

namespace jpeg_parts {

namespace {

inline int shift_down(u32 value, int bits)
{
    return static_cast<int32_t>(value) >> bits;
}

inline int16_t final_sample(u32 value)
{
    return static_cast<int16_t>(shift_down(value + 131072u, 18) + 128);
}

#if GNU_EXTENSIONS
// Four 32-bit lanes, the width every x86-64 processor has in vector registers: the inverse
// DCT runs four columns, then four rows, side by side.
typedef u32 lanes __attribute__((vector_size(16)));
typedef int32_t signed_lanes __attribute__((vector_size(16)));
typedef int16_t half_short_lanes __attribute__((vector_size(8)));

// One dimension of the inverse DCT on four sets at once: x[i] holds value i of every set.
inline void idct_kernel(const lanes *x, lanes *y)
{
    lanes z1 = (x[2] + x[6]) * 4433u;
    lanes t2 = z1 - x[6] * 15137u;
    lanes t3 = z1 + x[2] * 6270u;
    lanes t0 = (x[0] + x[4]) * 8192u;
    lanes t1 = (x[0] - x[4]) * 8192u;
    lanes e0 = t0 + t3, e3 = t0 - t3, e1 = t1 + t2, e2 = t1 - t2;
    lanes z5 = (x[7] + x[3] + x[5] + x[1]) * 9633u;
    lanes p = z5 - (x[7] + x[3]) * 16069u;
    lanes q = z5 - (x[5] + x[1]) * 3196u;
    lanes m = 0u - (x[7] + x[1]) * 7373u;
    lanes n = 0u - (x[5] + x[3]) * 20995u;
    lanes o0 = x[7] * 2446u + m + p;
    lanes o1 = x[5] * 16819u + n + q;
    lanes o2 = x[3] * 25172u + n + p;
    lanes o3 = x[1] * 12299u + m + q;
    y[0] = e0 + o3; y[7] = e0 - o3;
    y[1] = e1 + o2; y[6] = e1 - o2;
    y[2] = e2 + o1; y[5] = e2 - o1;
    y[3] = e3 + o0; y[4] = e3 - o0;
}

// An 8 x 8 matrix as two halves of columns: half[h][r] holds row r, columns 4h..4h+3.
struct lane_matrix {
    lanes half[2][8];
};

// Transposes the 4 x 4 block of rows m[0..3] into t[0..3].
inline void transpose_block(const lanes *m, lanes *t)
{
    lanes a0 = __builtin_shufflevector(m[0], m[1], 0, 4, 1, 5);
    lanes a1 = __builtin_shufflevector(m[0], m[1], 2, 6, 3, 7);
    lanes a2 = __builtin_shufflevector(m[2], m[3], 0, 4, 1, 5);
    lanes a3 = __builtin_shufflevector(m[2], m[3], 2, 6, 3, 7);
    t[0] = __builtin_shufflevector(a0, a2, 0, 1, 4, 5);
    t[1] = __builtin_shufflevector(a0, a2, 2, 3, 6, 7);
    t[2] = __builtin_shufflevector(a1, a3, 0, 1, 4, 5);
    t[3] = __builtin_shufflevector(a1, a3, 2, 3, 6, 7);
}

lane_matrix transposed(const lane_matrix &m)
{
    lane_matrix t;
    for (int h = 0; h < 2; h++)
        for (int block = 0; block < 2; block++)
            transpose_block(m.half[h] + 4 * block, t.half[block] + 4 * h);
    return t;
}

// Columns first, then rows. A column whose AC terms are all zero takes its DC term alone,
// which differs from the full kernel where the arithmetic wraps, so the choice follows the
// coefficients, as in the plain steps. Leaves the AC terms zero for the next block.
BUILT_INTO_CALLER void inverse_dct_steps(int dc, short_lanes *ac, short_lanes columns,
                                         bool right_empty, const int *quant, int16_t *out,
                                         int stride)
{
    lane_matrix x, y;
    for (int r = 0; r < 8; r++) {
        for (int h = 0; h < 2; h++) {
            half_short_lanes terms;
            std::memcpy(&terms, reinterpret_cast<const int16_t *>(ac + r) + 4 * h, sizeof terms);
            lanes q;
            std::memcpy(&q, quant + 8 * r + 4 * h, sizeof q);
            x.half[h][r] = lanes(__builtin_convertvector(terms, signed_lanes)) * q;
        }
        ac[r] = short_lanes{};
    }
    x.half[0][0][0] = u32(dc) * u32(quant[0]);
    for (int h = 0; h < 2; h++) {
        half_short_lanes ac_terms;  // non-zero where a column has AC terms
        std::memcpy(&ac_terms, reinterpret_cast<const int16_t *>(&columns) + 4 * h,
                    sizeof ac_terms);
        lanes dc_alone = lanes(__builtin_convertvector(ac_terms, signed_lanes) == 0);
        lanes dc_terms = x.half[h][0] * 4u;
        if (h == 1 && right_empty) {
            // Columns 4..7 hold no term at all: each takes its DC term, zero, without the kernel.
            for (int r = 0; r < 8; r++)
                y.half[1][r] = dc_terms;
            continue;
        }
        idct_kernel(x.half[h], y.half[h]);
        for (int r = 0; r < 8; r++)
            y.half[h][r] = (dc_alone & dc_terms) |
                           (~dc_alone & lanes(signed_lanes(y.half[h][r] + 1024u) >> 11));
    }
    y = transposed(y);
    for (int h = 0; h < 2; h++)
        idct_kernel(y.half[h], x.half[h]);
    x = transposed(x);
    for (int r = 0; r < 8; r++, out += stride)
        for (int h = 0; h < 2; h++) {
            signed_lanes samples = (signed_lanes(x.half[h][r] + 131072u) >> 18) + 128;
            half_short_lanes row = __builtin_convertvector(samples, half_short_lanes);
            std::memcpy(out + 4 * h, &row, sizeof row);
        }
}
#else
// One dimension of the inverse DCT on x[0], x[step], ... x[7 * step], in place.
void idct_kernel(u32 *x, int step)
{
    u32 x0 = x[0], x1 = x[step], x2 = x[2 * step], x3 = x[3 * step];
    u32 x4 = x[4 * step], x5 = x[5 * step], x6 = x[6 * step], x7 = x[7 * step];
    u32 z1 = (x2 + x6) * 4433u;
    u32 t2 = z1 - x6 * 15137u, t3 = z1 + x2 * 6270u;
    u32 t0 = (x0 + x4) * 8192u, t1 = (x0 - x4) * 8192u;
    u32 e0 = t0 + t3, e3 = t0 - t3, e1 = t1 + t2, e2 = t1 - t2;
    u32 z5 = (x7 + x3 + x5 + x1) * 9633u;
    u32 p = z5 - (x7 + x3) * 16069u, q = z5 - (x5 + x1) * 3196u;
    u32 m = 0u - (x7 + x1) * 7373u, n = 0u - (x5 + x3) * 20995u;
    u32 o0 = x7 * 2446u + m + p, o1 = x5 * 16819u + n + q;
    u32 o2 = x3 * 25172u + n + p, o3 = x1 * 12299u + m + q;
    x[0] = e0 + o3; x[7 * step] = e0 - o3;
    x[step] = e1 + o2; x[6 * step] = e1 - o2;
    x[2 * step] = e2 + o1; x[5 * step] = e2 - o1;
    x[3 * step] = e3 + o0; x[4 * step] = e3 - o0;
}

// The same steps one value at a time: columns first, a column without AC terms taking its
// DC term times 4, then rows. Leaves the AC terms zero for the next block.
BUILT_INTO_CALLER void inverse_dct_steps(int dc, short_lanes *ac, short_lanes columns, bool,
                                         const int *quant, int16_t *out, int stride)
{
    u32 x[64];
    for (int r = 0; r < 8; r++) {
        for (int c = 0; c < 8; c++)
            x[8 * r + c] = u32(ac[r].lane[c]) * u32(quant[8 * r + c]);
        ac[r] = short_lanes{};
    }
    x[0] = u32(dc) * u32(quant[0]);
    for (int c = 0; c < 8; c++) {
        u32 dc_term = x[c] * 4u;
        idct_kernel(x + c, 8);
        for (int r = 0; r < 8; r++)
            x[8 * r + c] =
                columns.lane[c] == 0 ? dc_term : u32(shift_down(x[8 * r + c] + 1024u, 11));
    }
    for (int r = 0; r < 8; r++, out += stride) {
        idct_kernel(x + 8 * r, 1);
        for (int c = 0; c < 8; c++)
            out[c] = final_sample(x[8 * r + c]);
    }
}
#endif

// The generic build of the inverse DCT and, with WITH_AVX2, its AVX2 build.
void inverse_dct(int dc, short_lanes *ac, short_lanes columns, bool right_empty,
                 const int *quant, int16_t *out, int stride)
{
    inverse_dct_steps(dc, ac, columns, right_empty, quant, out, stride);
}

#if WITH_AVX2
AVX2_TARGET void inverse_dct_avx2(int dc, short_lanes *ac, short_lanes columns,
                                  bool right_empty, const int *quant, int16_t *out, int stride)
{
    inverse_dct_steps(dc, ac, columns, right_empty, quant, out, stride);
}
#endif

// Inverse DCT on 16-bit lanes (AVX2), the way libjpeg-turbo runs its slow integer one: each
// product of the kernel is a 16 x 16-bit multiply summed in pairs into 32 bits (pmaddwd).
//
// It gives exactly inverse_dct's samples whenever two checks made on the block pass:
//  1. Every dequantised coefficient (as inverse_dct computes it, wrapped to 32 bits) lies in
//     -32768..32767, so the 16-bit inputs are inverse_dct's inputs.
//  2. Every value the first pass leaves for the second lies in -32768..32767 too.
// Why that suffices: both kernels work modulo 2^32. Written out, each output of the kernel is
// one integer combination of its eight inputs, and every constant of that combination fits in
// 16 bits (see the pair tables below: for example o0 = -11363 x7 + 9633 x5 - 6436 x3 +
// 2260 x1). Products of 16-bit numbers are exact in 32 bits and sums wrap as inverse_dct's do,
// so each pass yields inverse_dct's 32-bit values bit for bit, wrapped or not, and the shifts
// that follow are the same. The DC-alone columns of inverse_dct need no case of their own:
// with |x0| <= 32768, 8192 * x0 cannot wrap, so the kernel gives (8192 x0 + 1024) >> 11 = 4 x0
// as well. A block failing either check is left untouched for inverse_dct.
//
// Both checks hold without being made when no dequantised term, the DC term included, is
// larger than CHECK_FREE_TERM (1096), which one comparison of the coefficients with
// term_bounds finds: the absolute constants of any one output of the kernel add up to at most
// 61214, so a first-pass value lies within (+-61214 * 1096 + 1024) >> 11 = -32759..32759.
#if WITH_AVX2
AVX2_TARGET inline __m256i pair_constants(int first, int second)
{
    return _mm256_set1_epi32(static_cast<int>((u32(second) << 16) | (u32(first) & 0xFFFF)));
}

// One dimension of the kernel on eight sets: the 32-bit lanes of p[c] hold the 16-bit pairs
// (value c, value c + 4) of each set, y[i] gets output i of each set in 32-bit lanes, plus
// `bias`: every output takes t0 or t1 once, so the bias is added to those two alone.
AVX2_TARGET inline void idct_kernel_16(const __m256i *p, __m256i *y, int bias)
{
    // Even part: t0, t1 = (x0 +- x4) * 8192; t3 = z1 + x2 * 6270; t2 = z1 - x6 * 15137.
    __m256i t0 = _mm256_add_epi32(_mm256_madd_epi16(p[0], pair_constants(8192, 8192)),
                                  _mm256_set1_epi32(bias));
    __m256i t1 = _mm256_add_epi32(_mm256_madd_epi16(p[0], pair_constants(8192, -8192)),
                                  _mm256_set1_epi32(bias));
    __m256i t3 = _mm256_madd_epi16(p[2], pair_constants(4433 + 6270, 4433));
    __m256i t2 = _mm256_madd_epi16(p[2], pair_constants(4433, 4433 - 15137));
    __m256i e0 = _mm256_add_epi32(t0, t3), e3 = _mm256_sub_epi32(t0, t3);
    __m256i e1 = _mm256_add_epi32(t1, t2), e2 = _mm256_sub_epi32(t1, t2);
    // Odd part, each output a combination of x1, x5 (p[1]) and x3, x7 (p[3]).
    __m256i o0 = _mm256_add_epi32(
        _mm256_madd_epi16(p[1], pair_constants(9633 - 7373, 9633)),
        _mm256_madd_epi16(p[3], pair_constants(9633 - 16069, 2446 - 7373 + 9633 - 16069)));
    __m256i o1 = _mm256_add_epi32(
        _mm256_madd_epi16(p[1], pair_constants(9633 - 3196, 16819 - 20995 + 9633 - 3196)),
        _mm256_madd_epi16(p[3], pair_constants(9633 - 20995, 9633)));
    __m256i o2 = _mm256_add_epi32(
        _mm256_madd_epi16(p[1], pair_constants(9633, 9633 - 20995)),
        _mm256_madd_epi16(p[3], pair_constants(25172 - 20995 + 9633 - 16069, 9633 - 16069)));
    __m256i o3 = _mm256_add_epi32(
        _mm256_madd_epi16(p[1], pair_constants(12299 - 7373 + 9633 - 3196, 9633 - 3196)),
        _mm256_madd_epi16(p[3], pair_constants(9633, 9633 - 7373)));
    y[0] = _mm256_add_epi32(e0, o3); y[7] = _mm256_sub_epi32(e0, o3);
    y[1] = _mm256_add_epi32(e1, o2); y[6] = _mm256_sub_epi32(e1, o2);
    y[2] = _mm256_add_epi32(e2, o1); y[5] = _mm256_sub_epi32(e2, o1);
    y[3] = _mm256_add_epi32(e3, o0); y[4] = _mm256_sub_epi32(e3, o0);
}

// The first pass's rows y[r] (columns in 32-bit lanes, each known to fit 16 bits) as the
// pairs of the second pass: p[c] holds (column c, column c + 4) of row r in lane r. Rows r and
// r + 4 share a register while their halves are paired, then a 4 x 4 transpose of 32-bit
// elements in each half gathers the rows.
AVX2_TARGET inline void pair_columns(const __m256i *y, __m256i *p)
{
    __m256i w[4];  // [row r: pairs 0..3 | row r + 4: pairs 0..3]
    for (int r = 0; r < 4; r++) {
        __m256i left = _mm256_permute2x128_si256(y[r], y[r + 4], 0x20);
        __m256i right = _mm256_permute2x128_si256(y[r], y[r + 4], 0x31);
        w[r] = _mm256_blend_epi16(left, _mm256_slli_epi32(right, 16), 0xAA);
    }
    __m256i a = _mm256_unpacklo_epi32(w[0], w[1]), b = _mm256_unpacklo_epi32(w[2], w[3]);
    __m256i c = _mm256_unpackhi_epi32(w[0], w[1]), d = _mm256_unpackhi_epi32(w[2], w[3]);
    p[0] = _mm256_unpacklo_epi64(a, b);
    p[1] = _mm256_unpackhi_epi64(a, b);
    p[2] = _mm256_unpacklo_epi64(c, d);
    p[3] = _mm256_unpackhi_epi64(c, d);
}

// The second pass's outputs s[i] (sample column i of rows 0..7 in 32-bit lanes, known to fit
// 16 bits) as rows of samples: out_rows[r] holds row r in its low half and row r + 4 in its
// high half.
AVX2_TARGET inline void sample_rows(const __m256i *s, __m256i *out_rows)
{
    const __m256i centre = _mm256_set1_epi16(128);
    __m256i a = _mm256_add_epi16(_mm256_packs_epi32(s[0], s[4]), centre);  // s0 r0..3, s4 r0..3
    __m256i b = _mm256_add_epi16(_mm256_packs_epi32(s[1], s[5]), centre);
    __m256i c = _mm256_add_epi16(_mm256_packs_epi32(s[2], s[6]), centre);
    __m256i d = _mm256_add_epi16(_mm256_packs_epi32(s[3], s[7]), centre);
    __m256i e = _mm256_unpacklo_epi16(a, b), g = _mm256_unpackhi_epi16(a, b);  // s0 s1, s4 s5
    __m256i f = _mm256_unpacklo_epi16(c, d), h = _mm256_unpackhi_epi16(c, d);  // s2 s3, s6 s7
    __m256i ef = _mm256_unpacklo_epi32(e, f), gh = _mm256_unpacklo_epi32(g, h);  // rows 0, 1
    out_rows[0] = _mm256_unpacklo_epi64(ef, gh);
    out_rows[1] = _mm256_unpackhi_epi64(ef, gh);
    ef = _mm256_unpackhi_epi32(e, f), gh = _mm256_unpackhi_epi32(g, h);  // rows 2, 3
    out_rows[2] = _mm256_unpacklo_epi64(ef, gh);
    out_rows[3] = _mm256_unpackhi_epi64(ef, gh);
}

// Check 1 for the coefficients `terms` (two rows a register) and their 16-bit products `x`
// with the quantisation table `quant16`.
AVX2_TARGET bool products_fit(const __m256i *terms, const int16_t *quant16, const __m256i *x)
{
    __m256i fits = _mm256_set1_epi16(-1);
    for (int i = 0; i < 4; i++) {
        __m256i q = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(quant16 + 16 * i));
        // The product fits in 16 bits when its high half is the sign of its low half.
        fits = _mm256_and_si256(fits, _mm256_cmpeq_epi16(_mm256_mulhi_epi16(terms[i], q),
                                                         _mm256_srai_epi16(x[i], 15)));
    }
    return _mm256_movemask_epi8(fits) == -1;
}

// Check 2 for the first pass's values y[0..7].
AVX2_TARGET bool first_pass_fits(const __m256i *y)
{
    __m256i outside = _mm256_setzero_si256();
    for (int i = 0; i < 8; i++) {
        // Outside -32768..32767 exactly when adding 32768 leaves bits above the low 16.
        outside = _mm256_or_si256(outside, _mm256_add_epi32(y[i], _mm256_set1_epi32(32768)));
    }
    return _mm256_testz_si256(outside, _mm256_set1_epi32(static_cast<int>(0xFFFF0000u)));
}

// inverse_dct's work when the checks above pass, false (with nothing changed) otherwise.
// `quant16` is the quantisation table in 16 bits, `term_bounds` its check_free_coefficient.
AVX2_TARGET bool inverse_dct_16(int dc, short_lanes *ac, const int16_t *quant16,
                                const uint16_t *term_bounds, int16_t *out, int stride)
{
    u32 dc_term = u32(dc) * u32(quant16[0]);
    if (dc_term + 32768u > 65535u)
        return false;
    __m256i terms[4], x[4];  // rows 2 i and 2 i + 1, and dequantised
    __m256i beyond = _mm256_setzero_si256();  // non-zero where a term is above its bound
    for (int i = 0; i < 4; i++) {
        terms[i] = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(ac + 2 * i));
        __m256i q = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(quant16 + 16 * i));
        x[i] = _mm256_mullo_epi16(terms[i], q);
        __m256i bound = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(term_bounds + 16 * i));
        beyond = _mm256_or_si256(beyond, _mm256_subs_epu16(_mm256_abs_epi16(terms[i]), bound));
    }
    bool needs_checks = dc_term + u32(CHECK_FREE_TERM) > u32(2 * CHECK_FREE_TERM) ||
                        !_mm256_testz_si256(beyond, beyond);
    if (needs_checks && !products_fit(terms, quant16, x))
        return false;
    // Row 0's lane 0 holds zero (the DC term is kept apart), so adding puts the DC term there.
    x[0] = _mm256_add_epi16(x[0], _mm256_zextsi128_si256(_mm_cvtsi32_si128(dc_term & 0xFFFF)));
    // The pairs (row c, row c + 4) of each column, two pairs from each two registers.
    __m256i p[4], y[8];
    for (int h = 0; h < 2; h++) {
        __m256i low = _mm256_unpacklo_epi16(x[h], x[h + 2]);   // columns 0..3 of both pairs
        __m256i high = _mm256_unpackhi_epi16(x[h], x[h + 2]);  // columns 4..7
        p[2 * h] = _mm256_permute2x128_si256(low, high, 0x20);
        p[2 * h + 1] = _mm256_permute2x128_si256(low, high, 0x31);
    }
    idct_kernel_16(p, y, 1024);
    for (int i = 0; i < 8; i++)
        y[i] = _mm256_srai_epi32(y[i], 11);
    if (needs_checks && !first_pass_fits(y))
        return false;
    pair_columns(y, p);
    idct_kernel_16(p, y, 131072);
    for (int i = 0; i < 8; i++)
        y[i] = _mm256_srai_epi32(y[i], 18);
    __m256i rows[4];
    sample_rows(y, rows);
    for (int r = 0; r < 4; r++) {
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + r * stride),
                         _mm256_castsi256_si128(rows[r]));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + (r + 4) * stride),
                         _mm256_extracti128_si256(rows[r], 1));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(ac + 2 * r), _mm256_setzero_si256());
    }
    return true;
}
#endif

void fill_block(int16_t *out, int stride, int16_t sample)
{
    for (int r = 0; r < 8; r++, out += stride)
        for (int i = 0; i < 8; i++)
            out[i] = sample;
}

// A block without AC terms: both passes reduce to the DC term, the same arithmetic as
// inverse_dct, once.
void fill_dc(int dc, const block_kind &kind, int16_t *out)
{
    u32 column = u32(dc) * u32(kind.quant[0]) * 4u;
    fill_block(out, kind.stride, final_sample(column * 8192u));
}

}  // namespace

namespace {

std::atomic<int> forced_kernels{-1};  // none

// The widest set the processor has, or the generic one when VELMORA_JPEG_GENERIC is 1 (for
// odd machines, and to compare the sets).
kernel_set detect_kernels()
{
    const char *generic = std::getenv("VELMORA_JPEG_GENERIC");
    if (generic && std::strcmp(generic, "1") == 0)
        return GENERIC_KERNELS;
#if WITH_AVX2
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? AVX2_KERNELS : GENERIC_KERNELS;
#else
    return GENERIC_KERNELS;
#endif
}

}  // namespace

kernel_set widest_kernels()
{
    static const kernel_set widest = detect_kernels();  // once, safely across threads
    return widest;
}

kernel_set chosen_kernels()
{
    kernel_set widest = widest_kernels();
    int forced = forced_kernels.load(std::memory_order_relaxed);
    return forced >= 0 && forced < widest ? kernel_set(forced) : widest;
}

void force_kernels(kernel_set kernels)
{
    forced_kernels.store(kernels, std::memory_order_relaxed);
}

void cross_pattern(int16_t *out, int stride)
{
    fill_block(out, stride, 0);
    for (int r = 0; r < 8; r++)
        out[stride * r + r] = out[stride * r + 7 - r] = 255;
}

// A decoded block's samples: the DC term alone when there are no AC terms, else inverse_dct in
// the build the kernel set names, or with AVX2_KERNELS inverse_dct_16 where its checks pass.
// `may_have_ac` false says the block has no AC terms. inverse_dct_16 is tried before the
// terms are looked at, as it gives the DC term alone's samples too (its first pass leaves
// 4 x0 in column 0, its second (8192 * 4 x0 + 131072) >> 18 in every sample, neither wrapping).
// Leaves the AC terms zero for the next block.
void transform_block(int dc, short_lanes *coefficients, bool may_have_ac, const block_kind &kind,
                     int16_t *out)
{
    if (!may_have_ac) {
        fill_dc(dc, kind, out);
        return;
    }
#if WITH_AVX2
    if (kind.kernels == AVX2_KERNELS &&
        inverse_dct_16(dc, coefficients, kind.quant16, kind.term_bounds, out, kind.stride))
        return;
#endif
    // Lane c of `columns` is non-zero where column c has a term below row 0; `any` adds row 0,
    // whose lane 0 stays zero (the DC term is kept apart), so it covers every AC term.
    short_lanes columns = coefficients[1];
    for (int i = 2; i < 8; i++)
        columns |= coefficients[i];
    u64 halves[2];  // lanes 0..3 and 4..7
    short_lanes any = columns | coefficients[0];
    std::memcpy(halves, &any, sizeof halves);
    if ((halves[0] | halves[1]) == 0) {
        fill_dc(dc, kind, out);
        return;
    }
#if WITH_AVX2
    if (kind.kernels != GENERIC_KERNELS) {
        inverse_dct_avx2(dc, coefficients, columns, halves[1] == 0, kind.quant, out, kind.stride);
        return;
    }
#endif
    inverse_dct(dc, coefficients, columns, halves[1] == 0, kind.quant, out, kind.stride);
}

}  // namespace jpeg_parts
