// The letter game on a real screen with solid-coloured test pictures, played by a helper
// thread that presses keys once each screen stands, as a player would. The helper reads the
// screen without its lock, which the game's thread holds while it draws.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

#include "game/letter_book.h"
#include "game/results.h"
#include "game/typing_game.h"
#include "shell/catalogue.h"
#include "tests/display/test_resources.h"
#include "tests/support/test_screen.h"

// The results screen and the gallery are other screens; here they only count their calls.
int32_t total_seconds;
int32_t mistake_count;
static std::atomic<int> results_shown{0};
static std::atomic<int> gallery_shown{0};
static std::atomic<bool> game_running{false};
void show_results() { results_shown++; }
void run_reward_gallery() { gallery_shown++; }

enum { BACKDROP = 0x404040, PAPER = 0xC0B090, STRIP = 0x203060 };
static const int photo_colours[LETTER_COUNT] = {0xE00000, 0x00C000, 0x0000E0, 0xE0E000,
                                                0x00E0E0};

using clock_type = std::chrono::steady_clock;

static void pause_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Polls until `done` holds, at most `seconds`.
static bool wait_until(const std::function<bool()> &done, int seconds = 20)
{
    auto end = clock_type::now() + std::chrono::seconds(seconds);
    while (clock_type::now() < end) {
        if (done())
            return true;
        pause_ms(5);
    }
    return false;
}

// Which page is up, judged above every text the pages centre on the backdrop.
static bool shows(int colour) { return near_colour(screen_pixel_unlocked(400, 200), colour, 10); }

// Waits for the screen, then presses one key and waits until the game has taken it. The pause
// before the key lets the game finish with the last one: it clears the key buffer after
// reading a key, and a key sent in between would be lost. It is long because this machine
// is shared and the game's thread may wait a while for its turn.
static bool press_on(int colour, int ascii = ' ')
{
    if (!wait_until([colour] { return shows(colour); }))
        return false;
    pause_ms(250);
    simulate_keypress(ascii);
    return wait_until([] { return !keypressed(); });
}

static bool pass_pages(int letter)
{
    return press_on(photo_colours[letter]) && press_on(BACKDROP) &&
           wait_until([] { return shows(PAPER); });
}

static void chord(bool down) { key[KEY_J] = key[KEY_K] = key[KEY_L] = down; }

// Finishes the letter on the typing page with the J+K+L chord.
static void complete_by_chord()
{
    chord(true);
    wait_until([] { return !game_running || !shows(PAPER); });
    chord(false);
}

// Presses `ascii` on the typing page and waits until it has been judged.
static void type_key(int ascii)
{
    simulate_keypress(ascii);
    wait_until([] { return !keypressed(); });
    pause_ms(15);
}

// Wrong keys, each waited for until it is judged, until the clock passes the letter's limit;
// then waits for the page to go.
static int time_out(int letter)
{
    int presses = 0;
    while (seconds_elapsed < time_limits[letter] && presses < 100) {
        int judged = mistake_count;
        simulate_keypress('#');
        presses++;
        wait_until([judged] { return mistake_count > judged; }, 5);
        pause_ms(20);  // the penalty is added just after the mistake is counted
    }
    wait_until([] { return !shows(PAPER); });
    return presses;
}

static int cell_x(int line, int pos) { return 75 + 8 * pos - (3 * line) / 2; }
static int cell_y(int line) { return 355 + 15 * line; }

static int count_in_cell(int line, int pos, int colour)
{
    int n = 0;
    for (int y = cell_y(line); y < cell_y(line) + 15; y++)
        for (int x = cell_x(line, pos); x < cell_x(line, pos) + 8; x++)
            n += screen_pixel_unlocked(x, y) == colour;
    return n;
}

// The number of `colour` pixels in the cell once some have reached the window (or 0).
static int wait_for_cell(int line, int pos, int colour)
{
    int n = 0;
    wait_until([&] { return (n = count_in_cell(line, pos, colour)) > 0; }, 2);
    return n;
}

// Runs the game on this thread while `player` plays it on another.
static void play(const std::function<void()> &player)
{
    game_running = true;
    std::thread helper([&player] {
        player();
        // A player that lost its way must not leave the game waiting for a key for ever:
        // ESC ends the typing page and "n" answers every other screen.
        while (game_running) {
            key[KEY_ESC] = 1;
            simulate_keypress('n');
            pause_ms(100);
        }
    });
    run_letter_game();
    game_running = false;
    helper.join();
    key[KEY_ESC] = 0;
    chord(false);
}

class TypingGame : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(open_test_screen());
        std::vector<bytes> pictures(CATALOGUE_SIZE);
        pictures[PAPER_PAGE] = encode_jpeg(solid_rgb(800, 600, PAPER), 800, 600);
        pictures[BACKGROUND_PAGE] = encode_jpeg(solid_rgb(800, 600, BACKDROP), 800, 600);
        for (int i = 0; i < LETTER_COUNT; i++)
            pictures[PHOTO_01 + i] = encode_jpeg(solid_rgb(640, 480, photo_colours[i]), 640, 480);
        pictures[TIME_STRIP] = encode_jpeg(solid_rgb(800, 15, STRIP), 800, 15);
        install_test_resources(pictures);
    }
    static void TearDownTestSuite() { close_test_screen(); }
    void SetUp() override
    {
        results_shown = gallery_shown = 0;
        clear_keybuf();
    }
};

TEST_F(TypingGame, ChordThroughAllLettersEndsInResultsAndGallery)
{
    bool played = true;
    play([&played] {
        for (int letter = 0; letter < LETTER_COUNT && played; letter++) {
            played = pass_pages(letter);
            complete_by_chord();
        }
    });
    ASSERT_TRUE(played) << "the intro pages did not show the photos in order";
    EXPECT_EQ(results_shown, 1);
    EXPECT_EQ(gallery_shown, 1);
    EXPECT_EQ(mistake_count, 0);
    EXPECT_GE(total_seconds, 0);
    EXPECT_LT(total_seconds, 20);
}

TEST_F(TypingGame, CorrectAndWrongKeysOnThePage)
{
    const char *line = letter_lines[0][0];
    const char *space = std::strchr(line, ' ');
    ASSERT_TRUE(line[0] && line[1] && line[1] != ' ' && space);
    int space_pos = static_cast<int>(space - line);
    int first_red = 0, second_red = 0, space_red = 0, black = 0, penalty_seconds = 0;
    play([&] {
        if (!pass_pages(0))
            return;
        type_key(line[0]);
        black = wait_for_cell(0, 0, 0x000000);
        int before = seconds_elapsed;
        type_key(line[1] == '#' ? '%' : '#');
        penalty_seconds = seconds_elapsed - before;
        second_red = wait_for_cell(0, 1, 0xC4262A);
        first_red = count_in_cell(0, 0, 0xC4262A);
        for (int p = 2; p < space_pos; p++)
            type_key(line[p] == 'y' ? 'z' : line[p] == 'z' ? 'y' : line[p]);
        type_key('#');
        space_red = wait_for_cell(0, space_pos, 0xC4262A);
        key[KEY_ESC] = 1;
    });
    EXPECT_GT(black, 0) << "a correct character is drawn in black";
    EXPECT_EQ(first_red, 0);
    EXPECT_GT(second_red, 0) << "the expected character is marked after a mistake";
    EXPECT_GT(space_red, 0) << "a wrong key for a space draws the underscore";
    EXPECT_GE(penalty_seconds, 15);
    EXPECT_LE(penalty_seconds, 16);
    EXPECT_EQ(mistake_count, 2);
    EXPECT_EQ(results_shown, 0) << "ESC ends the game without results";
    EXPECT_EQ(gallery_shown, 0);
}

TEST_F(TypingGame, TimeOutOnTheFirstLetterIsGameOver)
{
    int presses = 0;
    play([&presses] {
        if (!pass_pages(0))
            return;
        presses = time_out(0);
        press_on(BACKDROP);
    });
    // 332 seconds at 15 a mistake: the 23rd mistake reaches the limit.
    EXPECT_EQ(presses, 23);
    EXPECT_EQ(mistake_count, 23);
    EXPECT_EQ(total_seconds, 0);
    EXPECT_EQ(results_shown, 0);
}

TEST_F(TypingGame, TimeOutsFromTheThirdLetterOfferTwoRetries)
{
    bool retried_at_third = true;
    play([&retried_at_third] {
        for (int letter = 0; letter < 2; letter++) {
            pass_pages(letter);
            complete_by_chord();
        }
        for (int attempt = 0; attempt < 2; attempt++) {
            pass_pages(2);
            time_out(2);
            press_on(BACKDROP, 'x');  // not an answer: the question stays
            press_on(BACKDROP, 'A' + attempt * ('a' - 'A'));
            // The attempts message is drawn last, just before its key is awaited; row 297
            // lies between the question's lines and inside the message.
            wait_until([] { return !near_colour(screen_pixel_unlocked(400, 297), BACKDROP, 10); });
            press_on(BACKDROP);
            retried_at_third = retried_at_third &&
                               wait_until([] { return shows(photo_colours[2]); });
        }
        // No attempts left: the third time-out ends the game without a question.
        pass_pages(2);
        time_out(2);
        press_on(BACKDROP);
    });
    EXPECT_TRUE(retried_at_third) << "a retry goes back to the third letter";
    EXPECT_EQ(results_shown, 0);
    EXPECT_EQ(mistake_count, 3 * 32) << "mistakes of failed attempts stay counted";
}
