// The resource file loaded at start-up, addressed by the positions of catalogue_index.h, and the
// globals of the loaded game. Main thread only.
//
// The two samples are declared here with the fonts because every screen finds them here, but
// this file does not load them: main.cpp loads them with the sound layer after the resource
// file, and frees them at shutdown (their names are in audio/game_sounds.h).
#ifndef VELMORA_CATALOGUE_H
#define VELMORA_CATALOGUE_H

#include <allegro.h>

#include "audio/sound.h"
#include "shell/catalogue_index.h"

extern DATAFILE *resources;
extern FONT *small_font;
extern FONT *large_font;
extern FSOUND_SAMPLE *type_sample;
extern FSOUND_SAMPLE *bell_sample;

// Loads `file` into `resources` and sets the two fonts. Returns null on success, or a
// message saying why the file cannot be used (missing, damaged, too few objects, no fonts, a
// picture position holding something else than JPEG bytes), in which case `resources` stays
// null. The message stays valid until the next call.
const char *load_resources(const char *file);

// Decodes the picture object at `index` of `resources`, bounded by the object's size, into a
// new bitmap that the caller owns and frees with destroy_bitmap; nothing here keeps it.
// Null when the object is missing or does not decode.
BITMAP *decode_catalogue_picture(int index);

#endif
