// The letter game on a real screen with solid-coloured test pictures, played by a helper
// thread that presses keys once each screen stands, as a player would. The helper reads the
// screen without its lock, which the game's thread holds while it draws.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

#include "game/letter_book.h"
#include "game/results.h"
#include "game/typing_game.h"
#include "game/typing_page.h"
#include "shell/catalogue.h"
#include "tests/game/other_screens_stub.h"
#include "tests/support/test_resources.h"
#include "tests/e2e/key_names.h"
#include "tests/support/test_screen.h"

// The results screen and the gallery are other screens: the stubs linked in their place only
// count their calls (results_shown, gallery_shown).
static std::atomic<bool> game_running{false};

enum { BACKDROP = 0x404040, PAPER = 0xC0B090, STRIP = 0x203060, WHITE = 0xFFFFFF };
static const int photo_colours[LETTER_COUNT] = {0xE00000, 0x00C000, 0x0000E0, 0xE0E000,
                                                0x00E0E0};

using clock_type = std::chrono::steady_clock;

static void pause_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Polls until `done` holds, at most `seconds` (0: looks once).
static bool wait_until(const std::function<bool()> &done, int seconds = 20)
{
    auto end = clock_type::now() + std::chrono::seconds(seconds);
    do {
        if (done())
            return true;
        pause_ms(1);
    } while (clock_type::now() < end);
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

// True when `text` in Allegro's font (the test fonts) stands at (x, y) in `colour`, pixel for
// pixel: the glyphs' pixels in that colour and no other pixel of its box.
static bool text_stands(const char *text, int x, int y, int colour)
{
    int width = text_length(font, text), height = text_height(font);
    BITMAP *glyphs = create_bitmap_ex(32, width, height);
    clear_to_color(glyphs, colour ^ 1);
    textout_ex(glyphs, font, text, 0, 0, colour, -1);
    bool same = true;
    for (int j = 0; j < height && same; j++)
        for (int i = 0; i < width && same; i++)
            same = (getpixel(glyphs, i, j) == colour) ==
                   (screen_pixel_unlocked(x + i, y + j) == colour);
    destroy_bitmap(glyphs);
    return same;
}

// A white text centred on x = 400 at `y`, as the pages draw theirs; waits for it.
static bool centred_text_shown(const char *text, int y, int seconds = 5)
{
    int x = 400 - text_length(font, text) / 2;
    return wait_until([=] { return text_stands(text, x, y, WHITE); }, seconds);
}

// The number a time-out without a question leaves at (20,10) in colour 2; waits for it.
static bool corner_number_shown(const char *number)
{
    return wait_until([number] { return text_stands(number, 20, 10, 2); }, 2);
}

// Passes the intro and title pages of `letter`. The title reads "Dopis N", with
// "Checkpoint" under it on the third letter's page only.
static bool pass_pages(int letter)
{
    char title[16];
    std::snprintf(title, sizeof title, "Dopis %d", letter + 1);
    bool titled = press_on(photo_colours[letter]) && centred_text_shown(title, 275);
    EXPECT_TRUE(titled) << title;
    EXPECT_EQ(centred_text_shown("Checkpoint", 330, letter == 2 ? 5 : 0), letter == 2) << title;
    return titled && press_on(BACKDROP) && wait_until([] { return shows(PAPER); });
}

static void chord(bool down) { key[KEY_J] = key[KEY_K] = key[KEY_L] = down; }

// Finishes the letter on the typing page with the J+K+L chord.
static void complete_by_chord()
{
    chord(true);
    wait_until([] { return !game_running || !shows(PAPER); });
    chord(false);
}

// ENTER as readkey reports it: its scancode above the carriage return.
static const int ENTER = KEY_ENTER << 8 | '\r';

// Presses `typed` (readkey's form) on the typing page and waits until the game has taken it.
// True when the typing loop then starts another pass: the key has been dealt with.
static bool type_key(int typed)
{
    simulate_keypress(typed);
    wait_until([] { return !keypressed(); });
    unsigned long taken = typing_passes;
    return wait_until([taken] { return typing_passes > taken; }, 2);
}

// Puts a line's keys and ENTER into the key buffer at once, as a fast typist's keys arrive
// between two looks of the game, and waits until all are taken.
static bool type_line_at_once(const char *text)
{
    for (const char *p = text; *p; p++)
        simulate_keypress(key_for_char(*p));
    return type_key(ENTER);
}

static bool type_text(const char *text)
{
    bool typing = true;
    for (const char *p = text; *p; p++)
        typing = type_key(key_for_char(*p));
    return typing;
}

// Sets the clock five seconds short of the letter's limit, within reach of any penalty and
// out of reach of the ticks until the key is judged, and types a wrong key. Returns as soon
// as the key is taken: the failure path follows at the next pass.
static void time_out(int letter)
{
    seconds_elapsed = time_limits[letter] - 5;
    simulate_keypress('#');
    wait_until([] { return !keypressed(); });
}

// Holds the chord while the title page goes and keeps the clock at the letter's limit until
// the typing page stands: the attempt's reset comes first, so its first pass finds the time
// up and the letter finished at once.
static void finish_as_time_runs_out(int letter)
{
    chord(true);
    wait_until([] { return shows(BACKDROP); });
    pause_ms(250);
    simulate_keypress(' ');
    auto end = clock_type::now() + std::chrono::seconds(5);
    while (!shows(PAPER) && clock_type::now() < end)
        seconds_elapsed = time_limits[letter];
    chord(false);
}

static int count_in_cell(int line, int pos, int colour)
{
    int n = 0;
    for (int y = cell_y(line); y < cell_y(line) + PAGE_LINE_SPACING; y++)
        for (int x = cell_x(line, pos); x < cell_x(line, pos) + CELL_ADVANCE; x++)
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

// The colour a pixel of catalogue picture `index` reaches under the cursor's and the bar's
// translucent red, filled again and again until it no longer changes. Call it while the game
// is not running: the drawing mode is shared.
static int settled_red(int index)
{
    BITMAP *picture = decode_catalogue_picture(index);
    BITMAP *pixel = create_bitmap_ex(32, 1, 1);
    putpixel(pixel, 0, 0, getpixel(picture, 0, 0));
    destroy_bitmap(picture);
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    set_trans_blender(0, 0, 0, 1);
    int before;
    do {
        before = getpixel(pixel, 0, 0);
        rectfill(pixel, 0, 0, 0, 0, 0xFF0000);
    } while (getpixel(pixel, 0, 0) != before);
    solid_mode();
    set_trans_blender(0, 0, 0, 255);
    destroy_bitmap(pixel);
    return before;
}

// Runs the game on this thread while `player` plays it on another. The player's own keys
// must end the game; one still waiting after them (a question nobody expected, a page that
// never came) fails the test and is ended by ESC and "n" so that it cannot hang it.
static void play(const std::function<void()> &player)
{
    game_running = true;
    bool by_player = false;
    std::thread helper([&] {
        player();
        by_player = wait_until([] { return !game_running; }, 5);
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
    EXPECT_TRUE(by_player) << "the game still waited for a key after the player's last one";
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
        // The first letter is finished in the very pass that finds its time up: it counts.
        played = press_on(photo_colours[0]);
        finish_as_time_runs_out(0);
        for (int letter = 1; letter < LETTER_COUNT && played; letter++) {
            played = pass_pages(letter);
            complete_by_chord();
        }
    });
    ASSERT_TRUE(played) << "the intro pages did not show the photos in order";
    EXPECT_EQ(results_shown, 1);
    EXPECT_EQ(gallery_shown, 1);
    EXPECT_EQ(mistake_count, 0);
    EXPECT_GE(total_seconds, time_limits[0]);
    EXPECT_LT(total_seconds, time_limits[0] + 20);
}

TEST_F(TypingGame, CorrectAndWrongKeysOnThePage)
{
    const char *line = letter_lines[0][0];
    const char *space = std::strchr(line, ' ');
    ASSERT_TRUE(line[0] && line[1] != ' ' && space && space[1] != ' ');
    int space_pos = static_cast<int>(space - line);
    int first_red = 0, second_red = 0, space_red = 0, black = 0, after_space = 0;
    int penalty_seconds = 0, cursor = 0, bar = 0;
    const int paper_red = settled_red(PAPER_PAGE), strip_red = settled_red(TIME_STRIP);
    play([&] {
        if (!pass_pages(0))
            return;
        type_key(key_for_char(line[0]));
        // At once, though the game rests between looks: the cell below the glyph, the bar's
        // first column.
        cursor = screen_pixel_unlocked(cell_x(0, 1) + 4, cell_y(0) + CURSOR_HEIGHT - 1);
        bar = screen_pixel_unlocked(BAR_LEFT, BAR_TOP + 4);
        black = wait_for_cell(0, 0, 0x000000);
        int before = seconds_elapsed;
        type_key(ENTER);  // before the line end ENTER is a typed character, a wrong one
        penalty_seconds = seconds_elapsed - before;
        second_red = wait_for_cell(0, 1, MISTAKE_RED);
        first_red = count_in_cell(0, 0, MISTAKE_RED);
        for (int p = 2; p < space_pos; p++)
            type_key(key_for_char(line[p]));
        type_key('\b');  // Backspace corrects nothing: a wrong key where a space is expected
        space_red = wait_for_cell(0, space_pos, MISTAKE_RED);
        type_key(key_for_char(line[space_pos + 1]));
        after_space = wait_for_cell(0, space_pos + 1, 0x000000);
        key[KEY_ESC] = 1;
    });
    EXPECT_EQ(cursor, paper_red) << "the cursor cell stands in its settled red";
    EXPECT_EQ(bar, strip_red) << "the bar stands in its settled red";
    EXPECT_GT(black, 0) << "a correct character is drawn in black";
    EXPECT_EQ(first_red, 0);
    EXPECT_GT(second_red, 0) << "the expected character is marked after a mistake";
    EXPECT_GT(space_red, 0) << "a wrong key for a space draws the underscore";
    EXPECT_GT(after_space, 0) << "typing goes on after the Backspace";
    EXPECT_GE(penalty_seconds, 15);
    EXPECT_LE(penalty_seconds, 16);
    EXPECT_EQ(mistake_count, 2);
    EXPECT_EQ(results_shown, 0) << "ESC ends the game without results";
    EXPECT_EQ(gallery_shown, 0);
}

TEST_F(TypingGame, TimeOutOnTheFirstLetterIsGameOver)
{
    bool numbered = false;
    play([&numbered] {
        if (!pass_pages(0))
            return;
        time_out(0);
        numbered = corner_number_shown("0");
        press_on(BACKDROP);
    });
    EXPECT_TRUE(numbered) << "the letter index stands at (20,10)";
    EXPECT_EQ(mistake_count, 1);
    EXPECT_EQ(total_seconds, 0);
    EXPECT_EQ(results_shown, 0);
}

// A player still typing as the time runs out: keys typed until GAME OVER stands never dismiss it.
TEST_F(TypingGame, KeysTypedAcrossTheTimeOutLeaveGameOverStanding)
{
    bool standing = false;
    play([&standing] {
        if (!pass_pages(0))
            return;
        seconds_elapsed = time_limits[0] - 5;
        auto end = clock_type::now() + std::chrono::seconds(5);
        while (!centred_text_shown("GAME OVER", 280, 0) && clock_type::now() < end) {
            simulate_keypress('#');
            pause_ms(10);
        }
        pause_ms(300);
        standing = game_running && centred_text_shown("GAME OVER", 280, 0);
        press_on(BACKDROP);
    });
    EXPECT_TRUE(standing) << "GAME OVER was dismissed by a key typed before it stood";
}

TEST_F(TypingGame, TimeOutsFromTheThirdLetterOfferTwoRetries)
{
    bool retried_at_third = true, told_attempts = true, numbered = false;
    play([&] {
        for (int letter = 0; letter < 2; letter++) {
            pass_pages(letter);
            complete_by_chord();
        }
        pass_pages(2);
        seconds_elapsed = 100;  // the third letter done in 100 s, and in 40 s when replayed
        complete_by_chord();
        for (int attempt = 0; attempt < 2; attempt++) {
            pass_pages(3 - attempt);  // the fourth letter, then the third again
            time_out(3 - attempt);
            press_on(BACKDROP, 'x');  // not an answer: the question stays
            press_on(BACKDROP, "Aa"[attempt]);
            const char *left = attempt ? "Zbyva ti 0 pokusu" : "Zbyva ti 1 pokusu";
            told_attempts &= centred_text_shown(left, 290);
            press_on(BACKDROP);
            retried_at_third &= wait_until([] { return shows(photo_colours[2]); });
        }
        pass_pages(2);
        seconds_elapsed = 40;
        complete_by_chord();
        // No attempts left: the third time-out ends the game without a question.
        pass_pages(3);
        time_out(3);
        numbered = corner_number_shown("3");
        press_on(BACKDROP);
    });
    EXPECT_TRUE(retried_at_third) << "a retry goes back to the third letter";
    EXPECT_TRUE(told_attempts) << "the attempts left: 1, then 0";
    EXPECT_TRUE(numbered) << "the letter index stands at (20,10)";
    EXPECT_EQ(results_shown, 0);
    EXPECT_EQ(mistake_count, 3) << "mistakes of failed attempts stay counted";
    // Both runs of the third letter count, the failed attempts nothing.
    EXPECT_GE(total_seconds, 140);
    EXPECT_LT(total_seconds, 150);
}

TEST_F(TypingGame, TheFourthLetterNeedsItsTenthLineAndEnter)
{
    const char *const *lines = letter_lines[3];
    bool tenth_typed = false, waits_for_enter = false, next_letter = false;
    play([&] {
        for (int letter = 0; letter < 3; letter++) {
            pass_pages(letter);
            complete_by_chord();
        }
        if (!pass_pages(3))
            return;
        type_text(lines[0]);
        type_key('x');  // at the line end: dropped, neither judged nor moving on
        type_key(ENTER);
        // Every key is judged in the order typed, however many wait at once.
        for (int line = 1; line < LINES_PER_LETTER - 1; line++)
            type_line_at_once(lines[line]);
        waits_for_enter = type_text(lines[9]);
        tenth_typed = count_in_cell(9, 0, 0x000000) > 0;
        simulate_keypress(ENTER);  // a tap: never seen down in the key state
        next_letter = wait_until([] { return shows(photo_colours[4]); }, 5);
        // ESC and the chord both down in the first pass of the last letter: the game ends
        // without results although the letter is finished.
        press_on(photo_colours[4]);
        key[KEY_ESC] = 1;
        chord(true);
        press_on(BACKDROP);
    });
    EXPECT_TRUE(tenth_typed) << "the tenth line is typed";
    EXPECT_TRUE(waits_for_enter) << "the letter waits for ENTER after its tenth line";
    EXPECT_TRUE(next_letter);
    EXPECT_EQ(mistake_count, 0) << "a key at a line end is judged";
    EXPECT_EQ(results_shown, 0);
}
