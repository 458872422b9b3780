// Builds velmora.dat: draws every picture, renders the two fonts and writes the datafile in
// catalogue order (shell/catalogue_index.h). Usage: make_velmora_dat <output file> <DejaVu font folder>
#include "assets/data/canvas.h"
#include "assets/data/encode.h"
#include "assets/data/pictures.h"
#include "shell/catalogue_index.h"

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

// Where `index` stands in `table`, or -1 when it is not there.
template <int N> static int position_in(const catalogue_index (&table)[N], catalogue_index index)
{
    for (int i = 0; i < N; i++)
        if (table[i] == index)
            return i;
    return -1;
}

// A photo: a letter's own, or one the gallery alone shows. Empty for a photo in neither table.
static datafile_object photo_object(catalogue_index index)
{
    const char *name = catalogue_names[index];
    int letter = position_in(letter_photos, index);
    if (letter >= 0)
        return picture_object(name, draw_girl_photo(letter));
    int shown = position_in(gallery_pictures, index);
    if (shown >= LETTER_PHOTOS)
        return picture_object(name, draw_reward_photo(shown - LETTER_PHOTOS));
    return {four_cc("JPEG"), name, {}};
}

// The object at catalogue position `index`, named as the catalogue names it. The switch has no
// default and this file builds with -Werror=switch: an object added to the catalogue does not
// compile until it is given its drawing here. Empty for an index past the catalogue.
static datafile_object catalogue_object(catalogue_index index, const std::string &fonts)
{
    const char *name = index < CATALOGUE_SIZE ? catalogue_names[index] : "";
    switch (index) {
    case PHOTO_01: case PHOTO_02: case PHOTO_03: case PHOTO_04: case PHOTO_05:
    case PHOTO_06: case PHOTO_07: case PHOTO_08: case PHOTO_09: case PHOTO_10:
        return photo_object(index);
    case PAPER_PAGE: return picture_object(name, draw_paper_page());
    case BACKGROUND_PAGE: return picture_object(name, draw_background_page());
    case MENU_PAGE: return picture_object(name, draw_menu_page());
    case SPLASH_PAGE: return picture_object(name, draw_splash_page());
    case TIME_STRIP: return picture_object(name, draw_time_strip());
    // 12 px DejaVu Sans Mono in 8 x 14 cells: the typing page advances 8 px a character and
    // its lines are 15 px apart
    case SMALL_FONT:
        return {four_cc("FONT"), name, render_font_object(fonts + "/DejaVuSansMono.ttf", 12, 8, 14)};
    case LARGE_FONT:
        return {four_cc("FONT"), name, render_font_object(fonts + "/DejaVuSerif-Bold.ttf", 34, 0, 0)};
    case SECOND_PAGE: return picture_object(name, draw_second_page());
    case CATALOGUE_SIZE: break;
    }
    return {four_cc("JPEG"), "", {}};
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
    std::vector<datafile_object> objects;
    for (int i = 0; i < CATALOGUE_SIZE; i++)
        objects.push_back(catalogue_object(static_cast<catalogue_index>(i), fonts));
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
