// The picture's scaling held to a plain reference: nearest pixels at whole-number scales, and
// otherwise a nearest enlargement by the next whole number shrunk bilinearly to size.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/i_scale.h"

namespace {

struct picture {
    std::vector<uint32_t> data;
    pixel_buffer b;
};

picture make(int w, int h)
{
    picture p{std::vector<uint32_t>(static_cast<size_t>(w) * h), {}};
    p.b = {p.data.data(), w, h, w};
    return p;
}

// Sharp strokes of every width, as text has, on a ramp: any pixel taken from the wrong place
// shows.
uint32_t pattern(int x, int y)
{
    bool ink = ((x / 3 + y / 2) % 5 == 0) || (x % 7 == 1);
    uint32_t r = ink ? 0 : static_cast<uint32_t>(x * 255 / 799);
    uint32_t g = ink ? 0 : static_cast<uint32_t>(y * 255 / 599);
    return r << 16 | g << 8 | (ink ? 0u : 0xC0u);
}

uint32_t at(const picture &p, int x, int y)
{
    x = std::min(std::max(x, 0), p.b.w - 1);
    y = std::min(std::max(y, 0), p.b.h - 1);
    return p.data[static_cast<size_t>(y) * p.b.w + x];
}

// The step from one output pixel to the next in the enlarged picture, as the scaler states it:
// in units of 1/65536, rounded down.
double step(int from, int to)
{
    return static_cast<double>((static_cast<int64_t>(from) << 16) / to) / 65536;
}

// The reference: every output pixel's centre taken back into the enlarged picture, and the
// four enlarged pixels around it mixed by distance.
uint32_t reference(const picture &src, int k, int out_w, int out_h, int x, int y)
{
    double u = (x + 0.5) * step(src.b.w * k, out_w) - 0.5;
    double v = (y + 0.5) * step(src.b.h * k, out_h) - 0.5;
    int u0 = static_cast<int>(std::floor(u)), v0 = static_cast<int>(std::floor(v));
    double fu = u - u0, fv = v - v0;
    auto enlarged = [&](int i, int j) {
        i = std::min(std::max(i, 0), src.b.w * k - 1);
        j = std::min(std::max(j, 0), src.b.h * k - 1);
        return at(src, i / k, j / k);
    };
    uint32_t c = 0;
    for (int shift : {16, 8, 0}) {
        auto ch = [&](int i, int j) { return static_cast<double>(enlarged(i, j) >> shift & 0xFF); };
        double top = ch(u0, v0) * (1 - fu) + ch(u0 + 1, v0) * fu;
        double bottom = ch(u0, v0 + 1) * (1 - fu) + ch(u0 + 1, v0 + 1) * fu;
        c |= static_cast<uint32_t>(std::lround(top * (1 - fv) + bottom * fv)) << shift;
    }
    return c;
}

int worst_channel_difference(uint32_t a, uint32_t b)
{
    int worst = 0;
    for (int shift : {16, 8, 0})
        worst = std::max(worst, std::abs(static_cast<int>(a >> shift & 0xFF) -
                                         static_cast<int>(b >> shift & 0xFF)));
    return worst;
}

picture source_picture()
{
    picture src = make(800, 600);
    for (int y = 0; y < 600; y++)
        for (int x = 0; x < 800; x++)
            src.data[static_cast<size_t>(y) * 800 + x] = pattern(x, y);
    return src;
}

}  // namespace

TEST(Scale, FitsTheShapeInTheRoomOfEachCommonScreen)
{
    const struct { int w, h, fit_w, fit_h; } screens[] = {
        {1366, 768, 1024, 768}, {1920, 1080, 1440, 1080}, {2560, 1440, 1920, 1440},
        {1600, 1200, 1600, 1200}, {1280, 1024, 1280, 960}, {640, 480, 640, 480}};
    for (const auto &s : screens) {
        pixel_rect r = fitted_size(800, 600, s.w, s.h);
        EXPECT_EQ(r.w, s.fit_w) << s.w << "x" << s.h;
        EXPECT_EQ(r.h, s.fit_h) << s.w << "x" << s.h;
    }
    EXPECT_EQ(prescale_factor(800, 1440), 2);
    EXPECT_EQ(prescale_factor(800, 1600), 2);
    EXPECT_EQ(prescale_factor(800, 640), 1);
}

TEST(Scale, WholeNumberScalesCopyPixelsExactly)
{
    picture src = source_picture();
    for (int k : {2, 3}) {
        picture out = make(800 * k, 600 * k), unused = make(1, 1);
        pixel_rect r = scale_rect(src.b, unused.b, out.b, {0, 0, 800, 600});
        EXPECT_EQ(r.w, 800 * k);
        int wrong = 0;
        for (int y = 0; y < out.b.h; y++)
            for (int x = 0; x < out.b.w; x++)
                wrong += at(out, x, y) != at(src, x / k, y / k);
        EXPECT_EQ(wrong, 0) << "scale " << k;
    }
}

// A changed rectangle rewrites what it reaches, with the bilinear neighbours, and no more.
TEST(Scale, OtherScalesMatchTheReferenceAndRewriteOnlyWhatChanged)
{
    picture src = source_picture();
    for (const pixel_rect &size : {pixel_rect{0, 0, 1440, 1080}, pixel_rect{0, 0, 1024, 768}}) {
        int k = prescale_factor(800, size.w);
        picture out = make(size.w, size.h), pre = make(800 * k, 600 * k);
        scale_rect(src.b, pre.b, out.b, {0, 0, 800, 600});
        int worst = 0;
        for (int y = 0; y < size.h; y++)
            for (int x = 0; x < size.w; x++)
                worst = std::max(worst, worst_channel_difference(
                                            at(out, x, y), reference(src, k, size.w, size.h, x, y)));
        EXPECT_LE(worst, 3) << size.w << "x" << size.h;

        const uint32_t MARK = 0x123456;
        std::fill(out.data.begin(), out.data.end(), MARK);
        src.data[300 * 800 + 400] = 0xFFFFFF;
        pixel_rect r = scale_rect(src.b, pre.b, out.b, {400, 300, 1, 1});
        EXPECT_LE(r.w, 4);
        EXPECT_LE(r.h, 4);
        int cx = 400 * size.w / 800, cy = 300 * size.h / 600;
        EXPECT_NE(at(out, cx, cy), MARK);
        EXPECT_EQ(at(out, cx + 5, cy), MARK);
        EXPECT_EQ(at(out, cx, cy - 5), MARK);
        src = source_picture();
    }
}
