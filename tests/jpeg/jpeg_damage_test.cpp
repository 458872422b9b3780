// Truncated and damaged streams: run under AddressSanitizer and UBSan by test.sh. The decoder
// must stay inside the stream and its tables; a scan that runs out still gives a picture.
#include <gtest/gtest.h>

#include "jpeg_streams.h"

namespace {

class Damage : public ::testing::Test {
protected:
    void SetUp() override { start_allegro_for_decoding(); }
};

// Decodes a private copy of exactly `size` bytes, so reading one byte more is caught.
BITMAP *decode_exact(const bytes &stream, size_t size)
{
    std::vector<unsigned char> copy(stream.begin(), stream.begin() + size);
    copy.shrink_to_fit();
    return decode(copy);
}

}  // namespace

TEST_F(Damage, EveryTruncation)
{
    for (int sampling : {SAMP_420, SAMP_GREY, SAMP_422}) {
        bytes stream = encode_turbo(40, 24, sampling, 85);
        long scan = find_marker(stream, 0xDA);
        for (size_t size = 1; size <= stream.size(); size++) {
            BITMAP *picture = decode_exact(stream, size);
            // Once the scan header is complete a picture always comes back.
            if (static_cast<long>(size) >= scan + 14 - (sampling == SAMP_GREY ? 4 : 0)) {
                EXPECT_NE(picture, nullptr) << size;
            }
            if (picture)
                destroy_bitmap(picture);
        }
    }
}

TEST_F(Damage, BitFlipsAndRestartMarkers)
{
    bytes stream = encode_turbo(48, 32, SAMP_420, 75);
    unsigned state = 99;
    for (size_t at = 0; at < stream.size(); at++) {
        for (int repeat = 0; repeat < 3; repeat++) {
            bytes damaged = stream;
            state = state * 1103515245u + 12345u;
            damaged[at] ^= static_cast<unsigned char>(1u << ((state >> 16) % 8));
            BITMAP *picture = decode_exact(damaged, damaged.size());
            if (picture)
                destroy_bitmap(picture);
        }
    }
    // A DRI segment without restart markers in the data: the restart step lands anywhere.
    bytes restarts = insert_at(stream, find_marker(stream, 0xDA), {0xFF, 0xDD, 0, 4, 0, 1});
    BITMAP *picture = decode_exact(restarts, restarts.size());
    ASSERT_NE(picture, nullptr);
    destroy_bitmap(picture);
}
