// A real Allegro screen for tests: starts a private Xvfb (800x600, 24-bit, or the size
// VELMORA_TEST_SCREEN names as WIDTHxHEIGHT, for benchmarks), points DISPLAY at it and opens
// the game's screen and canvas, with keyboard and timer installed. At 800x600 the screen shows
// the canvas pixel for pixel.
#ifndef VELMORA_TEST_SCREEN_H
#define VELMORA_TEST_SCREEN_H

// False, with the reason on stderr, when the X server or the window cannot be had.
bool open_test_screen();
void close_test_screen();

// The pixel at (x, y) of the game's canvas as 0xRRGGBB.
int screen_pixel(int x, int y);

// The same pixel read from another thread than the one drawing. A read may see a frame half
// drawn, so callers poll.
int screen_pixel_unlocked(int x, int y);

// The pixel at (x, y) of Allegro's screen, as last presented, read the same way.
int shown_pixel_unlocked(int x, int y);

#endif
