// Stand-ins for the screens a won game opens after its last letter (the results and the
// gallery), linked into the typing game's test in place of game/results.cpp and
// extras/gallery.cpp: they only count their calls. The stub library is linked as objects, so
// should the test ever pull in the real screens, the link fails on the duplicate definitions
// instead of choosing one of them silently.
#ifndef VELMORA_TESTS_OTHER_SCREENS_STUB_H
#define VELMORA_TESTS_OTHER_SCREENS_STUB_H

#include <atomic>

extern std::atomic<int> results_shown;
extern std::atomic<int> gallery_shown;

#endif
