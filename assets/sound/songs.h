// The four pieces of the jukebox, composed from a few rules and a seeded generator.
#pragma once
#include <string>
#include <vector>

#include "assets/sound/it_module.h"

// The plans in the order of audio/game_sounds.h's song_files: plan i is written to song_files[i].
struct song_plan {
  std::string title;
  uint8_t tempo;
  uint8_t speed;
  int key;                // tonic as a note number, 60 = middle C
  bool minor;
  int lead, chords, bass; // indices into the instrument table
  int drums;              // 0 gentle, 1 steady, 2 busy
  std::vector<int> chords_a, chords_b;  // eight bars each, scale degrees 0..6
  std::string layout;     // I intro, A and B two patterns each, E ending
  uint32_t seed;
};

const std::vector<song_plan> &song_plans();
it_song compose(const song_plan &plan);
