// The game's own decoder against libjpeg-turbo on every picture of velmora.dat.
#include "jpeg/jpeg.h"
#include "shell/catalogue.h"
#include "tests/assets/data/built_data.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(velmora_pictures, game_decoder_agrees_with_libjpeg)
{
    DATAFILE *d = built_datafile();
    ASSERT_NE(d, nullptr);
    for (int i = 0; i < CATALOGUE_SIZE; i++) {
        if (i == SMALL_FONT || i == LARGE_FONT)
            continue;
        SCOPED_TRACE("object " + std::to_string(i));
        rgb_picture want = peer_decode_object(i, true);
        BITMAP *got = decode_jpeg((const unsigned char *)d[i].dat, d[i].size, nullptr);
        ASSERT_NE(got, nullptr);
        ASSERT_EQ(got->w, want.width);
        ASSERT_EQ(got->h, want.height);
        // The two differ in rounding (libjpeg adds a rounding term to its colour conversion
        // and limits samples before it): allow small differences, but only small ones.
        int depth = bitmap_color_depth(got);
        long total = 0, far = 0, channels = 0;
        for (int y = 0; y < got->h; y++) {
            for (int x = 0; x < got->w; x++) {
                int p = getpixel(got, x, y);
                unsigned w = want.pixel(x, y);
                int diff[3] = {getr_depth(depth, p) - (int)(w >> 16),
                               getg_depth(depth, p) - (int)((w >> 8) & 255),
                               getb_depth(depth, p) - (int)(w & 255)};
                for (int c : diff) {
                    total += std::abs(c);
                    far += std::abs(c) > 3;
                    channels++;
                }
            }
        }
        EXPECT_LT((double)total / channels, 1.5);
        EXPECT_LT((double)far / channels, 0.01);
        destroy_bitmap(got);
    }
}
