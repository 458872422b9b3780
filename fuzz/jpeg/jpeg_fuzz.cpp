// libFuzzer target: any bytes through the decoder, which must stay inside them.
#include <allegro.h>
#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "jpeg/jpeg.h"

// Frame headers naming huge pictures only measure the allocator; keep them out.
static bool picture_too_large(const uint8_t *data, size_t size)
{
    for (size_t i = 0; i + 8 < size; i++)
        if (data[i] == 0xFF && (data[i + 1] == 0xC0 || data[i + 1] == 0xC1)) {
            long height = (data[i + 5] << 8) | data[i + 6];
            long width = (data[i + 7] << 8) | data[i + 8];
            if (width * height > 1024 * 1024)
                return true;
        }
    return false;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static bool started = false;
    if (!started) {
        install_allegro(SYSTEM_NONE, &errno, atexit);
        set_color_depth(32);
        started = true;
    }
    if (picture_too_large(data, size))
        return 0;
    BITMAP *picture = decode_jpeg(data, static_cast<long>(size), nullptr);
    if (picture)
        destroy_bitmap(picture);
    return 0;
}
