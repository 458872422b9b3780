// What first tells apart two decodes of one stream, the game decoder's and the plain one's.
#ifndef VELMORA_TEST_PICTURE_DIFFERENCE_H
#define VELMORA_TEST_PICTURE_DIFFERENCE_H

#include <allegro.h>
#include <string>

// Empty when both are null, or both have the same size and the same pixels; else what
// differs first (a null, the size, or the first pixel in row order).
inline std::string picture_difference(BITMAP *fast, BITMAP *plain)
{
    if (!fast != !plain)
        return fast ? "only the plain decoder gives null" : "only the game's decoder gives null";
    if (!fast)
        return "";
    if (fast->w != plain->w || fast->h != plain->h)
        return "picture sizes differ";
    for (int y = 0; y < fast->h; y++)
        for (int x = 0; x < fast->w; x++)
            if (getpixel(fast, x, y) != getpixel(plain, x, y))
                return "pixel " + std::to_string(x) + "," + std::to_string(y);
    return "";
}

#endif
