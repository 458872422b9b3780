// The characters the typing game judges for the characters the keyboard reports.
#include <gtest/gtest.h>

#include <cstring>

#include "game/key_translation.h"
#include "game/letter_book.h"

TEST(key_translation, swaps_y_and_z_in_both_cases)
{
    EXPECT_EQ(translate_key('y'), 'z');
    EXPECT_EQ(translate_key('z'), 'y');
    EXPECT_EQ(translate_key('Y'), 'Z');
    EXPECT_EQ(translate_key('Z'), 'Y');
}

TEST(key_translation, maps_the_three_punctuation_keys)
{
    EXPECT_EQ(translate_key('"'), '!');
    EXPECT_EQ(translate_key('<'), '?');
    EXPECT_EQ(translate_key(':'), '"');
}

TEST(key_translation, applies_the_table_only_once)
{
    // ":" becomes the double quote, which the table would map on to "!" if applied again.
    EXPECT_NE(translate_key(':'), '!');
    EXPECT_EQ(translate_key(translate_key(':')), '!');
    // y -> z -> y: applying it twice gives the key back, once does not.
    EXPECT_EQ(translate_key(translate_key('y')), 'y');
}

TEST(key_translation, every_other_character_passes_unchanged)
{
    const char *mapped = "yzYZ\"<:";
    for (int c = -128; c <= 127; c++) {
        if (c != 0 && strchr(mapped, c))
            continue;
        EXPECT_EQ(translate_key(c), c) << "character " << c;
    }
    // The ones a player is most likely to type directly.
    for (char c : {'!', '?', ';', '\'', ',', '.', ' ', '\r', '\b', '0', 'a', 'A'})
        EXPECT_EQ(translate_key(c), c) << "character " << int(c);
}

TEST(key_translation, bytes_above_127_stay_signed_characters)
{
    // readkey's low byte arrives as a signed char: 0xE1 is -31 and must come back as -31,
    // not as 225, since the game stores the result in a char and compares it.
    signed char accented = static_cast<signed char>(0xE1);
    EXPECT_EQ(translate_key(accented), -31);
    EXPECT_EQ(translate_key(static_cast<signed char>(0x80)), -128);
    EXPECT_EQ(translate_key(static_cast<signed char>(0xFF)), -1);
    // The low byte of a larger value is what counts; 0x179 carries "y" in its low byte.
    EXPECT_EQ(translate_key(0x179), 'z');
    EXPECT_EQ(translate_key(0xE1), -31);
}

TEST(key_translation, the_player_chooses_how_keys_are_taken)
{
    key_rule rule = AS_TYPED;
    EXPECT_TRUE(parse_key_rule(nullptr, &rule));
    EXPECT_EQ(rule, FOLLOW_LAYOUT);
    EXPECT_TRUE(parse_key_rule("czech-on-us", &rule));
    EXPECT_EQ(rule, CZECH_ON_US);
    EXPECT_TRUE(parse_key_rule("as-typed", &rule));
    EXPECT_EQ(rule, AS_TYPED);
    // An unknown value is refused and changes nothing.
    EXPECT_FALSE(parse_key_rule("qwertz", &rule));
    EXPECT_FALSE(parse_key_rule("As-Typed", &rule));
    EXPECT_EQ(rule, AS_TYPED);

    keys_rule = AS_TYPED;
    EXPECT_EQ(judged_key('y'), 'y');
    EXPECT_EQ(judged_key('"'), '"');
    EXPECT_EQ(judged_key(0xE1), -31);
    keys_rule = CZECH_ON_US;
    EXPECT_EQ(judged_key('y'), 'z');
    EXPECT_EQ(judged_key('"'), '!');
    keys_rule = FOLLOW_LAYOUT;
}

// A player whose keyboard is taken for a Czech one reported as US gets only what the table
// makes of the keys: every character of the letters must still come from some key.
TEST(key_translation, every_character_of_the_letters_comes_from_a_key)
{
    bool reachable[128] = {};
    for (int c = ' '; c <= '~'; c++)
        reachable[translate_key(c) & 127] = true;
    for (int l = 0; l < LETTER_COUNT; l++)
        for (int i = 0; i < LINES_PER_LETTER; i++)
            for (const char *c = letter_lines[l][i]; *c; c++)
                EXPECT_TRUE(reachable[*c & 127]) << "'" << *c << "' in letter " << l + 1;
}
