// A small baseline JPEG decoder for the game's pictures: decode_jpeg and the scan it runs.
// What the decoder accepts and how its parts fit together is described in jpeg_parts.h.
#include "jpeg.h"

#include "jpeg_parts.h"

#include <mutex>

using namespace jpeg_parts;

namespace {

// The MCU of the scan: luma blocks across and down (one for grey), and its size in pixels.
struct mcu_layout {
    int h, v;
    int width, height;
    int across, down;  // MCUs in a row, rows
    int blocks;        // blocks in an MCU, chroma included
};

mcu_layout layout_of(const jpeg_state &s)
{
    mcu_layout l;
    bool grey = s.scan_components == 1;
    l.h = grey ? 1 : s.luma_h;
    l.v = grey ? 1 : s.luma_v;
    l.width = 8 * l.h;
    l.height = 8 * l.v;
    l.across = (s.width + l.width - 1) / l.width;
    l.down = (s.height + l.height - 1) / l.height;
    l.blocks = grey ? 1 : l.h * l.v + 2;
    return l;
}

int log2_of(int factor)
{
    return factor == 4 ? 2 : factor == 2 ? 1 : 0;
}

// Decodes the scan an MCU row at a time into a strip of samples, then into the picture.
// False when there is no memory for the strip.
bool decode_scan(jpeg_state &s, BITMAP *picture)
{
    mcu_layout l = layout_of(s);
    int luma_blocks = l.blocks == 1 ? 1 : l.blocks - 2;
    int mcus_x = l.across;
    sample_strip strip;
    strip.luma_stride = mcus_x * l.width;
    strip.chroma_stride = mcus_x * 8;
    size_t luma_size = static_cast<size_t>(strip.luma_stride) * l.height;
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
    const huffman_table *cb_dc = &s.huffman[s.cb_dc], *cb_ac = &s.huffman[2 + s.cb_ac];
    const huffman_table *cr_dc = &s.huffman[s.cr_dc], *cr_ac = &s.huffman[2 + s.cr_ac];
    const int *quant[3] = {s.quant[s.luma_quant], s.quant[s.cb_quant], s.quant[s.cr_quant]};
    int16_t quant16[3][64];
    uint16_t term_bounds[3][64];
    for (int c = 0; c < 3; c++)
        for (int i = 0; i < 64; i++) {
            quant16[c][i] = static_cast<int16_t>(quant[c][i]);
            term_bounds[c][i] = check_free_coefficient(quant[c][i]);
        }
    kernel_set kernels = chosen_kernels();
    strip.kernels = kernels;
    // Luma blocks in scan order: left to right, then down.
    block_kind kinds[10];
    for (int i = 0; i < luma_blocks; i++)
        kinds[i] = {luma_dc, luma_ac, quant[0], quant16[0], term_bounds[0], kernels,
                    &predictors[0],
                    strip.luma + (i / l.h) * 8 * strip.luma_stride + (i % l.h) * 8, l.width,
                    strip.luma_stride};
    kinds[luma_blocks] = {cb_dc, cb_ac, quant[1], quant16[1], term_bounds[1], kernels,
                          &predictors[1], strip.cb, 8, strip.chroma_stride};
    kinds[luma_blocks + 1] = {cr_dc, cr_ac, quant[2], quant16[2], term_bounds[2], kernels,
                              &predictors[2], strip.cr, 8, strip.chroma_stride};

    s.reader.start = s.start;
    s.reader.size = s.size;
    start_reader(s.reader, s.pos, s.pos + (scan_byte(s.reader, s.pos) == 0xFF));
    // MCUs since the last restart marker; one ends every restart_interval MCUs.
    int interval = s.markers & SEEN_DRI ? s.restart_interval : 0;
    int since_restart = 0;
    for (int top = 0; top < s.height; top += l.height) {
        for (int x = 0; x < mcus_x;) {
            int count = mcus_x - x;
            if (interval > 0 && count > interval - since_restart)
                count = interval - since_restart;
            decode_mcu_row(s.reader, kinds, l.blocks, x, count);
            x += count;
            since_restart += count;
            if (interval > 0 && since_restart == interval) {
                predictors[0] = predictors[1] = predictors[2] = 0;
                restart(s.reader);
                since_restart = 0;
            }
        }
        int rows = s.height - top < l.height ? s.height - top : l.height;
        put_rows(s, strip, picture, top, rows, log2_of(l.h), log2_of(l.v));
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

// Every block of a scan takes at least two bits (a DC code and an end-of-block code), so a
// frame whose scan data, from the first entropy-coded byte to the end of the stream, holds
// fewer than two bits a block is a decompression bomb, not a picture.
bool scan_can_fill(const jpeg_state &s)
{
    mcu_layout l = layout_of(s);
    long long blocks = static_cast<long long>(l.across) * l.down * l.blocks;
    return static_cast<long long>(s.size - s.pos) * 8 >= 2 * blocks;
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
    if (!read_headers(s) || s.width == 0 || s.height == 0 ||
        !fits_allegro_bitmap(s.width, s.height) || !scan_can_fill(s))
        return nullptr;
    static const int no_counts[17] = {0};
    for (int i = 0; i < 4; i++)
        if (!(s.defined_tables & (1 << i)))
            build_table(s.huffman[i], no_counts, nullptr);  // an undefined table matches no code

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
    if (depth != 24 && depth != 32) {
        // Allegro converts through shared state (at 8 bits it swaps the global rgb_map), so
        // one decode at a time converts.
        static std::mutex conversion;
        std::lock_guard<std::mutex> one_at_a_time(conversion);
        picture = _fixup_loaded_bitmap(picture, pal, depth);
    }
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
