// The five letters the player types, the pages before them and their time limits.
#ifndef VELMORA_LETTER_BOOK_H
#define VELMORA_LETTER_BOOK_H

#include "shell/catalogue_index.h"

enum { LETTER_COUNT = 5, LINES_PER_LETTER = 10, INTRO_STRINGS = 5 };
// Each letter opens with its photo, letter_photos[letter] of the catalogue.
static_assert(LETTER_COUNT == LETTER_PHOTOS,
              "each letter needs its photo in letter_photos (shell/catalogue_index.h)");

// Constant tables, Czech without diacritics, plain ASCII. A letter's line may be empty: the
// typing page passes over it. A line holds no more characters than fit the paper
// (PAGE_LINE_CHARS of typing_page.h).
extern const char *const letter_lines[LETTER_COUNT][LINES_PER_LETTER];
// The story page before each letter: three strings at the top and two at the bottom.
extern const char *const intro_pages[LETTER_COUNT][INTRO_STRINGS];
// Each letter's time limit in whole seconds; the mistake penalty and the bar's scale follow
// from it.
extern const int time_limits[LETTER_COUNT];

#endif
