// The decoder's exact arithmetic and its accepted subset, on streams whose contents are known.
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>

#include "jpeg/jpeg.h"
#include "jpeg_streams.h"

namespace {

class Decoder : public ::testing::Test {
protected:
    void SetUp() override { start_allegro_for_decoding(); }
};

int grey_at(BITMAP *picture, int x, int y)
{
    return pixel_rgb(picture, x, y) & 0xFF;
}

// Dequantised DC value that gives the level-shifted sample s in every pixel of a block.
int dc_for(int sample)
{
    return (sample - 128) * 8;
}

}  // namespace

TEST_F(Decoder, DcOnlyBlocksAndClampingOfSamples)
{
    block_stream blocks;
    blocks.width = 40;
    blocks.dc = {80, -80, -5, dc_for(300), dc_for(-20)};
    BITMAP *picture = decode(make_block_stream(blocks));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(bitmap_color_depth(picture), 32);
    const int expected[] = {138, 118, 127, 255, 0};
    for (int block = 0; block < 5; block++)
        for (int y = 0; y < 8; y++)
            for (int x = 0; x < 8; x++)
                ASSERT_EQ(pixel_rgb(picture, block * 8 + x, y), expected[block] * 0x010101)
                    << "block " << block << " at " << x << "," << y;
    destroy_bitmap(picture);
}

// Samples outside 0..255 are converted as they are; only the channels are limited after.
TEST_F(Decoder, ColourConversionWithoutRoundingTermLimitsAfterConverting)
{
    const int samples[6][3] = {{76, 85, 255}, {29, 255, 107}, {0, 0, 0},
                               {-20, 128, 255}, {128, 128, 128}, {300, 128, 0}};
    const int expected[6] = {0xFE0000, 0x0000FE, 0x008700, 0x9E0000, 0x808080, 0x78FFFF};
    block_stream blocks;
    blocks.width = 48;
    blocks.components = 3;
    for (const auto &s : samples)
        blocks.dc.insert(blocks.dc.end(), {dc_for(s[0]), dc_for(s[1]), dc_for(s[2])});
    BITMAP *picture = decode(make_block_stream(blocks));
    ASSERT_NE(picture, nullptr);
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(pixel_rgb(picture, i * 8 + 3, 4), expected[i]) << "example " << i;
    destroy_bitmap(picture);
}

TEST_F(Decoder, UnmatchedAcCodeDrawsACrossAndDecodingGoesOn)
{
    block_stream blocks;
    blocks.width = 16;
    blocks.no_ac_code = true;
    blocks.dc = {80, 80};
    BITMAP *picture = decode(make_block_stream(blocks));
    ASSERT_NE(picture, nullptr);
    for (int block = 0; block < 2; block++)
        for (int y = 0; y < 8; y++)
            for (int x = 0; x < 8; x++) {
                bool on_cross = x == y || x == 7 - y;
                ASSERT_EQ(grey_at(picture, block * 8 + x, y), on_cross ? 255 : 0);
            }
    destroy_bitmap(picture);

    // In colour the chroma blocks get the cross too, drawn twice as wide over the two luma
    // blocks: the colour of each pixel tells which crosses it lies on.
    blocks.components = 3;
    blocks.h = 2;
    blocks.dc = {80, 80, 0, 0};
    picture = decode(make_block_stream(blocks));
    ASSERT_NE(picture, nullptr);
    const int colours[2][2] = {{0x008700, 0xB200E1}, {0x4BFF1C, 0xFF78FF}};  // [luma][chroma]
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 16; x++) {
            bool luma = x % 8 == y || x % 8 == 7 - y, chroma = x / 2 == y || x / 2 == 7 - y;
            ASSERT_EQ(pixel_rgb(picture, x, y), colours[luma][chroma]) << x << "," << y;
        }
    destroy_bitmap(picture);
}

TEST_F(Decoder, SizesThatAreNotMultiplesOfTheMcu)
{
    for (int sampling : {SAMP_444, SAMP_422, SAMP_420, SAMP_GREY}) {
        bytes stream = encode_turbo(37, 23, sampling, 90);
        BITMAP *picture = decode(stream);
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->w, 37);
        EXPECT_EQ(picture->h, 23);
        destroy_bitmap(picture);
    }
    // 800x600 in 4:2:0: 50 x 38 MCUs, the last row half outside the picture.
    BITMAP *picture = decode(encode_turbo(800, 600, SAMP_420, 85));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->w, 800);
    EXPECT_EQ(picture->h, 600);
    destroy_bitmap(picture);
}

TEST_F(Decoder, GreyPicturesHaveEqualChannels)
{
    BITMAP *picture = decode(encode_turbo(64, 48, SAMP_GREY, 80));
    ASSERT_NE(picture, nullptr);
    for (int y = 0; y < 48; y++)
        for (int x = 0; x < 64; x++) {
            int c = pixel_rgb(picture, x, y);
            ASSERT_EQ(c, (c & 0xFF) * 0x010101);
        }
    destroy_bitmap(picture);
}

// Streams outside the accepted subset, each made from a good one by one change.
TEST_F(Decoder, RejectedStreamsGiveNull)
{
    const bytes good = encode_turbo(32, 32, SAMP_420, 90);
    long app0 = find_marker(good, 0xE0);
    long sof = find_marker(good, 0xC0);
    long dqt = find_marker(good, 0xDB);
    ASSERT_GT(app0, 0);
    ASSERT_GT(sof, 0);
    ASSERT_GT(dqt, 0);
    BITMAP *ok = decode(good);
    ASSERT_NE(ok, nullptr);
    destroy_bitmap(ok);

    std::vector<std::pair<const char *, bytes>> cases;
    cases.push_back({"APP1", insert_at(good, 2, {0xFF, 0xE1, 0, 8, 'E', 'x', 'i', 'f', 0, 0})});
    cases.push_back({"APP14", insert_at(good, 2, {0xFF, 0xEE, 0, 4, 0, 0})});
    bytes progressive = good;
    progressive[sof + 1] = 0xC2;
    cases.push_back({"SOF2", progressive});
    bytes no_app0 = good;
    no_app0.erase(no_app0.begin() + app0, no_app0.begin() + app0 + 2 + (good[app0 + 2] << 8 | good[app0 + 3]));
    cases.push_back({"no APP0", no_app0});
    bytes jfxx = good;
    jfxx[app0 + 7] = 'X';
    jfxx[app0 + 8] = 'X';
    cases.push_back({"JFXX", jfxx});
    bytes version2 = good;
    version2[app0 + 9] = 2;
    cases.push_back({"version 2", version2});
    bytes wide_tables = good;
    wide_tables[dqt + 4] |= 0x10;
    cases.push_back({"16-bit tables", wide_tables});
    cases.push_back({"fill bytes", insert_at(good, sof, {0xFF})});
    bytes long_comment = {0xFF, 0xFE, 0x27, 0x12};  // 10002 bytes of comment
    long_comment.resize(4 + 10000, 'c');
    cases.push_back({"SOS past 10000", insert_at(good, 2, long_comment)});
    cases.push_back({"header cut short", bytes(good.begin(), good.begin() + sof + 6)});
    for (const auto &c : cases)
        EXPECT_EQ(decode(c.second), nullptr) << c.first;
}

TEST_F(Decoder, CommentsAndThumbnailsArePassedOver)
{
    const bytes good = encode_turbo(48, 32, SAMP_444, 90);
    BITMAP *original = decode(good);
    ASSERT_NE(original, nullptr);
    long app0 = find_marker(good, 0xE0);
    bytes with_thumbnail = good;
    // A 1x1 thumbnail: the APP0 grows by three bytes.
    with_thumbnail[app0 + 3] += 3;
    with_thumbnail[app0 + 16] = 1;
    with_thumbnail[app0 + 17] = 1;
    with_thumbnail.insert(with_thumbnail.begin() + app0 + 18, {0xFF, 0xFF, 0xFF});
    bytes with_comment = insert_at(good, find_marker(good, 0xDA), {0xFF, 0xFE, 0, 5, 'h', 'i', '!'});
    for (const bytes &variant : {with_thumbnail, with_comment}) {
        BITMAP *picture = decode(variant);
        ASSERT_NE(picture, nullptr);
        for (int y = 0; y < 32; y++)
            for (int x = 0; x < 48; x++)
                ASSERT_EQ(pixel_rgb(picture, x, y), pixel_rgb(original, x, y));
        destroy_bitmap(picture);
    }
    destroy_bitmap(original);
}

// Luma sampling is read as H and V: 1 x 2 (4:4:0) is not 2 x 1 laid on its side. Each layout
// gives libjpeg's samples (jpeg_peer_test); here, the two must differ.
TEST_F(Decoder, VerticalLumaSamplingIsNotLaidOutAsHorizontal)
{
    bytes stream = encode_turbo(32, 16, SAMP_422, 90);
    long sof = find_marker(stream, 0xC0);
    ASSERT_EQ(stream[sof + 11], 0x21);
    BITMAP *h2v1 = decode(stream);
    stream[sof + 11] = 0x12;
    BITMAP *h1v2 = decode(stream);
    ASSERT_NE(h2v1, nullptr);
    ASSERT_NE(h1v2, nullptr);
    long same = 0;
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 32; x++)
            same += pixel_rgb(h1v2, x, y) == pixel_rgb(h2v1, x, y);
    EXPECT_LT(same, 16 * 32 / 2);
    destroy_bitmap(h2v1);
    destroy_bitmap(h1v2);
}

// The DRI interval is read and MCUs are counted to it, across rows: cjpeg's restart markers
// every 1, 2 or 5 MCUs, or every MCU row, give the picture of the stream without restarts.
// An interval of 0 means no restarts, so a stream that has its markers every row then
// decodes wrong, as it should: its markers are read as data.
TEST_F(Decoder, RestartIntervalsAreCountedInMcus)
{
    const char *base = "-dct int -baseline -sample 2x2 ";
    const bytes plain = run_cjpeg(48, 40, false, std::string(base) + "-restart 0");
    ASSERT_EQ(find_marker(plain, 0xDD), -1);
    BITMAP *want = decode(plain);
    ASSERT_NE(want, nullptr);
    for (const char *restarts : {"-restart 1B", "-restart 2B", "-restart 5B", "-restart 1"}) {
        const bytes stream = run_cjpeg(48, 40, false, std::string(base) + restarts);
        ASSERT_GT(find_marker(stream, 0xDD), 0) << restarts;
        BITMAP *picture = decode(stream);
        ASSERT_NE(picture, nullptr) << restarts;
        for (int y = 0; y < 40; y++)
            for (int x = 0; x < 48; x++)
                ASSERT_EQ(pixel_rgb(picture, x, y), pixel_rgb(want, x, y)) << restarts;
        destroy_bitmap(picture);
    }
    bytes no_interval = run_cjpeg(48, 40, false, std::string(base) + "-restart 1");
    long dri = find_marker(no_interval, 0xDD);
    ASSERT_EQ(no_interval[dri + 5], 3) << "cjpeg's interval: the three MCUs of a row";
    no_interval[dri + 5] = 0;
    BITMAP *picture = decode(no_interval);
    ASSERT_NE(picture, nullptr);
    long same = 0;
    for (int y = 16; y < 40; y++)
        for (int x = 0; x < 48; x++)
            same += pixel_rgb(picture, x, y) == pixel_rgb(want, x, y);
    EXPECT_LT(same, 24 * 48 / 2) << "the rows after the first marker";
    destroy_bitmap(picture);
    destroy_bitmap(want);
}

// Streams whose components the one scan does not cover as a layout: a wrong picture would
// come back, so they give null.
TEST_F(Decoder, ScansThatAreNotALayoutGiveNull)
{
    const bytes good = encode_turbo(32, 32, SAMP_420, 90);
    long sof = find_marker(good, 0xC0);
    long sos = find_marker(good, 0xDA);
    std::vector<std::pair<const char *, bytes>> cases;
    bytes chroma = good;
    chroma[sof + 14] = 0x21;
    cases.push_back({"Cb sampled 2x1", chroma});
    bytes order = good;
    std::swap(order[sos + 7], order[sos + 9]);
    cases.push_back({"scan components in the order 2, 1, 3", order});
    bytes first_only = {0xFF, 0xDA, 0, 8, 1, 1, 0x00, 0, 63, 0};
    first_only.insert(first_only.end(), good.begin() + sos + 2 + (good[sos + 2] << 8 | good[sos + 3]),
                      good.end());
    bytes separate(good.begin(), good.begin() + sos);
    separate.insert(separate.end(), first_only.begin(), first_only.end());
    cases.push_back({"components in separate scans", separate});
    bytes four = good;
    four[sof + 9] = 4;  // a fourth component record is read from the next bytes
    cases.push_back({"four components", four});
    bytes grey_frame = encode_turbo(32, 32, SAMP_GREY, 90);
    grey_frame[find_marker(grey_frame, 0xC0) + 10] = 2;
    cases.push_back({"grey component numbered 2", grey_frame});
    for (const auto &c : cases)
        EXPECT_EQ(decode(c.second), nullptr) << c.first;
}

// Limits of the tables: nothing may be read or written outside them, so these give null.
TEST_F(Decoder, StreamsBeyondTheTablesGiveNull)
{
    const bytes good = encode_turbo(16, 16, SAMP_444, 90);
    long sos = find_marker(good, 0xDA);
    long sof = find_marker(good, 0xC0);
    bytes big_table = {0xFF, 0xC4, 0x01, 0x13, 0x10};  // counts 16 x 17 = 272 codes
    for (int i = 0; i < 16; i++)
        big_table.push_back(17);
    big_table.resize(big_table.size() + 272, 0);
    EXPECT_EQ(decode(insert_at(good, sos, big_table)), nullptr) << "more than 256 codes";
    bytes selector = good;
    selector[sos + 6] = 0x22;
    EXPECT_EQ(decode(selector), nullptr) << "Huffman selector 2";
    bytes quant = good;
    quant[sof + 12] = 2;
    EXPECT_EQ(decode(quant), nullptr) << "quantisation selector 2";
    bytes sampling = good;
    sampling[sof + 11] = 0x31;
    EXPECT_EQ(decode(sampling), nullptr) << "luma sampling 3x1";
    sampling[sof + 11] = 0x44;
    EXPECT_EQ(decode(sampling), nullptr) << "luma sampling 4x4, 16 blocks";
}

TEST_F(Decoder, PaletteArgumentReceivesThe332Palette)
{
    PALETTE expected, got;
    generate_332_palette(expected);
    for (int i = 0; i < 256; i++)
        got[i].r = got[i].g = got[i].b = 77;
    BITMAP *picture = decode(encode_turbo(16, 16, SAMP_420, 90), got);
    ASSERT_NE(picture, nullptr);
    for (int i = 0; i < 256; i++) {
        EXPECT_EQ(got[i].r, expected[i].r);
        EXPECT_EQ(got[i].g, expected[i].g);
        EXPECT_EQ(got[i].b, expected[i].b);
    }
    destroy_bitmap(picture);
}

TEST_F(Decoder, LoaderReadsWholeFiles)
{
    const bytes stream = encode_turbo(40, 30, SAMP_420, 90);
    const char *name = "loader_test.jpg";
    FILE *f = fopen(name, "wb");
    fwrite(stream.data(), 1, stream.size(), f);
    fclose(f);
    PALETTE expected, got;
    generate_332_palette(expected);
    memset(got, 77, sizeof got);
    BITMAP *from_file = load_jpg(name, got);
    BITMAP *from_memory = decode(stream);
    ASSERT_NE(from_file, nullptr);
    for (int i = 0; i < 256; i++)
        ASSERT_TRUE(got[i].r == expected[i].r && got[i].g == expected[i].g &&
                    got[i].b == expected[i].b) << "palette entry " << i;
    for (int y = 0; y < 30; y++)
        for (int x = 0; x < 40; x++)
            ASSERT_EQ(pixel_rgb(from_file, x, y), pixel_rgb(from_memory, x, y));
    destroy_bitmap(from_file);
    destroy_bitmap(from_memory);

    EXPECT_EQ(load_jpg("no_such_picture.jpg", nullptr), nullptr);
    fclose(fopen("empty.jpg", "wb"));
    EXPECT_EQ(load_jpg("empty.jpg", nullptr), nullptr);
    remove(name);
    remove("empty.jpg");
}
