// The typing game: five letters, each with an intro page, a title page and a timed
// typing page, then the results and the reward gallery after a won game.
#include "game/typing_game.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstring>

#include <allegro.h>

#include "audio/sound.h"
#include "extras/gallery.h"
#include "game/key_translation.h"
#include "game/letter_book.h"
#include "game/results.h"
#include "game/typing_page.h"
#include "platform/i_screen.h"
#include "shell/catalogue.h"
#include "shell/picture.h"
#include "shell/waiting.h"

// The seconds tick runs on the timer thread and must never wait for the game's thread.
static_assert(std::atomic<int>::is_always_lock_free, "the seconds tick needs a lock-free clock");

std::atomic<int> seconds_elapsed{0};
std::atomic<unsigned long> typing_passes{0};
std::atomic<bool> game_in_front{true};

namespace {

const int WHITE = 0xFFFFFF;
const int BLACK = 0x000000;
const int CURSOR_RED = 0xFF0000;
const int SETTLING_FILLS = 192;

// The rules of a game.
// Seconds a mistake costs: 5 for each full 100 seconds of the letter's limit.
const int PENALTY_PER_100_SECONDS = 5;
// Every third letter is a checkpoint: a time-out after it may go back to it.
const int CHECKPOINT_EVERY = 3;
// Retries a game allows, all told.
const int RETRIES = 2;
// A time-out that allows no retry first writes the letter's index here, in Allegro's own font
// and colour value 2, over the last typing frame.
const int LOST_INDEX_X = 20, LOST_INDEX_Y = 10, LOST_INDEX_COLOUR = 2;

// A rectangle of the page, corners included; empty while x0 > x1.
struct page_rect {
    int x0, y0, x1, y1;
};
const page_rect NO_RECT = {1, 1, 0, 0};

// One game's state; lives only while run_letter_game runs. The page holds the paper with the
// letter as judged so far and the bar; the canvas shows the page with the cursor over it.
struct game_state {
    BITMAP *page_bitmap;
    char glyph[3];
    int letter_index;
    int line_index;
    int char_pos;
    int attempts_left;
    bool timed_out;
    bool escaped;
    // What the canvas shows: the bar's last settled column, the cell where the cursor was
    // settled (line -1: none yet), and the part of the page changed since it was last copied
    // onto the canvas.
    int bar_end;
    int cursor_line;
    int cursor_pos;
    page_rect changed;
};

void seconds_tick() {
    if (game_in_front.load())
        seconds_elapsed.fetch_add(1);
}
END_OF_FUNCTION(seconds_tick)

void switched_in() { game_in_front.store(true); }
void switched_out() { game_in_front.store(false); }

void install_seconds_tick() {
    // install_int_ex replaces the callback when it is already installed, so every
    // game may install it again and only one tick ever runs.
    LOCK_VARIABLE(seconds_elapsed);
    LOCK_FUNCTION(seconds_tick);
    install_int_ex(seconds_tick, SECS_TO_TIMER(1));
}

bool time_is_up(const game_state &g) {
    return seconds_elapsed.load() >= time_limits[g.letter_index];
}

// J, K and L held together finish the letter at once.
bool chord_held() { return key[KEY_J] && key[KEY_K] && key[KEY_L]; }

int bar_length(int letter) {
    double per_second = static_cast<double>(BAR_TRACK) / time_limits[letter];
    return static_cast<int>(seconds_elapsed.load() * per_second);
}

// Waits for a key typed once the page stands: keys typed while it was drawn, such as the last
// letters of a line typed as the time ran out, never dismiss it.
void wait_for_key() {
    clear_keybuf();
    wait_for_keypress();
    clear_keybuf();
}

void draw_centre(const char *text, FONT *f, int y) {
    textout_centre(canvas, f, text, 400, y, WHITE);
    int w = text_length(f, text);
    present(400 - w / 2 - 1, y, w + 2, text_height(f));
}

void grow(page_rect &r, page_rect by) {
    if (r.x0 > r.x1) {
        r = by;
        return;
    }
    r = {std::min(r.x0, by.x0), std::min(r.y0, by.y0), std::max(r.x1, by.x1),
         std::max(r.y1, by.y1)};
}

// A cell with room for its glyph, which may reach a little beyond the cursor's box.
page_rect cell_rect(int line, int pos) {
    int x = cell_x(line, pos), y = cell_y(line);
    int h = std::max(CURSOR_HEIGHT, text_height(small_font));
    return {x - 2, y - 1, x + CURSOR_WIDTH + 2, y + h};
}

void draw_glyph(game_state &g, BITMAP *bmp, char c, int line, int pos, int colour) {
    g.glyph[0] = c;
    textout(bmp, small_font, g.glyph, cell_x(line, pos), cell_y(line), colour);
}

void present_rect(page_rect r) {
    present(r.x0, r.y0, r.x1 - r.x0 + 1, r.y1 - r.y0 + 1);
}

const char *current_line(const game_state &g) {
    return letter_lines[g.letter_index][g.line_index];
}

void show_intro_page(const game_state &g) {
    clear_keybuf();
    text_mode(0);
    show_picture(BACKGROUND_PAGE);
    BITMAP *photo = decode_current_picture(letter_photos[g.letter_index]);
    if (photo) {
        blit(photo, canvas, 0, 0, PHOTO_FRAME_X, PHOTO_FRAME_Y, PHOTO_FRAME_W, PHOTO_FRAME_H);
        present(PHOTO_FRAME_X, PHOTO_FRAME_Y, PHOTO_FRAME_W, PHOTO_FRAME_H);
    }
    const char *const *strings = intro_pages[g.letter_index];
    const int ys[INTRO_STRINGS] = {5, 22, 39, 540, 570};
    for (int i = 0; i < INTRO_STRINGS; i++)
        draw_centre(strings[i], small_font, ys[i]);
    wait_for_key();
}

void show_title_page(const game_state &g) {
    show_picture(BACKGROUND_PAGE);
    char title[32];
    std::sprintf(title, "%s%i", "Dopis ", g.letter_index + 1);
    draw_centre(title, large_font, 275);
    if ((g.letter_index + 1) % CHECKPOINT_EVERY == 0)
        draw_centre("Checkpoint", small_font, 330);
    wait_for_key();
}

void compose_page(game_state &g) {
    BITMAP *page = g.page_bitmap;
    clear_to_color(page, BLACK);
    if (BITMAP *paper = decode_current_picture(PAPER_PAGE))
        blit(paper, page, 0, 0, 0, 0, 800, 600);
    if (BITMAP *photo = decode_current_picture(letter_photos[g.letter_index]))
        stretch_sprite(page, photo, THUMB_X, THUMB_Y, THUMB_W, THUMB_H);
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    set_trans_blender(0, 0, 0, 50);
    rectfill(page, VEIL_X0, VEIL_Y0, VEIL_X1, VEIL_Y1, WHITE);
    set_trans_blender(0, 0, 0, 255);
    solid_mode();
    text_mode(-1);
    for (int line = 0; line < LINES_PER_LETTER; line++) {
        const char *text = letter_lines[g.letter_index][line];
        for (int pos = 0; text[pos]; pos++)
            draw_glyph(g, page, text[pos], line, pos, WHITE);
    }
    if (BITMAP *strip = decode_current_picture(TIME_STRIP))
        blit(strip, page, 0, 0, 0, STRIP_TOP, 800, STRIP_HEIGHT);
    // The first pass shows it, with the cursor and the clock as that pass finds them.
    blit(page, canvas, 0, 0, 0, 0, 800, 600);
}

// Fills (x0,y0)-(x1,y1) of `bmp`, corners included, in translucent red at blender level 1
// until it stands still. Each such fill deepens a colour a little, and none changes any more
// after 191 fills (found by filling every 24-bit colour), so a cell or a stretch of bar shows
// at once the colour it would reach if it were filled pass after pass. Filling it again
// changes nothing.
void settle_red(BITMAP *bmp, int x0, int y0, int x1, int y1) {
    drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
    set_trans_blender(0, 0, 0, 1);
    for (int i = 0; i < SETTLING_FILLS; i++)
        rectfill(bmp, x0, y0, x1, y1, CURSOR_RED);
    set_trans_blender(0, 0, 0, 255);
    solid_mode();
}

// Brings the canvas up to date with the page, the cursor cell and the bar, each settled, and
// shows what changed. True when anything was shown.
bool show_changes(game_state &g) {
    // The cursor stands on the letter's lines, at most one cell past a line's end; a chord
    // may leave it on the line after the last.
    assert(g.line_index >= 0 && g.line_index <= LINES_PER_LETTER);
    assert(g.line_index == LINES_PER_LETTER ||
           g.char_pos <= static_cast<int>(std::strlen(current_line(g))));
    bool shown = false;
    int bar_end = BAR_LEFT + bar_length(g.letter_index);
    if (bar_end > g.bar_end) {
        // The bar lies on the page too, so it survives the page being copied onto the canvas.
        int x = g.bar_end + 1, w = bar_end - g.bar_end, h = BAR_BOTTOM - BAR_TOP + 1;
        settle_red(g.page_bitmap, x, BAR_TOP, bar_end, BAR_BOTTOM);
        blit(g.page_bitmap, canvas, x, BAR_TOP, x, BAR_TOP, w, h);
        present(x, BAR_TOP, w, h);
        g.bar_end = bar_end;
        shown = true;
    }
    if (g.cursor_line != g.line_index || g.cursor_pos != g.char_pos) {
        // The page under the cursor's old cell wipes it, with the cells judged meanwhile; the
        // attempt's first cursor comes with the whole page.
        if (g.cursor_line >= 0)
            grow(g.changed, cell_rect(g.cursor_line, g.cursor_pos));
        else
            g.changed = {0, 0, CANVAS_W - 1, CANVAS_H - 1};
        page_rect &r = g.changed;
        blit(g.page_bitmap, canvas, r.x0, r.y0, r.x0, r.y0, r.x1 - r.x0 + 1, r.y1 - r.y0 + 1);
        int x = cell_x(g.line_index, g.char_pos);
        int y = cell_y(g.line_index);
        settle_red(canvas, x, y, x + CURSOR_WIDTH - 1, y + CURSOR_HEIGHT - 1);
        grow(g.changed, cell_rect(g.line_index, g.char_pos));
        present_rect(g.changed);
        g.changed = NO_RECT;
        g.cursor_line = g.line_index;
        g.cursor_pos = g.char_pos;
        shown = true;
    }
    return shown;
}

void judge(game_state &g, char c) {
    char expected = current_line(g)[g.char_pos];
    bool wrong = c != expected;
    if (expected != ' ' && !wrong)
        draw_glyph(g, g.page_bitmap, c, g.line_index, g.char_pos, BLACK);
    else if (wrong)
        draw_glyph(g, g.page_bitmap, expected == ' ' ? '_' : expected, g.line_index,
                   g.char_pos, MISTAKE_RED);
    grow(g.changed, cell_rect(g.line_index, g.char_pos));
    if (wrong) {
        mistake_count++;
        seconds_elapsed.fetch_add(mistake_penalty(g.letter_index));
    }
}

// Empty lines are passed over without input.
void skip_empty_lines(game_state &g) {
    while (g.line_index < LINES_PER_LETTER && current_line(g)[0] == '\0') {
        g.char_pos = 0;
        g.line_index++;
    }
}

// Takes one typed key: at a line end only ENTER counts, ringing the bell and moving to the
// next line, and any other key is dropped unheard; elsewhere the key is judged.
void take_typed_key(game_state &g, int scancode, char typed) {
    if (g.char_pos == static_cast<int>(std::strlen(current_line(g)))) {
        if (scancode == KEY_ENTER || scancode == KEY_ENTER_PAD) {
            FSOUND_PlaySound(FSOUND_FREE, bell_sample);
            g.char_pos = 0;
            g.line_index++;
        }
        return;
    }
    char c = static_cast<char>(judged_key(typed));
    FSOUND_PlaySound(FSOUND_FREE, type_sample);
    judge(g, c);
    g.char_pos++;
}

// Takes every key typed since the last pass, in the order typed. Stops at ESC, held down or
// typed, with the key it read unjudged; at the letter's end, where the keys typed after the
// last line are not the letter's; and once the time is up, which the next pass acts on.
void take_waiting_keys(game_state &g) {
    for (;;) {
        skip_empty_lines(g);
        if (g.line_index >= LINES_PER_LETTER || !keypressed() || time_is_up(g))
            return;
        int typed = readkey();
        int scancode = typed >> 8;
        if (key[KEY_ESC] || scancode == KEY_ESC) {
            g.escaped = true;
            return;
        }
        take_typed_key(g, scancode, static_cast<char>(typed & 0xFF));
    }
}

// One look at the keyboard and the clock. Only what changed goes to the screen; a pass that
// changed nothing rests, so that a page nobody types on leaves the processor alone.
void typing_pass(game_state &g) {
    typing_passes.fetch_add(1, std::memory_order_relaxed);
    if (key[KEY_ESC])
        g.escaped = true;
    if (time_is_up(g))
        g.timed_out = true;
    // The chord finishes the letter at once; the keys waiting are not judged.
    if (chord_held()) {
        g.line_index = LINES_PER_LETTER;
        g.char_pos = 0;
    } else if (!g.escaped && game_in_front.load()) {
        take_waiting_keys(g);
    }
    if (!show_changes(g))
        rest_between_polls();
}

void run_attempt(game_state &g) {
    g.line_index = 0;
    seconds_elapsed.store(0);
    clear_keybuf();
    compose_page(g);
    g.bar_end = BAR_LEFT - 1;  // no column yet
    g.cursor_line = -1;
    g.changed = NO_RECT;
    while (!g.timed_out && g.line_index < LINES_PER_LETTER && !g.escaped)
        typing_pass(g);
    if (g.line_index >= LINES_PER_LETTER) {
        // A letter finished in the pass that also found the time up is finished: the
        // time-out must not send the next letter's index down the failure path.
        g.timed_out = false;
        g.letter_index++;
        total_seconds += seconds_elapsed.load();
    }
    clear_keybuf();
}

void show_game_over() {
    draw_centre("GAME OVER", large_font, 280);
    wait_for_key();
}

// Only a key typed once the question stands answers it.
char read_retry_answer() {
    clear_keybuf();
    for (;;) {
        char answer = static_cast<char>(wait_for_keypress() & 0xFF);
        clear_keybuf();
        if (answer == 'a' || answer == 'A' || answer == 'n' || answer == 'N')
            return answer;
    }
}

void ask_retry(game_state &g, int checkpoints) {
    clear_keybuf();
    text_mode(0);
    show_picture(BACKGROUND_PAGE);
    draw_centre("Tak to jsi nezvladl", small_font, 280);
    draw_centre("Chces si to dat jeste jednou?", small_font, 300);
    draw_centre("A/N", small_font, 320);
    char retry_answer = read_retry_answer();
    if (retry_answer == 'a' || retry_answer == 'A') {
        g.attempts_left--;
        char message[48];
        std::sprintf(message, "%s%i%s", "Zbyva ti ", g.attempts_left, " pokusu");
        g.letter_index = CHECKPOINT_EVERY * checkpoints - 1;
        g.timed_out = false;
        show_picture(BACKGROUND_PAGE);
        g.char_pos = 0;
        draw_centre(message, large_font, 290);
        clear_keybuf();
        wait_for_key();
        return;
    }
    clear_keybuf();
    show_picture(BACKGROUND_PAGE);
    show_game_over();
}

void run_failure_path(game_state &g) {
    int checkpoints = (g.letter_index + 1) / CHECKPOINT_EVERY;
    if (checkpoints > 0 && g.attempts_left > 0) {
        ask_retry(g, checkpoints);
        return;
    }
    char number[16];
    std::sprintf(number, "%i", g.letter_index);
    textout(canvas, font, number, LOST_INDEX_X, LOST_INDEX_Y, LOST_INDEX_COLOUR);
    present(LOST_INDEX_X, LOST_INDEX_Y, text_length(font, number), text_height(font));
    clear_keybuf();
    show_picture(BACKGROUND_PAGE);
    show_game_over();
}

void start_game(game_state &g) {
    std::strcpy(g.glyph, " ");
    install_seconds_tick();
    g.attempts_left = RETRIES;
    g.letter_index = 0;
    g.line_index = 0;
    g.char_pos = 0;
    g.timed_out = false;
    g.escaped = false;
    mistake_count = 0;
    total_seconds = 0;
}

}  // namespace

int mistake_penalty(int letter) { return PENALTY_PER_100_SECONDS * (time_limits[letter] / 100); }

void follow_game_focus() {
    set_display_switch_callback(SWITCH_IN, switched_in);
    set_display_switch_callback(SWITCH_OUT, switched_out);
}

void run_letter_game() {
    game_state g{};
    g.page_bitmap = create_bitmap(800, 600);
    // Without the page there is nothing to type on: back to the menu.
    if (!g.page_bitmap)
        return;
    start_game(g);
    while (g.letter_index < LETTER_COUNT && !g.timed_out && !g.escaped) {
        show_intro_page(g);
        show_title_page(g);
        run_attempt(g);
        if (g.timed_out)
            run_failure_path(g);
    }
    destroy_bitmap(g.page_bitmap);
    // ESC ends the game without results, even in the pass that finishes the last letter.
    if (g.letter_index >= LETTER_COUNT && !g.timed_out && !g.escaped) {
        show_results();
        run_reward_gallery();
    }
}
