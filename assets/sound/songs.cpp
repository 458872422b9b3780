#include "assets/sound/songs.h"

#include <cstdlib>

namespace {

enum { CH_LEAD = 0, CH_CHORD = 1, CH_BASS = 4, CH_DRUM = 5, CH_HAT = 6, CH_ARP = 7 };
enum { INS_PIANO, INS_EPIANO, INS_PAD, INS_BASS, INS_KICK, INS_SNARE, INS_HAT };
// Sample numbers in every module: lead, chords, bass, kick, snare, hat.
enum { S_LEAD = 1, S_CHORD, S_BASS, S_KICK, S_SNARE, S_HAT };

const int MAJOR[7] = {0, 2, 4, 5, 7, 9, 11};
const int MINOR[7] = {0, 2, 3, 5, 7, 8, 10};
const int BAR = 16;

// Rhythms of one bar of melody (rows where a note starts), sparse to busy.
const std::vector<std::vector<int>> RHYTHMS = {
    {0, 8}, {0, 4, 8}, {0, 8, 12}, {0, 4, 8, 12}, {0, 6, 8, 12}, {0, 4, 6, 8, 12, 14},
    {0, 2, 4, 8, 10, 12}, {0, 3, 6, 8, 12}};

struct composer {
  const song_plan &plan;
  uint32_t rng;
};

uint32_t next(composer &c) {
  c.rng = c.rng * 1664525u + 1013904223u;
  return c.rng >> 8;
}

// Note of scale step `step` (0 = tonic, 7 = tonic an octave up, may be negative).
int scale_note(const song_plan &p, int step) {
  const int *scale = p.minor ? MINOR : MAJOR;
  int octave = step >= 0 ? step / 7 : -((6 - step) / 7);
  return p.key + 12 * octave + scale[step - 7 * octave];
}

bool is_chord_tone(int step, int degree) {
  int d = ((step - degree) % 7 + 7) % 7;
  return d == 0 || d == 2 || d == 4;
}

void put_note(it_pattern &p, int row, int ch, int note, int sample, int volume) {
  it_cell &x = cell(p, row, ch);
  x.has_note = true;
  x.note = uint8_t(note);
  x.sample = uint8_t(sample);
  x.volume = volume;
}

void put_chord(composer &c, it_pattern &p, int bar, int degree, bool retrigger) {
  const int rows[2] = {0, 8};
  for (int k = 0; k < (retrigger ? 2 : 1); ++k)
    for (int v = 0; v < 3; ++v)
      put_note(p, bar * BAR + rows[k], CH_CHORD + v, scale_note(c.plan, degree + 2 * v),
               S_CHORD, 26);
}

void put_bass(composer &c, it_pattern &p, int bar, int degree) {
  int root = scale_note(c.plan, degree) - 24;
  if (root < c.plan.key - 26) root += 12;
  int fifth = scale_note(c.plan, degree + 4) - 24;
  int r = bar * BAR;
  put_note(p, r, CH_BASS, root, S_BASS, 54);
  if (c.plan.drums >= 1) put_note(p, r + 8, CH_BASS, root, S_BASS, 48);
  if (c.plan.drums >= 2) {
    put_note(p, r + 6, CH_BASS, root, S_BASS, 40);
    put_note(p, r + 12, CH_BASS, fifth, S_BASS, 44);
  }
}

void put_drums(composer &c, it_pattern &p, int bar, bool full) {
  int r = bar * BAR, style = c.plan.drums;
  for (int i = 0; i < BAR; i += style == 0 ? 4 : 2)
    put_note(p, r + i, CH_HAT, 60, S_HAT, i % 4 == 0 ? 22 : 14);
  if (!full) return;
  put_note(p, r, CH_DRUM, 60, S_KICK, 60);
  if (style == 0) return;
  put_note(p, r + 4, CH_DRUM, 60, S_SNARE, 44);
  put_note(p, r + 8, CH_DRUM, 60, S_KICK, 58);
  put_note(p, r + 12, CH_DRUM, 60, S_SNARE, 46);
  if (style == 2) put_note(p, r + 10, CH_DRUM, 60, S_KICK, 44);
}

// A bar of melody: strong beats land on chord tones, the rest move by step.
int put_melody(composer &c, it_pattern &p, int bar, int degree, int step, bool cadence) {
  const std::vector<int> &rhythm =
      cadence ? RHYTHMS[1] : RHYTHMS[(next(c) % 5) + (c.plan.drums == 0 ? 0 : 3)];
  for (int row : rhythm) {
    if (row % 8 == 0) {
      while (!is_chord_tone(step, degree)) step += (next(c) % 2) ? 1 : -1;
    } else {
      int move = int(next(c) % 5) - 2;
      step += move == 0 ? 1 : move;
    }
    if (step < 5) step += 2;
    if (step > 16) step -= 3;
    put_note(p, bar * BAR + row, CH_LEAD, scale_note(c.plan, step), S_LEAD,
             row % 8 == 0 ? 54 : 44);
  }
  return step;
}

void put_arpeggio(composer &c, it_pattern &p, int bar, int degree) {
  const int rows[4] = {2, 6, 10, 14}, tones[4] = {0, 2, 4, 7};
  for (int i = 0; i < 4; ++i)
    put_note(p, bar * BAR + rows[i], CH_ARP, scale_note(c.plan, degree + tones[i]) + 12,
             S_CHORD, 18);
}

// Two patterns of a section; a repeat keeps the tune and adds the arpeggio.
void put_section(composer &c, std::vector<it_pattern> &out, char name, int repeat) {
  const std::vector<int> &chords = name == 'A' ? c.plan.chords_a : c.plan.chords_b;
  c.rng = c.plan.seed * 31u + uint32_t(name);
  int step = 9;
  for (int half = 0; half < 2; ++half) {
    it_pattern p = empty_pattern(64);
    for (int bar = 0; bar < 4; ++bar) {
      int degree = chords[size_t(half * 4 + bar)];
      put_chord(c, p, bar, degree, c.plan.drums == 2);
      put_bass(c, p, bar, degree);
      put_drums(c, p, bar, true);
      step = put_melody(c, p, bar, degree, step, half == 1 && bar == 3);
      if (repeat > 0 || (name == 'B' && half == 1)) put_arpeggio(c, p, bar, degree);
    }
    out.push_back(p);
  }
}

it_pattern intro(composer &c) {
  it_pattern p = empty_pattern(64);
  for (int bar = 0; bar < 4; ++bar) {
    int degree = c.plan.chords_a[size_t(bar)];
    put_chord(c, p, bar, degree, false);
    put_bass(c, p, bar, degree);
    put_drums(c, p, bar, bar == 3);
    put_arpeggio(c, p, bar, degree);
  }
  return p;
}

// A closing cadence (IV, V, then the tonic held and faded out), then silence.
it_pattern ending(composer &c) {
  it_pattern p = empty_pattern(64);
  const int degrees[2] = {3, 4};
  for (int bar = 0; bar < 2; ++bar) {
    put_chord(c, p, bar, degrees[bar], false);
    put_bass(c, p, bar, degrees[bar]);
    put_drums(c, p, bar, true);
    put_note(p, bar * BAR, CH_LEAD, scale_note(c.plan, bar == 0 ? 10 : 8), S_LEAD, 50);
    put_note(p, bar * BAR + 8, CH_LEAD, scale_note(c.plan, bar == 0 ? 9 : 11), S_LEAD, 46);
  }
  put_chord(c, p, 2, 0, false);
  put_note(p, 2 * BAR, CH_BASS, c.plan.key - 24, S_BASS, 56);
  put_note(p, 2 * BAR, CH_DRUM, 60, S_KICK, 60);
  put_note(p, 2 * BAR, CH_LEAD, c.plan.key + 12, S_LEAD, 54);
  for (int r = 2 * BAR + 4; r < 62; r += 2)
    for (int ch = 0; ch < IT_CHANNELS; ++ch) cell(p, r, ch).volume = (62 - r) * 54 / 58;
  for (int ch = 0; ch < IT_CHANNELS; ++ch) {
    it_cell &x = cell(p, 62, ch);
    x.has_note = true;
    x.note = NOTE_CUT;
    x.volume = -1;
  }
  return p;
}

sample_data instrument(int which) {
  switch (which) {
    case INS_PIANO: return make_piano();
    case INS_EPIANO: return make_electric_piano();
    case INS_PAD: return make_pad();
    case INS_BASS: return make_pluck_bass();
    case INS_KICK: return make_kick();
    case INS_SNARE: return make_snare();
    default: return make_hat();
  }
}

}  // namespace

const std::vector<song_plan> &song_plans() {
  static const std::vector<song_plan> plans = {
      {"First Light", 92, 6, 62, false, INS_PIANO, INS_PAD, INS_BASS, 0,
       {0, 5, 3, 4, 0, 5, 1, 4}, {3, 4, 2, 5, 3, 4, 1, 4}, "IABAE", 11},
      {"Free Heart", 148, 6, 67, false, INS_EPIANO, INS_PIANO, INS_BASS, 2,
       {0, 3, 4, 0, 5, 3, 1, 4}, {5, 3, 0, 4, 5, 3, 1, 4}, "IABABAE", 23},
      {"Pursued Dream", 72, 6, 57, true, INS_EPIANO, INS_PAD, INS_BASS, 0,
       {0, 5, 2, 6, 0, 5, 3, 4}, {5, 2, 6, 0, 3, 6, 4, 4}, "IABAE", 37},
      {"Mountain Meadows", 120, 6, 65, false, INS_PIANO, INS_EPIANO,
       INS_BASS, 1, {0, 4, 5, 3, 0, 4, 3, 4}, {3, 0, 4, 5, 3, 0, 1, 4}, "IABABAE", 41},
  };
  return plans;
}

it_song compose(const song_plan &plan) {
  it_song s;
  s.title = plan.title;
  s.tempo = plan.tempo;
  s.speed = plan.speed;
  for (int ins : {plan.lead, plan.chords, plan.bass, int(INS_KICK), int(INS_SNARE), int(INS_HAT)})
    s.samples.push_back(instrument(ins));
  const uint8_t pans[IT_CHANNELS] = {36, 20, 32, 44, 32, 32, 42, 22};
  for (int ch = 0; ch < IT_CHANNELS; ++ch) s.channel_pan[ch] = pans[ch];
  composer c{plan, plan.seed};
  int seen_a = 0, seen_b = 0;
  for (char part : plan.layout) {
    if (part == 'I') s.patterns.push_back(intro(c));
    if (part == 'E') s.patterns.push_back(ending(c));
    if (part == 'A') put_section(c, s.patterns, 'A', seen_a++);
    if (part == 'B') put_section(c, s.patterns, 'B', seen_b++);
  }
  for (size_t i = 0; i < s.patterns.size(); ++i) s.orders.push_back(uint8_t(i));
  return s;
}
