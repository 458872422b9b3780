// libFuzzer target: any bytes through the decoder, at the colour depth FUZZ_DEPTH, which must
// stay inside the stream and the bitmap it makes.
#include <allegro.h>
#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "jpeg/jpeg.h"

// Frames up to the decoder's own line (2^29 pixels) ask for bitmaps of up to 2 GB. Allocations
// above 32 MB fail here instead, so such a frame is decoded as far as the bitmap request and
// then gives null, and a run never waits on gigabytes of pixels.
extern "C" const char *__asan_default_options()
{
    return "allocator_may_return_null=1:max_allocation_size_mb=32";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static bool started = false;
    if (!started) {
        install_allegro(SYSTEM_NONE, &errno, atexit);
        set_color_depth(FUZZ_DEPTH);
        started = true;
    }
    BITMAP *picture = decode_jpeg(data, static_cast<long>(size), nullptr);
    if (picture)
        destroy_bitmap(picture);
    return 0;
}
