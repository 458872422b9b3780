#include "platform/i_screen.h"

#include <allegro.h>

#include "platform/i_signals.h"
#include "platform/i_window.h"

const char WINDOW_TITLE[] = "Velmora";

bool set_mode(int card, int w, int h)
{
    return set_gfx_mode(card, w, h, 0, 0) == 0;
}

// Allegro calls it on its own thread (the window's, or X11 input's) when the window is asked to
// close.
static void on_close_button()
{
    end_at_players_request();
}

void dress_window()
{
    set_window_title(WINDOW_TITLE);
    set_close_button_callback(on_close_button);
}

bool open_game_screen()
{
    return open_system_screen();
}
