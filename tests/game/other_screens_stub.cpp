// See other_screens_stub.h. Defines what the typing game needs of game/results.h and
// extras/gallery.h.
#include "tests/game/other_screens_stub.h"

#include "extras/gallery.h"
#include "game/results.h"

int32_t total_seconds;
int32_t mistake_count;
std::atomic<int> results_shown{0};
std::atomic<int> gallery_shown{0};

void show_results() { results_shown++; }
void run_reward_gallery() { gallery_shown++; }
