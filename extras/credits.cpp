#include "extras/credits.h"

#include <allegro.h>

#include <chrono>

#include "platform/i_screen.h"

#include "shell/catalogue.h"
#include "shell/picture.h"

const char *const credit_lines[CREDIT_LINES] = {
    "Programovani & gamedesign",
    "tym Velmora",
    "",
    "Texty dopisu",
    "tym Velmora",
    "",
    "Pomocne prace",
    "pisma DejaVu (volna licence Bitstream Vera)",
    "",
    "Pozadi pokoje",
    "generator tymu Velmora (cairo, libjpeg-turbo)",
    "",
    "Obrazky z",
    "generatoru tymu Velmora (kresby, ne fotky)",
    "",
    "Hudba",
    "",
    "fb-dawn.it - hudebni generator tymu Velmora",
    "freehart.it - hudebni generator tymu Velmora",
    "prsudrem.it - hudebni generator tymu Velmora",
    "mntnprds.it - hudebni generator tymu Velmora",
    "",
    "Pouzite knihovny",
    "Allegro",
    "SDL2_mixer a libopenmpt",
    "",
    "Betatesteri",
    "v poradi dulezitosti",
    "automaticky hrac (Xvfb a xdotool)",
    "testy GoogleTest",
    "AddressSanitizer a ThreadSanitizer",
};

enum {
    FRAME_MS = 10,
    CREDIT_LINE_SPACING = 20,
    START_OFFSET = 600,
    // From here on every row has left the top and the frame stays black, so the offset
    // stops here rather than running on towards overflow.
    LAST_OFFSET = -CREDIT_LINE_SPACING * (CREDIT_LINES - 1),
};

// Draws the rows for `scroll_offset` (the y of the first row) into `buffer`. Only rows whose
// top lies strictly between 0 and 580 are drawn, so rows appear and vanish whole.
void draw_credits_frame(BITMAP *buffer, int scroll_offset)
{
    for (int i = 0; i < CREDIT_LINES; i++) {
        int y = scroll_offset + CREDIT_LINE_SPACING * i;
        if (y > 0 && y < 580)
            textout_centre(buffer, small_font, credit_lines[i], 400, y, 0xFFFFFF);
    }
}

// Milliseconds since an arbitrary start, on a clock that never steps back.
static long long now_ms()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The roll moves a pixel every FRAME_MS by the clock, whatever each frame costs to show: a
// frame that comes late skips ahead, so the credits take as long on any screen.
void run_credits()
{
    text_mode(0);
    show_picture(BACKGROUND_PAGE);
    clear_keybuf();  // keys pressed during the fade do not end the credits
    long long start = now_ms();
    int shown_offset = START_OFFSET + 1;  // none yet
    while (!keypressed()) {
        int offset = START_OFFSET - static_cast<int>((now_ms() - start) / FRAME_MS);
        if (offset < LAST_OFFSET)
            offset = LAST_OFFSET;
        if (offset != shown_offset) {
            clear_bitmap(canvas);
            draw_credits_frame(canvas, offset);
            present_canvas();
            shown_offset = offset;
        }
        serve_screen_keys();
        rest(FRAME_MS);
    }
}
