#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "platform/i_file.h"
#include "platform/i_screen.h"
#include "tests/support/test_screen.h"

TEST(NativeFileName, MapsTheGamesSeparator)
{
    EXPECT_EQ(native_file_name("Sound\\type.wav"), "Sound/type.wav");
    EXPECT_EQ(native_file_name("Music\\fb-dawn.it"), "Music/fb-dawn.it");
    EXPECT_EQ(native_file_name("cool.dat"), "cool.dat");
    EXPECT_EQ(native_file_name(""), "");
    EXPECT_EQ(native_file_name(nullptr), "");
}

// A scratch tree to lay out game folders in.
class GameFolders : public ::testing::Test {
protected:
    std::string root;
    void SetUp() override
    {
        char pattern[] = "/tmp/velmora-folders-XXXXXX";
        root = mkdtemp(pattern);
    }
    void TearDown() override { std::filesystem::remove_all(root); }
};

TEST_F(GameFolders, BesideTheExecutableInstalledOrTheWorkingFolder)
{
    std::string exe = root + "/usr/games/velmora";
    EXPECT_EQ(find_game_folders(exe, "/x", "/h").data, "") << "no data anywhere";
    ASSERT_TRUE(make_folder(root + "/usr/games"));
    ASSERT_TRUE(make_folder(root + "/usr/share/games/velmora"));
    game_folders installed = find_game_folders(exe, "/xdg/data", "/home/p");
    EXPECT_EQ(installed.data, root + "/usr/games/../share/games/velmora");
    EXPECT_EQ(installed.player, "/xdg/data/velmora");
    EXPECT_EQ(find_game_folders(exe, "xdg", "/home/p").player, "/home/p/.local/share/velmora");
    EXPECT_EQ(find_game_folders(exe, nullptr, "home").player, "/nonexistent/.local/share/velmora");

    std::ofstream(root + "/usr/games/velmora.dat") << "x";
    game_folders own = find_game_folders(exe, "/xdg/data", "/home/p");
    EXPECT_EQ(own.data, root + "/usr/games");
    EXPECT_EQ(own.player, root + "/usr/games");
    game_folders bare = find_game_folders(root + "/elsewhere/velmora", "/xdg/data", "/home/p");
    EXPECT_EQ(bare.data + bare.player, "");
}

TEST_F(GameFolders, MakeFolderMakesPrivateParentsAndRefusesAFileInTheWay)
{
    ASSERT_TRUE(make_folder(root + "/a/b/velmora"));
    EXPECT_TRUE(make_folder(root + "/a/b/velmora"));
    struct stat info;
    ASSERT_EQ(stat((root + "/a").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    std::ofstream(root + "/file") << "x";
    EXPECT_FALSE(make_folder(root + "/file"));
    EXPECT_FALSE(make_folder(root + "/file/velmora"));
}

// On a screen of the picture's own size the canvas is shown pixel for pixel, and only what is
// presented reaches the screen.
TEST(GameScreen, PresentsOnlyTheRectangleAskedForAtScaleOne)
{
    ASSERT_TRUE(open_test_screen());
    EXPECT_EQ(bitmap_color_depth(canvas), 32);
    screen_layout at = current_layout();
    EXPECT_EQ(at.x, 0);
    EXPECT_EQ(at.w, 800);
    clear_to_color(canvas, makecol(255, 0, 0));
    present_canvas();
    rectfill(canvas, 10, 10, 19, 19, makecol(0, 0, 255));
    rectfill(canvas, 30, 10, 39, 19, makecol(0, 0, 255));
    present(10, 10, 10, 10);
    EXPECT_EQ(shown_pixel_unlocked(0, 0), 0xFF0000);
    EXPECT_EQ(shown_pixel_unlocked(15, 15), 0x0000FF);
    EXPECT_EQ(shown_pixel_unlocked(35, 15), 0xFF0000);
    close_test_screen();
}

// F11 and Alt+Enter switch once per press: Allegro's repeats of a held key, or of a tap whose
// release comes late, ask nothing more; Enter's release counts with Alt already let go.
TEST(ScreenKeys, OneSwitchPerPress)
{
    int held = 0;
    EXPECT_TRUE(asks_screen_switch(KEY_F11, false, held));
    EXPECT_FALSE(asks_screen_switch(KEY_F11, false, held));
    EXPECT_FALSE(asks_screen_switch(KEY_F11 | 0x80, false, held));
    EXPECT_TRUE(asks_screen_switch(KEY_F11, false, held));
    EXPECT_FALSE(asks_screen_switch(KEY_F11 | 0x80, false, held));
    EXPECT_FALSE(asks_screen_switch(KEY_ENTER, false, held));
    EXPECT_TRUE(asks_screen_switch(KEY_ENTER, true, held));
    EXPECT_FALSE(asks_screen_switch(KEY_ENTER | 0x80, false, held));
    EXPECT_TRUE(asks_screen_switch(KEY_ENTER_PAD, true, held));
}
