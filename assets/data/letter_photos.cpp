// The five photos that open the letters: Lenka in the places her story goes through.
#include "assets/data/girl.h"
#include "assets/data/pictures.h"
#include "shell/catalogue_index.h"

#include <cmath>

static const colour CREAM = {0.97, 0.93, 0.86};
static const colour INK = {0.22, 0.16, 0.20};

static void fill_path(cairo_t *cr, colour c, double alpha = 1.0)
{
    set_colour(cr, c, alpha);
    cairo_fill(cr);
}

static void stroke_path(cairo_t *cr, colour c, double width, double alpha = 1.0)
{
    set_colour(cr, c, alpha);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

static void fill_box(cairo_t *cr, double x, double y, double w, double h, colour c,
                     double alpha = 1.0)
{
    cairo_rectangle(cr, x, y, w, h);
    fill_path(cr, c, alpha);
}

// A skirt from her waist down to `hem`, in her units.
static void skirt(cairo_t *cr, const girl_look &g, double hem, double flare, colour c)
{
    enter_girl_space(cr, g);
    cairo_move_to(cr, -100, 320);
    cairo_curve_to(cr, -110, 360, -flare, hem - 40, -flare, hem);
    cairo_curve_to(cr, -flare / 2, hem + 12, flare / 2, hem + 12, flare, hem);
    cairo_curve_to(cr, flare, hem - 40, 110, 360, 100, 320);
    cairo_close_path(cr);
    fill_path(cr, c);
    cairo_restore(cr);
}

// Lines of small print across a page, for books, letters and newspapers.
static void print_lines(cairo_t *cr, double x, double y, double w, int count, double gap,
                        colour c)
{
    unsigned seed = (unsigned)(x * 7 + y * 13);
    for (int i = 0; i < count; i++) {
        double end = i == count - 1 ? 0.5 : 0.8 + 0.2 * next_random(seed);
        cairo_move_to(cr, x, y + i * gap);
        cairo_line_to(cr, x + w * end, y + i * gap);
    }
    stroke_path(cr, c, 1.2);
}

// Scene 1: the morning tram, the sun low behind the window, a book on her knees.

static void city_passing(cairo_t *cr)
{
    fill_vertical_gradient(cr, 20, 30, 600, 240, rgb(168, 198, 228), rgb(252, 212, 172));
    fill_radial_glow(cr, 470, 250, 200, rgb(255, 236, 190), 0.8);
    unsigned seed = 17;
    for (int row = 0; row < 2; row++) {
        colour c = row ? rgb(112, 118, 150) : rgb(168, 160, 184);
        for (double x = 20; x < 620;) {
            double w = 40 + next_random(seed) * 50, h = 60 + next_random(seed) * 90;
            double top = 270 - h + row * 30;
            fill_box(cr, x, top, w - 4, 270 - top, c);
            for (double wy = top + 10; wy < 255; wy += 18)
                for (double wx = x + 6; wx < x + w - 14; wx += 14)
                    fill_box(cr, wx, wy, 6, 8, rgb(255, 228, 160),
                             next_random(seed) < 0.4 ? 0.9 : 0.25);
            x += w;
        }
    }
    unsigned streak = 5;  // the speed of the tram, smeared into the glass
    for (int i = 0; i < 14; i++) {
        double y = 60 + next_random(streak) * 200, x = 20 + next_random(streak) * 400;
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + 80 + next_random(streak) * 120, y);
    }
    stroke_path(cr, CREAM, 2, 0.35);
}

static void tram_interior(cairo_t *cr)
{
    const colour TRAM_RED = rgb(168, 42, 44);
    fill_vertical_gradient(cr, 0, 0, PHOTO_FRAME_W, PHOTO_FRAME_H, rgb(238, 228, 204), rgb(214, 198, 168));
    cairo_save(cr);
    rounded_box(cr, 20, 30, 600, 240, 20);
    cairo_clip(cr);
    city_passing(cr);
    cairo_restore(cr);
    rounded_box(cr, 20, 30, 600, 240, 20);
    stroke_path(cr, TRAM_RED, 12);
    for (double x : {120.0, 520.0})
        fill_box(cr, x - 6, 30, 12, 240, TRAM_RED);
    fill_box(cr, 0, 276, 640, 204, rgb(150, 110, 80));  // wood panelling under the windows
    for (double x = 0; x < 640; x += 64)
        fill_box(cr, x, 276, 2, 204, rgb(120, 84, 60));
    // the rail and the hand straps
    fill_box(cr, 0, 10, 640, 6, rgb(150, 150, 160));
    for (double x : {60.0, 190.0, 450.0, 580.0}) {
        fill_box(cr, x - 5, 16, 10, 34, rgb(70, 50, 40));
        cairo_arc(cr, x, 62, 13, 0, 2 * M_PI);
        stroke_path(cr, rgb(70, 50, 40), 5);
    }
    // the seat she sits on
    rounded_box(cr, 170, 240, 320, 200, 26);
    fill_path(cr, rgb(128, 46, 42));
    rounded_box(cr, 180, 250, 300, 180, 20);
    stroke_path(cr, rgb(100, 30, 30), 2);
    rounded_box(cr, 150, 400, 360, 50, 16);
    fill_path(cr, rgb(112, 38, 36));
}

static void open_book(cairo_t *cr)
{
    polygon_path(cr, {-150, 365, 150, 365, 160, 445, -160, 445});
    fill_path(cr, rgb(40, 70, 110));  // the cover
    for (int side = -1; side <= 1; side += 2) {
        cairo_move_to(cr, 0, 368);
        cairo_curve_to(cr, side * 50, 352, side * 100, 356, side * 144, 360);
        cairo_line_to(cr, side * 152, 436);
        cairo_curve_to(cr, side * 100, 430, side * 50, 428, 0, 442);
        cairo_close_path(cr);
        fill_path(cr, CREAM);
        print_lines(cr, side > 0 ? 14 : -136, 378, 118, 6, 9, rgb(150, 140, 130));
    }
    cairo_move_to(cr, 0, 368);
    cairo_line_to(cr, 0, 442);
    stroke_path(cr, rgb(190, 176, 160), 2);
}

static void tram_photo(cairo_t *cr)
{
    tram_interior(cr);
    girl_look g = {330, 158, 0.62, 0.08, EYES_LOWERED, MOUTH_SMILE, 0, 0, rgb(104, 146, 118)};
    skirt(cr, g, 460, 150, rgb(62, 84, 120));
    for (int side = -1; side <= 1; side += 2) {  // her legs below the knees
        double x = 330 + side * 40;
        polygon_path(cr, {x - 16, 436, x + 16, 436, x + 11, 480, x - 11, 480});
        fill_path(cr, rgb(70, 60, 80));
    }
    draw_girl(cr, g);
    enter_girl_space(cr, g);
    open_book(cr);
    cairo_restore(cr);
    draw_girl_arm(cr, g, -1, -160, 290, -140, 410, g.dress);
    draw_girl_arm(cr, g, 1, 160, 290, 140, 410, g.dress);
}

// Scene 2: the newspaper kiosk where her first letter waited, the letter open in her hands.

static void street(cairo_t *cr)
{
    fill_vertical_gradient(cr, 0, 0, 640, 360, rgb(150, 196, 236), rgb(222, 234, 242));
    static const int FRONTS[4][3] = {{236, 214, 160}, {226, 182, 172}, {200, 212, 184},
                                     {230, 200, 150}};
    for (int i = 0; i < 4; i++) {
        double x = i * 170 - 20, top = 40 + (i % 2) * 30;
        fill_box(cr, x, top, 170, 330 - top, rgb(FRONTS[i][0], FRONTS[i][1], FRONTS[i][2]));
        fill_box(cr, x, top, 170, 8, rgb(170, 150, 130));
        for (double wy = top + 30; wy < 300; wy += 70)
            for (double wx = x + 25; wx < x + 150; wx += 50) {
                fill_box(cr, wx - 3, wy - 3, 32, 50, CREAM);
                fill_box(cr, wx, wy, 26, 44, rgb(120, 150, 170));
            }
    }
    fill_box(cr, 0, 330, 640, 150, rgb(188, 182, 174));
    for (double y = 350; y < 480; y += 34)
        fill_box(cr, 0, y, 640, 2, rgb(160, 154, 146));
}

static void newspaper(cairo_t *cr, double x, double y, double w, double h, colour band)
{
    fill_box(cr, x, y, w, h, rgb(240, 236, 226));
    fill_box(cr, x + 5, y + 5, w - 10, 10, band);
    print_lines(cr, x + 6, y + 24, w - 12, (int)((h - 30) / 7), 7, rgb(120, 120, 120));
}

// The lady who sells the papers, grey-haired and bespectacled, smiling in her window.
static void kiosk_lady(cairo_t *cr)
{
    fill_ellipse(cr, 530, 300, 40, 30, rgb(150, 70, 90));
    fill_ellipse(cr, 530, 246, 20, 24, GIRL_SKIN);
    fill_ellipse(cr, 530, 226, 22, 12, rgb(190, 190, 196));
    fill_ellipse(cr, 530, 214, 10, 8, rgb(190, 190, 196));
    for (int side = -1; side <= 1; side += 2) {
        cairo_arc(cr, 530 + side * 8, 246, 6, 0, 2 * M_PI);
        cairo_new_sub_path(cr);
    }
    stroke_path(cr, INK, 1.5);
    cairo_arc(cr, 530, 254, 7, 0.3, M_PI - 0.3);
    stroke_path(cr, rgb(160, 60, 70), 2);
}

static void kiosk(cairo_t *cr)
{
    const colour GREEN = rgb(46, 110, 80);
    fill_box(cr, 370, 150, 240, 250, GREEN);
    polygon_path(cr, {380, 100, 600, 100, 630, 150, 350, 150});  // the roof
    fill_path(cr, rgb(30, 80, 60));
    for (int i = 0; i < 10; i++) {  // the striped awning with its scalloped edge
        double x = 350 + i * 28;
        cairo_rectangle(cr, x, 150, 28, 22);
        cairo_arc(cr, x + 14, 172, 14, 0, M_PI);
        fill_path(cr, i % 2 ? GREEN : CREAM);
    }
    rounded_box(cr, 410, 62, 160, 36, 6);
    fill_path(cr, CREAM);
    draw_text_centre(cr, FACE_SERIF_BOLD, 24, 490, 89, "TRAFIKA", rgb(30, 80, 60));
    fill_box(cr, 390, 196, 200, 104, rgb(70, 56, 52));  // the window and the lady in it
    kiosk_lady(cr);
    static const int COVERS[4][3] = {{200, 60, 70}, {60, 120, 190}, {230, 180, 60},
                                     {120, 170, 90}};
    for (int i = 0; i < 4; i++)
        fill_box(cr, 400 + i * 26, 204, 22, 32, rgb(COVERS[i][0], COVERS[i][1], COVERS[i][2]));
    fill_box(cr, 380, 300, 220, 12, rgb(150, 110, 70));
    for (int i = 0; i < 4; i++)
        newspaper(cr, 384 + i * 56, 322, 50, 70, rgb(COVERS[i][0], COVERS[i][1], COVERS[i][2]));
}

// Her letter, held open: a sheet of his handwriting and the envelope behind it.
static void letter_in_hands(cairo_t *cr)
{
    cairo_save(cr);
    cairo_translate(cr, 10, 300);
    cairo_rotate(cr, -0.08);
    cairo_rectangle(cr, -70, -10, 140, 90);
    fill_path(cr, rgb(236, 222, 196));
    fill_heart(cr, 40, 60, 22, rgb(180, 30, 50));
    cairo_rotate(cr, 0.12);
    cairo_rectangle(cr, -85, -60, 150, 110);
    fill_path(cr, rgb(252, 250, 244));
    for (int i = 0; i < 7; i++) {
        cairo_move_to(cr, -74, -44 + 13 * i);
        cairo_curve_to(cr, -40, -48 + 13 * i, 0, -40 + 13 * i, i == 6 ? 0 : 50, -44 + 13 * i);
    }
    stroke_path(cr, rgb(40, 60, 130), 1.6);
    cairo_restore(cr);
}

static void kiosk_photo(cairo_t *cr)
{
    street(cr);
    kiosk(cr);
    const colour CARDIGAN = rgb(226, 178, 70);
    girl_look g = {190, 168, 0.66, -0.06, EYES_OPEN, MOUTH_OPEN, 0, 5, rgb(96, 146, 200)};
    skirt(cr, g, 560, 150, g.dress);
    draw_girl(cr, g);
    enter_girl_space(cr, g);
    for (int side = -1; side <= 1; side += 2) {  // her cardigan, open at the front
        cairo_move_to(cr, side * 60, 121);
        cairo_curve_to(cr, side * 130, 124, side * 160, 150, side * 154, 190);
        cairo_curve_to(cr, side * 140, 240, side * 110, 280, side * 102, 340);
        cairo_line_to(cr, side * 70, 340);
        cairo_curve_to(cr, side * 70, 260, side * 80, 180, side * 60, 121);
        fill_path(cr, CARDIGAN);
    }
    letter_in_hands(cr);
    cairo_restore(cr);
    draw_girl_arm(cr, g, -1, -170, 300, -80, 350, CARDIGAN);
    draw_girl_arm(cr, g, 1, 170, 300, 90, 345, CARDIGAN);
}

// Scene 3: at home in the kitchen, buns out of the oven and her grandmother's songs on the
// radio.

static void music_note(cairo_t *cr, double x, double y, double size, colour c)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, -0.4);
    ellipse_path(cr, 0, 0, size * 0.6, size * 0.42);
    cairo_restore(cr);
    fill_path(cr, c, 0.75);
    cairo_move_to(cr, x + size * 0.5, y - size * 0.1);
    cairo_line_to(cr, x + size * 0.5, y - size * 1.8);
    cairo_curve_to(cr, x + size, y - size * 1.5, x + size * 1.2, y - size * 1.1, x + size,
                   y - size * 0.8);
    stroke_path(cr, c, size * 0.18, 0.75);
}

// Grandmother's picture on the wall and her old radio on the shelf, playing her songs.
static void grandmothers_corner(cairo_t *cr)
{
    fill_ellipse(cr, 540, 70, 34, 42, rgb(196, 150, 80));
    fill_ellipse(cr, 540, 70, 27, 35, rgb(226, 214, 190));
    fill_ellipse(cr, 540, 100, 22, 14, rgb(120, 110, 120));
    fill_ellipse(cr, 540, 70, 11, 14, rgb(230, 200, 180));
    fill_ellipse(cr, 540, 56, 12, 6, rgb(200, 200, 205));
    fill_box(cr, 440, 240, 200, 12, rgb(140, 96, 60));
    rounded_box(cr, 470, 150, 140, 90, 14);
    fill_path(cr, rgb(120, 70, 40));
    rounded_box(cr, 482, 162, 70, 66, 8);
    fill_path(cr, rgb(226, 206, 160));
    for (double x = 490; x < 550; x += 8)
        fill_box(cr, x, 166, 2, 58, rgb(190, 160, 110));
    fill_box(cr, 562, 166, 38, 14, rgb(250, 230, 170));
    fill_ellipse(cr, 572, 208, 8, 8, rgb(60, 34, 20));
    fill_ellipse(cr, 594, 208, 8, 8, rgb(60, 34, 20));
    music_note(cr, 450, 150, 16, rgb(110, 50, 40));
    music_note(cr, 420, 110, 20, rgb(110, 50, 40));
    music_note(cr, 470, 90, 14, rgb(110, 50, 40));
}

static void kitchen(cairo_t *cr)
{
    fill_box(cr, 0, 0, PHOTO_FRAME_W, PHOTO_FRAME_H, rgb(244, 222, 170));
    for (int y = 10; y < 380; y += 30)
        for (int x = (y / 30 % 2) * 15; x < 640; x += 30)
            fill_ellipse(cr, x, y, 2.5, 2.5, rgb(226, 196, 140));
    fill_box(cr, 30, 40, 160, 200, CREAM);  // the window, evening outside
    fill_vertical_gradient(cr, 40, 50, 140, 180, rgb(90, 100, 170), rgb(250, 170, 110));
    fill_box(cr, 107, 50, 6, 180, CREAM);
    fill_box(cr, 40, 136, 140, 6, CREAM);
    for (int side = 0; side < 2; side++) {  // lace curtains
        double x = side ? 150 : 20;
        cairo_move_to(cr, x, 34);
        cairo_line_to(cr, x + 50, 34);
        cairo_curve_to(cr, x + 40 - side * 30, 120, x + 50 - side * 40, 200, x + 50 - side * 20,
                       250);
        cairo_line_to(cr, x, 250);
        cairo_close_path(cr);
        fill_path(cr, rgb(255, 255, 250), 0.8);
    }
    grandmothers_corner(cr);
}

static void baking_table(cairo_t *cr)
{
    fill_box(cr, 0, 380, 640, 100, rgb(250, 246, 240));  // the checked cloth
    for (int x = 0; x < 640; x += 24)
        fill_box(cr, x, 380, 12, 100, rgb(200, 50, 60), 0.45);
    for (int y = 380; y < 480; y += 24)
        fill_box(cr, 0, y, 640, 12, rgb(200, 50, 60), 0.45);
    fill_ellipse(cr, 70, 400, 60, 26, rgb(230, 226, 214));  // the mixing bowl
    fill_ellipse(cr, 70, 394, 50, 14, rgb(250, 246, 236));
    cairo_move_to(cr, 80, 394);
    cairo_line_to(cr, 115, 330);
    stroke_path(cr, rgb(180, 130, 80), 8);
    rounded_box(cr, 160, 392, 244, 66, 8);  // the tray of buns
    fill_path(cr, rgb(90, 88, 96));
    for (int row = 0; row < 2; row++)
        for (int col = 0; col < 4; col++) {
            double x = 172 + col * 56, y = 398 + row * 28;
            rounded_box(cr, x, y, 52, 24, 10);
            fill_path(cr, rgb(222, 160, 84));
            fill_ellipse(cr, x + 20, y + 8, 14, 5, rgb(246, 206, 140), 0.8);
            fill_ellipse(cr, x + 34, y + 14, 2, 2, CREAM);
            fill_ellipse(cr, x + 14, y + 16, 2, 2, CREAM);
        }
}

static void kitchen_photo(cairo_t *cr)
{
    kitchen(cr);
    girl_look g = {282, 160, 0.64, 0.1, EYES_SMILING, MOUTH_OPEN, 0, 0, rgb(196, 84, 100)};
    draw_girl(cr, g);
    enter_girl_space(cr, g);
    rounded_box(cr, -80, 190, 160, 150, 20);  // her apron, a heart on its pocket
    fill_path(cr, rgb(252, 250, 244));
    fill_heart(cr, 0, 280, 40, rgb(196, 84, 100));
    cairo_restore(cr);
    baking_table(cr);
    draw_girl_arm(cr, g, -1, -190, 300, -170, 370, g.dress);
    draw_girl_arm(cr, g, 1, 190, 300, 180, 370, g.dress);
}

// Scene 4: the Saturday under the linden in the park, as the rain sets in and the cafe across
// the road waits.

static void leaf(cairo_t *cr, double x, double y, double size, double angle, colour c)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, angle);
    fill_heart(cr, 0, 0, size, c);
    cairo_restore(cr);
}

static void rain(cairo_t *cr, int count, unsigned seed)
{
    for (int i = 0; i < count; i++) {
        double x = next_random(seed) * 700, y = next_random(seed) * 480;
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x - 5, y + 18);
    }
    stroke_path(cr, rgb(230, 240, 250), 1.3, 0.55);
}

static void park(cairo_t *cr)
{
    fill_vertical_gradient(cr, 0, 0, 640, 320, rgb(140, 152, 176), rgb(206, 212, 214));
    for (int i = 0; i < 5; i++)
        fill_ellipse(cr, 200 + i * 110, 40 + (i % 2) * 20, 110, 40, rgb(120, 128, 150), 0.6);
    fill_box(cr, 420, 110, 230, 220, rgb(214, 190, 168));  // the cafe
    draw_text_centre(cr, FACE_SERIF_BOLD, 24, 530, 150, "KAVARNA", rgb(110, 40, 40));
    for (int i = 0; i < 8; i++) {
        cairo_rectangle(cr, 420 + i * 28, 170, 28, 24);
        fill_path(cr, i % 2 ? rgb(180, 50, 50) : CREAM);
    }
    for (double x : {440.0, 520.0, 600.0}) {
        fill_radial_glow(cr, x + 20, 250, 60, rgb(255, 220, 150), 0.5);
        fill_box(cr, x, 210, 40, 80, rgb(255, 214, 140));
    }
    fill_vertical_gradient(cr, 0, 300, 640, 180, rgb(104, 150, 84), rgb(70, 118, 62));
    cairo_move_to(cr, 250, 480);
    cairo_curve_to(cr, 350, 400, 420, 340, 520, 320);
    cairo_line_to(cr, 560, 320);
    cairo_curve_to(cr, 500, 360, 470, 420, 460, 480);
    fill_path(cr, rgb(196, 178, 150));
}

static void linden_and_bench(cairo_t *cr)
{
    cairo_move_to(cr, 70, 420);
    cairo_curve_to(cr, 90, 300, 70, 200, 100, 120);
    cairo_line_to(cr, 140, 120);
    cairo_curve_to(cr, 120, 220, 140, 300, 130, 420);
    fill_path(cr, rgb(96, 70, 52));
    fill_ellipse(cr, 120, 70, 190, 110, rgb(54, 100, 54));
    unsigned seed = 29;  // its heart-shaped leaves
    for (int i = 0; i < 150; i++) {
        double a = next_random(seed) * 2 * M_PI, r = sqrt(next_random(seed));
        colour c = mix(rgb(70, 130, 60), rgb(150, 196, 90), next_random(seed));
        leaf(cr, 120 + cos(a) * r * 190, 70 + sin(a) * r * 110, 16 + next_random(seed) * 10,
             next_random(seed) * 6.3, c);
    }
    fill_box(cr, 20, 330, 250, 12, rgb(150, 100, 60));  // the bench, his guitar on it
    fill_box(cr, 20, 348, 250, 12, rgb(150, 100, 60));
    fill_box(cr, 20, 300, 250, 10, rgb(150, 100, 60));
    for (double x : {36.0, 246.0})
        fill_box(cr, x, 300, 8, 110, rgb(50, 50, 56));
    fill_box(cr, 166, 200, 10, 110, rgb(90, 50, 30));
    fill_ellipse(cr, 171, 318, 34, 30, rgb(200, 130, 60));
    fill_ellipse(cr, 171, 278, 26, 24, rgb(200, 130, 60));
    fill_ellipse(cr, 171, 300, 10, 10, rgb(60, 36, 20));
    rounded_box(cr, 210, 294, 20, 40, 5);  // and the thermos of tea
    fill_path(cr, rgb(180, 40, 40));
}

static void park_photo(cairo_t *cr)
{
    park(cr);
    linden_and_bench(cr);
    girl_look g = {390, 172, 0.66, -0.1, EYES_SMILING, MOUTH_OPEN, 0, 0, rgb(240, 196, 74)};
    skirt(cr, g, 560, 170, g.dress);
    draw_girl(cr, g);
    draw_girl_arm(cr, g, -1, -170, 300, -150, 420, g.dress);
    draw_girl_arm(cr, g, 1, 230, 240, 290, 120, g.dress);
    rain(cr, 220, 61);
}

// Scene 5: the autumn platform, the train for the city by the sea, her suitcase packed for a
// year.

static void station(cairo_t *cr)
{
    fill_vertical_gradient(cr, 0, 0, 640, 340, rgb(196, 210, 222), rgb(242, 222, 190));
    fill_box(cr, -10, 108, 660, 222, rgb(44, 92, 140));  // the carriage
    fill_box(cr, -10, 100, 660, 12, rgb(150, 156, 164));
    fill_box(cr, -10, 220, 660, 10, CREAM);
    for (double x = 10; x < 640; x += 110) {
        if (x > 430 && x < 560) {
            fill_box(cr, x + 10, 130, 70, 196, rgb(28, 56, 86));  // the open door
            continue;
        }
        rounded_box(cr, x, 132, 90, 70, 8);
        fill_path(cr, rgb(176, 204, 222));
    }
    fill_box(cr, 0, 330, 640, 150, rgb(170, 166, 160));
    fill_box(cr, 0, 338, 640, 6, rgb(236, 200, 60));
    fill_box(cr, 0, 0, 640, 24, rgb(70, 70, 78));  // the roof and its board
    rounded_box(cr, 430, 30, 180, 40, 4);
    fill_path(cr, rgb(30, 40, 80));
    draw_text(cr, FACE_SANS_BOLD, 20, 444, 58, "KODAN", rgb(250, 220, 100));
    draw_text(cr, FACE_SANS, 16, 546, 57, "7:15", CREAM);
    fill_box(cr, 86, 24, 8, 20, rgb(70, 70, 78));  // the clock
    fill_ellipse(cr, 90, 76, 34, 34, rgb(40, 40, 44));
    fill_ellipse(cr, 90, 76, 29, 29, CREAM);
    cairo_move_to(cr, 112, 76);  // a quarter past seven, as on the board
    cairo_line_to(cr, 90, 76);
    cairo_line_to(cr, 81, 88);
    stroke_path(cr, INK, 3);
}

static void falling_leaves(cairo_t *cr, unsigned seed)
{
    static const int AUTUMN[3][3] = {{214, 110, 40}, {196, 60, 40}, {230, 180, 60}};
    for (int i = 0; i < 26; i++) {
        const int *c = AUTUMN[i % 3];
        double x = next_random(seed) * 640, y = next_random(seed) * 480;
        leaf(cr, x, y, 12 + 8 * next_random(seed), next_random(seed) * 6.3,
             rgb(c[0], c[1], c[2]));
    }
}

static void suitcase(cairo_t *cr)
{
    rounded_box(cr, -140, 330, 280, 200, 16);
    fill_path(cr, rgb(150, 90, 50));
    for (double x : {-90.0, 90.0})
        fill_box(cr, x - 8, 330, 16, 200, rgb(100, 56, 30));
    cairo_move_to(cr, -40, 332);
    cairo_curve_to(cr, -40, 296, 40, 296, 40, 332);
    stroke_path(cr, rgb(80, 44, 24), 12);
    rounded_box(cr, -50, 380, 70, 50, 6);  // a sticker of the sea
    fill_path(cr, rgb(240, 236, 220));
    fill_box(cr, -44, 405, 58, 18, rgb(70, 130, 190));
    fill_heart(cr, -15, 396, 14, rgb(200, 50, 60));
}

static void station_photo(cairo_t *cr)
{
    station(cr);
    falling_leaves(cr, 43);
    girl_look g = {320, 168, 0.66, 0.08, EYES_OPEN, MOUTH_SMILE, 0, 0, rgb(166, 60, 52)};
    skirt(cr, g, 560, 150, g.dress);
    draw_girl(cr, g);
    enter_girl_space(cr, g);
    for (int side = -1; side <= 1; side += 2) {  // the coat's lapels and buttons
        polygon_path(cr, {side * 46.0, 124, side * 90.0, 150, side * 8.0, 300});
        fill_path(cr, rgb(130, 40, 36));
    }
    for (int i = 0; i < 3; i++)
        fill_ellipse(cr, 0, 320 + 50 * i, 7, 7, rgb(230, 200, 140));
    suitcase(cr);
    cairo_restore(cr);
    draw_girl_arm(cr, g, -1, -170, 280, -40, 330, g.dress);
    draw_girl_arm(cr, g, 1, 170, 280, 40, 330, g.dress);
}

static void draw_caption(cairo_t *cr, const char *text)
{
    double w = text_width(cr, FACE_SERIF_ITALIC, 20, text);
    rounded_box(cr, 620 - w - 20, 436, w + 24, 32, 8);
    set_colour(cr, rgb(0, 0, 0), 0.35);
    cairo_fill(cr);
    draw_text(cr, FACE_SERIF_ITALIC, 20, 620 - w - 8, 458, text, CREAM);
}

cairo_t *draw_girl_photo(int n)
{
    struct scene {
        void (*draw)(cairo_t *);
        const char *caption;
    };
    static const scene SCENES[] = {
        {tram_photo, "Rano v tramvaji"},
        {kiosk_photo, "Dopis z trafiky"},
        {kitchen_photo, "Buchty a pisnicky"},
        {park_photo, "Sobota pod lipou"},
        {station_photo, "Odjezd k mori"},
    };
    static_assert(sizeof SCENES / sizeof SCENES[0] == LETTER_PHOTOS, "a scene for each letter");
    cairo_t *cr = new_canvas(PHOTO_FRAME_W, PHOTO_FRAME_H);
    SCENES[n].draw(cr);
    draw_caption(cr, SCENES[n].caption);
    return cr;
}
