#include "extras/gallery.h"

#include <allegro.h>

#include "platform/i_screen.h"
#include "shell/catalogue.h"
#include "shell/picture.h"
#include "shell/waiting.h"

const int LAST_PICTURE = GALLERY_PICTURES - 1;

// Consumes one press of `scancode`: true when its flag was down, which is cleared so that a
// held key counts again only when the keyboard handler next reports it.
static bool take_press(int scancode)
{
    if (!key[scancode])
        return false;
    key[scancode] = 0;
    return true;
}

void run_reward_gallery()
{
    show_picture(BACKGROUND_PAGE);
    int picture_index = 0;
    show_picture_framed(gallery_pictures[picture_index]);
    // The captions lie outside the frame, so the fades never touch them.
    textout_centre(canvas, large_font, "Tady je odmena", 400, 5, 0xFFFFFF);
    textout_centre(canvas, small_font, "vlevo= zpet; vpravo = dopredu; ESC=konec", 400, 570,
                   0xFFFFFF);
    present_canvas();
    for (;;) {
        if (key[KEY_ESC])
            return;
        if (take_press(KEY_LEFT) && picture_index != 0) {
            picture_index--;
            show_picture_framed(gallery_pictures[picture_index]);
        }
        if (take_press(KEY_RIGHT) && picture_index != LAST_PICTURE) {
            picture_index++;
            show_picture_framed(gallery_pictures[picture_index]);
        }
        rest_between_polls();
    }
}
