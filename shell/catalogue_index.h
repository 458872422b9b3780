// The objects of velmora.dat by position: the one list that the game, the data generator, the
// tests and the player scripts (through the facts tool in tests/e2e) read. Plain C++, no
// library, so the generator can take it too.
//
// A new object goes at the end of the enum, before CATALOGUE_SIZE, with its name below; the
// generator's switch (make_velmora_dat.cpp) then fails to compile until it says what to draw.
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
    // The number of objects above (18). A file may hold more; the game reads only these.
    CATALOGUE_SIZE
};

// Each object's name in the file, as the generator writes it.
const char *const catalogue_names[] = {
    "PAPER_PAGE", "BACKGROUND_PAGE",
    "PHOTO_01", "PHOTO_02", "PHOTO_03", "PHOTO_04", "PHOTO_05",
    "PHOTO_06", "PHOTO_07", "PHOTO_08", "PHOTO_09", "PHOTO_10",
    "MENU_PAGE", "SPLASH_PAGE", "TIME_STRIP", "SMALL_FONT", "LARGE_FONT", "SECOND_PAGE",
};
static_assert(sizeof catalogue_names / sizeof catalogue_names[0] == CATALOGUE_SIZE,
              "every catalogue object needs its name");

// The photo that opens each letter, in letter order: letter_book.h holds LETTER_COUNT to
// LETTER_PHOTOS, so a letter without its photo does not compile.
constexpr catalogue_index letter_photos[] = {PHOTO_01, PHOTO_02, PHOTO_03, PHOTO_04, PHOTO_05};
constexpr int LETTER_PHOTOS = sizeof letter_photos / sizeof letter_photos[0];

// The reward gallery's pictures in browsing order: the letters' photos, then its own.
constexpr catalogue_index gallery_pictures[] = {PHOTO_01, PHOTO_02, PHOTO_03, PHOTO_04,
                                                PHOTO_05, PHOTO_06, PHOTO_07, PHOTO_08,
                                                PHOTO_09, PHOTO_10};
constexpr int GALLERY_PICTURES = sizeof gallery_pictures / sizeof gallery_pictures[0];

constexpr bool gallery_opens_with_letter_photos()
{
    if (GALLERY_PICTURES < LETTER_PHOTOS)
        return false;
    for (int i = 0; i < LETTER_PHOTOS; i++)
        if (gallery_pictures[i] != letter_photos[i])
            return false;
    return true;
}
static_assert(gallery_opens_with_letter_photos(),
              "the gallery shows the letters' photos first, in letter order");

// Where the framed pictures (the photos, and the gallery's) stand on the screen, and the size
// every one of them is drawn at.
const int PHOTO_FRAME_X = 80, PHOTO_FRAME_Y = 60, PHOTO_FRAME_W = 640, PHOTO_FRAME_H = 480;

constexpr bool is_font_object(int index) { return index == SMALL_FONT || index == LARGE_FONT; }

#endif
