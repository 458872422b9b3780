#include "assets/data/girl.h"

#include <cmath>

const colour GIRL_SKIN = {0.96, 0.84, 0.75};
static const colour HAIR = {0.42, 0.22, 0.13};
static const colour CREAM = {0.97, 0.93, 0.86};
static const colour GOLD = {0.86, 0.70, 0.36};

void enter_girl_space(cairo_t *cr, const girl_look &g)
{
    cairo_save(cr);
    cairo_translate(cr, g.x, g.y);
    cairo_scale(cr, g.scale, g.scale);
}

// Long hair falling behind the neck and shoulders, in head units.
static void hair_back(cairo_t *cr)
{
    cairo_move_to(cr, -100, 200);
    cairo_curve_to(cr, -128, -40, -92, -125, 0, -125);
    cairo_curve_to(cr, 92, -125, 128, -40, 100, 200);
    cairo_curve_to(cr, 40, 215, -40, 215, -100, 200);
    set_colour(cr, HAIR);
    cairo_fill(cr);
}

// Shoulders and bodice down to the waist, with a round neckline.
static void body(cairo_t *cr, colour dress)
{
    cairo_move_to(cr, -100, 330);
    cairo_curve_to(cr, -108, 260, -150, 220, -156, 178);
    cairo_curve_to(cr, -160, 140, -120, 122, -45, 120);
    cairo_line_to(cr, 45, 120);
    cairo_curve_to(cr, 120, 122, 160, 140, 156, 178);
    cairo_curve_to(cr, 150, 220, 108, 260, 100, 330);
    cairo_close_path(cr);
    set_colour(cr, dress);
    cairo_fill(cr);
    cairo_rectangle(cr, -22, 50, 44, 80);
    set_colour(cr, mix(GIRL_SKIN, rgb(200, 150, 130), 0.2));
    cairo_fill(cr);
    cairo_move_to(cr, -50, 121);
    cairo_curve_to(cr, -20, 165, 20, 165, 50, 121);
    set_colour(cr, GIRL_SKIN);
    cairo_fill(cr);
}

// The thin chain and the small gold heart she always wears.
static void heart_on_chain(cairo_t *cr)
{
    cairo_move_to(cr, -32, 121);
    cairo_curve_to(cr, -16, 148, 16, 148, 32, 121);
    set_colour(cr, GOLD);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    fill_heart(cr, 0, 150, 17, mix(GOLD, rgb(120, 70, 20), 0.35));
    fill_heart(cr, 0, 149, 13, GOLD);
}

// Looking down: the lid closed to an arc, lashes below it.
static void lowered_eye(cairo_t *cr, double x, double y)
{
    cairo_move_to(cr, x - 12, y - 1);
    cairo_curve_to(cr, x - 5, y + 6, x + 5, y + 6, x + 12, y - 1);
    cairo_stroke(cr);
    for (int i = -1; i <= 1; i++) {
        cairo_move_to(cr, x + 6 * i, y + 4);
        cairo_line_to(cr, x + 7.5 * i, y + 8);
    }
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
}

static void eye(cairo_t *cr, double x, double y, const girl_look &g)
{
    set_colour(cr, rgb(40, 20, 15));
    cairo_set_line_width(cr, 3);
    if (g.eyes == EYES_SMILING) {  // closed in a smile, curving up
        cairo_move_to(cr, x - 12, y + 3);
        cairo_curve_to(cr, x - 5, y - 7, x + 5, y - 7, x + 12, y + 3);
        cairo_stroke(cr);
        return;
    }
    if (g.eyes == EYES_LOWERED) {
        lowered_eye(cr, x, y);
        return;
    }
    double gx = g.gaze_x, gy = g.gaze_y;
    fill_ellipse(cr, x, y, 11, 7, CREAM);
    cairo_save(cr);
    ellipse_path(cr, x, y, 11, 7);
    cairo_clip(cr);
    fill_ellipse(cr, x + gx, y + 0.5 + gy, 6, 6.5, rgb(90, 60, 40));
    fill_ellipse(cr, x + gx, y + 0.5 + gy, 3, 3.2, rgb(20, 12, 10));
    fill_ellipse(cr, x + gx + 2, y - 2 + gy, 1.5, 1.5, CREAM);
    cairo_restore(cr);
    cairo_move_to(cr, x - 12, y - 1);
    cairo_curve_to(cr, x - 6, y - 10, x + 6, y - 10, x + 13, y - 3);
    set_colour(cr, rgb(40, 20, 15));
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
}

static void mouth(cairo_t *cr, int kind)
{
    if (kind == MOUTH_OPEN) {  // laughing or singing
        cairo_move_to(cr, -20, 48);
        cairo_curve_to(cr, -8, 52, 8, 52, 20, 48);
        cairo_curve_to(cr, 14, 74, -14, 74, -20, 48);
        set_colour(cr, rgb(150, 45, 60));
        cairo_fill_preserve(cr);
        cairo_save(cr);
        cairo_clip(cr);
        cairo_rectangle(cr, -20, 44, 40, 10);
        set_colour(cr, CREAM);
        cairo_fill(cr);
        cairo_restore(cr);
        return;
    }
    cairo_move_to(cr, -20, 52);
    cairo_curve_to(cr, -8, 64, 8, 64, 20, 52);
    cairo_curve_to(cr, 8, 58, -8, 58, -20, 52);
    set_colour(cr, rgb(200, 70, 90));
    cairo_set_line_width(cr, 2);
    cairo_fill_preserve(cr);
    cairo_stroke(cr);
}

static void hair_flower(cairo_t *cr, double x, double y, double r)
{
    for (int i = 0; i < 5; i++) {
        double a = i * 2 * M_PI / 5 - M_PI / 2;
        fill_ellipse(cr, x + cos(a) * r, y + sin(a) * r, r * 0.8, r * 0.8, rgb(250, 250, 255));
    }
    fill_ellipse(cr, x, y, r * 0.6, r * 0.6, rgb(250, 205, 70));
}

static void face(cairo_t *cr, const girl_look &g)
{
    fill_ellipse(cr, 0, 0, 68, 88, GIRL_SKIN);
    // fringe sweeping to one side, and a soft shine on it
    cairo_move_to(cr, -72, -10);
    cairo_curve_to(cr, -80, -100, 40, -120, 75, -30);
    cairo_curve_to(cr, 40, -70, -10, -60, -72, -10);
    set_colour(cr, HAIR);
    cairo_fill(cr);
    cairo_move_to(cr, -60, -60);
    cairo_curve_to(cr, -40, -100, 10, -110, 40, -90);
    set_colour(cr, CREAM, 0.25);
    cairo_set_line_width(cr, 6);
    cairo_stroke(cr);
    eye(cr, -28, 4, g);
    eye(cr, 28, 4, g);
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
    mouth(cr, g.mouth);
    hair_flower(cr, 60, -72, 11);
}

void draw_girl(cairo_t *cr, const girl_look &g)
{
    enter_girl_space(cr, g);
    cairo_save(cr);
    cairo_rotate(cr, g.tilt);
    hair_back(cr);
    cairo_restore(cr);
    body(cr, g.dress);
    heart_on_chain(cr);
    cairo_rotate(cr, g.tilt);
    face(cr, g);
    cairo_restore(cr);
}

static void stroke_arm(cairo_t *cr, colour c, double width)
{
    set_colour(cr, c);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void draw_girl_arm(cairo_t *cr, const girl_look &g, int side, double elbow_x, double elbow_y,
                   double hand_x, double hand_y, colour sleeve)
{
    enter_girl_space(cr, g);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    // the upper arm wider than the forearm, each with a darker edge
    for (int pass = 0; pass < 2; pass++) {
        colour c = pass ? sleeve : mix(sleeve, rgb(0, 0, 0), 0.35);
        cairo_move_to(cr, side * 128, 160);
        cairo_line_to(cr, elbow_x, elbow_y);
        stroke_arm(cr, c, pass ? 40 : 46);
        cairo_move_to(cr, elbow_x, elbow_y);
        cairo_line_to(cr, hand_x, hand_y);
        stroke_arm(cr, c, pass ? 32 : 38);
    }
    fill_ellipse(cr, hand_x, hand_y, 17, 19, GIRL_SKIN);
    cairo_restore(cr);
}
