// Truncated and damaged streams: run under AddressSanitizer and UBSan by test.sh. The decoder
// must stay inside the stream and its tables; a scan that runs out still gives a picture, as
// long as it holds two bits a block (less is a decompression bomb, refused).
#include <cstdio>
#include <gtest/gtest.h>

#include "jpeg/jpeg.h"
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
        long data = scan + 14 - (sampling == SAMP_GREY ? 4 : 0);
        // 36 blocks in colour (6 MCUs of 4:2:0, 9 of 4:2:2), 15 in grey.
        long blocks = sampling == SAMP_GREY ? 15 : 36;
        for (size_t size = 1; size <= stream.size(); size++) {
            BITMAP *picture = decode_exact(stream, size);
            // Once the scan header is complete a picture comes back when the data holds two
            // bits a block.
            if (static_cast<long>(size) >= data) {
                EXPECT_EQ(picture != nullptr, (static_cast<long>(size) - data) * 8 >= 2 * blocks)
                    << size;
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

// Restart markers where the reader does not expect them: a 0xFF data byte whose passed-over
// byte opens a marker reads as "restart ahead" (DC size 14, AC end of block), and with a DRI
// segment each MCU row steps two bytes on from the reader's position. Both decoders must draw
// the same pictures from these.
TEST_F(Damage, MarkersInsideTheScanDecodeAsThePlainDecoderDoes)
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
    for (const bytes *stream : {&markers, &with_dri})
        EXPECT_EQ(plain_difference(*stream), "");
}

// Frames of 2^29 pixels or more give null, as neither the picture nor the 24-bit one it is
// converted from could be held; the largest frame below that line decodes at the game's depth.
TEST_F(Damage, HugeFramesGiveNullAtEveryDepth)
{
    register_bitmap_file_type("jpg", load_jpg, nullptr);
    auto frame = [](int width, int height) {
        block_stream blocks;
        blocks.width = width;
        blocks.height = height;
        blocks.dc = {7};  // one byte of bits; zero bytes after it repeat the block
        bytes stream = make_block_stream(blocks);
        stream.resize(stream.size() - 2);  // no EOI, whose 0xFF would read as data
        // Zero bytes enough for two bits a block, so that the frame is no bomb.
        long long count = ((width + 7LL) / 8) * ((height + 7LL) / 8);
        stream.resize(stream.size() + static_cast<size_t>(count / 4 + 1), 0);
        return stream;
    };
    const std::pair<int, int> too_large[] = {{16384, 32768}, {32768, 32768}, {46341, 46341},
                                             {65535, 65535}, {65535, 8193}};
    std::vector<bytes> streams;
    for (const auto &size : too_large)
        streams.push_back(frame(size.first, size.second));
    for (int depth : {32, 24, 16, 15, 8}) {
        set_color_depth(depth);
        for (size_t i = 0; i < streams.size(); i++) {
            const auto &size = too_large[i];
            const bytes &stream = streams[i];
            EXPECT_EQ(decode(stream), nullptr) << size.first << "x" << size.second;
            FILE *f = fopen("huge.jpg", "wb");
            fwrite(stream.data(), 1, stream.size(), f);
            fclose(f);
            EXPECT_EQ(load_bitmap("huge.jpg", nullptr), nullptr) << size.first << "x" << size.second;
        }
    }
    set_color_depth(32);
    remove("huge.jpg");
    BITMAP *largest = decode(frame(16383, 32769));
    ASSERT_NE(largest, nullptr);
    EXPECT_EQ(largest->w, 16383);
    EXPECT_EQ(pixel_rgb(largest, 16382, 32768), 0x818181);
    destroy_bitmap(largest);
}

TEST_F(Damage, EmptyFramesGiveNull)
{
    for (const auto &size : {std::make_pair(0, 8), std::make_pair(8, 0), std::make_pair(0, 0)}) {
        block_stream blocks;
        blocks.width = 16;
        blocks.height = 16;
        blocks.dc = {7, 7, 7, 7};
        bytes stream = make_block_stream(blocks);
        long sof = find_marker(stream, 0xC0);
        stream[sof + 5] = stream[sof + 6] = 0;
        stream[sof + 6] = static_cast<unsigned char>(size.second);
        stream[sof + 7] = 0;
        stream[sof + 8] = static_cast<unsigned char>(size.first);
        EXPECT_EQ(decode(stream), nullptr) << size.first << "x" << size.second;
    }
}

// A frame whose scan data is far too short to fill it is refused before the picture is
// allocated: a 23000 x 23000 frame in under two hundred bytes would take 2.1 GB. At two bits
// a block the frame decodes, with one byte fewer it does not.
TEST_F(Damage, DecompressionBombsAreRefusedBeforeAllocating)
{
    block_stream blocks;
    blocks.width = 23000;
    blocks.height = 23000;
    blocks.dc = {7};
    bytes bomb = make_block_stream(blocks);
    EXPECT_LT(bomb.size(), 200u);
    EXPECT_EQ(decode_exact(bomb, bomb.size()), nullptr);

    blocks.width = 256;
    blocks.height = 64;  // 256 blocks: 64 bytes of scan data
    bytes stream = make_block_stream(blocks);
    long data = find_marker(stream, 0xDA) + 10;
    stream.resize(data + 64, 0);
    BITMAP *picture = decode_exact(stream, stream.size());
    EXPECT_NE(picture, nullptr);
    if (picture)
        destroy_bitmap(picture);
    EXPECT_EQ(decode_exact(stream, stream.size() - 1), nullptr);
}
