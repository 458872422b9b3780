// The results screen after a won game, with the highscore it keeps.
#ifndef VELMORA_RESULTS_H
#define VELMORA_RESULTS_H

#include <cstdint>

// The results of the game being played, written only by the typing game on the main thread:
// both set to 0 when a game starts; total_seconds receives each completed letter's clock, and
// mistake_count counts every mistyped character, in failed attempts too. Read by show_results.
extern int32_t total_seconds;
extern int32_t mistake_count;

// After a won game: shows the statistics, compares them with the record in the player's
// cool.dat and, when they beat it (or there is none), saves them and says so ("NOVE
// HIGHSCORE!", with a line under it when the save failed). Returns on the first key pressed
// after the screen stands, and leaves that key in the buffer.
void show_results();

#endif
