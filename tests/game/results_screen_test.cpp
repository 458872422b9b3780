// The results screen on a real window with the game's own fonts, in a scratch working folder
// so that "cool.dat" is the test's own. A helper thread presses the key that ends it.
#include <gtest/gtest.h>

#include <allegro.h>
#include <chrono>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "game/highscore.h"
#include "game/results.h"
#include "shell/catalogue.h"
#include "tests/game/score_files.h"
#include "tests/support/test_screen.h"

using clock_type = std::chrono::steady_clock;

static const int WHITE = 0xFFFFFF;
static const int RED = 0xFF0000;

// Pixels of `colour` in the rows top..bottom-1 of the whole width.
static int pixels_in_band(int top, int bottom, int colour)
{
    int count = 0;
    for (int y = top; y < bottom; y++)
        for (int x = 0; x < 800; x++)
            count += screen_pixel(x, y) == colour;
    return count;
}

// Runs show_results with a key pressed `delay_ms` after it starts; returns how long it ran.
static int run_results_screen(int32_t seconds, int32_t mistakes, int delay_ms = 200)
{
    total_seconds = seconds;
    mistake_count = mistakes;
    auto start = clock_type::now();
    std::thread presser([delay_ms] {
        std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
        simulate_keypress((KEY_SPACE << 8) | ' ');
    });
    show_results();
    presser.join();
    clear_keybuf();
    return int(std::chrono::duration_cast<std::chrono::milliseconds>(clock_type::now() - start)
                   .count());
}

class results_screen : public ::testing::Test {
protected:
    static bool ready;
    std::string folder;
    char before[4096] = {0};

    static void SetUpTestSuite()
    {
        ready = open_test_screen() &&
                load_resources(VELMORA_GAME_DIR "/velmora.dat") == nullptr;
    }
    static void TearDownTestSuite() { close_test_screen(); }

    void SetUp() override
    {
        ASSERT_TRUE(ready) << "no screen or no velmora.dat";
        folder = make_scratch_folder();
        ASSERT_NE(getcwd(before, sizeof before), nullptr);
        ASSERT_EQ(chdir(folder.c_str()), 0);
    }
    void TearDown() override
    {
        if (before[0]) {
            EXPECT_EQ(chdir(before), 0);
        }
        remove_scratch_folder(folder);
    }

    int large_height() const { return text_height(large_font); }
    int small_height() const { return text_height(small_font); }

    void expect_statistics() const
    {
        EXPECT_GT(pixels_in_band(5, 5 + large_height(), WHITE), 50) << "Blahopreji";
        EXPECT_GT(pixels_in_band(100, 100 + small_height(), WHITE), 50);
        EXPECT_GT(pixels_in_band(200, 260, WHITE), 100) << "statistics block";
        EXPECT_EQ(screen_pixel(0, 0), 0) << "cleared to black";
    }
};
bool results_screen::ready = false;

static byte_list encoded(int32_t seconds, int32_t mistakes)
{
    byte_list bytes(HIGHSCORE_SIZE);
    encode_highscore({seconds, mistakes}, bytes.data());
    return bytes;
}

TEST_F(results_screen, first_game_sets_the_record_with_the_heading_at_300)
{
    run_results_screen(996, 12);
    expect_statistics();
    EXPECT_GT(pixels_in_band(300, 300 + large_height(), RED), 50);
    EXPECT_EQ(pixels_in_band(500, 600, RED), 0);
    EXPECT_EQ(pixels_in_band(300, 600, WHITE), 0) << "no note: the record was saved";
    EXPECT_EQ(file_bytes("cool.dat"), encoded(996, 12));
}

TEST_F(results_screen, beaten_record_puts_the_heading_at_500_and_rewrites)
{
    put_file("cool.dat", encoded(500, 10));
    run_results_screen(500, 9);
    expect_statistics();
    EXPECT_GT(pixels_in_band(500, 500 + large_height(), RED), 50);
    EXPECT_EQ(pixels_in_band(280, 400, RED), 0);
    EXPECT_EQ(pixels_in_band(300, 360, WHITE), 0) << "the old record is not shown";
    EXPECT_EQ(file_bytes("cool.dat"), encoded(500, 9));
}

TEST_F(results_screen, kept_record_is_shown_in_white_and_the_file_left_alone)
{
    byte_list stored = encoded(500, 10);
    stored.push_back(0x55);  // a longer file is not rewritten either
    for (int32_t seconds : {500, 501}) {
        put_file("cool.dat", stored);
        run_results_screen(seconds, seconds == 500 ? 10 : 0);
        expect_statistics();
        EXPECT_GT(pixels_in_band(300, 300 + small_height(), WHITE), 30) << "Highscore:";
        EXPECT_GT(pixels_in_band(320, 320 + small_height(), WHITE), 30) << "Cas 500 sek.";
        EXPECT_GT(pixels_in_band(340, 340 + small_height(), WHITE), 30) << "10 chyb";
        EXPECT_EQ(pixels_in_band(0, 600, RED), 0);
        EXPECT_EQ(file_bytes("cool.dat"), stored);
    }
}

// A short file, and a negative record that no later game could beat.
TEST_F(results_screen, short_file_or_negative_record_counts_as_no_record)
{
    for (const byte_list &stored : {byte_list{0xDE, 0x01, 0x00}, encoded(-247416803, 7)}) {
        put_file("cool.dat", stored);
        run_results_screen(2000, 50);
        EXPECT_GT(pixels_in_band(300, 300 + large_height(), RED), 50);
        EXPECT_EQ(file_bytes("cool.dat"), encoded(2000, 50));
    }
}

// Opening a FIFO for reading would wait for a writer; the rename of the save replaces it.
TEST_F(results_screen, a_fifo_at_the_file_is_no_record)
{
    ASSERT_EQ(mkfifo("cool.dat", 0644), 0);
    alarm(20);
    run_results_screen(300, 2);
    alarm(0);
    EXPECT_GT(pixels_in_band(300, 300 + large_height(), RED), 50);
    EXPECT_EQ(file_bytes("cool.dat"), encoded(300, 2));
}

TEST_F(results_screen, failed_save_still_announces_says_so_and_keeps_what_was_there)
{
    ASSERT_EQ(mkdir("cool.dat", 0755), 0);
    run_results_screen(100, 1);
    EXPECT_GT(pixels_in_band(300, 300 + large_height(), RED), 50);
    EXPECT_GT(pixels_in_band(345, 345 + small_height(), WHITE), 30) << "the unsaved note";
    EXPECT_EQ(folder_names("."), std::vector<std::string>{"cool.dat"});
}

TEST_F(results_screen, a_key_pending_before_the_screen_does_not_end_it)
{
    clear_keybuf();
    simulate_keypress((KEY_A << 8) | 'a');
    int ran_ms = run_results_screen(300, 0, 600);
    EXPECT_GE(ran_ms, 550);
}
