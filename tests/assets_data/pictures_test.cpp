// Every picture of velmora.dat: a stream of the kind the game's decoder takes, decoding to
// its drawn size, and painted where the game's screens expect it.
#include "shell/catalogue.h"
#include "tests/assets_data/built_data.h"

#include <gtest/gtest.h>

#include <cmath>

static bool is_picture(int index)
{
    return index != SMALL_FONT && index != LARGE_FONT;
}

static void drawn_size(int index, int &w, int &h)
{
    w = index == TIME_STRIP ? 800 : (index >= PHOTO_01 && index <= PHOTO_10 ? 640 : 800);
    h = index == TIME_STRIP ? 15 : (index >= PHOTO_01 && index <= PHOTO_10 ? 480 : 600);
}

TEST(velmora_pictures, streams_are_baseline_jfif_the_decoder_accepts)
{
    DATAFILE *d = built_datafile();
    ASSERT_NE(d, nullptr);
    for (int i = 0; i < CATALOGUE_SIZE; i++) {
        if (!is_picture(i))
            continue;
        stream_header h = read_stream_header((const unsigned char *)d[i].dat, d[i].size);
        SCOPED_TRACE("object " + std::to_string(i));
        EXPECT_TRUE(h.jfif);
        EXPECT_EQ(h.jfif_major, 1);
        EXPECT_TRUE(h.baseline);
        EXPECT_EQ(h.precision, 8);
        EXPECT_TRUE(h.luma_sampling == 1 || h.luma_sampling == 4) << h.luma_sampling;
        EXPECT_EQ(h.chroma_blocks, 1);
        EXPECT_TRUE(h.eight_bit_tables);
        EXPECT_FALSE(h.restart);
        EXPECT_FALSE(h.other_segments);
        EXPECT_GT(h.sos_offset, 0);
        EXPECT_LT(h.sos_offset, 2000);
    }
}

TEST(velmora_pictures, decode_to_their_drawn_size)
{
    for (int i = 0; i < CATALOGUE_SIZE; i++) {
        if (!is_picture(i))
            continue;
        int w, h;
        drawn_size(i, w, h);
        rgb_picture p = reference_decode_object(i);
        EXPECT_EQ(p.width, w) << "object " << i;
        EXPECT_EQ(p.height, h) << "object " << i;
    }
}

static double luminance(unsigned c)
{
    return 0.299 * (c >> 16) + 0.587 * ((c >> 8) & 255) + 0.114 * (c & 255);
}

static double colour_distance(unsigned a, unsigned b)
{
    double dr = (int)(a >> 16) - (int)(b >> 16);
    double dg = (int)((a >> 8) & 255) - (int)((b >> 8) & 255);
    double db = (int)(a & 255) - (int)(b & 255);
    return std::sqrt(dr * dr + dg * dg + db * db);
}

// The mean and spread of luminance over a rectangle, corners included.
static void area_luminance(const rgb_picture &p, int x0, int y0, int x1, int y1, double &mean,
                           double &spread)
{
    double sum = 0, sum2 = 0;
    int n = 0;
    for (int y = y0; y <= y1; y++) {
        for (int x = x0; x <= x1; x++) {
            double l = luminance(p.pixel(x, y));
            sum += l;
            sum2 += l * l;
            n++;
        }
    }
    mean = sum / n;
    spread = std::sqrt(std::max(0.0, sum2 / n - mean * mean));
}

TEST(velmora_pictures, menu_buttons_stand_inside_their_click_areas)
{
    rgb_picture menu = reference_decode_object(MENU_PAGE);
    ASSERT_EQ(menu.width, 800);
    for (int top : {216, 316, 416}) {
        SCOPED_TRACE("button at y " + std::to_string(top));
        double inside, outside, spread;
        area_luminance(menu, 60, top + 8, 340, top + 60, inside, spread);
        EXPECT_GT(inside, 150);  // a light button
        // one pixel outside each edge the backdrop shows again
        area_luminance(menu, 51, top - 2, 349, top - 2, outside, spread);
        EXPECT_LT(outside, 90);
        area_luminance(menu, 51, top + 70, 349, top + 70, outside, spread);
        EXPECT_LT(outside, 90);
        area_luminance(menu, 48, top + 10, 48, top + 58, outside, spread);
        EXPECT_LT(outside, 90);
        area_luminance(menu, 352, top + 10, 352, top + 58, outside, spread);
        EXPECT_LT(outside, 90);
    }
    double mean, spread;
    area_luminance(menu, 0, 580, 100, 599, mean, spread);
    EXPECT_LT(spread, 6) << "the music switch needs a calm corner";
}

TEST(velmora_pictures, paper_lines_take_white_black_and_red_text)
{
    rgb_picture paper = reference_decode_object(PAPER_PAGE);
    ASSERT_EQ(paper.width, 800);
    const unsigned inks[] = {0xFFFFFF, 0x000000, 0xC4262A, 0xFF0000};
    for (int line = 0; line < 10; line++) {
        int top = 355 + 15 * line, left = 75 - (int)(1.5 * line);
        for (int x = left; x < 555; x += 7) {
            unsigned paper_colour = paper.pixel(x, top + 6);
            for (unsigned ink : inks)
                ASSERT_GT(colour_distance(paper_colour, ink), 110)
                    << "line " << line << " x " << x << " ink " << std::hex << ink;
        }
    }
    double mean, spread;
    area_luminance(paper, 62, 355, 555, 503, mean, spread);
    EXPECT_LT(spread, 12) << "the text band should be plain paper";
}

TEST(velmora_pictures, time_strip_has_a_dark_track_for_the_red_bar)
{
    rgb_picture strip = reference_decode_object(TIME_STRIP);
    ASSERT_EQ(strip.width, 800);
    double mean, spread;
    area_luminance(strip, 32, 2, 769, 12, mean, spread);
    EXPECT_LT(mean, 50);
    EXPECT_GT(colour_distance(strip.pixel(400, 7), 0xFF0000), 150);
}
