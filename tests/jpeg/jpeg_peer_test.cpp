// The peer test: the game's decoder against libjpeg-turbo on streams made by cjpeg and by
// libjpeg-turbo's encoder.
//
// Tolerance: pixels agree exactly, except where libjpeg limited a Y, Cb or Cr sample to 0 or
// 255 before colour conversion. The game converts the unlimited samples and limits only the
// resulting channels, so those pixels may differ legitimately; nowhere else may they.
#include <gtest/gtest.h>
#include <string>

#include "jpeg_streams.h"

namespace {

void expect_agreement(const bytes &stream, const std::string &what)
{
    ASSERT_FALSE(stream.empty()) << what;
    peer_picture peer;
    ASSERT_TRUE(decode_peer(stream, peer)) << what;
    BITMAP *picture = decode(stream);
    ASSERT_NE(picture, nullptr) << what;
    ASSERT_EQ(picture->w, peer.width);
    ASSERT_EQ(picture->h, peer.height);
    long differing = 0, excused = 0;
    for (int y = 0; y < peer.height; y++)
        for (int x = 0; x < peer.width; x++) {
            size_t at = static_cast<size_t>(y) * peer.width + x;
            if (pixel_rgb(picture, x, y) == peer.rgb[at])
                continue;
            if (peer.overshoot[at])
                excused++;
            else
                differing++;
        }
    EXPECT_EQ(differing, 0) << what << " (" << excused << " pixels excused by overshoot)";
    destroy_bitmap(picture);
}

class Peer : public ::testing::Test {
protected:
    void SetUp() override { start_allegro_for_decoding(); }
};

}  // namespace

TEST_F(Peer, CjpegSamplingsSizesAndQualities)
{
    struct variant {
        int width, height;
        bool grey;
        const char *options;
    };
    const variant variants[] = {
        {800, 600, false, "-sample 2x2 -quality 75"},
        {640, 480, false, "-sample 1x1 -quality 95"},
        {333, 211, false, "-sample 2x1 -quality 50"},
        {97, 61, false, "-sample 2x2 -quality 100"},
        {121, 90, true, "-grayscale -quality 85"},
        {200, 150, false, "-sample 2x2 -optimize -quality 60"},
        {160, 120, false, "-sample 2x2 -restart 1 -quality 80"},
        {75, 45, false, "-sample 1x1 -restart 1 -optimize -quality 70"},
        {64, 64, true, "-grayscale -restart 1 -quality 90"},
        {150, 103, false, "-sample 1x2 -quality 75"},
        {150, 103, false, "-sample 4x1 -quality 75"},
        {149, 227, false, "-sample 4x2 -quality 60"},
        {149, 227, false, "-sample 2x4 -restart 3B -quality 60"},
        {91, 100, false, "-sample 1x4 -quality 85"},
        {227, 149, true, "-grayscale -restart 8B -quality 80"},
        {160, 120, false, "-sample 2x2 -restart 7B -quality 80"},
        {75, 45, false, "-sample 1x1 -restart 2 -quality 70"},
    };
    for (const variant &v : variants)
        expect_agreement(run_cjpeg(v.width, v.height, v.grey, std::string("-dct int -baseline ") +
                                                                  v.options),
                         v.options);
}

TEST_F(Peer, TurboEncoderStreams)
{
    for (int quality : {50, 75, 90, 100})
        for (int sampling : {SAMP_444, SAMP_422, SAMP_420, SAMP_GREY})
            expect_agreement(encode_turbo(131, 77, sampling, quality, quality),
                             "sampling " + std::to_string(sampling) + " quality " +
                                 std::to_string(quality));
}
