// libFuzzer target: the game's decoder and the plain one on the same bytes, at 32 bits as in
// the game. Any difference in a pixel, a size or a null aborts.
#include <allegro.h>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "jpeg/jpeg.h"
#include "tests/jpeg/reference_jpeg.h"

// As in the crash target: bitmaps above 32 MB are refused by the allocator, which both
// decoders then report as null (the plain one converts from 24 bits and needs the same
// 32-bit bitmap in the end).
extern "C" const char *__asan_default_options()
{
    return "allocator_may_return_null=1:max_allocation_size_mb=32";
}

static void differ(const char *what, int x, int y)
{
    fprintf(stderr, "decoders differ: %s (%d, %d)\n", what, x, y);
    abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static bool started = false;
    if (!started) {
        install_allegro(SYSTEM_NONE, &errno, atexit);
        set_color_depth(32);
        started = true;
    }
    long length = static_cast<long>(size);
    BITMAP *fast = decode_jpeg(data, length, nullptr);
    BITMAP *plain = reference_decode_jpeg(data, length, nullptr);
    if (!fast != !plain)
        differ(fast ? "only the plain decoder gave null" : "only the game's decoder gave null", 0, 0);
    if (fast) {
        if (fast->w != plain->w || fast->h != plain->h)
            differ("picture sizes", fast->w, fast->h);
        for (int y = 0; y < fast->h; y++)
            for (int x = 0; x < fast->w; x++)
                if (getpixel(fast, x, y) != getpixel(plain, x, y))
                    differ("pixel", x, y);
        destroy_bitmap(fast);
        destroy_bitmap(plain);
    }
    return 0;
}
