#include "game/key_translation.h"

#include <allegro.h>

#include <cstring>

#include "platform/i_keyboard.h"
#include "platform/i_screen.h"

key_rule keys_rule = FOLLOW_LAYOUT;

// The keys a Czech keyboard puts where a US layout reports other characters: y and z change
// places, and the double quote, "<" and ":" stand for "!", "?" and the double quote.
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

bool parse_key_rule(const char *value, key_rule *rule)
{
    if (!value || !*value || std::strcmp(value, "auto") == 0)
        *rule = FOLLOW_LAYOUT;
    else if (std::strcmp(value, "as-typed") == 0)
        *rule = AS_TYPED;
    else if (std::strcmp(value, "czech-on-us") == 0)
        *rule = CZECH_ON_US;
    else
        return false;
    return true;
}

int judged_key(int c)
{
    bool as_typed = keys_rule == AS_TYPED || (keys_rule == FOLLOW_LAYOUT && layout_is_qwertz());
    return as_typed ? static_cast<signed char>(c) : translate_key(c);
}

// Runs on Allegro's input thread as each key arrives, with the modifiers held at that moment.
// Allegro drops a key only when both its character and its scancode come back 0: a character
// of 0 alone still reaches the buffer, as keys without a character (F11) always do.
static int drop_shortcut(int key, int *scancode)
{
    const int SHORTCUT_FLAGS = KB_ALT_FLAG | KB_CTRL_FLAG | KB_LWIN_FLAG | KB_RWIN_FLAG;
    if (!(key_shifts & SHORTCUT_FLAGS) && !is_screen_key(*scancode))
        return key;
    *scancode = 0;
    return 0;
}
END_OF_STATIC_FUNCTION(drop_shortcut)

void ignore_shortcut_keys()
{
    LOCK_FUNCTION(drop_shortcut);
    keyboard_ucallback = drop_shortcut;
}
