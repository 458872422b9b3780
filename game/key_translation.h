// The character the typing game judges for each character the keyboard reports.
#ifndef VELMORA_KEY_TRANSLATION_H
#define VELMORA_KEY_TRANSLATION_H

// How typed characters are taken. CZECH_ON_US: the keyboard is a Czech one that the host reports
// as a US one, so translate_key's table applies. AS_TYPED: the host already reports what is
// printed on the keys. FOLLOW_LAYOUT: CZECH_ON_US while the active layout is a QWERTY one,
// AS_TYPED while it is a QWERTZ one, decided anew for every key.
enum key_rule { FOLLOW_LAYOUT, CZECH_ON_US, AS_TYPED };

// The rule in force: FOLLOW_LAYOUT unless start-up sets it from the player's VELMORA_KEYS.
extern key_rule keys_rule;

// The rule a value of VELMORA_KEYS names: "as-typed", "czech-on-us", or "auto", unset (null) or
// empty for FOLLOW_LAYOUT. False for any other value, leaving `rule` as it was.
bool parse_key_rule(const char *value, key_rule *rule);

// The table alone: y and z change places, and the double quote, "<" and ":" become "!", "?"
// and the double quote. `c` is taken as a signed character; the result is one too.
int translate_key(int c);

// The character judged for the typed character `c` under `keys_rule`: translate_key's result or
// `c` itself, as a signed character either way. Asks the host for its layout under FOLLOW_LAYOUT;
// main thread only.
int judged_key(int c);

// From here on a key pressed with Alt, Ctrl or Super held is a shortcut of the desktop, and
// the screen's own keys (is_screen_key: F11) are the screen's, not typing: they never reach
// the key buffer, so no screen takes them and the typing page never judges them. Call once,
// after Allegro's keyboard is installed.
void ignore_shortcut_keys();

#endif
