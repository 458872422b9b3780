// The player script types every letter through these keys, so each character of the book
// must have a key whose translation gives it back, with a name xdotool knows.
#include <gtest/gtest.h>

#include <cstring>

#include "game/key_translation.h"
#include "game/letter_book.h"
#include "tests/e2e/key_names.h"

TEST(key_names, every_book_character_has_a_key_that_translates_back) {
    for (int letter = 0; letter < LETTER_COUNT; letter++)
        for (int line = 0; line < LINES_PER_LETTER; line++)
            for (const char *p = letter_lines[letter][line]; *p; p++) {
                int k = key_for_char(*p);
                ASSERT_NE(k, -1) << "letter " << letter + 1 << " line " << line;
                EXPECT_EQ(translate_key(k), *p);
                EXPECT_NE(key_name(k), nullptr) << "character " << *p;
            }
}

TEST(key_names, swapped_and_mapped_keys) {
    EXPECT_EQ(key_for_char('y'), 'z');
    EXPECT_EQ(key_for_char('Z'), 'Y');
    EXPECT_EQ(key_for_char('"'), ':');
    // "!" and "?" reach the game unchanged, so the plain key is the natural choice.
    EXPECT_EQ(key_for_char('!'), '!');
    EXPECT_EQ(key_for_char('?'), '?');
    EXPECT_EQ(key_for_char('a'), 'a');
}

TEST(key_names, xdotool_names) {
    EXPECT_STREQ(key_name(' '), "space");
    EXPECT_STREQ(key_name(':'), "colon");
    EXPECT_STREQ(key_name('q'), "q");
    EXPECT_STREQ(key_name('7'), "7");
    EXPECT_EQ(key_name('\r'), nullptr);
    EXPECT_EQ(key_name(-1), nullptr);
    EXPECT_EQ(key_name(200), nullptr);
}
