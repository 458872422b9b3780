// The reward gallery.
#ifndef VELMORA_GALLERY_H
#define VELMORA_GALLERY_H

// The reward gallery after a won game. Fades the backdrop in over the results screen, then
// browses catalogue pictures PHOTO_01 to PHOTO_10 (GALLERY_PICTURES of them: the letters' five
// photos, then five of its own) with LEFT and RIGHT, one fade a step, until ESC is seen down.
// Reads Allegro's key array, not the key buffer; leaves the ESC flag set.
void run_reward_gallery();

#endif
