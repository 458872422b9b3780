#include "extras/credits.h"

#include <allegro.h>

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
    LINE_SPACING = 20,
    START_OFFSET = 600,
    // From here on every row has left the top and the frame stays black, so the offset
    // stops here rather than running on towards overflow.
    LAST_OFFSET = -LINE_SPACING * (CREDIT_LINES - 1),
};

// Draws the rows for `scroll_offset` (the y of the first row) into `buffer`. Only rows whose
// top lies strictly between 0 and 580 are drawn, so rows appear and vanish whole.
void draw_credits_frame(BITMAP *buffer, int scroll_offset)
{
    for (int i = 0; i < CREDIT_LINES; i++) {
        int y = scroll_offset + LINE_SPACING * i;
        if (y > 0 && y < 580)
            textout_centre(buffer, small_font, credit_lines[i], 400, y, 0xFFFFFF);
    }
}

void run_credits()
{
    BITMAP *buffer = create_bitmap(800, 600);
    if (!buffer)
        return;
    clear_bitmap(buffer);
    set_clip(buffer, 0, 0, 799, 599);
    text_mode(0);
    show_picture(BACKGROUND_PAGE);
    int scroll_offset = START_OFFSET;
    clear_keybuf();  // keys pressed during the fade do not end the credits
    while (!keypressed()) {
        draw_credits_frame(buffer, scroll_offset);
        rest(10);
        blit(buffer, screen, 0, 0, 0, 0, 800, 600);
        clear_bitmap(buffer);
        if (scroll_offset > LAST_OFFSET)
            scroll_offset--;
    }
    destroy_bitmap(buffer);
}
