// Background music: a random module whenever none is playing.
//
// The game installs play_random_song as an Allegro timer callback (every 5 s), so the tick
// runs on Allegro's timer thread while the main thread works the music switch. Both sides take
// the jukebox's own lock and then, inside the sound layer's calls, the layer's lock, always in
// that order. The songs are sound-layer handles (sound.h): call these only while the layer is
// open, and remove the timer before FSOUND_Close, which frees the song the jukebox still names.
#ifndef VELMORA_JUKEBOX_H
#define VELMORA_JUKEBOX_H

#include <atomic>

#include "sound.h"

// The music switch: written by the menu on the main thread, read by the tick on the timer
// thread.
extern std::atomic<bool> music_enabled;
// The song last picked, or null. Read and replaced only under the jukebox's lock, by the two
// functions below, which is what orders the threads' accesses. Any other reader (the tests,
// which also reset it) must first make sure no tick can run: before the timer is installed,
// or after it is removed and its thread joined.
extern FMUSIC_MODULE *current_song;

// Timer callback (every 5 s) and the music switch's "on": unless music is off or the current
// song still plays, frees it, then loads and plays one of the four modules in the Music
// folder, picked by the second the call comes in. A module that does not load leaves silence
// until the next tick.
void play_random_song();

// The music switch's "off": stops the current song if it plays, under the jukebox's lock.
void stop_current_song();

#endif
