// Every picture of velmora.dat: a stream of the kind the game's decoder takes, decoding to
// its drawn size, and painted where the game's screens expect it.
#include "jpeg/jpeg.h"
#include "game/letter_book.h"
#include "game/typing_page.h"
#include "shell/catalogue.h"
#include "tests/assets/data/built_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

static bool is_picture(int index)
{
    return index != SMALL_FONT && index != LARGE_FONT;
}

static bool is_photo(int index)
{
    for (catalogue_index shown : gallery_pictures)
        if (index == shown)
            return true;
    return false;
}

static void drawn_size(int index, int &w, int &h)
{
    w = index == TIME_STRIP ? 800 : (is_photo(index) ? PHOTO_FRAME_W : 800);
    h = index == TIME_STRIP ? 15 : (is_photo(index) ? PHOTO_FRAME_H : 600);
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
        rgb_picture p = peer_decode_object(i);
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
    rgb_picture menu = peer_decode_object(MENU_PAGE);
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

// sRGB channels 0..255 to linear light 0..1.
static void linearise(const double rgb[3], double linear[3])
{
    for (int i = 0; i < 3; i++) {
        double c = rgb[i] / 255;
        linear[i] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    }
}

static double relative_luminance(const double rgb[3])
{
    double linear[3];
    linearise(rgb, linear);
    return 0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2];
}

static double contrast_ratio(const double a[3], const double b[3])
{
    double la = relative_luminance(a), lb = relative_luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// CIE L*a*b* under D65.
static void to_lab(const double rgb[3], double lab[3])
{
    double linear[3];
    linearise(rgb, linear);
    double xyz[3] = {(0.4124 * linear[0] + 0.3576 * linear[1] + 0.1805 * linear[2]) / 0.95047,
                     relative_luminance(rgb),
                     (0.0193 * linear[0] + 0.1192 * linear[1] + 0.9505 * linear[2]) / 1.08883};
    double f[3];
    for (int i = 0; i < 3; i++)
        f[i] = xyz[i] > 216.0 / 24389 ? std::cbrt(xyz[i]) : (24389.0 / 27 * xyz[i] + 16) / 116;
    lab[0] = 116 * f[1] - 16;
    lab[1] = 500 * (f[0] - f[1]);
    lab[2] = 200 * (f[1] - f[2]);
}

static double degrees(double radians) { return radians * 180 / M_PI; }
static double radians(double degrees) { return degrees * M_PI / 180; }

// The CIEDE2000 colour difference.
static double ciede2000(const double rgb1[3], const double rgb2[3])
{
    double p[3], q[3];
    to_lab(rgb1, p);
    to_lab(rgb2, q);
    double c_mean = (std::hypot(p[1], p[2]) + std::hypot(q[1], q[2])) / 2;
    double c7 = std::pow(c_mean, 7);
    double g = 0.5 * (1 - std::sqrt(c7 / (c7 + std::pow(25.0, 7))));
    double c1 = std::hypot((1 + g) * p[1], p[2]), c2 = std::hypot((1 + g) * q[1], q[2]);
    double h1 = std::fmod(degrees(std::atan2(p[2], (1 + g) * p[1])) + 360, 360);
    double h2 = std::fmod(degrees(std::atan2(q[2], (1 + g) * q[1])) + 360, 360);
    double dh = h2 - h1, h_mean = h1 + h2;
    if (c1 * c2 != 0) {
        dh += dh > 180 ? -360 : (dh < -180 ? 360 : 0);
        h_mean = std::fabs(h1 - h2) <= 180 ? h_mean / 2
                 : h_mean < 360          ? (h_mean + 360) / 2
                                         : (h_mean - 360) / 2;
    } else {
        dh = 0;
    }
    double d_l = q[0] - p[0], d_c = c2 - c1;
    double d_h = 2 * std::sqrt(c1 * c2) * std::sin(radians(dh / 2));
    double l_mean = (p[0] + q[0]) / 2, cp_mean = (c1 + c2) / 2;
    double t = 1 - 0.17 * std::cos(radians(h_mean - 30)) + 0.24 * std::cos(radians(2 * h_mean)) +
               0.32 * std::cos(radians(3 * h_mean + 6)) - 0.20 * std::cos(radians(4 * h_mean - 63));
    double l50 = (l_mean - 50) * (l_mean - 50);
    double s_l = 1 + 0.015 * l50 / std::sqrt(20 + l50);
    double s_c = 1 + 0.045 * cp_mean, s_h = 1 + 0.015 * cp_mean * t;
    double cp7 = std::pow(cp_mean, 7);
    double r_t = -std::sin(radians(60 * std::exp(-std::pow((h_mean - 275) / 25, 2)))) * 2 *
                 std::sqrt(cp7 / (cp7 + std::pow(25.0, 7)));
    double l = d_l / s_l, c = d_c / s_c, h = d_h / s_h;
    return std::sqrt(l * l + c * c + h * h + r_t * c * h);
}

// The game's own decoder, the one that puts the paper on the screen.
static rgb_picture game_decode_object(int index)
{
    rgb_picture picture;
    DATAFILE *d = built_datafile();
    BITMAP *b = decode_jpeg((const unsigned char *)d[index].dat, d[index].size, nullptr);
    if (!b)
        return picture;
    int depth = bitmap_color_depth(b);
    for (int y = 0; y < b->h; y++) {
        for (int x = 0; x < b->w; x++) {
            int c = getpixel(b, x, y);
            picture.rgb.push_back(getr_depth(depth, c));
            picture.rgb.push_back(getg_depth(depth, c));
            picture.rgb.push_back(getb_depth(depth, c));
        }
    }
    picture.width = b->w;
    picture.height = b->h;
    destroy_bitmap(b);
    return picture;
}

// How white and black text stand out from the mean colour of a rectangle (contrast ratios)
// and how far the red of a mistake lies from it (CIEDE2000); corners included.
struct ink_figures {
    double white, black, red;
};

static ink_figures figures_on(const rgb_picture &p, int x0, int y0, int x1, int y1)
{
    double mean[3] = {0, 0, 0};
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            for (int c = 0; c < 3; c++)
                mean[c] += p.rgb[3 * (y * p.width + x) + c];
    for (double &m : mean)
        m /= (x1 - x0 + 1) * (y1 - y0 + 1);
    const double white[3] = {255, 255, 255}, black[3] = {0, 0, 0}, red[3] = {0xC4, 0x26, 0x2A};
    return {contrast_ratio(mean, white), contrast_ratio(mean, black), ciede2000(mean, red)};
}

TEST(velmora_pictures, paper_lines_take_white_black_and_red_text)
{
    rgb_picture paper = game_decode_object(PAPER_PAGE);
    ASSERT_EQ(paper.width, 800);
    ink_figures band = figures_on(paper, 60, 355, 560, 505);
    std::printf("paper behind the text lines: white %.2f:1, black %.2f:1, red CIEDE2000 %.1f\n",
                band.white, band.black, band.red);
    EXPECT_GE(band.white, 4.5);
    EXPECT_GE(band.black, 4.5);
    EXPECT_GE(band.red, 40);
    // every character cell of the page, so no patch of the texture spoils them
    for (int line = 0; line < LINES_PER_LETTER; line++) {
        for (int pos = 0; pos < PAGE_LINE_CHARS; pos++) {
            int x = cell_x(line, pos), y = cell_y(line);
            ink_figures cell =
                figures_on(paper, x, y, x + CELL_ADVANCE - 1, y + PAGE_LINE_SPACING - 1);
            ASSERT_GE(std::min(cell.white, cell.black), 4.4) << "line " << line << " pos " << pos;
            ASSERT_GE(cell.red, 40) << "line " << line << " pos " << pos;
        }
    }
    double mean, spread;
    area_luminance(paper, 62, 355, 555, 503, mean, spread);
    EXPECT_LT(spread, 12) << "the text band should be plain paper";
}

// One portrait on five backdrops shares its whole figure between the photos; five scenes
// share next to nothing.
TEST(velmora_pictures, letter_photos_are_five_scenes)
{
    rgb_picture photos[LETTER_PHOTOS];
    for (int i = 0; i < LETTER_PHOTOS; i++)
        photos[i] = game_decode_object(letter_photos[i]);
    for (int a = 0; a < LETTER_PHOTOS; a++) {
        for (int b = a + 1; b < LETTER_PHOTOS; b++) {
            ASSERT_EQ(photos[a].rgb.size(), photos[b].rgb.size());
            long alike = 0;
            for (size_t i = 0; i < photos[a].rgb.size(); i += 3)
                alike += std::abs(photos[a].rgb[i] - photos[b].rgb[i]) <= 8 &&
                         std::abs(photos[a].rgb[i + 1] - photos[b].rgb[i + 1]) <= 8 &&
                         std::abs(photos[a].rgb[i + 2] - photos[b].rgb[i + 2]) <= 8;
            EXPECT_LT(alike * 3.0 / photos[a].rgb.size(), 0.08)
                << "photos " << a + 1 << " and " << b + 1;
        }
    }
}

TEST(velmora_pictures, time_strip_has_a_dark_track_for_the_red_bar)
{
    rgb_picture strip = peer_decode_object(TIME_STRIP);
    ASSERT_EQ(strip.width, 800);
    double mean, spread;
    area_luminance(strip, 32, 2, 769, 12, mean, spread);
    EXPECT_LT(mean, 50);
    EXPECT_GT(colour_distance(strip.pixel(400, 7), 0xFF0000), 150);
}
