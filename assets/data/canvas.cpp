#include "assets/data/canvas.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>

static FT_Library ft_library;
static FT_Face ft_faces[FACE_COUNT];
static cairo_font_face_t *cairo_faces[FACE_COUNT];

static const char *const FACE_FILES[FACE_COUNT] = {
    "DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSerif.ttf", "DejaVuSerif-Bold.ttf",
    "DejaVuSerif-Italic.ttf",
};

bool open_faces(const std::string &font_dir)
{
    if (FT_Init_FreeType(&ft_library) != 0)
        return false;
    for (int i = 0; i < FACE_COUNT; i++) {
        std::string path = font_dir + "/" + FACE_FILES[i];
        if (FT_New_Face(ft_library, path.c_str(), 0, &ft_faces[i]) != 0)
            return false;
        cairo_faces[i] = cairo_ft_font_face_create_for_ft_face(ft_faces[i], 0);
    }
    return true;
}

void close_faces()
{
    for (int i = 0; i < FACE_COUNT; i++) {
        if (cairo_faces[i])
            cairo_font_face_destroy(cairo_faces[i]);
        if (ft_faces[i])
            FT_Done_Face(ft_faces[i]);
        cairo_faces[i] = nullptr;
        ft_faces[i] = nullptr;
    }
    FT_Done_FreeType(ft_library);
}

cairo_t *new_canvas(int w, int h)
{
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t *cr = cairo_create(surface);
    cairo_surface_destroy(surface);  // the context keeps its own reference
    return cr;
}

colour rgb(int r, int g, int b)
{
    return colour{r / 255.0, g / 255.0, b / 255.0};
}

colour mix(colour a, colour b, double t)
{
    return colour{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

void set_colour(cairo_t *cr, colour c, double alpha)
{
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void fill_vertical_gradient(cairo_t *cr, double x, double y, double w, double h, colour top,
                            colour bottom)
{
    cairo_pattern_t *p = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgb(p, 0, top.r, top.g, top.b);
    cairo_pattern_add_color_stop_rgb(p, 1, bottom.r, bottom.g, bottom.b);
    cairo_rectangle(cr, x, y, w, h);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void fill_radial_glow(cairo_t *cr, double cx, double cy, double radius, colour c, double alpha)
{
    cairo_pattern_t *p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, radius);
    cairo_pattern_add_color_stop_rgba(p, 0, c.r, c.g, c.b, alpha);
    cairo_pattern_add_color_stop_rgba(p, 1, c.r, c.g, c.b, 0);
    cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void rounded_box(cairo_t *cr, double x, double y, double w, double h, double r)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void heart_path(cairo_t *cr, double cx, double cy, double size)
{
    double s = size / 2;
    cairo_move_to(cr, cx, cy + s);
    cairo_curve_to(cr, cx - s * 1.6, cy - s * 0.2, cx - s * 0.9, cy - s * 1.4, cx, cy - s * 0.5);
    cairo_curve_to(cr, cx + s * 0.9, cy - s * 1.4, cx + s * 1.6, cy - s * 0.2, cx, cy + s);
    cairo_close_path(cr);
}

void fill_heart(cairo_t *cr, double cx, double cy, double size, colour c, double alpha)
{
    heart_path(cr, cx, cy, size);
    set_colour(cr, c, alpha);
    cairo_fill(cr);
}

void polygon_path(cairo_t *cr, std::initializer_list<double> xy)
{
    const double *p = xy.begin();
    cairo_move_to(cr, p[0], p[1]);
    for (size_t i = 2; i + 1 < xy.size(); i += 2)
        cairo_line_to(cr, p[i], p[i + 1]);
    cairo_close_path(cr);
}

void ellipse_path(cairo_t *cr, double cx, double cy, double rx, double ry)
{
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

void fill_ellipse(cairo_t *cr, double cx, double cy, double rx, double ry, colour c, double alpha)
{
    ellipse_path(cr, cx, cy, rx, ry);
    set_colour(cr, c, alpha);
    cairo_fill(cr);
}

static void select_face(cairo_t *cr, int face, double size)
{
    cairo_set_font_face(cr, cairo_faces[face]);
    cairo_set_font_size(cr, size);
}

double text_width(cairo_t *cr, int face, double size, const char *text)
{
    select_face(cr, face, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text, &e);
    return e.x_advance;
}

void draw_text(cairo_t *cr, int face, double size, double x, double y, const char *text,
               colour c)
{
    select_face(cr, face, size);
    set_colour(cr, c);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, text);
}

void draw_text_centre(cairo_t *cr, int face, double size, double cx, double y, const char *text,
                      colour c)
{
    draw_text(cr, face, size, cx - text_width(cr, face, size, text) / 2, y, text, c);
}

double next_random(unsigned &state)
{
    state = state * 1103515245u + 12345u;
    return ((state >> 8) & 0xFFFF) / 65536.0;
}

void scatter_hearts(cairo_t *cr, double x, double y, double w, double h, int count, colour c,
                    double alpha, unsigned seed)
{
    for (int i = 0; i < count; i++) {
        double hx = x + next_random(seed) * w;
        double hy = y + next_random(seed) * h;
        double size = 6 + next_random(seed) * 16;
        fill_heart(cr, hx, hy, size, c, alpha * (0.4 + 0.6 * next_random(seed)));
    }
}
