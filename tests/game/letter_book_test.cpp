// Checks the letter book for what would break the game or its players: a line wider than the
// paper or a page string wider than the screen, a character no key gives, a letter with
// nothing to type, sentences that lose their capitals, and time limits that stop asking for a
// rising pace. The wording may change freely while each letter keeps its length's pace.
#include "game/letter_book.h"
#include "game/typing_page.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

const int SCREEN_WIDTH = 800;

// One text per letter or page, its non-empty entries in order.
std::vector<std::vector<std::string>> texts(bool letters)
{
    std::vector<std::vector<std::string>> all(LETTER_COUNT);
    for (int l = 0; l < LETTER_COUNT; ++l) {
        int count = letters ? LINES_PER_LETTER : INTRO_STRINGS;
        for (int i = 0; i < count; ++i) {
            const char *s = letters ? letter_lines[l][i] : intro_pages[l][i];
            if (s && *s)
                all[l].push_back(s);
        }
    }
    return all;
}

int letter_characters(int letter)
{
    int total = 0;
    for (int i = 0; i < LINES_PER_LETTER; ++i)
        total += static_cast<int>(std::strlen(letter_lines[letter][i]));
    return total;
}

// The typing page draws every entry (a null would crash it), gives each line PAGE_LINE_CHARS
// cells of the paper, and centres the page strings in the small font's 8-pixel cells.
TEST(letter_book, every_entry_fits_where_it_is_drawn)
{
    for (int l = 0; l < LETTER_COUNT; ++l) {
        for (int i = 0; i < LINES_PER_LETTER; ++i) {
            ASSERT_NE(letter_lines[l][i], nullptr) << l << "/" << i;
            EXPECT_LE(std::strlen(letter_lines[l][i]), size_t(PAGE_LINE_CHARS))
                << "letter " << l + 1 << " line " << i + 1;
        }
        EXPECT_GT(letter_characters(l), 0) << "letter " << l + 1 << " has nothing to type";
        for (int i = 0; i < INTRO_STRINGS; ++i) {
            ASSERT_NE(intro_pages[l][i], nullptr) << l << "/" << i;
            EXPECT_LE(std::strlen(intro_pages[l][i]) * CELL_ADVANCE, size_t(SCREEN_WIDTH))
                << "page " << l + 1 << " string " << i + 1;
        }
    }
}

// Plain printable ASCII only: the fonts hold nothing else, and the key translation's test
// checks that every character of the letters is reachable from some key. A space at either end
// or a double space is a key the player cannot see to type.
TEST(letter_book, only_typeable_characters_and_single_spaces)
{
    for (bool letters : {true, false}) {
        for (const auto &text : texts(letters))
            for (const std::string &s : text) {
                for (char c : s)
                    EXPECT_TRUE(c >= ' ' && c <= '~') << int(c) << " in: " << s;
                EXPECT_NE(s.front(), ' ') << s;
                EXPECT_NE(s.back(), ' ') << s;
                EXPECT_EQ(s.find("  "), std::string::npos) << s;
            }
    }
    // The key translation makes y, z, ! and ? out of other keys: the letters must ask for them.
    std::string all;
    for (const auto &text : texts(true))
        for (const std::string &s : text)
            all += s;
    for (char c : {'y', 'z', '!', '?'})
        EXPECT_NE(all.find(c), std::string::npos) << c;
}

// Each sentence starts with a capital, across line breaks too: a line lost or doubled in the
// table shows as a sentence that starts in lower case.
TEST(letter_book, sentences_start_with_capitals)
{
    for (bool letters : {true, false})
        for (const auto &text : texts(letters)) {
            bool sentence_start = true;
            for (const std::string &line : text) {
                std::istringstream in(line);
                for (std::string w; in >> w; sentence_start = std::strchr("!.?", w.back())) {
                    if (sentence_start) {
                        EXPECT_TRUE(std::isupper(static_cast<unsigned char>(w[0]))) << line;
                    }
                }
            }
        }
}

// The limits ask for these paces (characters a second), rising letter by letter: a limit
// mistyped in the table shows here.
TEST(letter_book, time_limits_ask_for_a_rising_pace)
{
    const double paces[LETTER_COUNT] = {1.27, 1.88, 2.54, 3.03, 3.78};
    for (int l = 0; l < LETTER_COUNT; ++l) {
        double pace = static_cast<double>(letter_characters(l)) / time_limits[l];
        EXPECT_DOUBLE_EQ(std::round(pace * 100) / 100, paces[l]) << l;
        if (l > 0) {
            EXPECT_LT(time_limits[l], time_limits[l - 1]);
        }
    }
    EXPECT_EQ(time_limits[0], 332);
}

} // namespace
