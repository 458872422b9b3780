// The generated velmora.dat as the game loads it: objects in catalogue order, fonts that fit
// the typing page and take the colour they are drawn in.
#include "shell/catalogue.h"
#include "tests/assets/data/built_data.h"

#include <gtest/gtest.h>

#include <set>

static int object_count(DATAFILE *d)
{
    int n = 0;
    while (d[n].type != DAT_END)
        n++;
    return n;
}

TEST(velmora_dat, holds_the_catalogue_in_order)
{
    DATAFILE *d = built_datafile();
    ASSERT_NE(d, nullptr) << built_datafile_path();
    ASSERT_GE(object_count(d), CATALOGUE_SIZE);
    for (int i = 0; i < CATALOGUE_SIZE; i++) {
        bool font = i == SMALL_FONT || i == LARGE_FONT;
        EXPECT_EQ(d[i].type == DAT_FONT, font) << "object " << i;
        ASSERT_NE(d[i].dat, nullptr) << "object " << i;
        if (!font) {
            const unsigned char *p = (const unsigned char *)d[i].dat;
            EXPECT_EQ(p[0], 0xFF) << "object " << i << " is not a JPEG stream";
            EXPECT_EQ(p[1], 0xD8) << "object " << i << " is not a JPEG stream";
        }
    }
    EXPECT_STREQ(get_datafile_property(&d[PAPER_PAGE], DAT_ID('N', 'A', 'M', 'E')),
                 "PAPER_PAGE");
    EXPECT_STREQ(get_datafile_property(&d[SECOND_PAGE], DAT_ID('N', 'A', 'M', 'E')),
                 "SECOND_PAGE");
}

TEST(velmora_dat, pictures_are_distinct_and_the_folder_stays_small)
{
    DATAFILE *d = built_datafile();
    ASSERT_NE(d, nullptr);
    std::set<byte_string> seen;
    for (int i = 0; i < CATALOGUE_SIZE; i++) {
        if (i == SMALL_FONT || i == LARGE_FONT)
            continue;
        const unsigned char *p = (const unsigned char *)d[i].dat;
        EXPECT_TRUE(seen.insert(byte_string(p, p + d[i].size)).second) << "object " << i;
    }
    EXPECT_LT(read_whole_file(built_datafile_path()).size(), 1500000u);
}

static FONT *font_object(int index)
{
    DATAFILE *d = built_datafile();
    return d ? (FONT *)d[index].dat : nullptr;
}

TEST(velmora_dat, small_font_fits_the_eight_pixel_cells)
{
    FONT *f = font_object(SMALL_FONT);
    ASSERT_NE(f, nullptr);
    EXPECT_LE(text_height(f), 14);
    EXPECT_GE(text_height(f), 10);
    for (int c = 32; c <= 126; c++) {
        char s[2] = {(char)c, 0};
        EXPECT_LE(text_length(f, s), 8) << "'" << (char)c << "'";
        EXPECT_GT(text_length(f, s), 0) << "'" << (char)c << "'";
    }
}

TEST(velmora_dat, large_font_suits_titles)
{
    FONT *f = font_object(LARGE_FONT);
    ASSERT_NE(f, nullptr);
    EXPECT_GE(text_height(f), 30);
    EXPECT_LE(text_height(f), 48);
    int title = text_length(f, "NOVE HIGHSCORE!");
    EXPECT_GT(title, 200);
    EXPECT_LT(title, 800);  // still fits the screen
    EXPECT_GT(text_length(f, "W"), text_length(f, "i"));  // proportional
}

// Draws `text` in `colour` on a grey bitmap and counts the pixels of each kind.
static void count_drawn(FONT *f, const char *text, int colour, int &drawn, int &other)
{
    BITMAP *b = create_bitmap_ex(32, 400, 60);
    clear_to_color(b, makecol32(128, 128, 128));
    text_mode(-1);
    textout(b, f, text, 2, 2, colour);
    drawn = other = 0;
    for (int y = 0; y < b->h; y++) {
        for (int x = 0; x < b->w; x++) {
            int p = getpixel(b, x, y);
            if (p == colour)
                drawn++;
            else if (p != makecol32(128, 128, 128))
                other++;
        }
    }
    destroy_bitmap(b);
}

TEST(velmora_dat, fonts_draw_in_the_colour_asked_for)
{
    const int colours[] = {makecol32(255, 255, 255), 0, makecol32(0xC4, 0x26, 0x2A),
                           makecol32(255, 0, 0)};
    for (int index : {SMALL_FONT, LARGE_FONT}) {
        FONT *f = font_object(index);
        ASSERT_NE(f, nullptr);
        for (int colour : colours) {
            int drawn, other;
            count_drawn(f, "Dopis 1 Ahoj", colour, drawn, other);
            EXPECT_GT(drawn, 50) << "font " << index << " colour " << std::hex << colour;
            EXPECT_EQ(other, 0) << "font " << index << " colour " << std::hex << colour;
        }
    }
}
