// Drawing helpers shared by the picture generators: a cairo canvas, DejaVu text and a few
// shapes (hearts, rounded boxes, gradients) that give the pictures one look.
#ifndef VELMORA_ASSETS_CANVAS_H
#define VELMORA_ASSETS_CANVAS_H

#include <cairo.h>

#include <initializer_list>
#include <string>

struct colour {
    double r, g, b;
};

enum {
    FACE_SANS = 0,
    FACE_SANS_BOLD,
    FACE_SERIF,
    FACE_SERIF_BOLD,
    FACE_SERIF_ITALIC,
    FACE_COUNT
};

// Loads the DejaVu faces from `font_dir`; false when one is missing.
bool open_faces(const std::string &font_dir);
void close_faces();

// A new opaque canvas of w x h pixels; the caller destroys surface and context.
cairo_t *new_canvas(int w, int h);

colour rgb(int r, int g, int b);
colour mix(colour a, colour b, double t);
void set_colour(cairo_t *cr, colour c, double alpha = 1.0);

void fill_vertical_gradient(cairo_t *cr, double x, double y, double w, double h, colour top,
                            colour bottom);
void fill_radial_glow(cairo_t *cr, double cx, double cy, double radius, colour c, double alpha);
void rounded_box(cairo_t *cr, double x, double y, double w, double h, double r);
void heart_path(cairo_t *cr, double cx, double cy, double size);
void fill_heart(cairo_t *cr, double cx, double cy, double size, colour c, double alpha = 1.0);
// A closed path through the corners x0, y0, x1, y1, ...
void polygon_path(cairo_t *cr, std::initializer_list<double> xy);
void ellipse_path(cairo_t *cr, double cx, double cy, double rx, double ry);
void fill_ellipse(cairo_t *cr, double cx, double cy, double rx, double ry, colour c,
                  double alpha = 1.0);

// Text with its baseline at y; the centred form centres on cx.
void draw_text(cairo_t *cr, int face, double size, double x, double y, const char *text,
               colour c);
void draw_text_centre(cairo_t *cr, int face, double size, double cx, double y, const char *text,
                      colour c);
double text_width(cairo_t *cr, int face, double size, const char *text);

// A field of small hearts scattered by a fixed sequence, so every build draws the same ones.
void scatter_hearts(cairo_t *cr, double x, double y, double w, double h, int count, colour c,
                    double alpha, unsigned seed);

// The fixed pseudo-random sequence behind every scattered detail.
double next_random(unsigned &state);

#endif
