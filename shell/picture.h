// Fading catalogue pictures onto the screen.
#ifndef VELMORA_PICTURE_H
#define VELMORA_PICTURE_H

#include <allegro.h>

// The picture decoded last; owned here and replaced (the old one destroyed) by every
// successful decode_current_picture.
extern BITMAP *current_picture;

// Decodes catalogue picture `index` into current_picture. Returns the new picture, or null
// (current_picture left as it was) when it does not decode.
BITMAP *decode_current_picture(int index);

void show_picture(int index);         // fade in at (0,0)
void show_picture_framed(int index);  // fade in at (80,60)

#endif
