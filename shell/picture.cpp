#include "shell/picture.h"

#include "shell/catalogue.h"

BITMAP *current_picture = nullptr;

BITMAP *decode_current_picture(int index)
{
    BITMAP *picture = decode_catalogue_picture(index);
    if (!picture)
        return nullptr;
    // Nothing refers to the previous picture once it is replaced, so it can go.
    if (current_picture)
        destroy_bitmap(current_picture);
    current_picture = picture;
    return picture;
}

// Cross-fades the picture onto the screen with its top-left corner at (x, y). Each step draws
// over the working copy as the previous step left it, so the old content fades cumulatively;
// the final opaque copy makes the picture exact. The blender is left at the last step's alpha.
static void fade_in(int index, int x, int y)
{
    set_trans_blender(0, 0, 0, 255);
    BITMAP *picture = decode_current_picture(index);
    if (!picture)
        return;  // the screen keeps what it shows
    BITMAP *work = create_bitmap(SCREEN_W, SCREEN_H);
    if (work) {
        blit(screen, work, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
        for (int alpha = 0; alpha <= 255; alpha += 32) {
            set_trans_blender(0, 0, 0, alpha);
            draw_trans_sprite(work, picture, x, y);
            vsync();
            blit(work, screen, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
        }
        destroy_bitmap(work);
    }
    // Without memory for the working copy the picture still appears, only without the fade.
    blit(picture, screen, 0, 0, x, y, 800, 600);
}

void show_picture(int index)
{
    fade_in(index, 0, 0);
}

void show_picture_framed(int index)
{
    fade_in(index, 80, 60);
}
