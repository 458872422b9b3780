// The 640x480 pictures: the girl of the five letters, drawn, and the five rewards.
#include "assets/data/canvas.h"
#include "assets/data/pictures.h"

#include <cmath>

static const colour SKIN = {0.96, 0.84, 0.75};
static const colour HAIR = {0.42, 0.22, 0.13};
static const colour CREAM = {0.97, 0.93, 0.86};
static const colour ROSE_RED = {0.75, 0.12, 0.22};

struct girl_scene {
    colour sky_top, sky_bottom, ground, dress;
    double head_tilt;  // radians
    bool flower;       // a flower in her hair
    const char *caption;
};

// Each letter's photo: the same girl, a different place and time of day.
static const girl_scene GIRL_SCENES[5] = {
    {{0.55, 0.75, 0.93}, {0.93, 0.86, 0.80}, {0.45, 0.66, 0.36}, {0.93, 0.55, 0.60}, 0.05, true,
     "Na jare v parku"},
    {{0.98, 0.70, 0.50}, {0.99, 0.88, 0.70}, {0.30, 0.45, 0.62}, {0.35, 0.55, 0.80}, -0.06, false,
     "U more"},
    {{0.62, 0.45, 0.30}, {0.93, 0.76, 0.52}, {0.70, 0.40, 0.20}, {0.62, 0.20, 0.22}, 0.08, true,
     "Podzimni prochazka"},
    {{0.22, 0.20, 0.40}, {0.55, 0.42, 0.60}, {0.20, 0.16, 0.28}, {0.85, 0.85, 0.92}, -0.03, false,
     "Vecer u okna"},
    {{0.80, 0.86, 0.96}, {0.98, 0.96, 0.98}, {0.86, 0.88, 0.95}, {0.80, 0.15, 0.25}, 0.0, true,
     "Zimni usmev"},
};

static void draw_eye(cairo_t *cr, double x, double y)
{
    fill_ellipse(cr, x, y, 11, 7, CREAM);
    fill_ellipse(cr, x, y + 0.5, 6, 6.5, rgb(90, 60, 40));
    fill_ellipse(cr, x, y + 0.5, 3, 3.2, rgb(20, 12, 10));
    fill_ellipse(cr, x + 2, y - 2, 1.5, 1.5, CREAM);
    cairo_move_to(cr, x - 12, y - 1);
    cairo_curve_to(cr, x - 6, y - 10, x + 6, y - 10, x + 13, y - 3);
    set_colour(cr, rgb(40, 20, 15));
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
}

static void draw_small_flower(cairo_t *cr, double x, double y, double r, colour petal)
{
    for (int i = 0; i < 5; i++) {
        double a = i * 2 * M_PI / 5;
        fill_ellipse(cr, x + cos(a) * r, y + sin(a) * r, r * 0.8, r * 0.8, petal);
    }
    fill_ellipse(cr, x, y, r * 0.6, r * 0.6, rgb(250, 210, 80));
}

// The girl, head and shoulders, with her face centred on (cx, cy).
static void draw_girl(cairo_t *cr, double cx, double cy, const girl_scene &s)
{
    // long hair, falling behind the neck and shoulders
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, s.head_tilt);
    cairo_move_to(cr, -100, 170);
    cairo_curve_to(cr, -125, -40, -90, -125, 0, -125);
    cairo_curve_to(cr, 90, -125, 125, -40, 100, 170);
    cairo_curve_to(cr, 40, 185, -40, 185, -100, 170);
    set_colour(cr, HAIR);
    cairo_fill(cr);
    cairo_restore(cr);
    // shoulders and dress
    cairo_move_to(cr, cx - 170, 480);
    cairo_curve_to(cr, cx - 160, cy + 150, cx - 90, cy + 120, cx, cy + 125);
    cairo_curve_to(cr, cx + 90, cy + 120, cx + 160, cy + 150, cx + 170, 480);
    cairo_close_path(cr);
    set_colour(cr, s.dress);
    cairo_fill(cr);
    // neck
    cairo_rectangle(cr, cx - 22, cy + 50, 44, 80);
    set_colour(cr, mix(SKIN, rgb(200, 150, 130), 0.2));
    cairo_fill(cr);
    cairo_move_to(cr, cx - 50, cy + 128);
    cairo_curve_to(cr, cx - 20, cy + 160, cx + 20, cy + 160, cx + 50, cy + 128);
    set_colour(cr, SKIN);
    cairo_fill(cr);
    // a thin chain with a small heart
    cairo_move_to(cr, cx - 30, cy + 125);
    cairo_curve_to(cr, cx - 15, cy + 150, cx + 15, cy + 150, cx + 30, cy + 125);
    set_colour(cr, rgb(220, 190, 110));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    fill_heart(cr, cx, cy + 150, 12, rgb(220, 190, 110));

    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, s.head_tilt);
    fill_ellipse(cr, 0, 0, 68, 88, SKIN);
    // fringe sweeping to one side
    cairo_move_to(cr, -72, -10);
    cairo_curve_to(cr, -80, -100, 40, -120, 75, -30);
    cairo_curve_to(cr, 40, -70, -10, -60, -72, -10);
    set_colour(cr, HAIR);
    cairo_fill(cr);
    // a soft shine on the hair
    cairo_move_to(cr, -60, -60);
    cairo_curve_to(cr, -40, -100, 10, -110, 40, -90);
    set_colour(cr, CREAM, 0.25);
    cairo_set_line_width(cr, 6);
    cairo_stroke(cr);
    draw_eye(cr, -28, 4);
    draw_eye(cr, 28, 4);
    for (int side = -1; side <= 1; side += 2) {
        cairo_move_to(cr, side * 14, -16);
        cairo_curve_to(cr, side * 22, -24, side * 34, -24, side * 42, -16);
    }
    set_colour(cr, mix(HAIR, rgb(0, 0, 0), 0.3));
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    fill_ellipse(cr, -40, 32, 14, 8, rgb(240, 140, 140), 0.45);
    fill_ellipse(cr, 40, 32, 14, 8, rgb(240, 140, 140), 0.45);
    cairo_move_to(cr, 0, 15);
    cairo_curve_to(cr, -4, 30, -2, 34, 5, 35);
    set_colour(cr, rgb(180, 120, 100));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_move_to(cr, -20, 52);
    cairo_curve_to(cr, -8, 64, 8, 64, 20, 52);
    cairo_curve_to(cr, 8, 58, -8, 58, -20, 52);
    set_colour(cr, rgb(200, 70, 90));
    cairo_fill_preserve(cr);
    cairo_stroke(cr);
    if (s.flower)
        draw_small_flower(cr, 60, -70, 9, rgb(250, 250, 255));
    cairo_restore(cr);
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
    const girl_scene &s = GIRL_SCENES[n];
    cairo_t *cr = new_canvas(640, 480);
    fill_vertical_gradient(cr, 0, 0, 640, 480, s.sky_top, s.sky_bottom);
    fill_radial_glow(cr, 480, 120, 220, CREAM, 0.35);
    cairo_move_to(cr, 0, 330);
    cairo_curve_to(cr, 200, 300, 420, 350, 640, 310);
    cairo_line_to(cr, 640, 480);
    cairo_line_to(cr, 0, 480);
    cairo_close_path(cr);
    set_colour(cr, s.ground);
    cairo_fill(cr);
    unsigned seed = 100 + n;
    for (int i = 0; i < 24; i++) {
        double x = next_random(seed) * 640, y = 330 + next_random(seed) * 140;
        if (n == 3)
            fill_ellipse(cr, x, y - 300, 1.5, 1.5, CREAM, 0.8);  // stars over the evening
        else
            draw_small_flower(cr, x, y, 5, mix(s.dress, CREAM, 0.4));
    }
    draw_girl(cr, 320, 210, s);
    draw_caption(cr, s.caption);
    return cr;
}

static void draw_rose(cairo_t *cr, double x, double y, double r)
{
    fill_ellipse(cr, x, y, r, r * 0.9, ROSE_RED);
    for (int i = 0; i < 3; i++) {
        cairo_arc(cr, x + (i - 1) * r * 0.2, y - r * 0.1, r * (0.75 - 0.2 * i), 0.3 + i,
                  3.5 + i);
        set_colour(cr, rgb(120, 10, 30));
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
    }
}

static void reward_bouquet(cairo_t *cr)
{
    fill_vertical_gradient(cr, 0, 0, 640, 480, rgb(250, 228, 222), rgb(236, 190, 190));
    cairo_set_line_width(cr, 5);
    for (int i = 0; i < 7; i++) {
        cairo_move_to(cr, 320, 430);
        cairo_line_to(cr, 200 + i * 40, 210 + (i % 2) * 30);
    }
    set_colour(cr, rgb(60, 120, 60));
    cairo_stroke(cr);
    for (int i = 0; i < 7; i++)
        draw_rose(cr, 200 + i * 40, 200 + (i % 2) * 30, 30);
    cairo_move_to(cr, 280, 330);
    cairo_line_to(cr, 360, 330);
    cairo_line_to(cr, 340, 440);
    cairo_line_to(cr, 300, 440);
    cairo_close_path(cr);
    set_colour(cr, rgb(240, 230, 250));
    cairo_fill(cr);
    fill_heart(cr, 320, 360, 30, ROSE_RED);
    draw_text_centre(cr, FACE_SERIF_ITALIC, 34, 320, 90, "Ruze pro tebe", rgb(120, 20, 40));
}

static void reward_sunset(cairo_t *cr)
{
    fill_vertical_gradient(cr, 0, 0, 640, 300, rgb(80, 40, 110), rgb(250, 150, 90));
    fill_radial_glow(cr, 320, 290, 200, rgb(255, 220, 150), 0.6);
    fill_heart(cr, 320, 270, 120, rgb(255, 120, 90));
    fill_vertical_gradient(cr, 0, 300, 640, 180, rgb(200, 100, 100), rgb(40, 30, 80));
    for (int i = 0; i < 12; i++) {
        cairo_move_to(cr, 320 - 100 + i * 6, 310 + i * 12);
        cairo_line_to(cr, 320 + 100 - i * 6, 310 + i * 12);
    }
    set_colour(cr, rgb(255, 190, 140), 0.5);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    draw_text_centre(cr, FACE_SERIF_ITALIC, 34, 320, 80, "Zapad slunce jen pro nas", CREAM);
}

static void draw_swan(cairo_t *cr, double x, double y, double facing)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, facing, 1);
    fill_ellipse(cr, 0, 0, 70, 30, CREAM);
    cairo_move_to(cr, 40, -10);
    cairo_curve_to(cr, 80, -40, 20, -90, 45, -120);
    cairo_curve_to(cr, 55, -130, 70, -125, 72, -118);
    set_colour(cr, CREAM);
    cairo_set_line_width(cr, 14);
    cairo_stroke(cr);
    cairo_move_to(cr, 72, -118);
    cairo_line_to(cr, 88, -112);
    set_colour(cr, rgb(240, 140, 40));
    cairo_set_line_width(cr, 6);
    cairo_stroke(cr);
    cairo_restore(cr);
}

static void reward_swans(cairo_t *cr)
{
    fill_vertical_gradient(cr, 0, 0, 640, 250, rgb(170, 210, 235), rgb(230, 240, 245));
    fill_vertical_gradient(cr, 0, 250, 640, 230, rgb(90, 150, 190), rgb(40, 80, 130));
    draw_swan(cr, 230, 340, 1);
    draw_swan(cr, 410, 340, -1);
    fill_heart(cr, 320, 170, 50, ROSE_RED, 0.8);
    draw_text_centre(cr, FACE_SERIF_ITALIC, 34, 320, 70, "Spolu navzdy", rgb(40, 60, 110));
}

static void reward_night(cairo_t *cr)
{
    fill_vertical_gradient(cr, 0, 0, 640, 480, rgb(15, 20, 60), rgb(70, 50, 110));
    unsigned seed = 77;
    for (int i = 0; i < 120; i++)
        fill_ellipse(cr, next_random(seed) * 640, next_random(seed) * 400, 1.3, 1.3, CREAM,
                     0.5 + 0.5 * next_random(seed));
    fill_radial_glow(cr, 470, 130, 120, rgb(255, 250, 220), 0.4);
    // a crescent: the moon's disc less a disc shifted up and to the right
    cairo_save(cr);
    cairo_arc(cr, 470, 130, 50, 0, 2 * M_PI);
    cairo_clip(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_rectangle(cr, 400, 60, 140, 140);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 492, 112, 46, 0, 2 * M_PI);
    set_colour(cr, rgb(255, 245, 210));
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_move_to(cr, 0, 420);
    cairo_curve_to(cr, 200, 360, 400, 440, 640, 380);
    cairo_line_to(cr, 640, 480);
    cairo_line_to(cr, 0, 480);
    set_colour(cr, rgb(20, 15, 35));
    cairo_fill(cr);
    draw_text_centre(cr, FACE_SERIF_ITALIC, 34, 320, 300, "Kazda hvezda je pro tebe", CREAM);
}

static void reward_letter(cairo_t *cr)
{
    fill_vertical_gradient(cr, 0, 0, 640, 480, rgb(120, 30, 50), rgb(60, 15, 40));
    scatter_hearts(cr, 0, 0, 640, 480, 50, rgb(240, 150, 170), 0.25, 91);
    cairo_save(cr);
    cairo_translate(cr, 320, 250);
    cairo_rotate(cr, -0.06);
    cairo_rectangle(cr, -200, -150, 400, 300);
    set_colour(cr, CREAM);
    cairo_fill(cr);
    draw_text_centre(cr, FACE_SERIF_ITALIC, 44, 0, -60, "Miluji te", rgb(150, 20, 40));
    draw_text_centre(cr, FACE_SERIF_ITALIC, 22, 0, -10, "a budu te milovat", rgb(80, 40, 60));
    draw_text_centre(cr, FACE_SERIF_ITALIC, 22, 0, 20, "kazdy den znovu.", rgb(80, 40, 60));
    fill_heart(cr, 0, 90, 60, ROSE_RED);
    cairo_restore(cr);
}

cairo_t *draw_reward_photo(int n)
{
    static void (*const DRAWERS[5])(cairo_t *) = {
        reward_bouquet, reward_sunset, reward_swans, reward_night, reward_letter,
    };
    cairo_t *cr = new_canvas(640, 480);
    DRAWERS[n](cr);
    return cr;
}
