#include "tests/e2e/key_names.h"

#include "game/key_translation.h"

namespace {

struct punctuation_name {
    char c;
    const char *name;
};

const punctuation_name PUNCTUATION[] = {
    {' ', "space"},       {'!', "exclam"},     {'"', "quotedbl"},    {'#', "numbersign"},
    {'$', "dollar"},      {'%', "percent"},    {'&', "ampersand"},   {'\'', "apostrophe"},
    {'(', "parenleft"},   {')', "parenright"}, {'*', "asterisk"},    {'+', "plus"},
    {',', "comma"},       {'-', "minus"},      {'.', "period"},      {'/', "slash"},
    {':', "colon"},       {';', "semicolon"},  {'<', "less"},        {'=', "equal"},
    {'>', "greater"},     {'?', "question"},   {'@', "at"},          {'[', "bracketleft"},
    {'\\', "backslash"},  {']', "bracketright"}, {'^', "asciicircum"}, {'_', "underscore"},
    {'`', "grave"},       {'{', "braceleft"},  {'|', "bar"},         {'}', "braceright"},
    {'~', "asciitilde"},
};

// Letters and digits are their own key names; kept as one-character strings.
char single[128][2];

}  // namespace

int key_for_char(char wanted) {
    if (translate_key(wanted) == wanted)
        return wanted;
    for (int c = -128; c < 128; c++)
        if (translate_key(c) == wanted)
            return c;
    return -1;
}

const char *key_name(int c) {
    if (c < 0 || c > 127)
        return nullptr;
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
        single[c][0] = static_cast<char>(c);
        return single[c];
    }
    for (const punctuation_name &p : PUNCTUATION)
        if (p.c == c)
            return p.name;
    return nullptr;
}
