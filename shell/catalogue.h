// The fixed positions of the objects in the resource file, and the globals loaded from it.
#ifndef VELMORA_CATALOGUE_H
#define VELMORA_CATALOGUE_H

#include <allegro.h>

#include "audio/sound.h"

enum {
    PAPER_PAGE = 0,
    BACKGROUND_PAGE = 1,
    PHOTO_01 = 2, PHOTO_02, PHOTO_03, PHOTO_04, PHOTO_05,
    PHOTO_06, PHOTO_07, PHOTO_08, PHOTO_09, PHOTO_10,
    MENU_PAGE = 12,
    SPLASH_PAGE = 13,
    TIME_STRIP = 14,
    SMALL_FONT = 15,
    LARGE_FONT = 16,
    SECOND_PAGE = 17,
    CATALOGUE_SIZE = 18
};

extern DATAFILE *resources;
extern FONT *small_font;
extern FONT *large_font;
extern FSOUND_SAMPLE *type_sample;
extern FSOUND_SAMPLE *bell_sample;

// Loads `file` into `resources` and sets the two fonts. Returns null on success, or a
// message saying why the file cannot be used (missing, damaged, too few objects, no fonts, a
// picture position holding something else than JPEG bytes), in which case `resources` stays
// null. The message stays valid until the next call.
const char *load_resources(const char *file);

// Decodes the picture object at `index` of `resources`, bounded by the object's size.
// Null when the object is missing or does not decode.
BITMAP *decode_catalogue_picture(int index);

#endif
