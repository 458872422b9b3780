// The inverse of the game's key translation, and xdotool's names for typed characters.
#ifndef VELMORA_KEY_NAMES_H
#define VELMORA_KEY_NAMES_H

// The character a US keyboard must report so that translate_key gives `wanted`;
// the character itself is preferred when it translates to itself. -1 when none does.
int key_for_char(char wanted);

// xdotool's key name for a printable ASCII character, null for anything else.
const char *key_name(int c);

#endif
