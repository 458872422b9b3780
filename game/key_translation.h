// Maps typed characters to the characters the letters are judged against.
#ifndef VELMORA_KEY_TRANSLATION_H
#define VELMORA_KEY_TRANSLATION_H

int translate_key(int c);

#endif
