#include "tests/support/test_resources.h"

#include <cstdlib>
#include <turbojpeg.h>

#include "shell/catalogue.h"

bytes solid_rgb(int width, int height, int rgb)
{
    bytes pixels(size_t(width) * height * 3);
    for (size_t i = 0; i < pixels.size(); i += 3) {
        pixels[i] = rgb >> 16;
        pixels[i + 1] = (rgb >> 8) & 0xFF;
        pixels[i + 2] = rgb & 0xFF;
    }
    return pixels;
}

bytes pattern_rgb(int width, int height)
{
    bytes pixels(size_t(width) * height * 3);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            unsigned char *p = &pixels[(size_t(y) * width + x) * 3];
            p[0] = (x * 7 + y * 3) & 0xFF;
            p[1] = (x * 13 + y * 5) & 0xFF;
            p[2] = (x ^ y) & 0xFF;
        }
    return pixels;
}

bytes encode_jpeg(const bytes &rgb, int width, int height)
{
    tjhandle handle = tjInitCompress();
    unsigned char *out = nullptr;
    unsigned long size = 0;
    int failed = tjCompress2(handle, rgb.data(), width, 0, height, TJPF_RGB, &out, &size,
                             TJSAMP_444, 95, 0);
    bytes stream;
    if (!failed)
        stream.assign(out, out + size);
    tjFree(out);
    tjDestroy(handle);
    return stream;
}

void install_test_resources(const std::vector<bytes> &pictures)
{
    static std::vector<bytes> kept;
    static DATAFILE objects[CATALOGUE_SIZE + 1];
    kept = pictures;
    kept.resize(CATALOGUE_SIZE);
    for (int i = 0; i < CATALOGUE_SIZE; i++) {
        bool is_font = i == SMALL_FONT || i == LARGE_FONT;
        objects[i].type = is_font ? DAT_FONT : DAT_ID('J', 'P', 'G', ' ');
        objects[i].dat = is_font ? (void *)font : kept[i].empty() ? nullptr : kept[i].data();
        objects[i].size = is_font ? 0 : long(kept[i].size());
        objects[i].prop = nullptr;
    }
    objects[CATALOGUE_SIZE] = DATAFILE{nullptr, DAT_END, 0, nullptr};
    resources = objects;
    small_font = font;
    large_font = font;
}

bool near_colour(int a, int b, int tolerance)
{
    for (int shift = 0; shift <= 16; shift += 8)
        if (std::abs(((a >> shift) & 0xFF) - ((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}
