#include "game/key_translation.h"

// The keys the player's layout puts where the letters need them: y and z change places, and
// the double quote, "<" and ":" stand for "!", "?" and the double quote.
struct key_pair {
    signed char typed;
    signed char judged;
};

static const key_pair key_table[] = {
    {'y', 'z'}, {'z', 'y'}, {'Y', 'Z'}, {'Z', 'Y'},
    {'"', '!'}, {'<', '?'}, {':', '"'},
};

// Looked up once and returned at the first match, so ":" gives the double quote and is not
// taken further to "!".
int translate_key(int c)
{
    signed char typed = static_cast<signed char>(c);
    for (const key_pair &pair : key_table) {
        if (pair.typed == typed)
            return pair.judged;
    }
    return typed;
}
