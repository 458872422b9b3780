// Builds velmora.dat: draws every picture, renders the two fonts and writes the datafile in
// catalogue order. Usage: make_velmora_dat <output file> <DejaVu font folder>
#include "assets/data/canvas.h"
#include "assets/data/encode.h"
#include "assets/data/pictures.h"

#include <cstdio>

// Quality for the pictures: high enough for clean text edges, low enough to keep the file
// near a megabyte.
static const int QUALITY = 85;

static datafile_object picture_object(const char *name, cairo_t *cr)
{
    datafile_object o{four_cc("JPEG"), name, encode_canvas_jpeg(cr, QUALITY)};
    cairo_destroy(cr);
    return o;
}

static bool write_file(const char *path, const bytes &data)
{
    FILE *f = fopen(path, "wb");
    if (!f)
        return false;
    bool ok = fwrite(data.data(), 1, data.size(), f) == data.size();
    return fclose(f) == 0 && ok;
}

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: %s <output file> <DejaVu font folder>\n", argv[0]);
        return 2;
    }
    std::string fonts = argv[2];
    if (!open_faces(fonts)) {
        fprintf(stderr, "make_velmora_dat: cannot read the DejaVu fonts in %s\n", argv[2]);
        return 1;
    }
    static const char *const GIRL_NAMES[5] = {"PHOTO_01", "PHOTO_02", "PHOTO_03", "PHOTO_04",
                                              "PHOTO_05"};
    static const char *const REWARD_NAMES[5] = {"PHOTO_06", "PHOTO_07", "PHOTO_08", "PHOTO_09",
                                                "PHOTO_10"};
    std::vector<datafile_object> objects;
    objects.push_back(picture_object("PAPER_PAGE", draw_paper_page()));
    objects.push_back(picture_object("BACKGROUND_PAGE", draw_background_page()));
    for (int i = 0; i < 5; i++)
        objects.push_back(picture_object(GIRL_NAMES[i], draw_girl_photo(i)));
    for (int i = 0; i < 5; i++)
        objects.push_back(picture_object(REWARD_NAMES[i], draw_reward_photo(i)));
    objects.push_back(picture_object("MENU_PAGE", draw_menu_page()));
    objects.push_back(picture_object("SPLASH_PAGE", draw_splash_page()));
    objects.push_back(picture_object("TIME_STRIP", draw_time_strip()));
    // 12 px DejaVu Sans Mono in 8 x 14 cells: the typing page advances 8 px a character and
    // its lines are 15 px apart
    objects.push_back({four_cc("FONT"), "SMALL_FONT",
                       render_font_object(fonts + "/DejaVuSansMono.ttf", 12, 8, 14)});
    objects.push_back({four_cc("FONT"), "LARGE_FONT",
                       render_font_object(fonts + "/DejaVuSerif-Bold.ttf", 34, 0, 0)});
    objects.push_back(picture_object("SECOND_PAGE", draw_second_page()));
    close_faces();

    for (const datafile_object &o : objects) {
        if (o.data.empty()) {
            fprintf(stderr, "make_velmora_dat: object %s came out empty\n", o.name.c_str());
            return 1;
        }
    }
    if (!write_file(argv[1], build_datafile(objects))) {
        fprintf(stderr, "make_velmora_dat: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
