// The game's screen on Windows: Allegro's DirectX or GDI drivers.
#include "platform/i_screen.h"
#include "platform/i_window.h"

#include <allegro.h>
#include <winalleg.h>

#include <cstdio>
#include <string>

namespace {

const int PICTURE_W = 800, PICTURE_H = 600;

struct windowed_driver {
    int id;
    const char *name;
};

const windowed_driver WINDOWED_DRIVERS[] = {
    {GFX_DIRECTX_WIN, "DirectX windowed"},
    {GFX_GDI, "GDI"},
};

// A failed full-screen attempt leaves Allegro's window behind with the changes it made to it
// still under way at the window manager, which then sizes the window its own way: every
// windowed driver finds the window's inside other than it asked for and refuses it
// ("Resolution not supported"), in 3 of 8 launches under Wine with openbox. A new window,
// which Allegro makes when asked to use its own, has no such past.
bool open_window()
{
    win_set_window(nullptr);
    std::string reasons;
    for (const windowed_driver &driver : WINDOWED_DRIVERS) {
        if (set_mode(driver.id, PICTURE_W, PICTURE_H))
            return true;
        reasons += std::string(reasons.empty() ? "" : "; ") + driver.name + ": " + allegro_error;
    }
    snprintf(allegro_error, ALLEGRO_ERROR_SIZE, "%s", reasons.c_str());
    return false;
}

}  // namespace

bool open_system_screen()
{
    dress_window();
    bool opened = set_mode(GFX_AUTODETECT_FULLSCREEN, PICTURE_W, PICTURE_H) || open_window();
    // A new window takes the title afresh.
    set_window_title(WINDOW_TITLE);
    return opened;
}

void use_game_icon() {}


screen_rect visible_area()
{
    return {0, 0, SCREEN_W, SCREEN_H};
}

bool switch_full_screen()
{
    return false;
}
