// The reward gallery driven through the key-state array, as the keyboard handler would.
#include <gtest/gtest.h>
#include <vector>

#include "extras/gallery.h"
#include "shell/catalogue.h"
#include "tests/support/test_resources.h"
#include "tests/support/test_screen.h"

enum { BACKDROP = 0x404040 };

// Ten colours far apart, one per gallery picture.
static const int photo_colours[10] = {0xE00000, 0x00C000, 0x0000E0, 0xE0E000, 0x00E0E0,
                                      0xE000E0, 0x806000, 0x008080, 0xF08080, 0x80F080};

static void SetUpScreen()
{
    ASSERT_TRUE(open_test_screen());
    std::vector<bytes> pictures(CATALOGUE_SIZE);
    pictures[BACKGROUND_PAGE] = encode_jpeg(solid_rgb(800, 600, BACKDROP), 800, 600);
    for (int i = 0; i < 10; i++)
        pictures[PHOTO_01 + i] = encode_jpeg(solid_rgb(640, 480, photo_colours[i]), 640, 480);
    install_test_resources(pictures);
}

class Gallery : public ::testing::Test {
protected:
    static void SetUpTestSuite() { SetUpScreen(); }
    static void TearDownTestSuite() { close_test_screen(); }
    void SetUp() override
    {
        key[KEY_ESC] = key[KEY_LEFT] = key[KEY_RIGHT] = 0;
    }
};

// The gallery picture (1..10) in the frame, or 0 when none matches.
static int shown_picture()
{
    for (int i = 0; i < 10; i++)
        if (near_colour(screen_pixel(400, 300), photo_colours[i]))
            return i + 1;
    return 0;
}

// The keys of each step of a run, and the next step to press.
static std::vector<std::vector<int>> steps;
static size_t next_step;
static void (*driver_rest)(unsigned int, void (*)());

static bool step_taken(size_t step)
{
    for (int scancode : steps[step])
        if (key[scancode])
            return false;
    return true;
}

// Stands in for the timer driver's rest, which the gallery calls between two passes: there,
// on the gallery's own thread, the keys of the next step all go down at once, as soon as the
// gallery has taken those of the step before; after the last step, ESC.
static void pressing_rest(unsigned int time, void (*callback)())
{
    if (next_step == 0 || step_taken(next_step - 1)) {
        if (next_step < steps.size()) {
            for (int scancode : steps[next_step])
                key[scancode] = 1;
            next_step++;
        } else {
            key[KEY_ESC] = 1;
        }
    }
    driver_rest(time, callback);
}

static void browse(const std::vector<std::vector<int>> &run)
{
    steps = run;
    next_step = 0;
    driver_rest = timer_driver->rest;
    timer_driver->rest = pressing_rest;
    run_reward_gallery();
    timer_driver->rest = driver_rest;
}

static bool white_in_rows(int y0, int y1)
{
    for (int y = y0; y <= y1; y++)
        for (int x = 300; x < 500; x++)
            if (screen_pixel(x, y) == 0xFFFFFF)
                return true;
    return false;
}

TEST_F(Gallery, OpensOnTheFirstPictureWithCaptionsOutsideTheFrame)
{
    browse({});
    EXPECT_EQ(shown_picture(), 1);
    EXPECT_TRUE(white_in_rows(5, 12));
    EXPECT_TRUE(white_in_rows(570, 577));
    EXPECT_TRUE(near_colour(screen_pixel(79, 300), BACKDROP));
    EXPECT_TRUE(near_colour(screen_pixel(400, 545), BACKDROP));
}

TEST_F(Gallery, EscapeComesBeforeTheArrowsInAPass)
{
    key[KEY_RIGHT] = 1;
    key[KEY_ESC] = 1;
    run_reward_gallery();
    EXPECT_EQ(shown_picture(), 1);
    EXPECT_TRUE(key[KEY_RIGHT]) << "the arrow was looked at after ESC";
    EXPECT_TRUE(key[KEY_ESC]) << "ESC is only read";
}

TEST_F(Gallery, EndsAreFixedAndDoNotWrap)
{
    browse({{KEY_LEFT}});
    EXPECT_EQ(shown_picture(), 1);

    std::vector<std::vector<int>> right(12, {KEY_RIGHT});
    key[KEY_ESC] = 0;
    browse(right);
    EXPECT_EQ(shown_picture(), 10);
    EXPECT_TRUE(white_in_rows(5, 12)) << "captions survive every fade";
}

TEST_F(Gallery, LeftAndRightInOnePassStepLeftFirst)
{
    browse({{KEY_LEFT, KEY_RIGHT}});
    EXPECT_EQ(shown_picture(), 2) << "at the first picture only the right step moves";

    key[KEY_ESC] = 0;
    browse({{KEY_RIGHT}, {KEY_RIGHT}, {KEY_RIGHT}, {KEY_LEFT, KEY_RIGHT}});
    EXPECT_EQ(shown_picture(), 4);

    key[KEY_ESC] = 0;
    std::vector<std::vector<int>> steps(9, {KEY_RIGHT});
    steps.push_back({KEY_LEFT, KEY_RIGHT});
    browse(steps);
    EXPECT_EQ(shown_picture(), 10) << "at the last picture the left step comes back";
}
