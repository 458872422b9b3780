// JPEG streams for the decoder's tests: hand-built ones whose every coefficient is known, real
// ones from libjpeg-turbo's encoder, and libjpeg's own decode as the peer to compare with.
#ifndef VELMORA_TEST_JPEG_STREAMS_H
#define VELMORA_TEST_JPEG_STREAMS_H

#include <allegro.h>
#include <string>
#include <vector>

typedef std::vector<unsigned char> bytes;

// Allegro without a screen, 32-bit colour depth as in the game.
void start_allegro_for_decoding();

// A stream of DC-only blocks: `dc` holds the dequantised DC value of each block in scan
// order (quantisation is 1), `components` is 1 (grey) or 3 with the given luma H and V.
// `no_ac_code` makes the AC table unable to match the 16 one bits written after each DC;
// `first_ac` (up to 15 bits), when not 0, is the first AC term (row 0, column 1) of each block.
struct block_stream {
    int width = 8, height = 8, components = 1, h = 1, v = 1;
    std::vector<int> dc;
    bool no_ac_code = false;
    int first_ac = 0;
};
bytes make_block_stream(const block_stream &blocks);

// A gradient-and-noise test image and its encoding by libjpeg-turbo.
std::vector<unsigned char> test_image(int width, int height, int channels, unsigned seed);
enum { SAMP_444, SAMP_422, SAMP_420, SAMP_GREY };
bytes encode_turbo(int width, int height, int sampling, int quality, unsigned seed = 1);
// The test image encoded by the cjpeg program with these options ("-dct int -baseline" and
// the like); empty when cjpeg fails. Works through files in the working folder.
bytes run_cjpeg(int width, int height, bool grey, const std::string &options);

// The streams every decoder test starts from: cjpeg's and libjpeg-turbo's encodings in each
// layout, with restart markers, odd sizes and optimised tables, and hand-built streams for
// the cases real encoders never write (AC codes that match nothing, DC terms large enough to
// wrap the inverse DCT, Huffman tables defined twice, markers inside the scan).
std::vector<bytes> jpeg_corpus();

// libjpeg's YCbCr samples (no fancy upsampling, slow integer IDCT) converted to RGB with the
// game's formulas; `overshoot` marks pixels where libjpeg limited a sample to 0 or 255
// before conversion, which the game does after it.
struct peer_picture {
    int width = 0, height = 0;
    std::vector<int> rgb;  // 0xRRGGBB per pixel
    std::vector<bool> overshoot;
};
bool decode_peer(const bytes &stream, peer_picture &out);

int pixel_rgb(BITMAP *picture, int x, int y);  // 0xRRGGBB

// Segment surgery on a stream: the offset of the first marker with this code, or -1.
long find_marker(const bytes &stream, int code);
bytes insert_at(const bytes &stream, long at, const bytes &piece);

BITMAP *decode(const bytes &stream, RGB *palette = nullptr);

// The differential check: decodes a private copy of exactly the stream's bytes with the game's
// decoder and with the plain one (plain_jpeg.h); empty when they agree (pixels, sizes and
// nulls), else what differs first.
std::string plain_difference(const bytes &stream);

#endif
