#ifndef VELMORA_CREDITS_H
#define VELMORA_CREDITS_H

enum { CREDIT_LINES = 31 };
extern const char *const credit_lines[CREDIT_LINES];

// Scrolls the credits until a key is pressed; the key stays in the buffer.
void run_credits();

#endif
