// The game's sound interface: samples (the typewriter's click and bell) and music modules,
// played on SDL2_mixer with the modules rendered by libopenmpt (sound.cpp).
//
// Threads: every operation may be called from any thread. In the game the main thread opens
// and closes the layer, loads and frees the samples and plays them while the player types;
// the FMUSIC_ operations come from the jukebox (jukebox.h), whose tick runs on Allegro's
// timer thread and whose music switch runs on the main thread. Each operation holds the
// layer's one lock while it works, so calls from the two threads take turns; only
// FMUSIC_LoadSong reads and parses its file without it. The sound itself is mixed on SDL's
// audio thread, which never waits for that lock.
//
// Handles: the layer owns every sample and module it gives out, from the load until its free
// call or FSOUND_Close, which frees all that are left. A call with a pointer the layer does
// not hold (null, freed, or never given out) does nothing and returns the failure value named
// below. A freed pointer, though, may come back from a later load as a new handle, and then
// names that one: drop a handle once it is freed. This is why the jukebox's timer, which keeps
// the current song's handle, must be removed before FSOUND_Close.
//
// File names are the game's ("Sound\\type.wav"), relative to its folder; the platform layer
// turns them into host paths and reads only regular files, never waiting on a FIFO.
#ifndef VELMORA_SOUND_H
#define VELMORA_SOUND_H

struct FSOUND_SAMPLE;
struct FMUSIC_MODULE;

// The channel argument of FSOUND_PlaySound that asks for any free channel.
enum { FSOUND_FREE = -1 };

// Opens the sound output at about `mix_rate` Hz (the device may settle on another rate, which
// the modules are then rendered at) with `max_channels` channels for samples; `flags` is
// ignored. Without a usable sound device the output goes to SDL's silent dummy driver, which
// keeps time, so songs still end. False, with a line on stderr, only when not even that opens;
// every other call then does nothing. Calling it while open changes nothing and returns true.
// Can be called again after FSOUND_Close.
bool FSOUND_Init(int mix_rate, int max_channels, unsigned int flags);

// Loads the WAV file `name` as a sample; `index`, `mode` and `length` are ignored. Null when
// the layer is closed, `name` is null, or the file cannot be read or is no WAV SDL_mixer reads.
FSOUND_SAMPLE *FSOUND_Sample_Load(int index, const char *name, unsigned int mode, int length);

// Plays `sample` once on `channel` (0 to max_channels - 1, cutting off what plays there) or,
// with FSOUND_FREE, on the first free channel; several plays of one sample mix. Returns the
// channel, or -1 when the layer is closed, the handle is not held, the channel is out of range
// or every channel is busy.
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE *sample);

// Stops every channel playing `sample` and frees it.
void FSOUND_Sample_Free(FSOUND_SAMPLE *sample);

// Stops all sound, frees every sample and module still held, and closes the output. Does
// nothing when the layer is not open. Remove the jukebox's timer first (see above).
void FSOUND_Close();

// Loads the module file `name` (any format libopenmpt reads), set to play once through without
// repeating. Null when the layer is closed (also when it closes during the load), `name` is
// null, or the file cannot be read or is no module.
FMUSIC_MODULE *FMUSIC_LoadSong(const char *name);

// Plays `module` from its start as the one music stream, in place of the module playing
// before, which stops and stays loaded. False when the layer is closed or the handle is not
// held.
bool FMUSIC_PlaySong(FMUSIC_MODULE *module);

// True from FMUSIC_PlaySong until the module has played to its end, is stopped or freed,
// another module is played, or the layer closes.
bool FMUSIC_IsPlaying(FMUSIC_MODULE *module);

// Stops `module` when it is the one FMUSIC_PlaySong last started (even if it has ended); it
// stays loaded, and FMUSIC_PlaySong starts it again from its start. False for any other
// pointer.
bool FMUSIC_StopSong(FMUSIC_MODULE *module);

// Stops `module` if it plays and frees it. False when the handle is not held.
bool FMUSIC_FreeSong(FMUSIC_MODULE *module);

#endif
