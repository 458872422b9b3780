// A small resource set built in memory for screen tests: JPEG streams encoded here and
// Allegro's own font in place of the two fonts.
#ifndef VELMORA_TEST_RESOURCES_H
#define VELMORA_TEST_RESOURCES_H

#include <allegro.h>
#include <vector>

typedef std::vector<unsigned char> bytes;

// width x height RGB pixels, all of colour 0xRRGGBB.
bytes solid_rgb(int width, int height, int rgb);
// A picture whose every pixel differs from its neighbours, to catch shifted copies.
bytes pattern_rgb(int width, int height);
// A baseline 4:4:4 JFIF stream of the pixels.
bytes encode_jpeg(const bytes &rgb, int width, int height);

// Points `resources` at a catalogue whose picture objects are `pictures[i]` (an empty one
// stays empty) and whose fonts are Allegro's `font`; sets small_font and large_font.
void install_test_resources(const std::vector<bytes> &pictures);

// True when two colours differ by at most `tolerance` in each channel (JPEG is lossy).
bool near_colour(int a, int b, int tolerance = 6);

#endif
