// Decodes on several threads at once, run under ThreadSanitizer by test.sh: each thread's
// pictures must equal those of a decode alone, while the tests' kernel switch is thrown.
#include <gtest/gtest.h>

#include <thread>

#include "jpeg/jpeg_parts.h"
#include "jpeg_streams.h"
#include "picture_difference.h"

TEST(Threads, DecodesAtOnceGiveThePicturesOfDecodesAlone)
{
    start_allegro_for_decoding();
    const bytes streams[] = {encode_turbo(160, 120, SAMP_420, 85),
                             encode_turbo(97, 61, SAMP_444, 90),
                             run_cjpeg(120, 90, false, "-dct int -baseline -sample 1x2 -restart 2B")};
    BITMAP *alone[3];
    for (int i = 0; i < 3; i++)
        ASSERT_NE(alone[i] = decode(streams[i]), nullptr);
    std::string differences[3];
    auto decode_often = [&](int i) {
        for (int n = 0; n < 20 && differences[i].empty(); n++) {
            BITMAP *picture = decode(streams[i]);
            differences[i] = picture_difference(picture, alone[i]);
            if (picture)
                destroy_bitmap(picture);
        }
    };
    std::thread threads[] = {std::thread(decode_often, 0), std::thread(decode_often, 1),
                             std::thread(decode_often, 2)};
    for (int n = 0; n < 20; n++)
        jpeg_parts::force_kernels(jpeg_parts::kernel_set(n % 3));
    for (std::thread &t : threads)
        t.join();
    jpeg_parts::force_kernels(jpeg_parts::widest_kernels());
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(differences[i], "") << "stream " << i;
        destroy_bitmap(alone[i]);
    }
}
