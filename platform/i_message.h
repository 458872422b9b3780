// Telling the player why the game cannot start.
#ifndef VELMORA_I_MESSAGE_H
#define VELMORA_I_MESSAGE_H

// Writes `text` as a line on standard error. On Windows, where the game has no console, it
// also shows it in a message box and returns when the player has closed it.
void show_start_failure(const char *text);

#endif
