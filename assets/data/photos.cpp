// The five 640x480 reward pictures of the gallery.
#include "assets/data/canvas.h"
#include "assets/data/pictures.h"
#include "shell/catalogue_index.h"

#include <cmath>

static const colour CREAM = {0.97, 0.93, 0.86};
static const colour ROSE_RED = {0.75, 0.12, 0.22};

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
    fill_vertical_gradient(cr, 0, 0, PHOTO_FRAME_W, PHOTO_FRAME_H, rgb(250, 228, 222), rgb(236, 190, 190));
    cairo_set_line_width(cr, 5);
    for (int i = 0; i < 7; i++) {
        cairo_move_to(cr, 320, 430);
        cairo_line_to(cr, 200 + i * 40, 210 + (i % 2) * 30);
    }
    set_colour(cr, rgb(60, 120, 60));
    cairo_stroke(cr);
    for (int i = 0; i < 7; i++)
        draw_rose(cr, 200 + i * 40, 200 + (i % 2) * 30, 30);
    polygon_path(cr, {280, 330, 360, 330, 340, 440, 300, 440});
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
    fill_vertical_gradient(cr, 0, 0, PHOTO_FRAME_W, PHOTO_FRAME_H, rgb(15, 20, 60), rgb(70, 50, 110));
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
    fill_vertical_gradient(cr, 0, 0, PHOTO_FRAME_W, PHOTO_FRAME_H, rgb(120, 30, 50), rgb(60, 15, 40));
    scatter_hearts(cr, 0, 0, PHOTO_FRAME_W, PHOTO_FRAME_H, 50, rgb(240, 150, 170), 0.25, 91);
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
    static void (*const DRAWERS[])(cairo_t *) = {
        reward_bouquet, reward_sunset, reward_swans, reward_night, reward_letter,
    };
    static_assert(sizeof DRAWERS / sizeof DRAWERS[0] == GALLERY_PICTURES - LETTER_PHOTOS,
                  "a drawing for each picture the gallery alone shows");
    cairo_t *cr = new_canvas(PHOTO_FRAME_W, PHOTO_FRAME_H);
    DRAWERS[n](cr);
    return cr;
}
