// Fading catalogue pictures onto the game's canvas, and from there onto the screen.
#ifndef VELMORA_PICTURE_H
#define VELMORA_PICTURE_H

#include <allegro.h>

// The picture decoded last; owned here and replaced (the old one destroyed) by every
// successful decode_current_picture.
extern BITMAP *current_picture;

// Decodes catalogue picture `index` into current_picture. Returns the new picture, or null
// (current_picture left as it was) when it does not decode.
BITMAP *decode_current_picture(int index);

// Decode catalogue picture `index` and fade it in over what the canvas shows, with its top-left
// corner at (0,0) or at (80,60): eight translucent steps, each shown at the next retrace (the
// call blocks for them, about an eighth of a second), then the picture opaque. They leave
// Allegro's translucency blender at the last step's level (224) and the drawing and text
// modes as they were. A picture that does not decode leaves the canvas as it was. Hide the
// pointer first where it is shown. Main thread.
void show_picture(int index);
void show_picture_framed(int index);

#endif
