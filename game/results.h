// The results screen after a won game, with the highscore it keeps.
#ifndef VELMORA_RESULTS_H
#define VELMORA_RESULTS_H

#include <cstdint>

extern int32_t total_seconds;
extern int32_t mistake_count;

void show_results();

#endif
