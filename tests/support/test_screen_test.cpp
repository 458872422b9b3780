// The tests' own screen: the game's screen on a private 800x600 X server, its canvas read back
// pixel for pixel. Every screen test stands on this.
#include <allegro.h>
#include <gtest/gtest.h>

#include "platform/i_screen.h"
#include "tests/support/test_screen.h"

TEST(TestScreen, OpensTheGameScreenOnItsOwnServerAndReadsItsCanvas)
{
    ASSERT_TRUE(open_test_screen());
    EXPECT_EQ(SCREEN_W, 800);
    EXPECT_EQ(SCREEN_H, 600);
    EXPECT_EQ(bitmap_color_depth(canvas), 32);
    clear_to_color(canvas, makecol(255, 0, 0));
    rectfill(canvas, 10, 10, 19, 19, makecol(0, 0, 255));
    EXPECT_EQ(screen_pixel(0, 0), 0xFF0000);
    EXPECT_EQ(screen_pixel(15, 15), 0x0000FF);
    close_test_screen();
}
