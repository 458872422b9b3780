// Telling the player why the game cannot start.
#ifndef VELMORA_I_MESSAGE_H
#define VELMORA_I_MESSAGE_H

// Writes `text` as a line on standard error, then shows it to the player, who may have
// started the game from a desktop and sees no terminal. Once the game's screen is open the
// text stands there, in Allegro's built-in font, until a key or a mouse click; before that,
// on Windows, a message box shows it until the player closes it. Returns when the player has
// seen it; the caller then ends the program.
void show_start_failure(const char *text);

#endif
