// Writer of Impulse Tracker modules in sample mode (no instruments).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "assets/sound/synth.h"

const int IT_CHANNELS = 8;
const uint8_t NOTE_OFF = 255;
const uint8_t NOTE_CUT = 254;

// One cell of a pattern.
struct it_cell {
  bool has_note = false;
  uint8_t note = 0;        // 0..119, or NOTE_OFF / NOTE_CUT
  uint8_t sample = 0;      // 1-based, 0 = none
  int volume = -1;         // 0..64, -1 = none
  uint8_t command = 0;     // 1 = A, 2 = B, ... 0 = none
  uint8_t param = 0;
};

struct it_pattern {
  int rows = 64;
  std::vector<it_cell> cells;  // rows * IT_CHANNELS
};

struct it_song {
  std::string title;
  uint8_t speed = 6;
  uint8_t tempo = 125;
  std::vector<sample_data> samples;
  std::vector<it_pattern> patterns;
  std::vector<uint8_t> orders;  // without the end marker; the writer adds 255
  uint8_t channel_pan[IT_CHANNELS] = {32, 32, 32, 32, 32, 32, 32, 32};
};

it_pattern empty_pattern(int rows);
it_cell &cell(it_pattern &p, int row, int channel);
std::vector<uint8_t> it_bytes(const it_song &song);
