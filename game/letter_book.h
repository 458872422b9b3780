// The five letters the player types, the pages before them and their time limits.
#ifndef VELMORA_LETTER_BOOK_H
#define VELMORA_LETTER_BOOK_H

enum { LETTER_COUNT = 5, LINES_PER_LETTER = 10, INTRO_STRINGS = 5 };

extern const char *const letter_lines[LETTER_COUNT][LINES_PER_LETTER];
extern const char *const intro_pages[LETTER_COUNT][INTRO_STRINGS];
extern const int time_limits[LETTER_COUNT];

#endif
