#ifndef VELMORA_GALLERY_H
#define VELMORA_GALLERY_H

// Browses the ten reward pictures with LEFT and RIGHT until ESC.
void run_reward_gallery();

#endif
