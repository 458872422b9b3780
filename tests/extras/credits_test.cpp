// The scrolling credits on a real screen, and the rule for which rows a frame shows.
#include <cstring>
#include <gtest/gtest.h>
#include <thread>

#include "audio/game_sounds.h"
#include "extras/credits.h"
#include "shell/catalogue.h"
#include "tests/support/test_resources.h"
#include "tests/support/test_screen.h"

enum { BACKDROP = 0x5070A0, FONT_HEIGHT = 8 };

class Credits : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(open_test_screen());
        std::vector<bytes> pictures(CATALOGUE_SIZE);
        pictures[BACKGROUND_PAGE] = encode_jpeg(solid_rgb(800, 600, BACKDROP), 800, 600);
        install_test_resources(pictures);
    }
    static void TearDownTestSuite() { close_test_screen(); }
};

static bool row_has_text(BITMAP *bitmap, int y)
{
    for (int x = 0; x < 800; x++)
        if ((getpixel(bitmap, x, y) & 0xFFFFFF) == 0xFFFFFF)
            return true;
    return false;
}

TEST_F(Credits, TableHasTheFixedHeadingsAndTheLibrariesReallyUsed)
{
    const struct { int row; const char *text; } fixed[] = {
        {1, "Programovani & gamedesign"}, {4, "Texty dopisu"}, {7, "Pomocne prace"},
        {10, "Pozadi pokoje"}, {13, "Obrazky z"}, {16, "Hudba"}, {23, "Pouzite knihovny"},
        {24, "Allegro"}, {27, "Betatesteri"}, {28, "v poradi dulezitosti"}};
    for (const auto &f : fixed)
        EXPECT_STREQ(credit_lines[f.row - 1], f.text) << "row " << f.row;
    for (int row : {3, 6, 9, 12, 15, 17, 22, 26})
        EXPECT_STREQ(credit_lines[row - 1], "") << "row " << row;
    // Every song the jukebox plays is credited by its file's name.
    for (int i = 0; i < SONG_COUNT; i++)
        EXPECT_NE(strstr(credit_lines[17 + i], strchr(song_files[i], '\\') + 1), nullptr)
            << song_files[i];
    EXPECT_NE(strstr(credit_lines[24], "SDL2_mixer"), nullptr);
    EXPECT_NE(strstr(credit_lines[24], "libopenmpt"), nullptr);
    for (int i = 0; i < CREDIT_LINES; i++) {
        EXPECT_LE(strlen(credit_lines[i]), 47u) << "row " << i + 1;
        for (const char *c = credit_lines[i]; *c; c++)
            EXPECT_TRUE(*c >= 32 && *c < 127) << "row " << i + 1;
    }
}

// A row is drawn exactly when its top lies in 1..579, 20 pixels below the one before.
TEST_F(Credits, RowsAppearAndVanishWholeInsideTheBand)
{
    BITMAP *frame = create_bitmap(800, 600);
    for (int offset = 600; offset >= -620; offset--) {
        clear_bitmap(frame);
        draw_credits_frame(frame, offset);
        for (int y = 0; y < 600; y++) {
            int row = -1;
            for (int i = 0; i < CREDIT_LINES; i++) {
                int top = offset + 20 * i;
                if (top > 0 && top < 580 && y >= top && y < top + FONT_HEIGHT && credit_lines[i][0])
                    row = i;
            }
            if (row < 0) {
                ASSERT_FALSE(row_has_text(frame, y)) << "offset " << offset << ", y " << y;
            }
        }
        for (int i = 0; i < CREDIT_LINES; i++) {
            int top = offset + 20 * i;
            if (top > 0 && top < 580 && credit_lines[i][0]) {
                bool seen = false;
                for (int y = top; y < top + FONT_HEIGHT && y < 600; y++)
                    seen = seen || row_has_text(frame, y);
                ASSERT_TRUE(seen) << "row " << i + 1 << " missing at offset " << offset;
            }
        }
    }
    destroy_bitmap(frame);
}

// Presses `scancode`/`ascii` after `delay_ms`, long after the backdrop's fade has ended.
// (The screen itself is not watched from this thread: X calls from two threads break the
// connection.)
static std::thread press_after(int scancode, int ascii, int delay_ms)
{
    return std::thread([=] {
        std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
        simulate_keypress((scancode << 8) | ascii);
    });
}

TEST_F(Credits, EarlyKeyIsDiscardedAndTheEndingKeyStaysInTheBuffer)
{
    clear_keybuf();
    simulate_keypress((KEY_A << 8) | 'a');
    std::thread player = press_after(KEY_B, 'b', 1500);
    run_credits();
    player.join();
    ASSERT_TRUE(keypressed());
    EXPECT_EQ(readkey() & 0xFF, 'b');
    EXPECT_FALSE(keypressed());
}

TEST_F(Credits, ScreenShowsOneWholeFrameOfTheRoll)
{
    clear_keybuf();
    std::thread player = press_after(KEY_SPACE, ' ', 2000);
    run_credits();
    player.join();
    EXPECT_TRUE(keypressed());
    clear_keybuf();

    BITMAP *shown = create_bitmap(800, 600);
    blit(screen, shown, 0, 0, 0, 0, 800, 600);
    BITMAP *frame = create_bitmap(800, 600);
    int matching_offset = 1000;
    for (int offset = 580; offset > -600 && matching_offset == 1000; offset--) {
        clear_bitmap(frame);
        draw_credits_frame(frame, offset);
        bool same = true;
        for (int y = 0; y < 600 && same; y++)
            same = memcmp(frame->line[y], shown->line[y], 800 * 4) == 0;
        if (same)
            matching_offset = offset;
    }
    EXPECT_LT(matching_offset, 580) << "after 2 s some text has rolled in";
    EXPECT_GT(matching_offset, 0) << "and not yet 12 s worth of it";
    destroy_bitmap(frame);
    destroy_bitmap(shown);
}
