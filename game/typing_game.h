// The typing game over all five letters.
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

// False while another window has the keyboard: the letter's clock stands still and the typing
// page judges no key. Written on Allegro's input thread when the game's window loses or gains
// the focus, once follow_game_focus has been called.
extern std::atomic<bool> game_in_front;
void follow_game_focus();

void run_letter_game();

#endif
