#include "shell/picture.h"

#include "platform/i_screen.h"
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

// Cross-fades the picture onto the canvas with its top-left corner at (x, y), showing each
// step at the next retrace. Each step draws over the canvas as the previous step left it, so
// the old content fades cumulatively; the final opaque copy makes the picture exact. Only the
// picture's own rectangle changes, so only it is shown. The blender is left at the last
// step's alpha.
static void fade_in(int index, int x, int y)
{
    set_trans_blender(0, 0, 0, 255);
    BITMAP *picture = decode_current_picture(index);
    if (!picture)
        return;  // the screen keeps what it shows
    int w = picture->w < CANVAS_W ? picture->w : CANVAS_W;
    int h = picture->h < CANVAS_H ? picture->h : CANVAS_H;
    for (int alpha = 0; alpha <= 255; alpha += 32) {
        set_trans_blender(0, 0, 0, alpha);
        draw_trans_sprite(canvas, picture, x, y);
        vsync();
        present(x, y, w, h);
    }
    blit(picture, canvas, 0, 0, x, y, CANVAS_W, CANVAS_H);
    present(x, y, w, h);
}

void show_picture(int index)
{
    fade_in(index, 0, 0);
}

void show_picture_framed(int index)
{
    fade_in(index, PHOTO_FRAME_X, PHOTO_FRAME_Y);
}
