#include "shell/i_window.h"

#include <allegro.h>

#ifdef _WIN32

#include <cstdio>
#include <string>

#include <winalleg.h>

#include "shell/i_signals.h"

namespace {

struct windowed_driver {
    int id;
    const char *name;
};

const windowed_driver WINDOWED_DRIVERS[] = {
    {GFX_DIRECTX_WIN, "DirectX windowed"},
    {GFX_GDI, "GDI"},
};

// Allegro calls it on its window thread when the window is asked to close.
void on_close_button()
{
    end_at_players_request();
}

}  // namespace

void prepare_game_window()
{
    set_window_title("Velmora");
    set_close_button_callback(on_close_button);
}

// A failed full-screen attempt leaves Allegro's window behind with the changes it made to it
// still under way at the window manager, which then sizes the window its own way: every
// windowed driver finds the window's inside other than it asked for and refuses it
// ("Resolution not supported"), in 3 of 8 launches under Wine with openbox. A new window,
// which Allegro makes when asked to use its own, has no such past.
bool open_windowed_screen(int width, int height)
{
    win_set_window(nullptr);
    std::string reasons;
    for (const windowed_driver &driver : WINDOWED_DRIVERS) {
        if (set_gfx_mode(driver.id, width, height, 0, 0) == 0)
            return true;
        reasons += std::string(reasons.empty() ? "" : "; ") + driver.name + ": " + allegro_error;
    }
    snprintf(allegro_error, ALLEGRO_ERROR_SIZE, "%s", reasons.c_str());
    return false;
}

#else

void prepare_game_window() {}

bool open_windowed_screen(int width, int height)
{
    return set_gfx_mode(GFX_AUTODETECT_WINDOWED, width, height, 0, 0) == 0;
}

#endif
