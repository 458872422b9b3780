// Prints the keys a player presses to type one letter of the letter book, one xdotool key
// name a line, with "Return" at every line end that needs ENTER. Empty lines are skipped
// by the game without input, so they print nothing. The keys are those of a Czech keyboard on a
// US layout, or with "as-typed" those of a layout that reports what is printed on the keys.
//   letter_keys N [as-typed]     (N = 1..5)
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/key_translation.h"
#include "game/letter_book.h"
#include "tests/e2e/key_names.h"

int main(int argc, char **argv) {
    int letter = argc >= 2 ? std::atoi(argv[1]) : 0;
    bool as_typed = argc == 3 && std::strcmp(argv[2], "as-typed") == 0;
    if (letter < 1 || letter > LETTER_COUNT || argc > 3 || (argc == 3 && !as_typed)) {
        std::fprintf(stderr, "usage: letter_keys N [as-typed] (N from 1 to %d)\n", LETTER_COUNT);
        return 2;
    }
    for (int line = 0; line < LINES_PER_LETTER; line++) {
        const char *text = letter_lines[letter - 1][line];
        if (!text[0])
            continue;
        for (const char *p = text; *p; p++) {
            const char *name = key_name(as_typed ? *p : key_for_char(*p));
            if (!name) {
                std::fprintf(stderr, "letter_keys: no key types 0x%02X\n", *p & 0xFF);
                return 1;
            }
            std::printf("%s\n", name);
        }
        std::printf("Return\n");
    }
    return 0;
}
