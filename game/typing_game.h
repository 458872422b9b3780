// The typing game over all five letters.
#ifndef VELMORA_TYPING_GAME_H
#define VELMORA_TYPING_GAME_H

extern volatile int seconds_elapsed;

// Passes of the typing loop since the program started, for the benchmark's pass rate.
extern unsigned long typing_passes;

void run_letter_game();

#endif
