// Fading catalogue pictures onto a real Allegro screen.
#include <gtest/gtest.h>
#include <malloc.h>
#include <vector>

#include "shell/catalogue.h"
#include "shell/picture.h"
#include "tests/support/test_resources.h"
#include "tests/support/test_screen.h"

enum { BACKDROP = 0x203050, FRAMED = 0xE0C040, SMALL = 0x30B060 };
enum { FRAMED_PICTURE = 2, PATTERN_PICTURE = 3, BROKEN_PICTURE = 4, EMPTY_PICTURE = 5,
       SMALL_PICTURE = 6 };

class PictureDisplay : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(open_test_screen());
        std::vector<bytes> pictures(CATALOGUE_SIZE);
        pictures[BACKGROUND_PAGE] = encode_jpeg(solid_rgb(800, 600, BACKDROP), 800, 600);
        pictures[FRAMED_PICTURE] = encode_jpeg(solid_rgb(640, 480, FRAMED), 640, 480);
        pictures[PATTERN_PICTURE] = encode_jpeg(pattern_rgb(800, 600), 800, 600);
        pictures[BROKEN_PICTURE] = {0xFF, 0xD8, 0xFF, 0xE0, 'n', 'o', 't', ' ', 'a', 'j'};
        pictures[SMALL_PICTURE] = encode_jpeg(solid_rgb(200, 100, SMALL), 200, 100);
        install_test_resources(pictures);
    }
    static void TearDownTestSuite() { close_test_screen(); }

    void SetUp() override { ASSERT_NE(screen, nullptr); }
};

// Every pixel of the screen is near `inside` within the rectangle and near `outside` beyond.
static void expect_rectangle(int x0, int y0, int x1, int y1, int inside, int outside)
{
    int wrong = 0;
    for (int y = 0; y < 600; y++)
        for (int x = 0; x < 800; x++) {
            bool in = x >= x0 && x <= x1 && y >= y0 && y <= y1;
            if (!near_colour(screen_pixel(x, y), in ? inside : outside) && wrong++ < 5)
                ADD_FAILURE() << "pixel (" << x << "," << y << ") is " << std::hex
                              << screen_pixel(x, y);
        }
    EXPECT_EQ(wrong, 0);
}

TEST_F(PictureDisplay, FramedPictureCoversExactlyTheFrameAndTheBorderKeepsTheBackdrop)
{
    show_picture(BACKGROUND_PAGE);
    expect_rectangle(0, 0, 799, 599, BACKDROP, BACKDROP);
    show_picture_framed(FRAMED_PICTURE);
    expect_rectangle(80, 60, 719, 539, FRAMED, BACKDROP);
}

TEST_F(PictureDisplay, SmallPictureCoversOnlyItsOwnArea)
{
    show_picture(BACKGROUND_PAGE);
    show_picture(SMALL_PICTURE);
    expect_rectangle(0, 0, 199, 99, SMALL, BACKDROP);
}

// The screen's centre at every retrace a fade waits for, recorded by a stand-in for the
// graphics driver's retrace wait.
static std::vector<int> centre_at_retraces;
static void (*driver_vsync)();

static void recording_vsync()
{
    centre_at_retraces.push_back(shown_pixel_unlocked(400, 300));
    if (driver_vsync)
        driver_vsync();
}

// One channel after the fade's steps 0, 32, ..., 32 * (steps - 1): each step mixes the picture
// over the working copy as the last step left it, Allegro's blender taking alpha + 1 of 256.
static int faded_channel(int from, int to, int steps)
{
    double c = from;
    for (int alpha = 32; alpha < 32 * steps; alpha += 32)
        c += (to - c) * (alpha + 1) / 256;
    return static_cast<int>(c);
}

TEST_F(PictureDisplay, FadeShowsEightCumulativeStepsAtTheirRetracesThenThePictureExactly)
{
    show_picture(BACKGROUND_PAGE);
    int from = screen_pixel(400, 300);
    centre_at_retraces.clear();
    driver_vsync = gfx_driver->vsync;
    gfx_driver->vsync = recording_vsync;
    show_picture(PATTERN_PICTURE);
    gfx_driver->vsync = driver_vsync;
    ASSERT_NE(current_picture, nullptr);
    int to = getpixel(current_picture, 400, 300) & 0xFFFFFF;

    // At retrace k the screen still shows steps 0..k-1: a step reaches it after its retrace.
    ASSERT_EQ(centre_at_retraces.size(), 8u);
    for (int k = 0; k < 8; k++)
        for (int shift : {16, 8, 0})
            EXPECT_NEAR(centre_at_retraces[k] >> shift & 0xFF,
                        faded_channel(from >> shift & 0xFF, to >> shift & 0xFF, k), 3)
                << "retrace " << k << ", channel shift " << shift;

    int wrong = 0;
    for (int y = 0; y < 600; y++)
        for (int x = 0; x < 800; x++)
            wrong += getpixel(screen, x, y) != getpixel(current_picture, x, y);
    EXPECT_EQ(wrong, 0);

    // The blender at 224 of 255 mixes black over white to 255 - 224 = 31 per channel.
    BITMAP *probe = create_bitmap(1, 1);
    clear_to_color(probe, makecol(255, 255, 255));
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    putpixel(probe, 0, 0, makecol(0, 0, 0));
    solid_mode();
    EXPECT_NEAR(getr(getpixel(probe, 0, 0)), 31, 1);
    destroy_bitmap(probe);
}

TEST_F(PictureDisplay, PictureThatDoesNotDecodeLeavesScreenAndCurrentPictureAlone)
{
    show_picture(BACKGROUND_PAGE);
    show_picture_framed(FRAMED_PICTURE);
    BITMAP *before = current_picture;
    for (int index : {BROKEN_PICTURE, EMPTY_PICTURE}) {
        show_picture(index);
        show_picture_framed(index);
        EXPECT_EQ(decode_current_picture(index), nullptr);
        EXPECT_EQ(current_picture, before);
        expect_rectangle(80, 60, 719, 539, FRAMED, BACKDROP);
    }
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

// The heap in use. Under a sanitizer, which replaces malloc, glibc's figures stay at zero and
// the sanitizer's allocator is asked instead.
static size_t heap_in_use()
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return __sanitizer_get_current_allocated_bytes();
#else
    struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

TEST_F(PictureDisplay, MemoryStaysFlatOverHundredsOfDisplays)
{
    show_picture(PATTERN_PICTURE);
    size_t before = heap_in_use();
    ASSERT_GT(before, 800u * 600 * 4) << "the heap figures see the picture just shown";
    for (int i = 0; i < 300; i++) {
        BITMAP *picture = decode_current_picture(i % 2 ? PATTERN_PICTURE : FRAMED_PICTURE);
        ASSERT_EQ(picture, current_picture);
    }
    for (int i = 0; i < 30; i++)
        show_picture(i % 2 ? PATTERN_PICTURE : SMALL_PICTURE);
    size_t after = heap_in_use();
    // One leaked 800x600 picture alone would be 1.9 MB; 330 of them hundreds of MB.
    EXPECT_LT(after, before + 4 * 1024 * 1024) << "before " << before << ", after " << after;
}
