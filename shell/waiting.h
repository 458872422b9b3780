// How the screens wait for the player: they look at the keyboard or the mouse, and rest a
// little when nothing has come, so that a screen nobody touches leaves the processor alone.
#ifndef VELMORA_WAITING_H
#define VELMORA_WAITING_H

// The rest between two looks, in milliseconds. Allegro takes X input in batches every 10 ms,
// so a shorter rest would see nothing sooner; this one keeps a key's way to the screen, and a
// click's to its action, well within a frame.
const int POLL_REST_MS = 5;

// Rests between two looks at the input.
void rest_between_polls();

// Waits for a key and returns it as readkey does (scancode in the high byte).
int wait_for_keypress();

#endif
