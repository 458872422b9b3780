// A real Allegro screen for tests: starts a private Xvfb (800x600, 24-bit), points DISPLAY at
// it and opens an 800x600 32-bit window with keyboard and timer installed.
#ifndef VELMORA_TEST_SCREEN_H
#define VELMORA_TEST_SCREEN_H

// False, with the reason on stderr, when the X server or the window cannot be had.
bool open_test_screen();
void close_test_screen();

// The pixel at (x, y) of the screen as 0xRRGGBB.
int screen_pixel(int x, int y);

// The same pixel read straight from the screen's memory, without taking Allegro's screen lock:
// for a thread other than the one drawing, which would deadlock on that lock. A read may see
// a frame half drawn, so callers poll.
int screen_pixel_unlocked(int x, int y);

#endif
