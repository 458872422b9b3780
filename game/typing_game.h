// The typing game over all five letters.
#ifndef VELMORA_TYPING_GAME_H
#define VELMORA_TYPING_GAME_H

extern volatile int seconds_elapsed;

void run_letter_game();

#endif
