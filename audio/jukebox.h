// Background music: a random module whenever none is playing.
#ifndef VELMORA_JUKEBOX_H
#define VELMORA_JUKEBOX_H

#include <atomic>

#include "sound.h"

// The music switch: written by the menu on the main thread, read by the tick on the timer
// thread.
extern std::atomic<bool> music_enabled;
extern FMUSIC_MODULE *volatile current_song;

// Timer callback (every 5 s) and the music switch's "on": starts a random song unless
// music is off or one is playing.
void play_random_song();

// The music switch's "off": stops the current song if it plays, under the jukebox's lock.
void stop_current_song();

#endif
