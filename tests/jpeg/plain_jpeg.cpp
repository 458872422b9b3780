// The plain decoder: the game's decoding rules written out one step at a time, as slowly and
// literally as they read, for the differential test and fuzzer to hold the game's decoder to.
// Nothing here is tuned; every step is the obvious one.
//
// - Header pass: markers are looked for byte by byte; SOI, APP0 "JFIF" version 1, DQT (8-bit
//   tables 0 and 1), SOF0/SOF1 (8-bit samples), DHT and SOS (one or three components, tables 0
//   and 1) must all come before SOS, which must start within 10000 bytes. COM is passed over,
//   DRI gives the restart interval. Any other marker, or a header that runs past the end,
//   gives null.
// - Huffman codes are found bit by bit by searching the table's entries in order. A table
//   defined again replaces the earlier one whole; one of more than 256 codes gives null.
// - Bits come one at a time; the byte after a 0xFF is passed over unseen, and bytes past the
//   end of the stream read as zero. A 0xFF 0xD0..0xD7 standing at the reader's position, with
//   the current byte's unread bits all ones, is "restart ahead": DC size 14, AC end of block.
// - A block whose AC code matches nothing within 16 bits becomes a cross of 255 on 0.
// - Inverse DCT: the Loeffler-Ligtenberg-Moschytz kernel with 13-bit constants, columns then
//   rows, a column without AC terms taking its DC term times 4; 32-bit arithmetic that wraps.
// - After every restart-interval-th MCU (counted across rows), when DRI was seen with an
//   interval above 0: the DC predictors are cleared and the reader steps two bytes on from
//   its position, dropping the rest of the current byte.
// - Luma blocks H across and V down per MCU, chroma one block each, repeated over H x V.
// - Pixels go one at a time through makecol24 and putpixel into a 24-bit bitmap, which is
//   then converted to the depth _color_load_depth names. Null for: pictures of width or
//   height 0 or of 2^29 pixels or more; a scan that is not every component of the frame in
//   its order (1, or 1, 2, 3 with chroma 1 x 1 and luma H, V of 1, 2 or 4, at most 8
//   blocks); scan data of fewer than two bits a block.
#include "plain_jpeg.h"

#include <allegro/internal/aintern.h>

#include <cstdint>
#include <cstring>

namespace {

const int RESTART_AHEAD = -2;
const int NO_CODE = -1;

enum {
    SEEN_SOF = 0x01, SEEN_DHT = 0x02, SEEN_SOI = 0x04, SEEN_SOS = 0x08,
    SEEN_DQT = 0x10, SEEN_APP0 = 0x20, SEEN_DRI = 0x40,
    REQUIRED = SEEN_SOF | SEEN_DHT | SEEN_SOI | SEEN_SOS | SEEN_DQT | SEEN_APP0
};

// For each natural (row-major) position, its index in the zig-zag sequence.
const int zigzag[64] = {
     0,  1,  5,  6, 14, 15, 27, 28,  2,  4,  7, 13, 16, 26, 29, 42,
     3,  8, 12, 17, 25, 30, 41, 43,  9, 11, 18, 24, 31, 40, 44, 53,
    10, 19, 23, 32, 39, 45, 52, 54, 20, 22, 33, 38, 46, 51, 55, 60,
    21, 34, 37, 47, 50, 56, 59, 61, 35, 36, 48, 49, 57, 58, 62, 63,
};

struct huffman_entry {
    int code;
    int symbol;
    int length;  // 0: empty
};

struct jpeg_state {
    const unsigned char *start;
    long size;
    long pos;
    bool ran_out;  // the header pass wanted a byte past the end
    int bits_left;
    int cur_byte;
    int width;
    int height;
    int scan_components;
    huffman_entry huffman[4][256];
    int quant[2][64];
    int luma_sampling;
    int luma_h, luma_v;
    int frame_components;
    int frame_ids[256];
    int frame_sampling[256];
    int scan_ids[3];
    int luma_quant, cb_quant, cr_quant;
    int luma_ac, cb_ac, cr_ac;
    int luma_dc, cb_dc, cr_dc;
    int markers;
    int restart_interval;
};

// 32-bit two's complement arithmetic, wrapping instead of overflowing.
int32_t add(int32_t a, int32_t b) { return static_cast<int32_t>(uint32_t(a) + uint32_t(b)); }
int32_t sub(int32_t a, int32_t b) { return static_cast<int32_t>(uint32_t(a) - uint32_t(b)); }
int32_t mul(int32_t a, int32_t b) { return static_cast<int32_t>(uint32_t(a) * uint32_t(b)); }

// --- header pass --------------------------------------------------------------------------

int next_byte(jpeg_state &s)
{
    if (s.pos >= s.size) {
        s.ran_out = true;
        return 0;
    }
    return s.start[s.pos++];
}

int next_u16(jpeg_state &s)
{
    int high = next_byte(s);
    return (high << 8) | next_byte(s);
}

void skip_bytes(jpeg_state &s, int count)
{
    for (int i = 0; i < count; i++)
        next_byte(s);
}

bool parse_sof(jpeg_state &s)
{
    skip_bytes(s, 3);
    if (next_byte(s) != 8)
        return false;
    s.height = next_u16(s);
    s.width = next_u16(s);
    int count = next_byte(s);
    s.frame_components = count;
    for (int i = 0; i < count && !s.ran_out; i++) {
        int id = next_byte(s), sampling = next_byte(s), selector = next_byte(s);
        if (id >= 1 && id <= 3 && selector > 1)
            return false;
        s.frame_ids[i] = id;
        s.frame_sampling[i] = sampling;
        if (id == 1) {
            s.luma_h = sampling >> 4;
            s.luma_v = sampling & 15;
            s.luma_sampling = s.luma_h * s.luma_v;
            s.luma_quant = selector;
        } else if (id == 2) {
            s.cb_quant = selector;
        } else if (id == 3) {
            s.cr_quant = selector;
        }
    }
    return !s.ran_out;
}

bool parse_dht(jpeg_state &s)
{
    skip_bytes(s, 1);
    unsigned length = next_u16(s);
    for (unsigned counter = 2; counter < length && !s.ran_out;) {
        int kind = next_byte(s);
        huffman_entry *table = s.huffman[((kind >> 4) & 1) * 2 + (kind & 1)];
        int counts[17], total = 0;
        for (int l = 1; l <= 16; l++)
            total += counts[l] = next_byte(s);
        if (total > 256)
            return false;
        std::memset(table, 0, sizeof s.huffman[0]);
        int code = 0, index = 0;
        for (int l = 1; l <= 16; l++) {
            for (int i = 0; i < counts[l]; i++)
                table[index++] = {code++, next_byte(s), l};
            code *= 2;
        }
        counter += 17 + total;
    }
    return !s.ran_out;
}

bool parse_dqt(jpeg_state &s)
{
    skip_bytes(s, 1);
    unsigned length = next_u16(s);
    for (unsigned counter = 2; counter < length && !s.ran_out; counter += 65) {
        int kind = next_byte(s);
        int id = kind & 15;
        if (id > 1 || (kind >> 4) != 0)
            return false;
        int zigzag_order[64];
        for (int i = 0; i < 64; i++)
            zigzag_order[i] = next_byte(s);
        for (int i = 0; i < 64; i++)
            s.quant[id][i] = zigzag_order[zigzag[i]];
    }
    return !s.ran_out;
}

bool parse_sos(jpeg_state &s)
{
    skip_bytes(s, 3);
    int count = next_byte(s);
    if (count != 1 && count != 3)
        return false;
    s.scan_components = count;
    for (int i = 0; i < count; i++) {
        int id = next_byte(s), tables = next_byte(s);
        int dc = tables >> 4, ac = tables & 15;
        if (dc > 1 || ac > 1)
            return false;
        s.scan_ids[i] = id;
        if (id == 1) {
            s.luma_dc = dc;
            s.luma_ac = ac;
        } else if (id == 2) {
            s.cb_dc = dc;
            s.cb_ac = ac;
        } else if (id == 3) {
            s.cr_dc = dc;
            s.cr_ac = ac;
        } else {
            return false;
        }
    }
    skip_bytes(s, 3);
    return !s.ran_out;
}

bool parse_app0(jpeg_state &s)
{
    skip_bytes(s, 1);
    if (next_u16(s) < 16)
        return false;
    const char jfif[5] = {'J', 'F', 'I', 'F', 0};
    for (char c : jfif)
        if (next_byte(s) != static_cast<unsigned char>(c))
            return false;
    if (next_byte(s) != 1)
        return false;
    skip_bytes(s, 6);  // minor version, density unit, two densities
    int w = next_byte(s), h = next_byte(s);
    s.pos += 3L * w * h;
    return !s.ran_out;
}

// The marker whose code byte is at pos. False ends the call with null.
bool handle_marker(jpeg_state &s)
{
    switch (s.start[s.pos]) {
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
        skip_bytes(s, 3);
        s.restart_interval = next_u16(s);
        return !s.ran_out;
    case 0xE0:
        s.markers |= SEEN_APP0;
        return parse_app0(s);
    case 0xFE: {
        long from = s.pos + 1;
        skip_bytes(s, 1);
        s.pos = from + next_u16(s);
        return !s.ran_out;
    }
    default:
        return false;
    }
}

bool read_headers(jpeg_state &s)
{
    while (!(s.markers & SEEN_SOS) && s.pos <= 10000) {
        if (next_byte(s) == 0xFF && (s.pos >= s.size || !handle_marker(s)))
            return false;
        if (s.ran_out)
            return false;
    }
    if ((s.markers & REQUIRED) != REQUIRED)
        return false;
    // The scan holds every component of the frame, in the frame's order: component 1 alone
    // (grey), or components 1, 2 and 3 with chroma sampled 1 x 1 and luma H and V each 1, 2
    // or 4, at most 8 luma blocks.
    if (s.scan_components != s.frame_components)
        return false;
    for (int i = 0; i < s.scan_components; i++)
        if (s.frame_ids[i] != i + 1 || s.scan_ids[i] != i + 1)
            return false;
    if (s.scan_components == 1)
        return true;
    auto factor = [](int f) { return f == 1 || f == 2 || f == 4; };
    return s.frame_sampling[1] == 0x11 && s.frame_sampling[2] == 0x11 && factor(s.luma_h) &&
           factor(s.luma_v) && s.luma_h * s.luma_v <= 8;
}

// --- entropy-coded data -------------------------------------------------------------------

int scan_byte(const jpeg_state &s, long at)
{
    return at < s.size ? s.start[at] : 0;
}

void start_scan(jpeg_state &s)
{
    s.cur_byte = scan_byte(s, s.pos);
    s.bits_left = 8;
    if (s.cur_byte == 0xFF)
        s.pos++;
}

int read_bit(jpeg_state &s)
{
    if (s.bits_left == 0) {
        s.pos++;
        s.cur_byte = scan_byte(s, s.pos);
        if (s.cur_byte == 0xFF)
            s.pos++;
        s.bits_left = 8;
    }
    s.bits_left--;
    return (s.cur_byte >> s.bits_left) & 1;
}

int decode_huffman(jpeg_state &s, const huffman_entry *table)
{
    int unread = (1 << s.bits_left) - 1;
    if (scan_byte(s, s.pos) == 0xFF && (scan_byte(s, s.pos + 1) & 0xF8) == 0xD0 &&
        (s.cur_byte & unread) == unread)
        return RESTART_AHEAD;
    int code = 0;
    for (int length = 1; length <= 16; length++) {
        code = code * 2 + read_bit(s);
        // Entries run by increasing length, the empty ones (length 0) after them all.
        for (int i = 0; i < 256 && table[i].length != 0 && table[i].length <= length; i++)
            if (table[i].length == length && table[i].code == code)
                return table[i].symbol;
    }
    return NO_CODE;
}

int receive_extend(jpeg_state &s, int n)
{
    int v = 0;
    for (int i = 0; i < n; i++)
        v = v * 2 + read_bit(s);
    return n > 0 && v < (1 << (n - 1)) ? v - (1 << n) + 1 : v;
}

// --- blocks -------------------------------------------------------------------------------

void idct_kernel(const int32_t *x, int32_t *y)
{
    int32_t z1 = mul(add(x[2], x[6]), 4433);
    int32_t t2 = sub(z1, mul(x[6], 15137));
    int32_t t3 = add(z1, mul(x[2], 6270));
    int32_t t0 = mul(add(x[0], x[4]), 8192);
    int32_t t1 = mul(sub(x[0], x[4]), 8192);
    int32_t e0 = add(t0, t3), e3 = sub(t0, t3), e1 = add(t1, t2), e2 = sub(t1, t2);
    int32_t a = x[7], b = x[5], c = x[3], d = x[1];
    int32_t z5 = mul(add(add(a, c), add(b, d)), 9633);
    int32_t p = sub(z5, mul(add(a, c), 16069));
    int32_t q = sub(z5, mul(add(b, d), 3196));
    int32_t m = mul(add(a, d), -7373);
    int32_t n = mul(add(b, c), -20995);
    int32_t o0 = add(add(mul(a, 2446), m), p);
    int32_t o1 = add(add(mul(b, 16819), n), q);
    int32_t o2 = add(add(mul(c, 25172), n), p);
    int32_t o3 = add(add(mul(d, 12299), m), q);
    y[0] = add(e0, o3); y[7] = sub(e0, o3);
    y[1] = add(e1, o2); y[6] = sub(e1, o2);
    y[2] = add(e2, o1); y[5] = sub(e2, o1);
    y[3] = add(e3, o0); y[4] = sub(e3, o0);
}

void inverse_dct(int *buffer, const int *quant)
{
    int32_t workspace[64];
    for (int c = 0; c < 8; c++) {
        bool ac_terms = false;
        for (int r = 1; r < 8; r++)
            ac_terms = ac_terms || buffer[8 * r + c] != 0;
        int32_t x[8], y[8];
        for (int i = 0; i < 8; i++)
            x[i] = mul(buffer[8 * i + c], quant[8 * i + c]);
        idct_kernel(x, y);
        for (int i = 0; i < 8; i++)
            workspace[8 * i + c] = ac_terms ? add(y[i], 1024) >> 11 : mul(x[0], 4);
    }
    for (int r = 0; r < 8; r++) {
        int32_t y[8];
        idct_kernel(workspace + 8 * r, y);
        for (int i = 0; i < 8; i++)
            buffer[8 * r + i] = (add(y[i], 131072) >> 18) + 128;
    }
}

void decode_block(jpeg_state &s, int *buffer, const huffman_entry *dc, const huffman_entry *ac,
                  const int *quant, int &predictor)
{
    predictor = add(predictor, receive_extend(s, decode_huffman(s, dc) & 15));
    int coefficients[64];
    coefficients[0] = predictor;
    for (int k = 1; k <= 63;) {
        int symbol = decode_huffman(s, ac);
        if (symbol == RESTART_AHEAD)
            symbol = 0;
        if (symbol == NO_CODE) {
            for (int i = 0; i < 64; i++)
                buffer[i] = 0;
            for (int r = 0; r < 8; r++)
                buffer[8 * r + r] = buffer[8 * r + 7 - r] = 255;
            return;
        }
        int run = symbol / 16, size = symbol % 16;
        int v = receive_extend(s, size);
        if (run == 0 && size == 0) {
            while (k <= 63)
                coefficients[k++] = 0;
        } else if (run == 15 && size == 0) {
            for (int i = 0; i < 16 && k <= 63; i++)
                coefficients[k++] = 0;
        } else {
            for (int i = 0; i < run && k <= 63; i++)
                coefficients[k++] = 0;
            if (k <= 63)
                coefficients[k++] = v;
        }
    }
    for (int i = 0; i < 64; i++)
        buffer[i] = coefficients[zigzag[i]];
    inverse_dct(buffer, quant);
}

// --- pixels -------------------------------------------------------------------------------

int limit(int v)
{
    if (v > 255)
        v = 255;
    if (v < 0)
        v = 0;
    return v;
}

void put_ycbcr_pixel(BITMAP *picture, int x, int y, int luma, int cb, int cr)
{
    int32_t scaled = mul(luma, 65536);
    int r = add(scaled, mul(91881, cr - 128)) >> 16;
    int g = sub(sub(scaled, mul(22553, cb - 128)), mul(46802, cr - 128)) >> 16;
    int b = add(scaled, mul(116130, cb - 128)) >> 16;
    putpixel(picture, x, y, makecol24(limit(r), limit(g), limit(b)));
}

// Decodes the MCUs row by row and writes their pixels; putpixel clips the edge MCUs.
void decode_scan(jpeg_state &s, BITMAP *picture)
{
    int luma[8][64], cb[64], cr[64];
    int predictors[3] = {0, 0, 0};
    int h = s.scan_components == 1 ? 1 : s.luma_h, v = s.scan_components == 1 ? 1 : s.luma_v;
    int mcu_w = 8 * h, mcu_h = 8 * v;
    start_scan(s);
    int mcu_x = 0, mcu_y = 0, since_restart = 0;
    do {
        for (int b = 0; b < h * v; b++)
            decode_block(s, luma[b], s.huffman[s.luma_dc], s.huffman[2 + s.luma_ac],
                         s.quant[s.luma_quant], predictors[0]);
        if (s.scan_components == 3) {
            decode_block(s, cb, s.huffman[s.cb_dc], s.huffman[2 + s.cb_ac], s.quant[s.cb_quant],
                         predictors[1]);
            decode_block(s, cr, s.huffman[s.cr_dc], s.huffman[2 + s.cr_ac], s.quant[s.cr_quant],
                         predictors[2]);
        }
        for (int y = 0; y < mcu_h; y++)
            for (int x = 0; x < mcu_w; x++) {
                int block = (y / 8) * h + x / 8;
                int sample = luma[block][(y % 8) * 8 + x % 8];
                if (s.scan_components == 1) {
                    int v = limit(sample);
                    putpixel(picture, mcu_x + x, mcu_y + y, makecol24(v, v, v));
                    continue;
                }
                int at = (y * 8 / mcu_h) * 8 + x * 8 / mcu_w;
                put_ycbcr_pixel(picture, mcu_x + x, mcu_y + y, sample, cb[at], cr[at]);
            }
        since_restart++;
        if ((s.markers & SEEN_DRI) && s.restart_interval > 0 &&
            since_restart == s.restart_interval) {
            predictors[0] = predictors[1] = predictors[2] = 0;
            s.pos += 2;
            s.bits_left = 0;
            since_restart = 0;
        }
        mcu_x += mcu_w;
        if (mcu_x >= s.width) {
            mcu_x = 0;
            mcu_y += mcu_h;
        }
    } while (mcu_y < s.height);
}

}  // namespace

BITMAP *plain_decode_jpeg(const unsigned char *data, long size, RGB *palette)
{
    if (!data || size <= 0)
        return nullptr;
    static jpeg_state blank;
    jpeg_state s = blank;
    s.start = data;
    s.size = size;
    if (!read_headers(s) || s.width == 0 || s.height == 0 ||
        static_cast<long long>(s.width) * s.height >= (1LL << 29))
        return nullptr;
    // At least two bits of scan data a block (a DC code, an end of block), or a bomb.
    long long mcu_w = s.scan_components == 1 ? 8 : 8 * s.luma_h;
    long long mcu_h = s.scan_components == 1 ? 8 : 8 * s.luma_v;
    long long blocks = ((s.width + mcu_w - 1) / mcu_w) * ((s.height + mcu_h - 1) / mcu_h) *
                       (s.scan_components == 1 ? 1 : s.luma_h * s.luma_v + 2);
    if (static_cast<long long>(s.size - s.pos) * 8 < 2 * blocks)
        return nullptr;
    int depth = _color_load_depth(24, FALSE);
    BITMAP *picture = create_bitmap_ex(24, s.width, s.height);
    if (!picture)
        return nullptr;
    decode_scan(s, picture);
    PALETTE scratch;
    RGB *pal = palette ? palette : scratch;
    generate_332_palette(pal);
    if (depth != 24)
        picture = _fixup_loaded_bitmap(picture, pal, depth);
    return picture;
}
