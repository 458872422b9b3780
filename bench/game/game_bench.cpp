// Measures the letter game on a private X server (800x600, or VELMORA_TEST_SCREEN's size):
// passes of the typing loop per second, key-to-screen latency and dropped keys while typing at
// 15 keys a second, the length of a fade and of the credits' roll, and peak resident memory
// after a full game and after 200 starts of a game left with ESC. The player runs on a second
// thread and reads the screen as presented. Prints its figures; asserts nothing.
// (bench/game/menu_rounds.sh measures the whole program over menu round trips,
// bench/game/screen_sizes.sh these figures at the screen sizes people have.)
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "game/letter_book.h"
#include "game/results.h"
#include "game/typing_game.h"
#include "game/typing_page.h"
#include "extras/credits.h"
#include "platform/i_screen.h"
#include "shell/catalogue.h"
#include "shell/picture.h"
#include "tests/support/test_resources.h"
#include "tests/e2e/key_names.h"
#include "tests/support/test_screen.h"

int32_t total_seconds;
int32_t mistake_count;
void show_results() {}
void run_reward_gallery() {}

enum { BACKDROP = 0x404040, PAPER = 0xC0B090 };
static const int photo_colours[LETTER_COUNT] = {0xE00000, 0x00C000, 0x0000E0, 0xE0E000,
                                                0x00E0E0};
using clock_type = std::chrono::steady_clock;

static void pause_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
// Which page is up, judged above every text the pages centre on the backdrop.
static bool shows(int colour) { return near_colour(screen_pixel_unlocked(400, 200), colour, 10); }
static void wait_for(int colour) { while (!shows(colour)) pause_ms(2); }
// The pages clear the key buffer once they stand, which on a large or busy screen may be well
// after their colour shows: a key that came too early is pressed again.
static void press_when(int colour) {
    wait_for(colour);
    while (shows(colour)) {
        simulate_keypress(' ');
        pause_ms(150);
    }
}
static void pass_pages(int letter) {
    press_when(photo_colours[letter]);
    press_when(BACKDROP);
    wait_for(PAPER);
}

static long peak_rss_kb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A canvas cell's character as the screen shows it: a dark pixel among the screen pixels that
// show the cell, wherever and however large the picture is there.
static bool cell_has_black(int line, int pos) {
    screen_layout at = current_layout();
    int x0 = at.x + cell_x(line, pos) * at.w / CANVAS_W, y0 = at.y + cell_y(line) * at.h / CANVAS_H;
    int x1 = at.x + (cell_x(line, pos) + CELL_ADVANCE) * at.w / CANVAS_W;
    int y1 = at.y + (cell_y(line) + CURSOR_HEIGHT) * at.h / CANVAS_H;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            if (near_colour(shown_pixel_unlocked(x, y), 0, 0x30))
                return true;
    return false;
}

static double ms_since(clock_type::time_point start) {
    return std::chrono::duration<double, std::milli>(clock_type::now() - start).count();
}

// A whole fade of the backdrop (the median of several: the first step waits anywhere up to a
// whole retrace), and the credits from their first black frame until the last row has left the
// top (the canvas black again after text): as long at any screen size if all is well.
static void fade_and_credits_figures() {
    std::vector<double> fades;
    for (int i = 0; i < 7; i++) {
        auto start = clock_type::now();
        show_picture(BACKGROUND_PAGE);
        fades.push_back(ms_since(start));
    }
    std::sort(fades.begin(), fades.end());
    std::printf("a fade: %.0f ms (median of %zu, %.0f to %.0f)\n", fades[fades.size() / 2],
                fades.size(), fades.front(), fades.back());
    auto start = clock_type::now();
    const int PRESENTS = 20;
    for (int i = 0; i < PRESENTS; i++)
        present_canvas();
    std::printf("a full present: %.1f ms\n", ms_since(start) / PRESENTS);
    double roll_ms = 0;
    std::thread watcher([&] {
        auto begun = clock_type::now();
        auto canvas_has_text = [] {
            for (int y = 0; y < CANVAS_H; y++)
                for (int x = 0; x < CANVAS_W; x++)
                    if (screen_pixel_unlocked(x, y) != 0)
                        return true;
            return false;
        };
        // The roll starts on a black canvas, brings its rows in and ends black again. Each
        // frame is cleared before it is drawn, so black counts once it has lasted 100 ms.
        for (int phase = 0; phase < 3; phase++) {
            bool want_text = phase == 1;
            auto since = clock_type::now();
            while (canvas_has_text() != want_text || (!want_text && ms_since(since) < 100)) {
                if (canvas_has_text() != want_text)
                    since = clock_type::now();
                pause_ms(2);
            }
            if (phase == 0)
                begun = since;
        }
        roll_ms = ms_since(begun) - 100;
        simulate_keypress(' ');
    });
    run_credits();
    watcher.join();
    clear_keybuf();
    std::printf("credits rolled through in %.0f ms\n", roll_ms);
}


// Types the first line of letter 1 at 15 keys a second, timing each key until its black
// character stands on the screen.
static void typing_figures() {
    const char *line = letter_lines[0][0];
    std::vector<double> latencies;
    int sent = 0, dropped = 0;
    unsigned long passes = 0;
    double typing_seconds = 0;
    std::thread player([&] {
        pass_pages(0);
        unsigned long first_pass = typing_passes;
        auto typing_start = clock_type::now();
        for (int p = 0; line[p]; p++) {
            auto start = clock_type::now();
            simulate_keypress(key_for_char(line[p]));
            sent++;
            if (line[p] != ' ') {
                bool seen = false;
                while (!seen && clock_type::now() - start < std::chrono::milliseconds(500))
                    seen = cell_has_black(0, p);
                if (seen)
                    latencies.push_back(
                        std::chrono::duration<double, std::milli>(clock_type::now() - start).count());
                else
                    dropped++;
            }
            std::this_thread::sleep_until(start + std::chrono::microseconds(66667));
        }
        passes = typing_passes - first_pass;
        typing_seconds = std::chrono::duration<double>(clock_type::now() - typing_start).count();
        key[KEY_ESC] = 1;
    });
    run_letter_game();
    player.join();
    key[KEY_ESC] = 0;
    std::sort(latencies.begin(), latencies.end());
    if (latencies.empty()) {
        std::printf("typing: no key reached the screen\n");
        return;
    }
    std::printf("typing at 15 keys/s: %d keys, %d dropped, mistakes %d\n", sent, dropped,
                static_cast<int>(mistake_count));
    std::printf("typing loop: %.0f passes/s over %.1f s\n", passes / typing_seconds,
                typing_seconds);
    std::printf("key-to-screen latency (ms, incl. screen reads): median %.2f, p99 %.2f, max %.2f\n",
                latencies[latencies.size() / 2], latencies[latencies.size() * 99 / 100],
                latencies.back());
}

static void full_game() {
    std::atomic<bool> running{true};
    std::thread player([&running] {
        for (int letter = 0; letter < LETTER_COUNT; letter++) {
            pass_pages(letter);
            key[KEY_J] = key[KEY_K] = key[KEY_L] = 1;
            // After the last letter the page stays up: the results here draw nothing.
            while (running && shows(PAPER)) pause_ms(1);
            key[KEY_J] = key[KEY_K] = key[KEY_L] = 0;
        }
    });
    run_letter_game();
    running = false;
    player.join();
}

static void escaped_game() {
    std::thread player([] {
        pass_pages(0);
        key[KEY_ESC] = 1;
    });
    run_letter_game();
    player.join();
    key[KEY_ESC] = 0;
}

// `game_bench screen` measures only what the screen's size may change: typing, a fade and
// the credits.
int main(int argc, char **argv) {
    bool screen_only = argc > 1 && std::strcmp(argv[1], "screen") == 0;
    if (!open_test_screen())
        return 1;
    std::vector<bytes> pictures(CATALOGUE_SIZE);
    pictures[PAPER_PAGE] = encode_jpeg(solid_rgb(800, 600, PAPER), 800, 600);
    pictures[BACKGROUND_PAGE] = encode_jpeg(solid_rgb(800, 600, BACKDROP), 800, 600);
    for (int i = 0; i < LETTER_COUNT; i++)
        pictures[PHOTO_01 + i] = encode_jpeg(solid_rgb(640, 480, photo_colours[i]), 640, 480);
    pictures[TIME_STRIP] = encode_jpeg(solid_rgb(800, 15, 0x203060), 800, 15);
    install_test_resources(pictures);

    screen_layout at = current_layout();
    std::printf("screen %dx%d, picture %dx%d at +%d+%d\n", at.screen_w, at.screen_h, at.w, at.h,
                at.x, at.y);
    typing_figures();
    fade_and_credits_figures();
    if (screen_only) {
        close_test_screen();
        return 0;
    }
    full_game();
    long after_game = peak_rss_kb();
    std::printf("peak resident after a full game: %ld KiB\n", after_game);
    const int rounds = 200;
    long after_ten = 0;
    for (int i = 0; i < rounds; i++) {
        escaped_game();
        if (i == 9)
            after_ten = peak_rss_kb();
        if (i == 9 || i == rounds - 1)
            std::printf("peak resident after %d games left with ESC: %ld KiB\n", i + 1,
                        peak_rss_kb());
    }
    std::printf("growth per game after the first 10: %.2f KiB\n",
                static_cast<double>(peak_rss_kb() - after_ten) / (rounds - 10));
    close_test_screen();
    return 0;
}
