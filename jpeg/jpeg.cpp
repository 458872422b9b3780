// A small baseline JPEG decoder for the game's pictures.
//
// Accepted: JFIF streams (APP0 "JFIF", major version 1), SOF0/SOF1 with 8-bit samples and 8-bit
// quantisation tables, one scan of one component (grey) or three (YCbCr) whose luma sampling
// H x V is 1, 2 or 4 while each chroma component gives one block per MCU. Everything must come
// before SOS, and SOS must start within 10000 bytes. Anything else gives null.
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
#include "jpeg.h"

#include <allegro/internal/aintern.h>

#include <cstdint>
#include <cstring>

namespace {

typedef uint32_t u32;

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
const int FAST_BITS = 9;

struct huffman_table {
    // Codes of up to FAST_BITS bits, indexed by the next FAST_BITS bits of the stream:
    // length in the high byte (0: longer or no code), symbol in the low byte.
    uint16_t fast[1 << FAST_BITS];
    int first_code[17];
    int last_code[17];   // -1: no code of this length
    int first_index[17];
    unsigned char symbols[256];
};

struct jpeg_state {
    const unsigned char *start;
    long size;
    long pos;
    int bits_left;
    int cur_byte;
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
}

// A table with more than 256 codes has no room in the table and fails the stream.
bool parse_dht(jpeg_state &s)
{
    if (!has(s, 3))
        return false;
    s.pos++;
    unsigned length = read_u16(s);
    unsigned counter = 2;
    while (counter < length) {
        if (!has(s, 17))
            return false;
        int kind = read_u8(s);
        int counts[17] = {0};
        int total = 0;
        for (int l = 1; l <= 16; l++)
            total += counts[l] = read_u8(s);
        if (total > 256 || !has(s, total))
            return false;
        build_table(s.huffman[((kind >> 4) & 1) * 2 + (kind & 1)], counts, s.start + s.pos);
        s.pos += total;
        counter += 17 + total;
    }
    return true;
}

bool parse_dqt(jpeg_state &s)
{
    if (!has(s, 3))
        return false;
    s.pos++;
    unsigned length = read_u16(s);
    unsigned counter = 2;
    while (counter < length) {
        if (!has(s, 65))
            return false;
        int kind = read_u8(s);
        int id = kind & 15;
        if (id > 1 || (kind >> 4) != 0)
            return false;
        for (int i = 0; i < 64; i++)
            s.quant[id][i] = s.start[s.pos + zigzag[i]];
        s.pos += 64;
        counter += 65;
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
        return parse_dht(s);
    case 0xD8:
        s.markers |= SEEN_SOI;
        s.pos++;
        return true;
    case 0xDA:
        s.markers |= SEEN_SOS;
        return parse_sos(s);
    case 0xDB:
        s.markers |= SEEN_DQT;
        return parse_dqt(s);
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

// Bytes past the end of the stream read as zero.
int scan_byte(const jpeg_state &s, long at)
{
    return at < s.size ? s.start[at] : 0;
}

void start_bits(jpeg_state &s)
{
    s.cur_byte = scan_byte(s, s.pos);
    s.bits_left = 8;
    if (s.cur_byte == 0xFF)
        s.pos++;
}

// Loads the next byte; the byte after a 0xFF is its stuffed zero and is passed over unseen.
void next_byte(jpeg_state &s)
{
    s.pos++;
    s.cur_byte = scan_byte(s, s.pos);
    if (s.cur_byte == 0xFF)
        s.pos++;
    s.bits_left = 8;
}

int read_bit(jpeg_state &s)
{
    if (s.bits_left == 0)
        next_byte(s);
    s.bits_left--;
    return (s.cur_byte >> s.bits_left) & 1;
}

// Reads n bits, most significant first, taking as many as the current byte holds at a time.
int read_bits(jpeg_state &s, int n)
{
    int value = 0;
    while (n > 0) {
        if (s.bits_left == 0)
            next_byte(s);
        int take = n < s.bits_left ? n : s.bits_left;
        s.bits_left -= take;
        value = (value << take) | ((s.cur_byte >> s.bits_left) & ((1 << take) - 1));
        n -= take;
    }
    return value;
}

// The next FAST_BITS bits that read_bit would return, without reading them.
int peek_fast(const jpeg_state &s)
{
    u32 bits = s.cur_byte & ((1 << s.bits_left) - 1);
    int have = s.bits_left;
    for (long at = s.pos; have < FAST_BITS; have += 8) {
        int next = scan_byte(s, ++at);
        if (next == 0xFF)
            at++;
        bits = (bits << 8) | next;
    }
    return static_cast<int>(bits >> (have - FAST_BITS));
}

void skip_bits(jpeg_state &s, int n)
{
    while (n > 0) {
        if (s.bits_left == 0)
            next_byte(s);
        int take = n < s.bits_left ? n : s.bits_left;
        s.bits_left -= take;
        n -= take;
    }
}

int decode_huffman(jpeg_state &s, const huffman_table &table)
{
    int unread = s.cur_byte & ((1 << s.bits_left) - 1);
    if (scan_byte(s, s.pos) == 0xFF && (scan_byte(s, s.pos + 1) & 0xF8) == 0xD0 &&
        unread == (1 << s.bits_left) - 1)
        return RESTART_AHEAD;
    int entry = table.fast[peek_fast(s)];
    if (entry) {
        skip_bits(s, entry >> 8);
        return entry & 0xFF;
    }
    int code = 0;
    for (int length = 1; length <= 16; length++) {
        code = code * 2 + read_bit(s);
        if (code <= table.last_code[length] && code >= table.first_code[length])
            return table.symbols[table.first_index[length] + code - table.first_code[length]];
    }
    return NO_CODE;
}

int receive_extend(jpeg_state &s, int n)
{
    if (n == 0)
        return 0;
    int v = read_bits(s, n);
    return v < (1 << (n - 1)) ? v - (1 << n) + 1 : v;
}

// --- blocks -------------------------------------------------------------------------------

// One dimension of the inverse DCT over x[0], x[step], ..., x[7 * step], results in y.
inline void idct_kernel(const u32 *x, u32 *y)
{
    u32 z1 = (x[2] + x[6]) * 4433u;
    u32 t2 = z1 - x[6] * 15137u;
    u32 t3 = z1 + x[2] * 6270u;
    u32 t0 = (x[0] + x[4]) * 8192u;
    u32 t1 = (x[0] - x[4]) * 8192u;
    u32 e0 = t0 + t3, e3 = t0 - t3, e1 = t1 + t2, e2 = t1 - t2;
    u32 a = x[7], b = x[5], c = x[3], d = x[1];
    u32 z5 = (a + c + b + d) * 9633u;
    u32 p = z5 - (a + c) * 16069u;
    u32 q = z5 - (b + d) * 3196u;
    u32 m = 0u - (a + d) * 7373u;
    u32 n = 0u - (b + c) * 20995u;
    u32 o0 = a * 2446u + m + p;
    u32 o1 = b * 16819u + n + q;
    u32 o2 = c * 25172u + n + p;
    u32 o3 = d * 12299u + m + q;
    y[0] = e0 + o3; y[7] = e0 - o3;
    y[1] = e1 + o2; y[6] = e1 - o2;
    y[2] = e2 + o1; y[5] = e2 - o1;
    y[3] = e3 + o0; y[4] = e3 - o0;
}

inline int shift_down(u32 value, int bits)
{
    return static_cast<int32_t>(value) >> bits;
}

void inverse_dct(int *block, const int *quant)
{
    int work[64];
    for (int c = 0; c < 8; c++) {
        bool ac_free = true;
        for (int r = 1; r < 8 && ac_free; r++)
            ac_free = block[8 * r + c] == 0;
        if (ac_free) {
            int dc = static_cast<int32_t>(u32(block[c]) * u32(quant[c]) * 4u);
            for (int r = 0; r < 8; r++)
                work[8 * r + c] = dc;
            continue;
        }
        u32 x[8], y[8];
        for (int i = 0; i < 8; i++)
            x[i] = u32(block[8 * i + c]) * u32(quant[8 * i + c]);
        idct_kernel(x, y);
        for (int i = 0; i < 8; i++)
            work[8 * i + c] = shift_down(y[i] + 1024u, 11);
    }
    for (int r = 0; r < 8; r++) {
        u32 x[8], y[8];
        for (int i = 0; i < 8; i++)
            x[i] = u32(work[8 * r + i]);
        idct_kernel(x, y);
        for (int i = 0; i < 8; i++)
            block[8 * r + i] = shift_down(y[i] + 131072u, 18) + 128;
    }
}

void cross_pattern(int *block)
{
    std::memset(block, 0, 64 * sizeof(int));
    for (int r = 0; r < 8; r++)
        block[8 * r + r] = block[8 * r + 7 - r] = 255;
}

void decode_block(jpeg_state &s, int *block, const huffman_table &dc, const huffman_table &ac,
                  const int *quant, int &predictor)
{
    int coefficients[64] = {0};  // zig-zag order
    int size = decode_huffman(s, dc) & 15;
    predictor = static_cast<int32_t>(u32(predictor) + u32(receive_extend(s, size)));
    coefficients[0] = predictor;
    bool dc_only = true;
    for (int k = 1; k <= 63;) {
        int symbol = decode_huffman(s, ac);
        if (symbol == NO_CODE) {
            cross_pattern(block);
            return;
        }
        if (symbol == RESTART_AHEAD)
            symbol = 0;
        int run = symbol >> 4, bits = symbol & 15;
        int v = receive_extend(s, bits);
        if (run == 0 && bits == 0)
            break;  // end of block: the rest stays zero
        if (run == 15 && bits == 0) {
            k += 16;
            continue;
        }
        k += run;
        if (k > 63)
            break;
        dc_only = dc_only && v == 0;
        coefficients[k++] = v;
    }
    if (dc_only) {
        // Both passes reduce to the DC term: the same arithmetic as inverse_dct, once.
        u32 column = u32(predictor) * u32(quant[0]) * 4u;
        int sample = shift_down(column * 8192u + 131072u, 18) + 128;
        for (int i = 0; i < 64; i++)
            block[i] = sample;
        return;
    }
    for (int i = 0; i < 64; i++)
        block[i] = coefficients[zigzag[i]];
    inverse_dct(block, quant);
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

struct rgb {
    int r, g, b;
};

inline rgb ycbcr_to_rgb(int y, int cb, int cr)
{
    u32 luma = u32(y) * 65536u;
    u32 db = u32(cb - 128), dr = u32(cr - 128);
    return {limit(shift_down(luma + 91881u * dr, 16)),
            limit(shift_down(luma - 22553u * db - 46802u * dr, 16)),
            limit(shift_down(luma + 116130u * db, 16))};
}

struct mcu_blocks {
    int luma[4][64];
    int cb[64];
    int cr[64];
};

// Copies the MCU at (mcu_x, mcu_y) into the picture, clipped to its size. `chroma_shift_x`
// and `chroma_shift_y` (0 or 1) say over how many pixels each chroma sample is repeated.
void put_mcu(const jpeg_state &s, BITMAP *picture, const mcu_blocks &m, int mcu_x, int mcu_y,
             int mcu_w, int mcu_h)
{
    int w = s.width - mcu_x < mcu_w ? s.width - mcu_x : mcu_w;
    int h = s.height - mcu_y < mcu_h ? s.height - mcu_y : mcu_h;
    int chroma_shift_x = mcu_w / 16, chroma_shift_y = mcu_h / 16;
    bool direct = bitmap_color_depth(picture) == 32;
    const int r_shift = _rgb_r_shift_32, g_shift = _rgb_g_shift_32, b_shift = _rgb_b_shift_32;
    for (int y = 0; y < h; y++) {
        const int *luma_row = m.luma[y >= 8 ? 2 : 0] + (y & 7) * 8;
        const int *cb_row = m.cb + (y >> chroma_shift_y) * 8;
        const int *cr_row = m.cr + (y >> chroma_shift_y) * 8;
        uint32_t *line = reinterpret_cast<uint32_t *>(picture->line[mcu_y + y]) + mcu_x;
        for (int x = 0; x < w; x++) {
            int luma = x >= 8 ? luma_row[64 + x - 8] : luma_row[x];
            rgb c;
            if (s.scan_components == 1) {
                int v = limit(luma);
                c = {v, v, v};
            } else {
                int at = x >> chroma_shift_x;
                c = ycbcr_to_rgb(luma, cb_row[at], cr_row[at]);
            }
            if (direct)
                line[x] = (u32(c.r) << r_shift) | (u32(c.g) << g_shift) | (u32(c.b) << b_shift);
            else
                putpixel(picture, mcu_x + x, mcu_y + y, makecol24(c.r, c.g, c.b));
        }
    }
}

void decode_scan(jpeg_state &s, BITMAP *picture)
{
    int luma_blocks = s.scan_components == 1 ? 1 : s.luma_sampling;
    int mcu_w = luma_blocks == 1 ? 8 : 16;
    int mcu_h = luma_blocks == 4 ? 16 : 8;
    const huffman_table &luma_dc = s.huffman[s.luma_dc], &luma_ac = s.huffman[2 + s.luma_ac];
    const huffman_table &chroma_dc = s.huffman[s.chroma_dc];
    const huffman_table &chroma_ac = s.huffman[2 + s.chroma_ac];
    const int *luma_q = s.quant[s.luma_quant], *chroma_q = s.quant[s.chroma_quant];
    int predictors[3] = {0, 0, 0};
    mcu_blocks m;
    start_bits(s);
    int mcu_x = 0, mcu_y = 0;
    do {
        for (int i = 0; i < luma_blocks; i++)
            decode_block(s, m.luma[i], luma_dc, luma_ac, luma_q, predictors[0]);
        if (s.scan_components == 3) {
            decode_block(s, m.cb, chroma_dc, chroma_ac, chroma_q, predictors[1]);
            decode_block(s, m.cr, chroma_dc, chroma_ac, chroma_q, predictors[2]);
        }
        put_mcu(s, picture, m, mcu_x, mcu_y, mcu_w, mcu_h);
        mcu_x += mcu_w;
        if (mcu_x >= s.width) {
            mcu_x = 0;
            mcu_y += mcu_h;
            if (s.markers & SEEN_DRI) {
                // One restart marker ends every MCU row: step over it.
                predictors[0] = predictors[1] = predictors[2] = 0;
                s.pos += 2;
                s.bits_left = 0;
            }
        }
    } while (mcu_y < s.height);
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
    if (!read_headers(s))
        return nullptr;

    int depth = _color_load_depth(24, FALSE);
    // The game's 32-bit screen gets its picture directly; other depths convert from 24 bits.
    BITMAP *picture = create_bitmap_ex(depth == 32 ? 32 : 24, s.width, s.height);
    if (!picture)
        return nullptr;
    decode_scan(s, picture);

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
