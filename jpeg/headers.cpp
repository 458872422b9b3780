// Header pass: the segments before the scan, the Huffman and quantisation tables.
#include "jpeg_parts.h"

namespace jpeg_parts {

namespace {

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

// A sampling factor a layout has: 1, 2 or 4.
bool layout_factor(int f)
{
    return f == 1 || f == 2 || f == 4;
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
    s.frame_components = count;
    // Grey: component 1 alone, any sampling (one block per MCU). Colour: components 1, 2, 3
    // in that order, chroma sampled 1 x 1, luma H and V each 1, 2 or 4, at most 8 blocks.
    bool layout = count == 1 || count == 3;
    for (int i = 0; i < count; i++) {
        int id = read_u8(s);
        int sampling = read_u8(s);
        int selector = read_u8(s);
        if ((id >= 1 && id <= 3) && selector > 1)
            return false;  // only tables 0 and 1 exist
        if (id != i + 1 || (i > 0 && sampling != 0x11))
            layout = false;
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
    if (count == 3 && !(layout_factor(s.luma_h) && layout_factor(s.luma_v) &&
                        s.luma_sampling <= 8))
        layout = false;
    s.frame_layout = layout;
    return true;
}

// The resolved entry of a code of `length` bits for `symbol` whose value bits are `raw`, as
// decode_coefficients would work it out. A symbol without value bits writes a zero after its
// run, which for 15 zeros (ZRL) is the same as skipping 16; the end of block steps past the
// last coefficient.
int32_t resolved_entry(int length, int symbol, int raw)
{
    int size = symbol & 15;
    int step = symbol == 0 ? END_OF_BLOCK_STEP : symbol >> 4;
    return extend(raw, size) * 2048 + step * 16 + length + size;
}

// Fills the entries of table.fast and table.resolved that begin with `code` of `length` bits.
void fill_fast_entries(huffman_table &table, int length, int code, int symbol)
{
    int spread = FAST_BITS - length, size = symbol & 15;
    int first = code << spread;
    for (int low = 0; low < (1 << spread); low++)
        table.fast[first + low] = static_cast<uint16_t>((length << 8) | symbol);
    if (size > spread)
        return;  // the value bits end past the index: resolved stays 0
    int group = 1 << (spread - size);  // entries that share the value bits
    for (int raw = 0; raw < (1 << size); raw++) {
        int32_t entry = resolved_entry(length, symbol, raw);
        for (int i = first + raw * group; i < first + (raw + 1) * group; i++)
            table.resolved[i] = entry;
    }
}

}  // namespace

// Canonical codes of each length follow all the shorter ones' (from (last code + 1) * 2 on),
// so the entries of different codes never overlap, and a code past the range of its length
// ends that length, the longer ones then starting past their range as well.
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
    std::memset(table.resolved, 0, sizeof table.resolved);
    for (int length = 1; length <= FAST_BITS; length++) {
        for (int code = table.first_code[length]; code <= table.last_code[length]; code++) {
            if (code >= (1 << length))
                break;  // an oversubscribed table: these codes can never be read
            int symbol = table.symbols[table.first_index[length] + code - table.first_code[length]];
            fill_fast_entries(table, length, code, symbol);
        }
    }
}

namespace {

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
    int table = ((kind >> 4) & 1) * 2 + (kind & 1);
    build_table(s.huffman[table], counts, s.start + s.pos);
    s.defined_tables |= 1 << table;
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
    s.scan_layout = true;
    for (int i = 0; i < count; i++) {
        int id = read_u8(s);
        int tables = read_u8(s);
        int dc = tables >> 4, ac = tables & 15;
        if (dc > 1 || ac > 1)
            return false;  // only tables 0 and 1 exist
        if (id != i + 1)
            s.scan_layout = false;  // not the components of a layout, in its order
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
        if (!has(s, 5))
            return false;
        s.restart_interval = (s.start[s.pos + 3] << 8) | s.start[s.pos + 4];
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

}  // namespace

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
    // One scan holding every component of the frame, in a layout: a scan of some of them
    // (components in separate scans) would give a wrong picture.
    return s.frame_layout && s.scan_layout && s.scan_components == s.frame_components;
}

}  // namespace jpeg_parts
