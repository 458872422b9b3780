#include "assets/sound/it_module.h"

namespace {

void put8(std::vector<uint8_t> &b, uint32_t v) { b.push_back(uint8_t(v)); }
void put16(std::vector<uint8_t> &b, uint32_t v) {
  put8(b, v & 0xFF);
  put8(b, (v >> 8) & 0xFF);
}
void put32(std::vector<uint8_t> &b, uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}
void put_text(std::vector<uint8_t> &b, const std::string &s, size_t width) {
  for (size_t i = 0; i < width; ++i) put8(b, i < s.size() && i + 1 < width ? uint8_t(s[i]) : 0);
}
void patch32(std::vector<uint8_t> &b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

void put_header(std::vector<uint8_t> &b, const it_song &s) {
  for (char ch : {'I', 'M', 'P', 'M'}) put8(b, uint8_t(ch));
  put_text(b, s.title, 26);
  put16(b, 0x1004);  // row highlight: beat 4, bar 16
  put16(b, uint32_t(s.orders.size() + 1));
  put16(b, 0);       // no instruments: sample mode
  put16(b, uint32_t(s.samples.size()));
  put16(b, uint32_t(s.patterns.size()));
  put16(b, 0x0214);  // written as format 2.14
  put16(b, 0x0214);
  put16(b, 0x0009);  // stereo, linear slides
  put16(b, 0);
  put8(b, 128);      // global volume
  put8(b, 48);       // mixing volume
  put8(b, s.speed);
  put8(b, s.tempo);
  put8(b, 128);      // stereo separation
  put8(b, 0);
  put16(b, 0);       // no message
  put32(b, 0);
  put32(b, 0);
  for (int c = 0; c < 64; ++c) put8(b, c < IT_CHANNELS ? s.channel_pan[c] : 32 | 128);
  for (int c = 0; c < 64; ++c) put8(b, 64);
}

void put_sample_header(std::vector<uint8_t> &b, const sample_data &s) {
  for (char ch : {'I', 'M', 'P', 'S'}) put8(b, uint8_t(ch));
  put_text(b, "", 12);
  put8(b, 0);
  put8(b, 64);
  put8(b, 0x01 | 0x02 | (s.loop_end ? 0x10 : 0));  // present, 16-bit, loop
  put8(b, 64);
  put_text(b, s.name, 26);
  put8(b, 0x01);  // signed samples
  put8(b, 0);
  put32(b, uint32_t(s.pcm.size()));
  put32(b, s.loop_begin);
  put32(b, s.loop_end);
  put32(b, s.rate);
  put32(b, 0);
  put32(b, 0);
  put32(b, 0);  // data offset, patched later
  put32(b, 0);  // no vibrato
}

// Packed pattern data: every used cell is written with its own mask byte.
void put_pattern(std::vector<uint8_t> &b, const it_pattern &p) {
  std::vector<uint8_t> d;
  for (int r = 0; r < p.rows; ++r) {
    for (int c = 0; c < IT_CHANNELS; ++c) {
      const it_cell &x = p.cells[size_t(r) * IT_CHANNELS + c];
      uint8_t mask = (x.has_note ? 1 : 0) | (x.sample ? 2 : 0) | (x.volume >= 0 ? 4 : 0) |
                     (x.command ? 8 : 0);
      if (!mask) continue;
      put8(d, uint32_t(c + 1) | 128);
      put8(d, mask);
      if (x.has_note) put8(d, x.note);
      if (x.sample) put8(d, x.sample);
      if (x.volume >= 0) put8(d, uint32_t(x.volume));
      if (x.command) {
        put8(d, x.command);
        put8(d, x.param);
      }
    }
    put8(d, 0);
  }
  put16(b, uint32_t(d.size()));
  put16(b, uint32_t(p.rows));
  put32(b, 0);
  b.insert(b.end(), d.begin(), d.end());
}

}  // namespace

it_pattern empty_pattern(int rows) {
  it_pattern p;
  p.rows = rows;
  p.cells.resize(size_t(rows) * IT_CHANNELS);
  return p;
}

it_cell &cell(it_pattern &p, int row, int channel) {
  return p.cells[size_t(row) * IT_CHANNELS + channel];
}

std::vector<uint8_t> it_bytes(const it_song &s) {
  std::vector<uint8_t> b;
  put_header(b, s);
  b.insert(b.end(), s.orders.begin(), s.orders.end());
  b.push_back(255);  // end of song: the order list does not loop back
  const size_t sample_table = b.size();
  b.resize(b.size() + 4 * s.samples.size());
  const size_t pattern_table = b.size();
  b.resize(b.size() + 4 * s.patterns.size());
  std::vector<size_t> headers;
  for (size_t i = 0; i < s.samples.size(); ++i) {
    patch32(b, sample_table + 4 * i, uint32_t(b.size()));
    headers.push_back(b.size());
    put_sample_header(b, s.samples[i]);
  }
  for (size_t i = 0; i < s.patterns.size(); ++i) {
    patch32(b, pattern_table + 4 * i, uint32_t(b.size()));
    put_pattern(b, s.patterns[i]);
  }
  for (size_t i = 0; i < s.samples.size(); ++i) {
    patch32(b, headers[i] + 0x48, uint32_t(b.size()));
    for (int16_t x : s.samples[i].pcm) put16(b, uint16_t(x));
  }
  return b;
}
