// Draws the game's menu icon: the sealed envelope of the splash page on a tile of the pages'
// wine backdrop, at each size a desktop looks for.
// Usage: make_icons <folder>; writes <folder>/<n>x<n>/apps/velmora.png for n = 48, 64, 128, 256.
//        make_icons --xpm <file>; writes the 48-pixel icon as an XPM image for the game's window
//        on X11, a C array named velmora_icon_xpm.
#include "assets/data/canvas.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

static const int SIZES[] = {48, 64, 128, 256};

// The envelope centred on (cx, cy), `w` wide; the flap's lines stay thick enough to read at
// 48 pixels, and the seal is larger than on the splash page.
static void draw_envelope(cairo_t *cr, double cx, double cy, double w)
{
    double h = w * 0.62;
    double x = cx - w / 2, y = cy - h / 2;
    rounded_box(cr, x, y, w, h, w * 0.04);
    set_colour(cr, rgb(247, 237, 219));
    cairo_fill_preserve(cr);
    colour gold = rgb(214, 176, 99);
    set_colour(cr, gold);
    cairo_set_line_width(cr, w * 0.035);
    cairo_stroke(cr);
    cairo_move_to(cr, x + w * 0.03, y + h * 0.04);
    cairo_line_to(cr, cx, cy + h * 0.12);
    cairo_line_to(cr, x + w * 0.97, y + h * 0.04);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
    fill_heart(cr, cx, cy + h * 0.1, w * 0.3, rgb(180, 30, 50));
}

// One icon drawn in a 256-unit square scaled to `size` pixels, on a transparent canvas.
static cairo_surface_t *draw_icon(int size)
{
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t *cr = cairo_create(surface);
    cairo_scale(cr, size / 256.0, size / 256.0);
    rounded_box(cr, 8, 8, 240, 240, 44);
    cairo_clip(cr);
    fill_vertical_gradient(cr, 0, 0, 256, 256, rgb(92, 23, 43), rgb(51, 20, 51));
    fill_radial_glow(cr, 128, 110, 150, rgb(214, 120, 140), 0.35);
    draw_envelope(cr, 128, 138, 196);
    cairo_destroy(cr);
    return surface;
}

// XPM names colours with two characters from this set; pixels less than half covered are
// transparent, since XPM knows no partial transparency.
static const char XPM_CHARS[] =
    "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ#$%&'()*+,-./:;<=>@[]^_`{|}~";

static std::string xpm_code(size_t index)
{
    const size_t base = sizeof XPM_CHARS - 1;
    return {XPM_CHARS[index / base], XPM_CHARS[index % base]};
}

static int write_xpm(const char *path)
{
    const int size = SIZES[0];
    cairo_surface_t *icon = draw_icon(size);
    cairo_surface_flush(icon);
    const unsigned char *data = cairo_image_surface_get_data(icon);
    int stride = cairo_image_surface_get_stride(icon);
    std::map<uint32_t, size_t> colours;  // 0xRRGGBB, or 0xFF000000 for transparent
    std::vector<uint32_t> pixels;
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            uint32_t argb = reinterpret_cast<const uint32_t *>(data + y * stride)[x];
            uint32_t alpha = argb >> 24, key = 0xFF000000;
            if (alpha >= 128) {  // undo cairo's premultiplied alpha
                auto channel = [&](int shift) { return ((argb >> shift & 0xFF) * 255 + alpha / 2) / alpha; };
                key = channel(16) << 16 | channel(8) << 8 | channel(0);
            }
            colours.emplace(key, colours.size());
            pixels.push_back(key);
        }
    }
    cairo_surface_destroy(icon);
    FILE *out = fopen(path, "w");
    if (!out) {
        perror(path);
        return 1;
    }
    fprintf(out, "/* XPM */\nstatic const char *velmora_icon_xpm[] = {\n\"%d %d %zu 2\",\n", size,
            size, colours.size());
    for (const auto &[key, index] : colours) {
        if (key == 0xFF000000)
            fprintf(out, "\"%s c None\",\n", xpm_code(index).c_str());
        else
            fprintf(out, "\"%s c #%06X\",\n", xpm_code(index).c_str(), key);
    }
    for (int y = 0; y < size; y++) {
        fputc('"', out);
        for (int x = 0; x < size; x++)
            fputs(xpm_code(colours[pixels[y * size + x]]).c_str(), out);
        fprintf(out, "\"%s\n", y + 1 < size ? "," : "};");
    }
    return fclose(out) == 0 ? 0 : 1;
}

int main(int argc, char **argv)
{
    if (argc == 3 && std::string(argv[1]) == "--xpm")
        return write_xpm(argv[2]);
    if (argc != 2) {
        fprintf(stderr, "usage: %s <folder> | --xpm <file>\n", argv[0]);
        return 2;
    }
    for (int size : SIZES) {
        std::string folder = std::string(argv[1]) + "/" + std::to_string(size) + "x" +
                             std::to_string(size);
        mkdir(argv[1], 0755);
        mkdir(folder.c_str(), 0755);
        mkdir((folder + "/apps").c_str(), 0755);
        std::string path = folder + "/apps/velmora.png";
        cairo_surface_t *icon = draw_icon(size);
        cairo_status_t status = cairo_surface_write_to_png(icon, path.c_str());
        cairo_surface_destroy(icon);
        if (status != CAIRO_STATUS_SUCCESS) {
            fprintf(stderr, "make_icons: cannot write %s: %s\n", path.c_str(),
                    cairo_status_to_string(status));
            return 1;
        }
    }
    return 0;
}
