// A small baseline JPEG decoder for the game's pictures: decode_jpeg and the scan it runs.
// What the decoder accepts and how its parts fit together is described in jpeg_parts.h.
#include "jpeg.h"

#include "jpeg_parts.h"

using namespace jpeg_parts;

namespace {

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
    kernel_set kernels = chosen_kernels();
    strip.kernels = kernels;
    // Luma blocks in scan order: left to right, then the lower pair.
    block_kind kinds[6];
    for (int i = 0; i < luma_blocks; i++)
        kinds[i] = {luma_dc, luma_ac, luma_q, quant16[0], kernels, &predictors[0],
                    strip.luma + (i >> 1) * 8 * strip.luma_stride + (i & 1) * 8, mcu_w,
                    strip.luma_stride};
    kinds[luma_blocks] = {chroma_dc, chroma_ac, chroma_q, quant16[1], kernels,
                          &predictors[1], strip.cb, 8, strip.chroma_stride};
    kinds[luma_blocks + 1] = {chroma_dc, chroma_ac, chroma_q, quant16[1], kernels,
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
