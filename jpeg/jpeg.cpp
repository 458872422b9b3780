// A small baseline JPEG decoder for the game's pictures.
//
// Accepted: JFIF streams (APP0 "JFIF", major version 1), SOF0/SOF1 with 8-bit samples and 8-bit
// quantisation tables, one scan of one component (grey) or three (YCbCr) whose luma sampling
// H x V is 1, 2 or 4 while each chroma component gives one block per MCU. Everything must come
// before SOS, and SOS must start within 10000 bytes. Anything else gives null, and so does a
// frame of 2^29 pixels or more, which no Allegro bitmap can hold (fits_allegro_bitmap).
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
// converted a pixel row at a time; bits are read through a 64-bit buffer; the inverse DCT and
// the colour rows run on vector lanes; with AVX2 a block whose values are checked to fit takes
// a 16-bit inverse DCT (inverse_dct_16). None of this changes a pixel: each step computes the
// same values as the plain arithmetic described above.
#include "jpeg.h"

#include <allegro/internal/aintern.h>

#include <cstdint>
#include <cstring>

// On x86-64 the hot steps are built twice, once more for processors with AVX2, and the one
// that fits is picked at run time. The pick of a target_clones build is an ELF indirect
// function, so other builds (Windows) keep the one plain build of each step.
#if defined(__x86_64__) && defined(__GNUC__) && defined(__ELF__)
#define WITH_AVX2 1
#include <immintrin.h>
#else
#define WITH_AVX2 0
#endif

namespace {

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

// Zig-zag index of each natural (row-major) position.
const unsigned char zigzag[64] = {
     0,  1,  5,  6, 14, 15, 27, 28,
     2,  4,  7, 13, 16, 26, 29, 42,
     3,  8, 12, 17, 25, 30, 41, 43,
     9, 11, 18, 24, 31, 40, 44, 53,
    10, 19, 23, 32, 39, 45, 52, 54,
    20, 22, 33, 38, 46, 51, 55, 60,
    21, 34, 37, 47, 50, 56, 59, 61,
    35, 36, 48, 49, 57, 58, 62, 63,
};

// A canonical Huffman table: for each code length, the range of codes and where their
// symbols start. A code of length l matches when first_code[l] <= code <= last_code[l].
const int FAST_BITS = 10;
const int END_OF_BLOCK_STEP = 64;  // past the last coefficient

struct huffman_table {
    // Codes of up to FAST_BITS bits, indexed by the next FAST_BITS bits of the stream:
    // length in the high byte (0: longer or no code), symbol in the low byte.
    uint16_t fast[1 << FAST_BITS];
    // AC codes whose value bits end within those FAST_BITS too: value * 2048 + step * 16 +
    // bits read, 0 for the others (see resolve_values).
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
    long clean_end;      // no 0xFF from pos up to here (fill_clean)
};

struct jpeg_state {
    const unsigned char *start;
    long size;
    long pos;
    int width;
    int height;
    int scan_components;
    huffman_table huffman[4];  // class * 2 + identifier
    int quant[2][64];          // natural order
    int luma_sampling;
    int luma_quant, chroma_quant;
    int luma_ac, chroma_ac;
    int luma_dc, chroma_dc;
    int markers;
    bit_reader reader;
};

// --- header pass --------------------------------------------------------------------------

bool has(const jpeg_state &s, long count)
{
    return s.pos >= 0 && count >= 0 && s.pos + count <= s.size;
}

int byte_at(const jpeg_state &s, long at)
{
    return s.start[at];
}

int read_u8(jpeg_state &s)
{
    return s.start[s.pos++];
}

int read_u16(jpeg_state &s)
{
    int value = (s.start[s.pos] << 8) | s.start[s.pos + 1];
    s.pos += 2;
    return value;
}

bool parse_sof(jpeg_state &s)
{
    if (!has(s, 9))
        return false;
    s.pos += 3;
    if (read_u8(s) != 8)
        return false;
    s.height = read_u16(s);
    s.width = read_u16(s);
    int count = read_u8(s);
    if (!has(s, 3L * count))
        return false;
    for (int i = 0; i < count; i++) {
        int id = read_u8(s);
        int sampling = read_u8(s);
        int selector = read_u8(s);
        if ((id >= 1 && id <= 3) && selector > 1)
            return false;  // only tables 0 and 1 exist
        if (id == 1) {
            s.luma_sampling = (sampling >> 4) * (sampling & 15);
            s.luma_quant = selector;
        } else if (id == 2 || id == 3) {
            s.chroma_quant = selector;
        }
    }
    return true;
}

// The signed value of the n bits `v` that follow a symbol: below half the range they count
// up from -(2^n - 1). No bits mean zero.
inline int extend(int v, int n)
{
    return n > 0 && v < (1 << (n - 1)) ? v - (1 << n) + 1 : v;
}

// Fills table.resolved from table.fast: where an AC code and its value bits fit in the index,
// the step and value are worked out in advance, as decode_coefficients would. A symbol without
// value bits writes a zero after its run, which for 15 zeros (ZRL) is the same as skipping 16;
// the end of block steps past the last coefficient.
void resolve_values(huffman_table &table)
{
    for (int index = 0; index < (1 << FAST_BITS); index++) {
        int length = table.fast[index] >> 8, symbol = table.fast[index] & 0xFF;
        int run = symbol >> 4, size = symbol & 15;
        table.resolved[index] = 0;
        if (length == 0 || length + size > FAST_BITS)
            continue;
        int v = extend((index >> (FAST_BITS - length - size)) & ((1 << size) - 1), size);
        int step = symbol == 0 ? END_OF_BLOCK_STEP : run;
        table.resolved[index] = v * 2048 + step * 16 + length + size;
    }
}

void build_table(huffman_table &table, const int *counts, const unsigned char *symbols)
{
    int code = 0, index = 0;
    for (int length = 1; length <= 16; length++) {
        table.first_code[length] = code;
        table.first_index[length] = index;
        table.last_code[length] = code + counts[length] - 1;
        code = (code + counts[length]) * 2;
        index += counts[length];
    }
    if (index > 0)
        std::memcpy(table.symbols, symbols, index);
    std::memset(table.fast, 0, sizeof table.fast);
    for (int length = 1; length <= FAST_BITS; length++) {
        for (int code = table.first_code[length]; code <= table.last_code[length]; code++) {
            if (code >= (1 << length))
                break;  // an oversubscribed table: these codes can never be read
            int symbol = table.symbols[table.first_index[length] + code - table.first_code[length]];
            int spread = FAST_BITS - length;
            for (int low = 0; low < (1 << spread); low++) {
                uint16_t &entry = table.fast[(code << spread) | low];
                if (entry == 0)  // a shorter code read first wins, as bit by bit
                    entry = static_cast<uint16_t>((length << 8) | symbol);
            }
        }
    }
    resolve_values(table);
}

// A table with more than 256 codes has no room in the table and fails the stream. Returns
// the bytes the table took, 0 to fail.
unsigned read_huffman_table(jpeg_state &s)
{
    if (!has(s, 17))
        return 0;
    int kind = read_u8(s);
    int counts[17] = {0};
    int total = 0;
    for (int l = 1; l <= 16; l++)
        total += counts[l] = read_u8(s);
    if (total > 256 || !has(s, total))
        return 0;
    build_table(s.huffman[((kind >> 4) & 1) * 2 + (kind & 1)], counts, s.start + s.pos);
    s.pos += total;
    return 17 + total;
}

unsigned read_quant_table(jpeg_state &s)
{
    if (!has(s, 65))
        return 0;
    int kind = read_u8(s);
    int id = kind & 15;
    if (id > 1 || (kind >> 4) != 0)
        return 0;
    for (int i = 0; i < 64; i++)
        s.quant[id][i] = s.start[s.pos + zigzag[i]];
    s.pos += 64;
    return 65;
}

// DHT and DQT segments: tables one after another until the segment's length is used up.
bool parse_tables(jpeg_state &s, unsigned (*read_table)(jpeg_state &))
{
    if (!has(s, 3))
        return false;
    s.pos++;
    unsigned length = read_u16(s);
    for (unsigned counter = 2; counter < length;) {
        unsigned used = read_table(s);
        if (used == 0)
            return false;
        counter += used;
    }
    return true;
}

bool parse_sos(jpeg_state &s)
{
    if (!has(s, 4))
        return false;
    s.pos += 3;
    int count = read_u8(s);
    if (count != 1 && count != 3)
        return false;
    s.scan_components = count;
    if (!has(s, 2L * count + 3))
        return false;
    for (int i = 0; i < count; i++) {
        int id = read_u8(s);
        int tables = read_u8(s);
        int dc = tables >> 4, ac = tables & 15;
        if (dc > 1 || ac > 1)
            return false;  // only tables 0 and 1 exist
        if (id == 1) {
            s.luma_dc = dc;
            s.luma_ac = ac;
        } else if (id == 2 || id == 3) {
            s.chroma_dc = dc;
            s.chroma_ac = ac;
        } else {
            return false;
        }
    }
    s.pos += 3;
    return true;
}

bool parse_app0(jpeg_state &s)
{
    if (!has(s, 17))
        return false;
    s.pos++;
    if (read_u16(s) < 16)
        return false;
    if (std::memcmp(s.start + s.pos, "JFIF", 5) != 0)
        return false;
    s.pos += 5;
    if (read_u8(s) != 1)
        return false;
    s.pos += 6;  // minor version, density unit, two densities
    int w = read_u8(s), h = read_u8(s);
    s.pos += 3L * w * h;
    return true;
}

// Handles the marker whose code byte is at pos. False ends the decode with null.
bool handle_marker(jpeg_state &s)
{
    switch (byte_at(s, s.pos)) {
    case 0xC0:
    case 0xC1:
        s.markers |= SEEN_SOF;
        return parse_sof(s);
    case 0xC4:
        s.markers |= SEEN_DHT;
        return parse_tables(s, read_huffman_table);
    case 0xD8:
        s.markers |= SEEN_SOI;
        s.pos++;
        return true;
    case 0xDA:
        s.markers |= SEEN_SOS;
        return parse_sos(s);
    case 0xDB:
        s.markers |= SEEN_DQT;
        return parse_tables(s, read_quant_table);
    case 0xDD:
        s.markers |= SEEN_DRI;
        s.pos += 5;
        return true;
    case 0xE0:
        s.markers |= SEEN_APP0;
        return parse_app0(s);
    case 0xFE:
        if (!has(s, 3))
            return false;
        s.pos += 1 + ((s.start[s.pos + 1] << 8) | s.start[s.pos + 2]);
        return true;
    default:
        return false;
    }
}

bool read_headers(jpeg_state &s)
{
    for (;;) {
        if (!has(s, 1))
            return false;
        if (read_u8(s) == 0xFF) {
            if (!has(s, 1) || !handle_marker(s))
                return false;
        }
        if ((s.markers & SEEN_SOS) || s.pos > SOS_LIMIT)
            break;
    }
    if ((s.markers & REQUIRED) != REQUIRED)
        return false;
    // A colour scan needs a layout for its luma sampling.
    return s.scan_components == 1 || s.luma_sampling == 1 || s.luma_sampling == 2 ||
           s.luma_sampling == 4;
}

// --- entropy-coded data -------------------------------------------------------------------
//
// The scan reads as its bytes with the byte after each 0xFF passed over unseen (a stuffed zero
// or a marker's code); bytes past the end read as zero. Bits come through a 64-bit buffer
// filled several bytes at a time. Restart handling and the restart-ahead check, though, see
// the position of a reader that takes one byte at a time, which byte_position reconstructs.

int scan_byte(const bit_reader &r, long at)
{
    return at < r.size ? r.start[at] : 0;
}

// A restart marker, 0xFF and one of 0xD0..0xD7, at `at`.
bool marker_at(const bit_reader &r, long at)
{
    return scan_byte(r, at) == 0xFF && (scan_byte(r, at + 1) & 0xF8) == 0xD0;
}

// Where the next 0xFF from `from` on stands, or the end of the stream.
long next_ff(const bit_reader &r, long from)
{
    if (from >= r.size)
        return r.size;
    const void *ff = std::memchr(r.start + from, 0xFF, static_cast<size_t>(r.size - from));
    return ff ? static_cast<const unsigned char *>(ff) - r.start : r.size;
}

// Starts reading at `load_from` with the position `idle_pos` until the first bit is read.
void start_reader(bit_reader &r, long load_from, long idle_pos)
{
    r.pos = load_from;
    r.idle_pos = idle_pos;
    r.bits = 0;
    r.bit_count = 0;
    r.bits_loaded = 0;
    r.watch_markers = marker_at(r, idle_pos);
    r.clean_end = next_ff(r, load_from);
}

// Loads whole bytes up to at least 49 bits, never past 63 (fill_clean shifts by the count).
// A 0xFF whose passed-over byte opens a restart marker is one that check_markers has to
// notice once it is the current byte. (The reader goes by value through the rarely taken
// paths, so the hot one can keep it in registers.)
bit_reader load_bytes(bit_reader r)
{
    while (r.bit_count <= 48) {
        u64 value = static_cast<u64>(scan_byte(r, r.pos++));
        if (value == 0xFF) {
            r.watch_markers = r.watch_markers || marker_at(r, r.pos);
            r.pos++;
        }
        r.bits |= value << (56 - r.bit_count);
        r.bit_count += 8;
        r.bits_loaded += 8;
    }
    r.clean_end = next_ff(r, r.pos);
    return r;
}

// How many of the eight bytes of `word` (the first in the top byte) come before its first
// 0xFF.
inline int bytes_before_ff(u64 word)
{
    // The top bit of each byte of `ff` is set exactly where `word` holds 0xFF: a zero byte of
    // ~word. Adding 0x7F to the low seven bits of a byte never carries out of the byte.
    const u64 LOWS = 0x7F7F7F7F7F7F7F7Full;
    u64 inverse = ~word;
    u64 ff = ~(((inverse & LOWS) + LOWS) | inverse | LOWS);
    if (ff == 0)
        return 8;
#if defined(__GNUC__)
    return __builtin_clzll(ff) / 8;
#else
    int n = 0;
    for (; !(ff >> 63); ff <<= 8)
        n++;
    return n;
#endif
}

// The eight bytes from `at` on, the first in the top byte.
inline u64 big_endian_word(const unsigned char *at)
{
#if defined(__GNUC__)
    u64 word;
    std::memcpy(&word, at, sizeof word);
    return __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? __builtin_bswap64(word) : word;
#else
    u64 word = 0;
    for (int i = 0; i < 8; i++)
        word = (word << 8) | at[i];
    return word;
#endif
}

// refill without a branch, for when the next eight bytes hold no 0xFF: the buffer gets at
// least 56 bits. The bits below the whole bytes loaded are those of the next byte, which
// the next load puts there again.
inline void fill_clean(bit_reader &r)
{
    r.bits |= big_endian_word(r.start + r.pos) >> r.bit_count;
    int take = (63 - r.bit_count) >> 3;
    r.pos += take;
    r.bit_count += 8 * take;
    r.bits_loaded += 8 * take;
}

// Fills the buffer to at least 49 bits: the bytes before the next 0xFF all at once, the rest
// (from that 0xFF on) a byte at a time.
inline void refill(bit_reader &r)
{
    if (r.pos + 8 <= r.size) {
        u64 word = big_endian_word(r.start + r.pos);
        int want = (63 - r.bit_count) / 8;
        int clean = bytes_before_ff(word);
        int take = want < clean ? want : clean;
        if (take > 0) {
            r.bits |= word >> (64 - 8 * take) << (64 - 8 * take - r.bit_count);
            r.pos += take;
            r.bit_count += 8 * take;
            r.bits_loaded += 8 * take;
            if (take == want)
                return;
        }
    }
    r = load_bytes(r);
}

inline int peek_bits(const bit_reader &r, int n)
{
    return static_cast<int>(r.bits >> (64 - n));
}

inline void drop_bits(bit_reader &r, int n)
{
    r.bits <<= n;
    r.bit_count -= n;
}

// The whole byte `i` places from the end of the buffer (0: the last loaded).
int buffered_byte(const bit_reader &r, int i)
{
    return static_cast<int>(r.bits >> (64 - r.bit_count + 8 * i)) & 0xFF;
}

// The position a reader taking one byte at a time would hold: that of the byte the last bit
// came from, or for a 0xFF of the byte passed over after it. Found by stepping back from the
// last loaded byte over the whole bytes still in the buffer; `marker_in_buffer` tells whether
// one of those stands before a restart marker.
long byte_position(const bit_reader &r, bool &marker_in_buffer)
{
    long at = r.pos - 1;
    marker_in_buffer = false;
    for (int i = 0; i < r.bit_count / 8; i++) {
        marker_in_buffer = marker_in_buffer || marker_at(r, at);
        at -= buffered_byte(r, i) == 0xFF ? 2 : 1;
    }
    return r.bits_loaded == r.bit_count ? r.idle_pos : at;
}

struct marker_check {
    bool ahead;  // a restart marker at the reader's position
    bool watch;  // whether to check again before the next symbol
};

// A restart marker at the reader's position: the current byte is a 0xFF (so its unread bits
// are ones) and the byte passed over after it is another 0xFF that opens a marker, or a restart
// step has just landed on one. Needed only while watch_markers is set.
marker_check check_markers(bit_reader r)
{
    bool marker_in_buffer;
    bool ahead = marker_at(r, byte_position(r, marker_in_buffer));
    return {ahead, ahead || marker_in_buffer};
}

// Steps over the restart marker that ends an MCU row: two bytes on from the reader's
// position, dropping the rest of the current byte.
void restart(bit_reader &r)
{
    bool unused;
    long at = byte_position(r, unused) + 2;
    start_reader(r, at + 1, at);
}

// Makes room for a symbol and its value bits (up to 31), and tells whether a restart marker
// is ahead, in which case nothing is to be read.
inline bool restart_ahead(bit_reader &r)
{
    if (r.pos + 8 <= r.clean_end)
        fill_clean(r);
    else if (r.bit_count < 32)
        refill(r);
    if (!r.watch_markers)
        return false;
    marker_check check = check_markers(r);
    r.watch_markers = check.watch;
    return check.ahead;
}

// The next symbol, or NO_CODE when no code matches within 16 bits (which are read).
inline int read_symbol(bit_reader &r, const huffman_table &table)
{
    int entry = table.fast[peek_bits(r, FAST_BITS)];
    if (entry) {
        drop_bits(r, entry >> 8);
        return entry & 0xFF;
    }
    int next16 = peek_bits(r, 16);
    for (int length = 1; length <= 16; length++) {
        int code = next16 >> (16 - length);
        if (code <= table.last_code[length] && code >= table.first_code[length]) {
            drop_bits(r, length);
            return table.symbols[table.first_index[length] + code - table.first_code[length]];
        }
    }
    drop_bits(r, 16);
    return NO_CODE;
}

inline int receive_extend(bit_reader &r, int n)
{
    if (n == 0)
        return 0;
    int v = peek_bits(r, n);
    drop_bits(r, n);
    return extend(v, n);
}

// --- blocks -------------------------------------------------------------------------------

// Natural (row-major) position of each zig-zag index.
const unsigned char natural_order[64] = {
     0,  1,  8, 16,  9,  2,  3, 10, 17, 24, 32, 25, 18, 11,  4,  5,
    12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13,  6,  7, 14, 21, 28,
    35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
    58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63,
};

// Four 32-bit lanes, the width every x86-64 processor has in vector registers: the inverse
// DCT runs four columns, then four rows, side by side.
typedef u32 lanes __attribute__((vector_size(16)));
typedef int32_t signed_lanes __attribute__((vector_size(16)));
typedef int16_t short_lanes __attribute__((vector_size(16)));  // eight
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

inline int shift_down(u32 value, int bits)
{
    return static_cast<int32_t>(value) >> bits;
}

inline int16_t final_sample(u32 value)
{
    return static_cast<int16_t>(shift_down(value + 131072u, 18) + 128);
}

// The inverse DCT and the colour rows get an AVX2 build (wider vectors, 32-bit multiplies)
// beside the plain one.
#if WITH_AVX2
#define WITH_AVX2_BUILD __attribute__((target_clones("avx2", "default")))
#else
#define WITH_AVX2_BUILD
#endif

// Columns first, then rows. A column whose AC terms are all zero takes its DC term alone,
// which differs from the full kernel where the arithmetic wraps, so the choice follows the
// coefficients, as it always has. Leaves the AC terms zero for the next block.
WITH_AVX2_BUILD void inverse_dct(int dc, short_lanes *ac, short_lanes columns, bool right_empty,
                                 const int *quant, int16_t *out, int stride)
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
#if WITH_AVX2
#define AVX2_TARGET __attribute__((target("avx2")))

AVX2_TARGET inline __m256i pair_rows(__m128i a, __m128i b)
{
    // (a[c], b[c]) for columns c = 0..7: the 16-bit pairs pmaddwd multiplies and adds.
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_unpacklo_epi16(a, b)),
                                   _mm_unpackhi_epi16(a, b), 1);
}

AVX2_TARGET inline __m256i pair_constants(int first, int second)
{
    return _mm256_set1_epi32(static_cast<int>((u32(second) << 16) | (u32(first) & 0xFFFF)));
}

// One dimension of the kernel on eight sets: x[i] holds value i of each set in its 16-bit
// lanes, y[i] gets output i of each set in 32-bit lanes.
AVX2_TARGET inline void idct_kernel_16(const __m128i *x, __m256i *y)
{
    __m256i p04 = pair_rows(x[0], x[4]), p26 = pair_rows(x[2], x[6]);
    __m256i p13 = pair_rows(x[1], x[3]), p57 = pair_rows(x[5], x[7]);
    // Even part: t0, t1 = (x0 +- x4) * 8192; t3 = z1 + x2 * 6270; t2 = z1 - x6 * 15137.
    __m256i t0 = _mm256_madd_epi16(p04, pair_constants(8192, 8192));
    __m256i t1 = _mm256_madd_epi16(p04, pair_constants(8192, -8192));
    __m256i t3 = _mm256_madd_epi16(p26, pair_constants(4433 + 6270, 4433));
    __m256i t2 = _mm256_madd_epi16(p26, pair_constants(4433, 4433 - 15137));
    __m256i e0 = _mm256_add_epi32(t0, t3), e3 = _mm256_sub_epi32(t0, t3);
    __m256i e1 = _mm256_add_epi32(t1, t2), e2 = _mm256_sub_epi32(t1, t2);
    // Odd part, each output a combination of x1, x3 (d, c) and x5, x7 (b, a).
    __m256i o0 = _mm256_add_epi32(
        _mm256_madd_epi16(p13, pair_constants(9633 - 7373, 9633 - 16069)),
        _mm256_madd_epi16(p57, pair_constants(9633, 2446 - 7373 + 9633 - 16069)));
    __m256i o1 = _mm256_add_epi32(
        _mm256_madd_epi16(p13, pair_constants(9633 - 3196, 9633 - 20995)),
        _mm256_madd_epi16(p57, pair_constants(16819 - 20995 + 9633 - 3196, 9633)));
    __m256i o2 = _mm256_add_epi32(
        _mm256_madd_epi16(p13, pair_constants(9633, 25172 - 20995 + 9633 - 16069)),
        _mm256_madd_epi16(p57, pair_constants(9633 - 20995, 9633 - 16069)));
    __m256i o3 = _mm256_add_epi32(
        _mm256_madd_epi16(p13, pair_constants(12299 - 7373 + 9633 - 3196, 9633)),
        _mm256_madd_epi16(p57, pair_constants(9633 - 3196, 9633 - 7373)));
    y[0] = _mm256_add_epi32(e0, o3); y[7] = _mm256_sub_epi32(e0, o3);
    y[1] = _mm256_add_epi32(e1, o2); y[6] = _mm256_sub_epi32(e1, o2);
    y[2] = _mm256_add_epi32(e2, o1); y[5] = _mm256_sub_epi32(e2, o1);
    y[3] = _mm256_add_epi32(e3, o0); y[4] = _mm256_sub_epi32(e3, o0);
}

// Eight 32-bit lanes to 16 bits (the values are known to fit).
AVX2_TARGET inline __m128i narrow(__m256i v)
{
    return _mm_packs_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
}

AVX2_TARGET inline void transpose_8x8(__m128i *m)
{
    __m128i a[8], b[8];
    for (int i = 0; i < 4; i++) {
        a[i] = _mm_unpacklo_epi16(m[2 * i], m[2 * i + 1]);
        a[i + 4] = _mm_unpackhi_epi16(m[2 * i], m[2 * i + 1]);
    }
    for (int h = 0; h < 8; h += 4) {
        b[h + 0] = _mm_unpacklo_epi32(a[h + 0], a[h + 1]);
        b[h + 1] = _mm_unpackhi_epi32(a[h + 0], a[h + 1]);
        b[h + 2] = _mm_unpacklo_epi32(a[h + 2], a[h + 3]);
        b[h + 3] = _mm_unpackhi_epi32(a[h + 2], a[h + 3]);
    }
    for (int h = 0; h < 2; h++) {
        m[4 * h + 0] = _mm_unpacklo_epi64(b[4 * h + 0], b[4 * h + 2]);
        m[4 * h + 1] = _mm_unpackhi_epi64(b[4 * h + 0], b[4 * h + 2]);
        m[4 * h + 2] = _mm_unpacklo_epi64(b[4 * h + 1], b[4 * h + 3]);
        m[4 * h + 3] = _mm_unpackhi_epi64(b[4 * h + 1], b[4 * h + 3]);
    }
}

// inverse_dct's work when the checks above pass, false (with nothing changed) otherwise.
// `quant16` is the quantisation table in 16 bits.
AVX2_TARGET bool inverse_dct_16(int dc, short_lanes *ac, const int16_t *quant16, int16_t *out,
                                int stride)
{
    u32 dc_term = u32(dc) * u32(quant16[0]);
    if (dc_term + 32768u > 65535u)
        return false;
    __m128i x[8];
    __m128i fits = _mm_set1_epi16(-1);
    for (int r = 0; r < 8; r++) {
        __m128i terms = _mm_loadu_si128(reinterpret_cast<const __m128i *>(ac + r));
        __m128i q = _mm_loadu_si128(reinterpret_cast<const __m128i *>(quant16 + 8 * r));
        x[r] = _mm_mullo_epi16(terms, q);
        // The product fits in 16 bits when its high half is the sign of its low half.
        fits = _mm_and_si128(fits, _mm_cmpeq_epi16(_mm_mulhi_epi16(terms, q),
                                                   _mm_srai_epi16(x[r], 15)));
    }
    if (_mm_movemask_epi8(fits) != 0xFFFF)
        return false;
    x[0] = _mm_insert_epi16(x[0], static_cast<int16_t>(dc_term), 0);
    __m256i y[8];
    idct_kernel_16(x, y);
    __m256i outside = _mm256_setzero_si256();
    for (int i = 0; i < 8; i++) {
        y[i] = _mm256_srai_epi32(_mm256_add_epi32(y[i], _mm256_set1_epi32(1024)), 11);
        // Outside -32768..32767 exactly when adding 32768 leaves bits above the low 16.
        outside = _mm256_or_si256(outside, _mm256_add_epi32(y[i], _mm256_set1_epi32(32768)));
    }
    if (!_mm256_testz_si256(outside, _mm256_set1_epi32(static_cast<int>(0xFFFF0000u))))
        return false;
    for (int i = 0; i < 8; i++)
        x[i] = narrow(y[i]);
    transpose_8x8(x);  // x[i] now holds value i of each row
    idct_kernel_16(x, y);
    for (int i = 0; i < 8; i++) {
        __m256i samples = _mm256_add_epi32(
            _mm256_srai_epi32(_mm256_add_epi32(y[i], _mm256_set1_epi32(131072)), 18),
            _mm256_set1_epi32(128));
        x[i] = narrow(samples);
    }
    transpose_8x8(x);
    for (int r = 0; r < 8; r++, out += stride) {
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out), x[r]);
        ac[r] = short_lanes{};
    }
    return true;
}
#endif

bool has_avx2()
{
#if WITH_AVX2
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

void fill_block(int16_t *out, int stride, int16_t sample)
{
    for (int r = 0; r < 8; r++, out += stride)
        for (int i = 0; i < 8; i++)
            out[i] = sample;
}

void cross_pattern(int16_t *out, int stride)
{
    fill_block(out, stride, 0);
    for (int r = 0; r < 8; r++)
        out[stride * r + r] = out[stride * r + 7 - r] = 255;
}

// Decodes the coefficients of one block; false when an AC code matches nothing.
// `coefficients` holds the AC terms in natural order, zero on entry.
bool decode_coefficients(bit_reader &r, const huffman_table &dc, const huffman_table &ac,
                         int &predictor, int16_t *coefficients)
{
    // A restart marker ahead reads as the DC size 14, a missing code as 15.
    int size = restart_ahead(r) ? RESTART_AHEAD & 15 : read_symbol(r, dc) & 15;
    predictor = static_cast<int32_t>(u32(predictor) + u32(receive_extend(r, size)));
    for (int k = 1; k <= 63;) {
        if (restart_ahead(r))
            break;  // read as the end of the block
        int resolved = ac.resolved[peek_bits(r, FAST_BITS)];
        if (resolved) {
            drop_bits(r, resolved & 15);
            k += (resolved >> 4) & 127;
            if (k > 63)
                break;
            coefficients[natural_order[k++]] = static_cast<int16_t>(resolved >> 11);
            continue;
        }
        int symbol = read_symbol(r, ac);
        if (symbol == NO_CODE)
            return false;
        int run = symbol >> 4, bits = symbol & 15;
        int v = receive_extend(r, bits);
        if (run == 0 && bits == 0)
            break;  // end of block: the rest stays zero
        if (run == 15 && bits == 0) {
            k += 16;
            continue;
        }
        k += run;
        if (k > 63)
            break;
        coefficients[natural_order[k++]] = static_cast<int16_t>(v);
    }
    return true;
}

// How one block of the MCU is coded and where its samples go.
struct block_kind {
    const huffman_table *dc, *ac;
    const int *quant;
    const int16_t *quant16;  // the same table in 16 bits
    bool wide_idct;          // inverse_dct_16 may be tried
    int *predictor;
    int16_t *out;  // the block in the first MCU of the strip
    int mcu_step;  // samples from one MCU's block to the next one's
    int stride;
};

// Decodes one block into the 8 x 8 samples at `out`. `coefficients` (a row of AC terms in
// each) is zero on entry and exit.
void decode_block(bit_reader &r, const block_kind &kind, int16_t *out, short_lanes *coefficients)
{
    int &predictor = *kind.predictor;
    int16_t *terms = reinterpret_cast<int16_t *>(coefficients);
    if (!decode_coefficients(r, *kind.dc, *kind.ac, predictor, terms)) {
        std::memset(coefficients, 0, 64 * sizeof(int16_t));
        cross_pattern(out, kind.stride);
        return;
    }
    // Lane c of `columns` is non-zero where column c has a term below row 0; `any` adds row 0,
    // whose lane 0 stays zero (the DC term is kept apart), so it covers every AC term.
    short_lanes columns = coefficients[1];
    for (int i = 2; i < 8; i++)
        columns |= coefficients[i];
    u64 halves[2];  // lanes 0..3 and 4..7
    short_lanes any = columns | coefficients[0];
    std::memcpy(halves, &any, sizeof halves);
    if ((halves[0] | halves[1]) == 0) {
        // Both passes reduce to the DC term: the same arithmetic as inverse_dct, once.
        u32 column = u32(predictor) * u32(kind.quant[0]) * 4u;
        fill_block(out, kind.stride, final_sample(column * 8192u));
    } else {
#if WITH_AVX2
        if (kind.wide_idct && inverse_dct_16(predictor, coefficients, kind.quant16, out,
                                             kind.stride))
            return;
#endif
        inverse_dct(predictor, coefficients, columns, halves[1] == 0, kind.quant, out,
                    kind.stride);
    }
}

// Decodes `mcus` MCUs of `blocks` blocks each. The reader is worked on as a local copy, which
// the compiler can keep in registers.
void decode_mcu_row(bit_reader &reader, const block_kind *kinds, int blocks, int mcus)
{
    bit_reader r = reader;
    short_lanes coefficients[8] = {};  // a row of AC terms in each
    for (int x = 0; x < mcus; x++)
        for (int b = 0; b < blocks; b++)
            decode_block(r, kinds[b], kinds[b].out + x * kinds[b].mcu_step, coefficients);
    reader = r;
}

// --- pixels -------------------------------------------------------------------------------

inline int limit(int v)
{
    if (v > 255)
        v = 255;
    if (v < 0)
        v = 0;
    return v;
}

struct channel_shifts {
    int r, g, b;
};

// One MCU row of samples, and per-pixel colour offsets for the row being converted.
struct sample_strip {
    int16_t *luma, *cb, *cr;
    int luma_stride, chroma_stride;
    int16_t *red, *green, *blue;
    uint32_t *row;  // pixels for a 24-bit picture
    bool wide;      // AVX2 steps may be used
};

// Colour conversion adds to the luma of each pixel offsets that depend on chroma alone:
// (y * 65536 + 91881 * (cr - 128)) >> 16 is y + ((91881 * (cr - 128)) >> 16), and so on,
// exactly, as samples stay within 14 bits. Each chroma sample covers one pixel, or two when
// `twice`.
WITH_AVX2_BUILD void colour_offsets(const sample_strip &strip, int chroma_row, int count,
                                    bool twice)
{
    const int16_t *cb = strip.cb + chroma_row * strip.chroma_stride;
    const int16_t *cr = strip.cr + chroma_row * strip.chroma_stride;
    int16_t *red = strip.red, *green = strip.green, *blue = strip.blue;
    for (int i = 0; i < count; i++) {
        int db = cb[i] - 128, dr = cr[i] - 128;
        int16_t r = static_cast<int16_t>((91881 * dr) >> 16);
        int16_t g = static_cast<int16_t>((-22553 * db - 46802 * dr) >> 16);
        int16_t b = static_cast<int16_t>((116130 * db) >> 16);
        if (twice) {
            red[2 * i] = red[2 * i + 1] = r;
            green[2 * i] = green[2 * i + 1] = g;
            blue[2 * i] = blue[2 * i + 1] = b;
        } else {
            red[i] = r;
            green[i] = g;
            blue[i] = b;
        }
    }
}

// Pixels `from` to `width` - 1 of a row.
WITH_AVX2_BUILD void colour_row(const sample_strip &strip, const int16_t *luma, int from,
                                int width, channel_shifts to, uint32_t *line)
{
    for (int x = from; x < width; x++) {
        int y = luma[x];
        line[x] = (u32(limit(y + strip.red[x])) << to.r) |
                  (u32(limit(y + strip.green[x])) << to.g) |
                  (u32(limit(y + strip.blue[x])) << to.b);
    }
}

WITH_AVX2_BUILD void grey_row(const int16_t *luma, int width, channel_shifts to,
                              uint32_t *line)
{
    for (int x = 0; x < width; x++) {
        u32 v = u32(limit(luma[x]));
        line[x] = (v << to.r) | (v << to.g) | (v << to.b);
    }
}

#if WITH_AVX2
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

// Converts the strip's first `rows` rows into the picture from row `top` on. A 32-bit picture
// takes its pixels straight into its rows, a 24-bit one through strip.row.
void put_rows(const jpeg_state &s, const sample_strip &strip, BITMAP *picture, int top,
              int rows, int chroma_shift_x, int chroma_shift_y)
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
            if ((y & ((1 << chroma_shift_y) - 1)) == 0)
                colour_offsets(strip, y >> chroma_shift_y, chroma_count, chroma_shift_x != 0);
            int done = 0;
#if WITH_AVX2
            if (strip.wide && to.g == 8 && to.r + to.b == 16 && to.r * to.b == 0)
                done = colour_row_16(strip, luma, s.width, to.r == 0, line);
#endif
            colour_row(strip, luma, done, s.width, to, line);
        }
        if (!direct)
            for (int x = 0; x < s.width; x++)
                _putpixel24(picture, x, top + y, static_cast<int>(line[x]));
    }
}

// --- scan ---------------------------------------------------------------------------------

// Decodes the scan an MCU row at a time into a strip of samples, then into the picture.
// False when there is no memory for the strip.
bool decode_scan(jpeg_state &s, BITMAP *picture)
{
    if (s.width == 0 || s.height == 0)
        return true;  // no pixels to decode
    int luma_blocks = s.scan_components == 1 ? 1 : s.luma_sampling;
    int mcu_w = luma_blocks == 1 ? 8 : 16;
    int mcu_h = luma_blocks == 4 ? 16 : 8;
    int mcus_x = (s.width + mcu_w - 1) / mcu_w;
    sample_strip strip;
    strip.luma_stride = mcus_x * mcu_w;
    strip.chroma_stride = mcus_x * 8;
    size_t luma_size = static_cast<size_t>(strip.luma_stride) * mcu_h;
    size_t chroma_size = static_cast<size_t>(strip.chroma_stride) * 8;
    size_t row_size = static_cast<size_t>(strip.luma_stride);
    int16_t *memory = static_cast<int16_t *>(_al_malloc(
        (luma_size + 2 * chroma_size + 3 * row_size) * sizeof(int16_t) + row_size * 4));
    if (!memory)
        return false;
    strip.luma = memory;
    strip.cb = strip.luma + luma_size;
    strip.cr = strip.cb + chroma_size;
    strip.red = strip.cr + chroma_size;
    strip.green = strip.red + row_size;
    strip.blue = strip.green + row_size;
    strip.row = reinterpret_cast<uint32_t *>(strip.blue + row_size);

    int predictors[3] = {0, 0, 0};
    const huffman_table *luma_dc = &s.huffman[s.luma_dc], *luma_ac = &s.huffman[2 + s.luma_ac];
    const huffman_table *chroma_dc = &s.huffman[s.chroma_dc];
    const huffman_table *chroma_ac = &s.huffman[2 + s.chroma_ac];
    const int *luma_q = s.quant[s.luma_quant], *chroma_q = s.quant[s.chroma_quant];
    int16_t quant16[2][64];
    for (int i = 0; i < 64; i++) {
        quant16[0][i] = static_cast<int16_t>(luma_q[i]);
        quant16[1][i] = static_cast<int16_t>(chroma_q[i]);
    }
    bool wide_idct = has_avx2();
    strip.wide = wide_idct;
    // Luma blocks in scan order: left to right, then the lower pair.
    block_kind kinds[6];
    for (int i = 0; i < luma_blocks; i++)
        kinds[i] = {luma_dc, luma_ac, luma_q, quant16[0], wide_idct, &predictors[0],
                    strip.luma + (i >> 1) * 8 * strip.luma_stride + (i & 1) * 8, mcu_w,
                    strip.luma_stride};
    kinds[luma_blocks] = {chroma_dc, chroma_ac, chroma_q, quant16[1], wide_idct,
                          &predictors[1], strip.cb, 8, strip.chroma_stride};
    kinds[luma_blocks + 1] = {chroma_dc, chroma_ac, chroma_q, quant16[1], wide_idct,
                              &predictors[2], strip.cr, 8, strip.chroma_stride};
    int blocks = s.scan_components == 3 ? luma_blocks + 2 : 1;

    s.reader.start = s.start;
    s.reader.size = s.size;
    start_reader(s.reader, s.pos, s.pos + (scan_byte(s.reader, s.pos) == 0xFF));
    for (int top = 0; top < s.height; top += mcu_h) {
        decode_mcu_row(s.reader, kinds, blocks, mcus_x);
        int rows = s.height - top < mcu_h ? s.height - top : mcu_h;
        put_rows(s, strip, picture, top, rows, mcu_w / 16, mcu_h / 16);
        if (s.markers & SEEN_DRI) {
            // One restart marker ends every MCU row: step over it.
            predictors[0] = predictors[1] = predictors[2] = 0;
            restart(s.reader);
        }
    }
    _al_free(memory);
    return true;
}

// Allegro sizes a bitmap's pixel buffer as width * height * bytes per pixel in an int, so a
// frame of 2^29 pixels or more (65535 x 65535 at most) would get a buffer that wrapped round
// and is far too small for the rows it then hands out. Four bytes is the widest pixel any
// depth or the 24-bit intermediate uses, so one line serves them all: fewer than 2^29 pixels.
bool fits_allegro_bitmap(int width, int height)
{
    return static_cast<long long>(width) * height < (1LL << 29);
}

}  // namespace

BITMAP *decode_jpeg(const unsigned char *data, long size, RGB *palette)
{
    if (!data || size <= 0)
        return nullptr;
    static jpeg_state blank;
    jpeg_state s = blank;
    s.start = data;
    s.size = size;
    static const int no_counts[17] = {0};
    for (huffman_table &table : s.huffman)
        build_table(table, no_counts, nullptr);  // an undefined table matches no code
    if (!read_headers(s) || !fits_allegro_bitmap(s.width, s.height))
        return nullptr;

    int depth = _color_load_depth(24, FALSE);
    // The game's 32-bit screen gets its picture directly; other depths convert from 24 bits.
    BITMAP *picture = create_bitmap_ex(depth == 32 ? 32 : 24, s.width, s.height);
    if (!picture)
        return nullptr;
    if (!decode_scan(s, picture)) {
        destroy_bitmap(picture);
        return nullptr;
    }

    PALETTE scratch;
    RGB *pal = palette ? palette : scratch;
    generate_332_palette(pal);
    if (depth != 24 && depth != 32)
        picture = _fixup_loaded_bitmap(picture, pal, depth);
    return picture;
}

BITMAP *load_jpg(const char *filename, RGB *palette)
{
    long size = file_size_ex(filename);
    if (size <= 0)
        return nullptr;
    unsigned char *buffer = static_cast<unsigned char *>(_al_malloc(size));
    if (!buffer)
        return nullptr;
    BITMAP *picture = nullptr;
    PACKFILE *file = pack_fopen(filename, "r");
    if (file) {
        long got = pack_fread(buffer, size, file);
        pack_fclose(file);
        if (got == size)
            picture = decode_jpeg(buffer, size, palette);
    }
    _al_free(buffer);
    return picture;
}
