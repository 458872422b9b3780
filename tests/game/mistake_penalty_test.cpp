// The seconds a mistake costs, held to the figures the player is told in the README and the
// manual page: 15 on the first letter, 10 on the second, 5 on the others. A change to the rule
// or to the letters' time limits that moves them fails here, and the texts need it too.
#include <gtest/gtest.h>

#include "game/letter_book.h"
#include "game/typing_game.h"

TEST(mistake_penalty, costs_15_then_10_then_5_seconds)
{
    const int told[LETTER_COUNT] = {15, 10, 5, 5, 5};
    for (int letter = 0; letter < LETTER_COUNT; letter++)
        EXPECT_EQ(mistake_penalty(letter), told[letter]) << "letter " << letter + 1;
}
