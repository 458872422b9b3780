// What each system does to give the game its screen: the part of the screen that differs
// between X11 (i_window_x11.cpp) and Windows (i_window_windows.cpp). Only i_screen.cpp calls it,
// on the main thread.
#ifndef VELMORA_I_WINDOW_H
#define VELMORA_I_WINDOW_H

// A rectangle of Allegro's screen, in its pixels.
struct screen_rect {
    int x, y, w, h;
};

// Opens Allegro's screen at the colour depth set before, as i_screen.h describes; true on
// success, with allegro_error saying why not.
bool open_system_screen();

// The part of Allegro's screen that the player sees now.
screen_rect visible_area();

// Switches between full screen and a window; true when visible_area() changed.
bool switch_full_screen();

// Shared by both systems: the window's title, and Allegro's set_gfx_mode on `card` at w x h
// (true on success).
extern const char WINDOW_TITLE[];
bool set_mode(int card, int w, int h);
// The window's title and close button, before any mode is set: Windows makes its window then.
void dress_window();

#endif
