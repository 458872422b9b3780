// The differential test: the game's decoder against the plain one, the same pixels and the
// same nulls on the whole corpus at every depth with every kernel set, on every truncation of
// it, and on a few thousand damaged copies.
#include <algorithm>
#include <gtest/gtest.h>

#include "jpeg/jpeg_parts.h"
#include "jpeg_streams.h"

namespace {

class Differential : public ::testing::Test {
protected:
    void SetUp() override { start_allegro_for_decoding(); }
};

unsigned next_random(unsigned &state)
{
    state = state * 1103515245u + 12345u;
    return state >> 8;
}

// One damaged copy of `stream`, the kind of damage picked by `kind`.
bytes damaged(const bytes &stream, int kind, unsigned &state)
{
    bytes out = stream;
    long size = static_cast<long>(stream.size());
    long at = next_random(state) % size;
    unsigned char value = static_cast<unsigned char>(next_random(state));
    long scan = find_marker(stream, 0xDA);
    switch (kind) {
    case 0:
        out[at] ^= static_cast<unsigned char>(1u << (value % 8));
        return out;
    case 1:  // a restart marker of any number
        return insert_at(stream, at, {0xFF, static_cast<unsigned char>(0xD0 + value % 8)});
    case 2:
        return insert_at(stream, at, {0xFF, 0xFF});
    case 3: {  // a stretch of the scan cut out (a cut frame header can ask for 2^28 pixels)
        long from = scan + at % (size - scan);
        out.erase(out.begin() + from, out.begin() + std::min(size, from + 1 + value % 40));
        return out;
    }
    case 4: {  // the first Huffman table defined again with one count changed
        long dht = find_marker(stream, 0xC4);
        bytes table(stream.begin() + dht, stream.begin() + dht + 4 + (stream[dht + 2] << 8) +
                                                stream[dht + 3] - 2);
        table[5 + value % 16] ^= static_cast<unsigned char>(1 + next_random(state) % 3);
        return insert_at(stream, scan, table);
    }
    case 5: {  // another picture size
        long sof = find_marker(stream, 0xC0);
        out[sof + 5] = out[sof + 7] = 0;
        out[sof + 6] = static_cast<unsigned char>(1 + value % 64);
        out[sof + 8] = static_cast<unsigned char>(1 + next_random(state) % 64);
        return out;
    }
    case 6:  // restart steps at every MCU row, whether or not the data has markers there
        return insert_at(stream, scan, {0xFF, 0xDD, 0, 4, 0, value});
    default: {  // a large quantisation value
        long dqt = find_marker(stream, 0xDB);
        out[dqt + 5 + value % 64] = 255;
        return out;
    }
    }
}

}  // namespace

// The corpus holds a case for each way a fast decoder has been seen to drift from the plain
// steps: restart markers one per MCU row (stepped over two bytes, not one), 0xFF 0xFF 0xD0 in
// the scan (restart ahead: end of block, not symbol 1), DC terms that wrap the inverse DCT
// (columns without AC terms take the DC term alone), and a Huffman table defined twice. Each
// kernel set this processor can run decodes every block: the generic builds (what Windows and
// processors without AVX2 run), their AVX2 builds, and the steps written for AVX2.
TEST_F(Differential, WholeCorpusAtEveryDepthWithEveryKernelSet)
{
    using namespace jpeg_parts;
    const std::vector<bytes> corpus = jpeg_corpus();
    for (int kernels = GENERIC_KERNELS; kernels <= widest_kernels(); kernels++) {
        force_kernels(kernel_set(kernels));
        ASSERT_EQ(chosen_kernels(), kernels);
        for (int depth : {32, 24, 16, 15, 8}) {
            set_color_depth(depth);
            for (size_t i = 0; i < corpus.size(); i++) {
                ASSERT_FALSE(corpus[i].empty()) << "stream " << i;
                BITMAP *picture = decode(corpus[i]);
                ASSERT_NE(picture, nullptr) << "stream " << i;
                EXPECT_EQ(bitmap_color_depth(picture), depth);
                destroy_bitmap(picture);
                EXPECT_EQ(plain_difference(corpus[i]), "")
                    << "stream " << i << " at depth " << depth << ", kernel set " << kernels;
            }
        }
    }
    force_kernels(widest_kernels());
    set_color_depth(32);
}

TEST_F(Differential, EveryTruncation)
{
    for (const bytes &stream : jpeg_corpus())
        for (size_t size = 1; size < stream.size(); size++)
            ASSERT_EQ(plain_difference(bytes(stream.begin(), stream.begin() + size)), "") << size;
}

TEST_F(Differential, DamagedStreams)
{
    unsigned state = 2026;
    const std::vector<bytes> corpus = jpeg_corpus();
    for (size_t i = 0; i < corpus.size(); i++)
        for (int n = 0; n < 300; n++) {
            int kind = n % 8;
            ASSERT_EQ(plain_difference(damaged(corpus[i], kind, state)), "")
                << "stream " << i << ", damage " << kind << ", try " << n;
        }
}
