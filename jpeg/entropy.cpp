// Entropy-coded data: the bit reader, Huffman symbols and the coefficients of each block.
//
// The scan reads as its bytes with the byte after each 0xFF passed over unseen (a stuffed zero
// or a marker's code); bytes past the end read as zero. Bits come through a 64-bit buffer
// filled several bytes at a time. Restart handling and the restart-ahead check, though, see
// the position of a reader that takes one byte at a time, which byte_position reconstructs.
#include "jpeg_parts.h"

namespace jpeg_parts {

int scan_byte(const bit_reader &r, long at)
{
    return at < r.size ? r.start[at] : 0;
}

namespace {

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

}  // namespace

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

namespace {

// Loads whole bytes up to at least 49 bits, never past 63 (refill_clean shifts by the count).
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
#if GNU_EXTENSIONS
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
#if GNU_EXTENSIONS
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
inline void refill_clean(bit_reader &r)
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

}  // namespace

// Steps over the restart marker that ends an MCU row: two bytes on from the reader's
// position, dropping the rest of the current byte.
void restart(bit_reader &r)
{
    bool unused;
    long at = byte_position(r, unused) + 2;
    start_reader(r, at + 1, at);
}

namespace {

// The most bits a symbol and its value take: a 16-bit code and 15 value bits.
const int SYMBOL_BITS = 31;

// Makes room for a symbol and its value bits, and FAST_BITS more, so that the next symbol's
// table index can be read before the next refill; tells whether a restart marker is ahead,
// in which case nothing is to be read.
inline bool restart_ahead(bit_reader &r)
{
    if (r.pos + 8 <= r.clean_end)
        refill_clean(r);
    else if (r.bit_count < SYMBOL_BITS + FAST_BITS)
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
    // Every code of up to FAST_BITS bits that can be read is in the table (build_table).
    int next16 = peek_bits(r, 16);
    for (int length = FAST_BITS + 1; length <= 16; length++) {
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

// The DC difference of a block. A restart marker ahead reads as the DC size 14, a missing code
// as 15. A code whose value bits end within FAST_BITS is taken from huffman_table.resolved,
// whose value and count of bits read are those of the symbol's low four bits.
inline int read_dc_difference(bit_reader &r, const huffman_table &dc)
{
    if (restart_ahead(r))
        return receive_extend(r, RESTART_AHEAD & 15);
    int resolved = dc.resolved[peek_bits(r, FAST_BITS)];
    if (resolved) {
        drop_bits(r, resolved & 15);
        return resolved >> 11;
    }
    return receive_extend(r, read_symbol(r, dc) & 15);
}

// Natural (row-major) position of each zig-zag index.
const unsigned char natural_order[64] = {
     0,  1,  8, 16,  9,  2,  3, 10, 17, 24, 32, 25, 18, 11,  4,  5,
    12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13,  6,  7, 14, 21, 28,
    35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
    58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63,
};

// Decodes the coefficients of one block. Returns the zig-zag index its last AC symbol was read
// at, or NO_CODE when an AC code matches nothing. That index is 1 only when no AC term was
// stored: a term stored from index 1 (after a run of at most 15) leaves more to read.
// `coefficients` holds the AC terms in natural order, zero on entry.
int decode_coefficients(bit_reader &r, const huffman_table &dc, const huffman_table &ac,
                        int &predictor, int16_t *coefficients)
{
    predictor = static_cast<int32_t>(u32(predictor) + u32(read_dc_difference(r, dc)));
    int last = 1;
    for (int k = 1; k <= 63;) {
        last = k;
        // Taken before the refill, which then runs beside the table lookup instead of ahead
        // of it: the bits of this index are in the buffer already (restart_ahead).
        int index = peek_bits(r, FAST_BITS);
        if (restart_ahead(r))
            break;  // read as the end of the block
        int resolved = ac.resolved[index];
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
            return NO_CODE;
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
    return last;
}

// Decodes one block into the 8 x 8 samples at `out`. `coefficients` (a row of AC terms in
// each) is zero on entry and exit.
void decode_block(bit_reader &r, const block_kind &kind, int16_t *out, short_lanes *coefficients)
{
    int &predictor = *kind.predictor;
    int16_t *terms = reinterpret_cast<int16_t *>(coefficients);
    int last = decode_coefficients(r, *kind.dc, *kind.ac, predictor, terms);
    if (last == NO_CODE) {
        std::memset(coefficients, 0, 64 * sizeof(int16_t));
        cross_pattern(out, kind.stride);
        return;
    }
    transform_block(predictor, coefficients, last > 1, kind, out);
}

}  // namespace

// Decodes `mcus` MCUs of `blocks` blocks each, from MCU `first` of the row on. The reader is
// worked on as a local copy, which the compiler can keep in registers.
void decode_mcu_row(bit_reader &reader, const block_kind *kinds, int blocks, int first, int mcus)
{
    bit_reader r = reader;
    short_lanes coefficients[8] = {};  // a row of AC terms in each
    for (int x = first; x < first + mcus; x++)
        for (int b = 0; b < blocks; b++)
            decode_block(r, kinds[b], kinds[b].out + x * kinds[b].mcu_step, coefficients);
    reader = r;
}

}  // namespace jpeg_parts
