// The keyboard layout the player has switched on.
#ifndef VELMORA_I_KEYBOARD_H
#define VELMORA_I_KEYBOARD_H

// True while the layout active now puts Z on the key where a US layout has Y (a QWERTZ layout:
// Czech, German, Slovak, Hungarian, ...), so the host already reports z, y, ! and ? as printed
// on the keys. Asked anew on every call, so a layout switched meanwhile counts from the next
// call. False where the host cannot tell. Main thread only; on X11 the first call opens a
// connection of its own to the display named by DISPLAY, kept for the program's life.
bool layout_is_qwertz();

#endif
