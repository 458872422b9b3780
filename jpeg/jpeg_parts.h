// A small baseline JPEG decoder for the game's pictures: the parts shared by its files.
//
// Accepted: JFIF streams (APP0 "JFIF", major version 1), SOF0/SOF1 with 8-bit samples and 8-bit
// quantisation tables, one scan holding every component of the frame in the frame's order:
// component 1 alone (grey, any sampling: one block per MCU), or components 1, 2, 3 (YCbCr)
// with Cb and Cr sampled 1 x 1 and luma H and V each 1, 2 or 4, H x V at most 8 (so 4:4:4,
// 4:2:2, 4:2:0, 4:4:0, 4:1:1, 4:1:0 and their kin). Each component has its own quantisation
// and Huffman selectors. Everything must come before SOS, and SOS must start within 10000
// bytes. Anything else gives null (a colour frame coded in separate scans among them: its
// first scan alone would be a wrong picture), and so do a frame of width or height 0, one of
// 2^29 pixels or more, which no Allegro bitmap can hold (fits_allegro_bitmap), and one whose
// scan data holds fewer than two bits a block (scan_can_fill, a decompression bomb).
// A DRI segment before SOS gives the restart interval in MCUs, counted across rows: after
// every interval-th MCU, a restart step (decode_scan; see jpeg.h). Interval 0: no restarts.
//
// The stream carries its own size: the header pass never reads past it (a header that runs
// out gives null), and entropy-coded data that runs out reads as zero bytes, so a truncated
// picture still decodes, its missing part built from zero bits.
//
// Arithmetic is 32-bit integer throughout and wraps as 32-bit two's complement (computed on
// unsigned values, so corrupt data can overflow without undefined behaviour). The inverse DCT
// is the Loeffler-Ligtenberg-Moschytz kernel with 13-bit constants; colour conversion has no
// rounding term and limits each channel to 255 first, then to 0. Huffman codes that match no
// entry within 16 bits turn their block into a cross pattern. Pictures are written straight
// into 32-bit bitmaps when that is the target depth, otherwise into a 24-bit bitmap that is
// converted afterwards.
//
// For speed, the scan is decoded an MCU row at a time into a strip of samples that is then
// converted a pixel row at a time. None of this changes a pixel: each step computes the same
// values as the plain arithmetic described above. Where each step of a plain, one bit and one
// pixel at a time decoder is found here, and what stands in for it:
//
//   header pass (segment readers)   headers.cpp   read_headers, parse_sof, parse_tables, ...
//   read_bit                        entropy.cpp   bit_reader: a 64-bit buffer filled by refill,
//                                                 or by refill_clean while no 0xFF is near
//   decode_huffman                  entropy.cpp   read_symbol (table of the first FAST_BITS
//                                                 bits, then code ranges per length);
//                                                 restart_ahead for RESTART_AHEAD
//   receive_extend                  entropy.cpp   receive_extend; with the symbol at once in
//                                                 huffman_table.resolved (read_dc_difference
//                                                 and the AC loop)
//   decode_block, unzigzag          entropy.cpp   decode_coefficients (natural order directly)
//   inverse_dct                     transform.cpp transform_block: inverse_dct on 32-bit
//                                                 lanes, inverse_dct_16 on 16-bit ones where a
//                                                 check per block shows it exact, the DC term
//                                                 alone for a block without AC terms
//   put_ycbcr_pixel, grey pixels    pixels.cpp    put_rows: colour_offsets and colour_row
//                                                 (colour_offsets_16 and colour_row_16 with
//                                                 AVX2), grey_row
//   restart step, traversal         jpeg.cpp      decode_scan, with restart in entropy.cpp
//
// Kernels: inverse_dct and put_rows have a generic build and, on x86-64 ELF builds, an AVX2
// build of the same code; inverse_dct_16, colour_offsets_16 and colour_row_16 exist for AVX2
// alone. Which of them a decode runs is its kernel_set (below): the widest the processor has,
// unless a test forces a narrower one with force_kernels (jpeg_differential_test runs each set
// on every block).

#ifndef VELMORA_JPEG_PARTS_H
#define VELMORA_JPEG_PARTS_H

#include <allegro.h>
#include <allegro/internal/aintern.h>

#include <cstdint>
#include <cstring>

// GNU C's vector types and builtins (GCC, clang) carry the fast steps. Without them, or with
// JPEG_PORTABLE defined (the tests build the decoder that way too), each step is plain C++17.
#if defined(__GNUC__) && !defined(JPEG_PORTABLE)
#define GNU_EXTENSIONS 1
#else
#define GNU_EXTENSIONS 0
#endif

// On x86-64 the hot steps are built twice, once more for processors with AVX2. Windows builds
// keep the generic build alone: mingw-w64's GCC does not align 32-byte stack slots, where AVX2
// code may spill its vectors.
#if GNU_EXTENSIONS && defined(__x86_64__) && defined(__ELF__)
#define WITH_AVX2 1
#include <immintrin.h>
#define AVX2_TARGET __attribute__((target("avx2")))
#else
#define WITH_AVX2 0
#endif

// A step written once and inlined into both builds of the step that calls it, so that each
// build compiles it for its own processor.
#if GNU_EXTENSIONS
#define BUILT_INTO_CALLER inline __attribute__((always_inline))
#else
#define BUILT_INTO_CALLER inline
#endif

namespace jpeg_parts {

// The builds of the hot steps, narrowest first; none changes a pixel. GENERIC_KERNELS: built
// for any processor of the target (128-bit vectors on x86-64, plain C++ with JPEG_PORTABLE).
// AVX2_BUILT_KERNELS: the same code built for AVX2, so the 32-bit inverse DCT on every block.
// AVX2_KERNELS: those, with inverse_dct_16, colour_offsets_16 and colour_row_16 wherever they
// apply.
enum kernel_set { GENERIC_KERNELS, AVX2_BUILT_KERNELS, AVX2_KERNELS };
// What this processor can run, found on the first call: AVX2_KERNELS with AVX2 in an x86-64
// ELF build, else generic; generic too when the environment variable VELMORA_JPEG_GENERIC
// is 1.
kernel_set widest_kernels();
// The set the next decodes run: widest_kernels(), or the one force_kernels chose. Each
// decode reads it once.
kernel_set chosen_kernels();
// For the tests: decodes that start from now on run `kernels`, or widest_kernels() when that
// is narrower. Safe to call while other threads decode.
void force_kernels(kernel_set kernels);

typedef uint32_t u32;
typedef uint64_t u64;

const int RESTART_AHEAD = -2;
const int NO_CODE = -1;
const long SOS_LIMIT = 10000;

enum {
    SEEN_SOF = 0x01, SEEN_DHT = 0x02, SEEN_SOI = 0x04, SEEN_SOS = 0x08,
    SEEN_DQT = 0x10, SEEN_APP0 = 0x20, SEEN_DRI = 0x40,
    REQUIRED = SEEN_SOF | SEEN_DHT | SEEN_SOI | SEEN_SOS | SEEN_DQT | SEEN_APP0
};

// A canonical Huffman table: for each code length, the range of codes and where their
// symbols start. A code of length l matches when first_code[l] <= code <= last_code[l].
const int FAST_BITS = 10;
const int END_OF_BLOCK_STEP = 64;  // past the last coefficient

struct huffman_table {
    // Codes of up to FAST_BITS bits, indexed by the next FAST_BITS bits of the stream:
    // length in the high byte (0: longer or no code), symbol in the low byte.
    uint16_t fast[1 << FAST_BITS];
    // Codes whose value bits end within those FAST_BITS too: value * 2048 + step * 16 + bits
    // read, 0 for the others (see resolve_values; a DC table's step means nothing).
    int32_t resolved[1 << FAST_BITS];
    int first_code[17];
    int last_code[17];   // -1: no code of this length
    int first_index[17];
    unsigned char symbols[256];
};

// The entropy reader holds `bit_count` unread bits at the top of `bits`, loaded whole bytes
// at a time up to `pos`; `bits_loaded` counts them since the scan began or the last restart.
struct bit_reader {
    const unsigned char *start;
    long size;
    long pos;
    u64 bits;
    int bit_count;
    long bits_loaded;
    long idle_pos;       // the position while nothing has been read (byte_position)
    bool watch_markers;  // a loaded byte may stand before a restart marker (check_markers)
    long clean_end;      // no 0xFF from pos up to here (refill_clean)
};

struct jpeg_state {
    const unsigned char *start;
    long size;
    long pos;
    int width;
    int height;
    int scan_components;
    huffman_table huffman[4];  // class * 2 + identifier
    int defined_tables;        // bit n set once huffman[n] has been read
    int quant[2][64];          // natural order
    int luma_sampling;         // H x V of component 1
    int luma_h, luma_v;        // its sampling factors
    int frame_components;      // Nf of the frame header
    bool frame_layout;         // the frame's components are those of a layout (frame_fits)
    bool scan_layout;          // the scan's components are all of the frame's, in order
    int luma_quant, cb_quant, cr_quant;
    int luma_ac, cb_ac, cr_ac;
    int luma_dc, cb_dc, cr_dc;
    int markers;
    int restart_interval;      // MCUs from one restart marker to the next; 0: none
    bit_reader reader;
};

// Eight 16-bit lanes: a row of a block's coefficients.
#if GNU_EXTENSIONS
typedef int16_t short_lanes __attribute__((vector_size(16)));
#else
struct short_lanes {
    int16_t lane[8];
};

inline short_lanes operator|(short_lanes a, const short_lanes &b)
{
    for (int i = 0; i < 8; i++)
        a.lane[i] = static_cast<int16_t>(a.lane[i] | b.lane[i]);
    return a;
}

inline short_lanes &operator|=(short_lanes &a, const short_lanes &b)
{
    return a = a | b;
}
#endif

// How one block of the MCU is coded and where its samples go.
struct block_kind {
    const huffman_table *dc, *ac;
    const int *quant;
    const int16_t *quant16;  // the same table in 16 bits
    const uint16_t *term_bounds;  // check_free_coefficient of each quantisation value
    kernel_set kernels;
    int *predictor;
    int16_t *out;  // the block in the first MCU of the strip
    int mcu_step;  // samples from one MCU's block to the next one's
    int stride;
};

struct channel_shifts {
    int r, g, b;
};

// One MCU row of samples, and per-pixel colour offsets for the row being converted.
struct sample_strip {
    int16_t *luma, *cb, *cr;
    int luma_stride, chroma_stride;
    int16_t *red, *green, *blue;
    uint32_t *row;  // pixels for a 24-bit picture
    kernel_set kernels;
};

// The signed value of the n bits `v` that follow a symbol: below half the range they count
// up from -(2^n - 1). No bits mean zero.
inline int extend(int v, int n)
{
    return n > 0 && v < (1 << (n - 1)) ? v - (1 << n) + 1 : v;
}

// --- header pass (headers.cpp) -------------------------------------------------------------

void build_table(huffman_table &table, const int *counts, const unsigned char *symbols);
// Reads the segments up to SOS; false when the stream is not accepted.
bool read_headers(jpeg_state &s);

// --- entropy-coded data (entropy.cpp) ------------------------------------------------------

int scan_byte(const bit_reader &r, long at);
void start_reader(bit_reader &r, long load_from, long idle_pos);
void restart(bit_reader &r);
void decode_mcu_row(bit_reader &reader, const block_kind *kinds, int blocks, int first,
                    int mcus);

// --- transform (transform.cpp) -------------------------------------------------------------

void transform_block(int dc, short_lanes *coefficients, bool may_have_ac, const block_kind &kind,
                     int16_t *out);
// The largest dequantised term magnitude for which inverse_dct_16 needs no range checks (see
// there), and the largest coefficient magnitude that stays within it at quantisation `quant`.
const int CHECK_FREE_TERM = 1096;
inline uint16_t check_free_coefficient(int quant)
{
    return static_cast<uint16_t>(quant > 0 ? CHECK_FREE_TERM / quant : 0xFFFF);
}
void cross_pattern(int16_t *out, int stride);

// --- pixel output (pixels.cpp) -------------------------------------------------------------

void put_rows(const jpeg_state &s, const sample_strip &strip, BITMAP *picture, int top,
              int rows, int chroma_shift_x, int chroma_shift_y);

}  // namespace jpeg_parts

#endif
