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

namespace {

// FNV-1a over the picture's pixels, row by row.
unsigned picture_hash(BITMAP *picture)
{
    unsigned hash = 2166136261u;
    for (int y = 0; y < picture->h; y++)
        for (int x = 0; x < picture->w; x++)
            hash = (hash ^ static_cast<unsigned>(pixel_rgb(picture, x, y))) * 16777619u;
    return hash;
}

}  // namespace

// Restart markers where the reader does not expect them: a 0xFF data byte whose passed-over
// byte opens a marker reads as "restart ahead" (DC size 14, AC end of block), and with a DRI
// segment each MCU row steps two bytes on from the reader's position. The pictures these make
// are pinned by hash, as the decoder has always drawn them.
TEST_F(Damage, MarkersInsideTheScanKeepTheirPictures)
{
    block_stream blocks;
    blocks.width = 32;
    blocks.height = 24;
    for (int i = 0; i < 12; i++)
        blocks.dc.push_back((i * 37) % 200 - 100);
    const bytes clean = make_block_stream(blocks);
    long scan = find_marker(clean, 0xDA) + 10;
    bytes markers = insert_at(clean, scan + 3, {0xFF, 0xFF, 0xD0});
    markers = insert_at(markers, scan + 9, {0xFF, 0xFF, 0xD3, 0xFF, 0xFF, 0xD4});
    markers = insert_at(markers, scan, {0xFF, 0xFF, 0xD1});
    bytes with_dri = insert_at(markers, find_marker(markers, 0xDA), {0xFF, 0xDD, 0, 4, 0, 4});
    const std::pair<const bytes *, unsigned> cases[] = {{&markers, 67400645u},
                                                        {&with_dri, 2705954117u}};
    for (const auto &c : cases) {
        BITMAP *picture = decode_exact(*c.first, c.first->size());
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture_hash(picture), c.second);
        destroy_bitmap(picture);
    }
}
