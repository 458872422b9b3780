#include <allegro.h>
#include <gtest/gtest.h>

#include "shell/i_file.h"
#include "tests/support/test_screen.h"

TEST(NativeFileName, MapsTheGamesSeparator)
{
    EXPECT_EQ(native_file_name("Sound\\type.wav"), "Sound/type.wav");
    EXPECT_EQ(native_file_name("Music\\fb-dawn.it"), "Music/fb-dawn.it");
    EXPECT_EQ(native_file_name("cool.dat"), "cool.dat");
    EXPECT_EQ(native_file_name(""), "");
    EXPECT_EQ(native_file_name(nullptr), "");
}

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
