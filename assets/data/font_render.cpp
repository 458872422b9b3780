#include "assets/data/encode.h"

#include <algorithm>
#include <cstdio>

#include <ft2build.h>
#include FT_FREETYPE_H

static void put_word(bytes &out, int v)
{
    out.push_back((v >> 8) & 0xFF);
    out.push_back(v & 0xFF);
}

static void put_long(bytes &out, long v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back((v >> shift) & 0xFF);
}

// Copies the rendered mono glyph into a cell of w x h pixels, its baseline at `baseline`,
// as rows of (w + 7) / 8 bytes with the leftmost pixel in the high bit. Returns how many
// of the glyph's pixels fell outside the cell.
static int put_glyph(bytes &out, FT_GlyphSlot slot, int w, int h, int baseline, int shift)
{
    put_word(out, w);
    put_word(out, h);
    int row_bytes = (w + 7) / 8;
    const FT_Bitmap &bm = slot->bitmap;
    int lost = 0;
    for (int src_y = 0; src_y < (int)bm.rows; src_y++)
        for (int src_x = 0; src_x < (int)bm.width; src_x++)
            lost += (bm.buffer[src_y * bm.pitch + (src_x >> 3)] >> (7 - (src_x & 7))) & 1;
    for (int y = 0; y < h; y++) {
        std::vector<unsigned char> row(row_bytes, 0);
        int src_y = y - (baseline - slot->bitmap_top);
        for (int x = 0; x < w && src_y >= 0 && src_y < (int)bm.rows; x++) {
            int src_x = x - slot->bitmap_left - shift;
            if (src_x < 0 || src_x >= (int)bm.width)
                continue;
            const unsigned char *src = bm.buffer + src_y * bm.pitch;
            if (src[src_x >> 3] & (0x80 >> (src_x & 7))) {
                row[x >> 3] |= 0x80 >> (x & 7);
                lost--;
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return lost;
}

bytes render_font_object(const std::string &face_file, int pixel_size, int cell_width,
                          int max_height)
{
    FT_Library library;
    FT_Face face;
    bytes out;
    if (FT_Init_FreeType(&library) != 0)
        return out;
    if (FT_New_Face(library, face_file.c_str(), 0, &face) != 0) {
        FT_Done_FreeType(library);
        return out;
    }
    FT_Set_Pixel_Sizes(face, 0, pixel_size);
    int ascent = (face->size->metrics.ascender + 63) >> 6;
    int descent = (-face->size->metrics.descender + 63) >> 6;
    int height = ascent + descent;
    if (max_height > 0 && height > max_height) {
        // the face's ascent leaves room above the tallest ASCII glyph: trim rows there
        ascent -= height - max_height;
        height = max_height;
    }

    int lost = 0;
    put_word(out, 0);  // the 4.x font layout: ranges follow
    put_word(out, 1);  // one range
    out.push_back(1);  // of mono glyphs
    put_long(out, 32);
    put_long(out, 126);
    for (int c = 32; c <= 126; c++) {
        FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME);
        FT_GlyphSlot slot = face->glyph;
        int advance = (slot->advance.x + 32) >> 6;
        int w, shift;
        if (cell_width > 0) {
            w = cell_width;
            shift = (cell_width - advance) / 2;  // centre glyphs narrower than the cell
        } else {
            // Allegro advances by the glyph's width, so overhangs widen the glyph
            shift = slot->bitmap_left < 0 ? -slot->bitmap_left : 0;
            w = std::max(advance + shift, shift + slot->bitmap_left + (int)slot->bitmap.width);
        }
        lost += put_glyph(out, slot, w, height, ascent, shift);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    if (lost > 0) {
        fprintf(stderr, "render_font_object: %d pixels of %s do not fit the cells\n", lost,
                face_file.c_str());
        out.clear();
    }
    return out;
}
