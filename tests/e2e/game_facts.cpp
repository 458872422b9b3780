// Prints the game's facts that the player scripts need, as shell assignments to eval: the
// catalogue's size and font positions, the menu's areas (x0 x1 y0 y1, lower bounds outside),
// the typing page's geometry and its mistake red, and each letter's time limit and cost of a
// mistake, all read from the game's own headers.
//   eval "$(game_facts)"
// With "record FILE", prints the seconds and mistakes a highscore file holds, decoded as the
// game decodes it, or fails when the file does not hold 8 bytes.
//   read -r seconds mistakes < <(game_facts record cool.dat)
#include <cstdio>
#include <cstring>

#include "game/highscore.h"
#include "game/letter_book.h"
#include "game/typing_game.h"
#include "game/typing_page.h"
#include "shell/catalogue_index.h"
#include "shell/menu_areas.h"

static void area(const char *name, const screen_area &a) {
    std::printf("%s=\"%d %d %d %d\"\n", name, a.x0, a.x1, a.y0, a.y1);
}

// The smallest rectangle (x y width height) that holds every character cell of every letter.
static void text_area() {
    int left = cell_x(LINES_PER_LETTER - 1, 0), right = left;
    for (int letter = 0; letter < LETTER_COUNT; letter++)
        for (int line = 0; line < LINES_PER_LETTER; line++) {
            int end = cell_x(line, static_cast<int>(std::strlen(letter_lines[letter][line])));
            if (end > right)
                right = end;
        }
    std::printf("text_area=\"%d %d %d %d\"\n", left, CELL_TOP, right - left,
                PAGE_LINE_SPACING * LINES_PER_LETTER);
}

// NAME="v1 v2 v3 v4 v5", a value for each letter.
static void per_letter(const char *name, int (*value)(int letter)) {
    std::printf("%s=\"", name);
    for (int letter = 0; letter < LETTER_COUNT; letter++)
        std::printf("%s%d", letter ? " " : "", value(letter));
    std::printf("\"\n");
}

static int print_record(const char *path) {
    unsigned char bytes[HIGHSCORE_SIZE + 1];
    FILE *file = std::fopen(path, "rb");
    size_t size = file ? std::fread(bytes, 1, sizeof bytes, file) : 0;
    if (file)
        std::fclose(file);
    if (size != HIGHSCORE_SIZE) {
        std::fprintf(stderr, "game_facts: %s does not hold %d bytes\n", path, HIGHSCORE_SIZE);
        return 1;
    }
    highscore record = decode_highscore(bytes);
    std::printf("%d %d\n", static_cast<int>(record.seconds), static_cast<int>(record.mistakes));
    return 0;
}

int main(int argc, char **argv) {
    if (argc == 3 && std::strcmp(argv[1], "record") == 0)
        return print_record(argv[2]);
    std::printf("catalogue_size=%d\nsmall_font_index=%d\nlarge_font_index=%d\n", CATALOGUE_SIZE,
                SMALL_FONT, LARGE_FONT);
    area("start_area", START_AREA);
    area("second_area", SECOND_AREA);
    area("quit_area", QUIT_AREA);
    area("music_area", MUSIC_AREA);
    std::printf("switch_word=\"%d %d\"\n", SWITCH_WORD_X, SWITCH_TEXT_Y);
    std::printf("cell_left=%d\ncell_top=%d\ncell_advance=%d\nline_spacing=%d\n", CELL_LEFT,
                CELL_TOP, CELL_ADVANCE, PAGE_LINE_SPACING);
    std::printf("mistake_red=%06X\n", MISTAKE_RED);
    text_area();
    per_letter("time_limits", [](int letter) { return time_limits[letter]; });
    per_letter("mistake_seconds", mistake_penalty);
    std::printf("bar_left=%d\nbar_top=%d\nbar_bottom=%d\n", BAR_LEFT, BAR_TOP, BAR_BOTTOM);
    return 0;
}
