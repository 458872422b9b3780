// The game's screen. The game draws an 800x600 picture on a canvas of its own; the platform
// shows it on the player's monitor, scaled to fill the height (or the width) with the 4:3 shape
// kept and black bars beside it, the way a monitor switched to 800x600 once filled the screen.
// Nothing above the platform layer touches Allegro's `screen`. Main thread only, from
// open_game_screen on.
#ifndef VELMORA_I_SCREEN_H
#define VELMORA_I_SCREEN_H

#include <allegro.h>

const int CANVAS_W = 800, CANVAS_H = 600;

// The picture every screen draws on: a 32-bit memory bitmap of CANVAS_W x CANVAS_H. What is
// drawn reaches the player only when it is presented.
extern BITMAP *canvas;

// Opens the screen, filling the monitor, and the canvas at the colour depth set before (32
// bits); true on success, with allegro_error saying why not. Under an X11 window manager the
// screen is a window of the monitor's size that the manager shows full screen: the player can
// switch away and back with the desktop's keys, and the window has a title, a close button and
// a taskbar entry. Without one, Allegro's own full screen, which holds the keyboard and the
// pointer, and where that is refused a window. On Windows a borderless window of the
// monitor's size, and where that is refused a framed window, with each windowed driver in
// turn, DirectX then GDI. The window is titled "Velmora", and on X11 its
// class is velmora/Velmora, as the menu entry is named. Its close button (Alt+F4 on Windows,
// the window manager's close on X11) ends the game at once with status 0, after a save in
// progress (end_at_players_request). Once, after allegro_init.
bool open_game_screen();

// Gives the game's window its icon, the envelope of the menu icon, on X11; Windows takes the
// executable's own. Call before allegro_init, which makes the window.
void use_game_icon();

// Shows the canvas's rectangle from (x, y), w x h pixels (cut to the canvas), on the screen.
void present(int x, int y, int w, int h);
// Shows the whole canvas.
void present_canvas();

// Where the picture lies on the screen, in the screen's pixels, and the screen's size: the one
// place that knows either.
struct screen_layout {
    int screen_w, screen_h;
    int x, y, w, h;
};
screen_layout current_layout();

// The mouse pointer, drawn where the system's pointer is, over the picture and the bars.
void show_pointer();
void hide_pointer();
// The pointer's position in canvas pixels; outside 0..CANVAS_W-1 or 0..CANVAS_H-1 over the bars.
int pointer_x();
int pointer_y();

// From here on F11 and Alt+Enter switch between full screen and a window (where the system has
// one to switch to: under a window manager, and on Windows). Neither key reaches the key buffer.
// Call once, after Allegro's keyboard is installed.
void watch_screen_keys();
// Whether a key event (an Allegro scancode, 0x80 added on release) with Alt held or not asks
// for that switch. Allegro repeats a held key as fresh presses, and on a busy machine a quick
// tap's release can come after the first repeat: a key asks once until its release. `held` is
// the key that asked and is still down, or 0.
bool asks_screen_switch(int scancode, bool alt, int &held);
// True for the keys watch_screen_keys takes: key filters leave them alone.
bool is_screen_key(int scancode);
// Carries out a switch asked for since the last call, then shows the whole canvas anew. The
// screens' waits call it between their looks at the input.
void serve_screen_keys();

#endif
