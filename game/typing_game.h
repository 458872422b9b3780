// The typing game over all five letters: for each, an intro page, a title page and a timed
// typing page; time-outs from the third letter on may be retried; after the fifth letter the
// results and the reward gallery. The rules stand named at the top of typing_game.cpp, the
// page's geometry in typing_page.h, the letters in letter_book.h.
#ifndef VELMORA_TYPING_GAME_H
#define VELMORA_TYPING_GAME_H

#include <atomic>

// The letter's clock in whole seconds. The timer thread's tick adds to it while the game
// resets it and adds penalties: each change is one atomic operation, so neither side can
// undo the other's.
extern std::atomic<int> seconds_elapsed;

// Passes of the typing loop since the program started, read from other threads by the
// benchmark and the tests.
extern std::atomic<unsigned long> typing_passes;

// Seconds a mistake adds to the clock of the letter at LETTER (0 to 4).
int mistake_penalty(int letter);

// False while another window has the keyboard: the letter's clock stands still and the typing
// page judges no key. Written on Allegro's input thread when the game's window loses or gains
// the focus, once follow_game_focus has been called.
extern std::atomic<bool> game_in_front;
void follow_game_focus();

// Runs one game from the menu's Start, with the mouse pointer hidden, and returns to the menu
// in every case: ESC, game over, or after the gallery of a won game. Main thread; draws straight
// on the screen. Installs the seconds tick on Allegro's timer thread for the rest of the
// program's life.
void run_letter_game();

#endif
