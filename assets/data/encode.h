// Turning generated pictures and glyphs into the bytes of the resource file's objects.
#ifndef VELMORA_ASSETS_ENCODE_H
#define VELMORA_ASSETS_ENCODE_H

#include <cairo.h>

#include <string>
#include <vector>

typedef std::vector<unsigned char> bytes;

// Baseline JFIF 1.01 of the canvas's whole surface at `quality`, 4:2:0, 8-bit tables, no
// restart markers and no segment other than APP0, DQT, SOF0, DHT and SOS.
bytes encode_canvas_jpeg(cairo_t *cr, int quality);

// An Allegro 4 FONT object: one range of mono glyphs for ASCII 32..126 rendered from the
// TrueType file at `pixel_size`. With `cell_width` > 0 every glyph is that wide (a fixed
// pitch); otherwise each is as wide as its advance. With `max_height` > 0 the glyphs are at
// most that tall. Empty when the face cannot be read or a glyph does not fit its cell.
bytes render_font_object(const std::string &face_file, int pixel_size, int cell_width,
                         int max_height);

struct datafile_object {
    unsigned type;  // four-character tag, e.g. 'DATA' or 'FONT'
    std::string name;
    bytes data;
};

// An unpacked Allegro datafile holding `objects` in order, each with a NAME property.
bytes build_datafile(const std::vector<datafile_object> &objects);

unsigned four_cc(const char *tag);

#endif
