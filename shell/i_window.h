// The game's window on the desktop: how it opens, its title and its close button.
#ifndef VELMORA_I_WINDOW_H
#define VELMORA_I_WINDOW_H

// Titles the window "Velmora" and makes its close button (and Alt+F4) end the game at once
// with status 0, after a save in progress. Call after allegro_init. Only Windows needs it.
void prepare_game_window();

// Opens the screen as a window of `width` x `height` where full screen was refused. On
// Windows it starts from a new window and tries each windowed driver in turn, DirectX and
// then GDI, which Allegro's autodetection leaves out; elsewhere Allegro chooses. False when
// none opens, with allegro_error telling why.
bool open_windowed_screen(int width, int height);

#endif
