// libFuzzer target: the game's decoder and the plain one on the same bytes, at 32 bits as in
// the game. Any difference in a pixel, a size or a null aborts.
#include <allegro.h>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "jpeg/jpeg.h"
#include "tests/jpeg/picture_difference.h"
#include "tests/jpeg/plain_jpeg.h"

// As in the crash target: bitmaps above 32 MB are refused by the allocator, which both
// decoders then report as null (the plain one converts from 24 bits and needs the same
// 32-bit bitmap in the end).
extern "C" const char *__asan_default_options()
{
    return "allocator_may_return_null=1:max_allocation_size_mb=32";
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
    BITMAP *plain = plain_decode_jpeg(data, length, nullptr);
    std::string why = picture_difference(fast, plain);
    if (!why.empty()) {
        fprintf(stderr, "decoders differ: %s\n", why.c_str());
        abort();
    }
    if (fast)
        destroy_bitmap(fast);
    if (plain)
        destroy_bitmap(plain);
    return 0;
}
