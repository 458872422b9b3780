// The tests' own screen: an 800x600 32-bit Allegro window on a private X server, read back
// pixel for pixel. Every screen test stands on this.
#include <allegro.h>
#include <gtest/gtest.h>

#include "tests/support/test_screen.h"

TEST(TestScreen, OpensAnAllegroWindowOnItsOwnServer)
{
    ASSERT_TRUE(open_test_screen());
    EXPECT_EQ(SCREEN_W, 800);
    EXPECT_EQ(SCREEN_H, 600);
    EXPECT_EQ(bitmap_color_depth(screen), 32);
    clear_to_color(screen, makecol(255, 0, 0));
    rectfill(screen, 10, 10, 19, 19, makecol(0, 0, 255));
    EXPECT_EQ(screen_pixel(0, 0), 0xFF0000);
    EXPECT_EQ(screen_pixel(15, 15), 0x0000FF);
    close_test_screen();
}
