// The full-screen pages: backdrop, splash, menu, help and the paper of the typing screen.
#include "assets/data/canvas.h"
#include "assets/data/pictures.h"
#include "shell/catalogue_index.h"
#include "shell/menu_areas.h"

#include <cmath>

static const colour WINE = {0.36, 0.09, 0.17};
static const colour PLUM = {0.20, 0.08, 0.20};
static const colour ROSE = {0.84, 0.47, 0.55};
static const colour CREAM = {0.97, 0.93, 0.86};
static const colour GOLD = {0.84, 0.69, 0.39};
static const colour INK = {0.25, 0.07, 0.13};
// Slate blue, a shade above the tone wanted behind the text: the rules under the lines bring
// the band down to a relative luminance near 0.179, where white and black text both stand
// out by 4.5:1.
static const colour PAPER = {84 / 255.0, 125 / 255.0, 141 / 255.0};

// The deep wine backdrop that every page shares, with faint hearts and a soft glow.
static void paint_backdrop(cairo_t *cr, unsigned seed)
{
    fill_vertical_gradient(cr, 0, 0, 800, 600, WINE, PLUM);
    fill_radial_glow(cr, 400, 250, 420, ROSE, 0.22);
    scatter_hearts(cr, 0, 0, 800, 560, 60, ROSE, 0.10, seed);
}

static void gold_frame(cairo_t *cr, double x, double y, double w, double h)
{
    cairo_rectangle(cr, x, y, w, h);
    set_colour(cr, GOLD);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    cairo_rectangle(cr, x + 6, y + 6, w - 12, h - 12);
    set_colour(cr, GOLD, 0.5);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

// A writing quill lying at an angle, its tip at (x, y).
static void draw_quill(cairo_t *cr, double x, double y, double angle, double length)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, angle);
    cairo_move_to(cr, 0, 0);
    cairo_curve_to(cr, length * 0.3, -length * 0.12, length * 0.8, -length * 0.16, length, -2);
    cairo_curve_to(cr, length * 0.8, length * 0.06, length * 0.3, length * 0.06, 0, 0);
    set_colour(cr, CREAM, 0.95);
    cairo_fill_preserve(cr);
    set_colour(cr, GOLD);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    cairo_move_to(cr, 0, 0);
    cairo_line_to(cr, length * 0.95, -3);
    cairo_stroke(cr);
    cairo_restore(cr);
}

// A closed envelope with a heart seal, centred on (cx, cy).
static void draw_envelope(cairo_t *cr, double cx, double cy, double w)
{
    double h = w * 0.62;
    double x = cx - w / 2, y = cy - h / 2;
    cairo_rectangle(cr, x, y, w, h);
    set_colour(cr, CREAM);
    cairo_fill_preserve(cr);
    set_colour(cr, GOLD);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, cx, cy + h * 0.12);
    cairo_line_to(cr, x + w, y);
    cairo_move_to(cr, x, y + h);
    cairo_line_to(cr, cx - w * 0.12, cy);
    cairo_move_to(cr, x + w, y + h);
    cairo_line_to(cr, cx + w * 0.12, cy);
    cairo_stroke(cr);
    fill_heart(cr, cx, cy + h * 0.08, w * 0.16, rgb(180, 30, 50));
}

cairo_t *draw_background_page()
{
    cairo_t *cr = new_canvas(800, 600);
    paint_backdrop(cr, 7);
    // hugging the place of the framed pictures, 3 pixels out; the intro texts just above and
    // below it keep clear ground
    gold_frame(cr, PHOTO_FRAME_X - 3, PHOTO_FRAME_Y - 3, PHOTO_FRAME_W + 6, PHOTO_FRAME_H + 6);
    return cr;
}

cairo_t *draw_splash_page()
{
    cairo_t *cr = new_canvas(800, 600);
    paint_backdrop(cr, 11);
    fill_radial_glow(cr, 400, 230, 260, CREAM, 0.18);
    draw_envelope(cr, 400, 400, 180);
    draw_quill(cr, 470, 470, -0.9, 170);
    draw_text_centre(cr, FACE_SERIF_BOLD, 96, 400, 230, "Velmora", CREAM);
    draw_text_centre(cr, FACE_SERIF_ITALIC, 28, 400, 285, "Pet dopisu pro jedno srdce", GOLD);
    scatter_hearts(cr, 150, 90, 500, 40, 12, ROSE, 0.5, 3);
    return cr;
}

// One menu button filling its area exactly: the pixels inside the area's bounds.
static void draw_menu_button(cairo_t *cr, const screen_area &area, const char *label)
{
    int left = area.x0 + 1, top = area.y0 + 1;
    int width = area.x1 - left, height = area.y1 - top;
    rounded_box(cr, left + 0.5, top + 0.5, width, height, 14);
    cairo_pattern_t *p = cairo_pattern_create_linear(0, top, 0, top + height + 1);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.99, 0.95, 0.90);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.90, 0.76, 0.74);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    set_colour(cr, GOLD);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    rounded_box(cr, left + 5.5, top + 5.5, width - 10, height - 10, 10);
    set_colour(cr, WINE, 0.6);
    cairo_stroke(cr);
    fill_heart(cr, left + 33, top + 35, 20, rgb(180, 30, 50));
    fill_heart(cr, area.x1 - 33, top + 35, 20, rgb(180, 30, 50));
    draw_text_centre(cr, FACE_SERIF_BOLD, 32, (left + area.x1) / 2, top + 46, label, INK);
}

cairo_t *draw_menu_page()
{
    cairo_t *cr = new_canvas(800, 600);
    paint_backdrop(cr, 23);
    draw_text_centre(cr, FACE_SERIF_BOLD, 72, 400, 120, "Velmora", CREAM);
    draw_text_centre(cr, FACE_SERIF_ITALIC, 22, 400, 160, "Pet dopisu pro jedno srdce", GOLD);
    draw_menu_button(cr, START_AREA, "Hrat");
    draw_menu_button(cr, SECOND_AREA, "Jak hrat");
    draw_menu_button(cr, QUIT_AREA, "Konec");
    draw_envelope(cr, 580, 360, 230);
    draw_quill(cr, 640, 470, -1.0, 190);
    scatter_hearts(cr, 470, 200, 240, 60, 10, ROSE, 0.6, 5);
    // a quiet band along the bottom, where the music switch is drawn over the picture
    fill_vertical_gradient(cr, 0, 560, 800, 40, PLUM, mix(PLUM, rgb(0, 0, 0), 0.3));
    return cr;
}

cairo_t *draw_second_page()
{
    static const char *const LINES[] = {
        "Napis pet dopisu, pismeno po pismenu.",
        "Bila predloha ukazuje, co mas psat.",
        "Na konci kazdeho radku stiskni ENTER.",
        "Kazda chyba se zapise cervene a ubere ti cas.",
        "Kdyz dojde cas, dopis se nepovedl.",
        "Od tretiho dopisu je checkpoint: muzes to",
        "zkusit znovu od tretiho dopisu, nejvyse dvakrat.",
        "ESC hru ukonci.",
    };
    cairo_t *cr = new_canvas(800, 600);
    paint_backdrop(cr, 31);
    rounded_box(cr, 70, 60, 660, 470, 18);
    set_colour(cr, CREAM, 0.95);
    cairo_fill_preserve(cr);
    set_colour(cr, GOLD);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    draw_text_centre(cr, FACE_SERIF_BOLD, 48, 400, 130, "Jak hrat", WINE);
    fill_heart(cr, 250, 115, 26, rgb(180, 30, 50));
    fill_heart(cr, 550, 115, 26, rgb(180, 30, 50));
    for (int i = 0; i < 8; i++)
        draw_text(cr, FACE_SERIF, 22, 110, 190 + 38 * i, LINES[i], INK);
    draw_text_centre(cr, FACE_SERIF_ITALIC, 22, 400, 575, "Stiskni libovolnou klavesu pro navrat",
                     CREAM);
    return cr;
}

// Fine fibres in the sheet, as many lighter as darker ones, too faint to move the tone of a
// character cell.
static void paper_fibres(cairo_t *cr)
{
    unsigned seed = 57;
    for (int i = 0; i < 3000; i++) {
        double x = 30 + next_random(seed) * 740, y = 15 + next_random(seed) * 570;
        double angle = next_random(seed) * M_PI, length = 4 + next_random(seed) * 10;
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + cos(angle) * length, y + sin(angle) * length);
        set_colour(cr, i % 2 ? CREAM : rgb(0, 0, 0), 0.03);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
}

// The sheet itself, with its fibres. A sheen in its upper half and a darker edge stay clear
// of the text lines.
static void paper_sheet(cairo_t *cr)
{
    rounded_box(cr, 30, 15, 740, 570, 6);
    cairo_save(cr);
    cairo_clip_preserve(cr);
    set_colour(cr, PAPER);
    cairo_fill_preserve(cr);
    for (int width = 36; width > 0; width -= 10) {  // an edge darkening softly outwards
        set_colour(cr, rgb(30, 50, 66), 0.1);
        cairo_set_line_width(cr, width);
        cairo_stroke_preserve(cr);
    }
    cairo_new_path(cr);
    fill_radial_glow(cr, 320, 110, 220, CREAM, 0.16);
    paper_fibres(cr);
    cairo_restore(cr);
}

// The writing sheet: a slate-blue paper whose tone behind the text lines sits where white
// and black letters both stand out by 4.5:1, and whose hue keeps the red marks apart from
// it, with faint rules under the slanted text lines.
cairo_t *draw_paper_page()
{
    cairo_t *cr = new_canvas(800, 600);
    fill_vertical_gradient(cr, 0, 0, 800, 600, rgb(70, 40, 48), rgb(46, 26, 34));
    paper_sheet(cr);

    // rules under each line's character cells (tops at 355 + 15 L, cells 14 high), shifted
    // left with the text's slant of 1.5 pixels a line
    cairo_set_line_width(cr, 1);
    for (int line = 0; line < 10; line++) {
        double y = 355 + 15 * line + 14.5;
        double shift = (int)(1.5 * line);
        cairo_move_to(cr, 60 - shift, y);
        cairo_line_to(cr, 565 - shift, y);
    }
    set_colour(cr, rgb(40, 66, 84), 0.5);
    cairo_stroke(cr);
    // the margin follows the slant
    cairo_move_to(cr, 56, 340);
    cairo_line_to(cr, 56 - 1.5 * 11, 340 + 15 * 11);
    set_colour(cr, rgb(220, 120, 140), 0.6);
    cairo_stroke(cr);

    draw_text(cr, FACE_SERIF_ITALIC, 30, 80, 150, "Ma nejmilejsi,", CREAM);
    draw_text(cr, FACE_SERIF_ITALIC, 18, 80, 185, "dopis psany srdcem", rgb(236, 200, 210));
    scatter_hearts(cr, 80, 210, 300, 90, 14, rgb(240, 150, 170), 0.35, 41);
    // photo corners around the thumbnail at (481,130), 121 x 90
    cairo_rectangle(cr, 476, 125, 131, 100);
    set_colour(cr, CREAM, 0.9);
    cairo_fill(cr);
    set_colour(cr, rgb(90, 40, 60));
    for (int corner = 0; corner < 4; corner++) {
        double cx = corner % 2 ? 607 : 476, cy = corner / 2 ? 225 : 125;
        double dx = corner % 2 ? -16 : 16, dy = corner / 2 ? -16 : 16;
        cairo_move_to(cr, cx, cy);
        cairo_line_to(cr, cx + dx, cy);
        cairo_line_to(cr, cx, cy + dy);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
    draw_quill(cr, 600, 520, -0.9, 170);  // right of the text lines, which end near x 555
    return cr;
}

// The strip under the time bar: a groove from x 30 to 771 between rows 1 and 13.
cairo_t *draw_time_strip()
{
    cairo_t *cr = new_canvas(800, 15);
    fill_vertical_gradient(cr, 0, 0, 800, 15, rgb(70, 30, 44), rgb(40, 16, 28));
    rounded_box(cr, 29, 0.5, 743, 14, 4);
    set_colour(cr, rgb(24, 10, 18));
    cairo_fill_preserve(cr);
    set_colour(cr, GOLD, 0.8);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    for (int i = 1; i < 10; i++) {
        double x = 30 + 741.0 * i / 10 + 0.5;
        cairo_move_to(cr, x, 2);
        cairo_line_to(cr, x, 13);
    }
    set_colour(cr, GOLD, 0.25);
    cairo_stroke(cr);
    fill_heart(cr, 15, 8, 11, ROSE);
    fill_heart(cr, 785, 8, 11, ROSE);
    return cr;
}
