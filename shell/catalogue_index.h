// The objects of velmora.dat by position: the one list that the game, the data generator, the
// tests and the player scripts (through the facts tool in tests/e2e) read. Plain C++, no
// library, so the generator can take it too.
#ifndef VELMORA_CATALOGUE_INDEX_H
#define VELMORA_CATALOGUE_INDEX_H

enum catalogue_index {
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
    // A file may hold more objects; the game reads only these.
    CATALOGUE_SIZE = 18
};

// The letters' photos are PHOTO_01 to PHOTO_05, one a letter; the reward gallery shows all ten
// photos, the letters' five and then five of its own.
const int LETTER_PHOTOS = PHOTO_05 - PHOTO_01 + 1;
const int GALLERY_PICTURES = PHOTO_10 - PHOTO_01 + 1;

// Each object's name in the file, as the generator writes it.
const char *const catalogue_names[CATALOGUE_SIZE] = {
    "PAPER_PAGE", "BACKGROUND_PAGE",
    "PHOTO_01", "PHOTO_02", "PHOTO_03", "PHOTO_04", "PHOTO_05",
    "PHOTO_06", "PHOTO_07", "PHOTO_08", "PHOTO_09", "PHOTO_10",
    "MENU_PAGE", "SPLASH_PAGE", "TIME_STRIP", "SMALL_FONT", "LARGE_FONT", "SECOND_PAGE",
};

constexpr bool is_font_object(int index) { return index == SMALL_FONT || index == LARGE_FONT; }

#endif
