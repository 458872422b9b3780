// The game's screen on the player's desktop.
#ifndef VELMORA_I_SCREEN_H
#define VELMORA_I_SCREEN_H

// Opens the 800x600 screen at the colour depth set before (Allegro's set_gfx_mode); true on
// success, with allegro_error saying why not. Under an X11 window manager the screen is a
// window the manager shows full screen, with the picture centred on black: the player can switch
// away and back with the desktop's keys, and the window has a title, a close button and a
// taskbar entry. Without one, Allegro's own full screen, which holds the keyboard and the
// pointer; where full screen is refused, a window (on Windows from a new window, with each
// windowed driver in turn, DirectX then GDI, which Allegro's autodetection leaves out). The
// window is titled "Velmora", and on X11 its class is velmora/Velmora, as the menu entry is
// named. Its close button (Alt+F4 on Windows, the window manager's close on X11) ends the game
// at once with status 0, after a save in progress (end_at_players_request). Main thread, once,
// after allegro_init.
bool open_game_screen();

// Gives the game's window its icon, the envelope of the menu icon, on X11; Windows takes the
// executable's own. Call before allegro_init, which makes the window.
void use_game_icon();

#endif
