// The credits rolled when the player quits.
#ifndef VELMORA_CREDITS_H
#define VELMORA_CREDITS_H

#include <allegro.h>

enum { CREDIT_LINES = 31 };
extern const char *const credit_lines[CREDIT_LINES];

// Fades the backdrop in, then scrolls the credits up a pixel every 10 ms by the clock until a
// key is pressed (keys pressed during the fade do not count); the key stays in the buffer.
void run_credits();

// One frame of the credits into `buffer`: each row whose top, `scroll_offset` plus 20 pixels a
// row, lies strictly between 0 and 580, centred in the small font. Rows appear and vanish whole.
void draw_credits_frame(BITMAP *buffer, int scroll_offset);

#endif
