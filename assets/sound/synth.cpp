#include "assets/sound/synth.h"

#include <algorithm>
#include <cmath>

namespace {

const double PI = 3.14159265358979323846;
const uint32_t RATE = 22050;
// One period of the synthesised tones is exactly 84 samples, so loops join
// without a click; the playback rate is tuned so the note plays as middle C.
const int PERIOD = 84;
const double TONE = double(RATE) / PERIOD;
const uint32_t C_RATE = uint32_t(std::lround(RATE * 261.6256 / TONE));

int16_t to_pcm(double v) {
  return int16_t(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0));
}

sample_data finish(const std::string &name, const std::vector<double> &v,
                   uint32_t rate, double peak) {
  sample_data s;
  s.name = name;
  s.rate = rate;
  double max = 1e-9;
  for (double x : v) max = std::max(max, std::fabs(x));
  for (double x : v) s.pcm.push_back(to_pcm(x / max * peak));
  return s;
}

// Additive tone: partial k (1-based) with amplitude amps[k-1] decaying at decays[k-1] per second.
std::vector<double> partials(int n, const std::vector<double> &amps,
                             const std::vector<double> &decays, double attack) {
  std::vector<double> v(n);
  for (int i = 0; i < n; ++i) {
    double t = double(i) / RATE, x = 0;
    for (size_t k = 0; k < amps.size(); ++k)
      x += amps[k] * std::exp(-decays[k] * t) * std::sin(2 * PI * TONE * (k + 1) * t);
    v[i] = x * std::min(1.0, t / attack);
  }
  return v;
}

// One-pole low-pass, used to soften noise.
void low_pass(std::vector<double> &v, double a) {
  double y = 0;
  for (double &x : v) x = y += a * (x - y);
}

}  // namespace

float next_noise(noise_state &n) {
  n.s ^= n.s << 13;
  n.s ^= n.s >> 17;
  n.s ^= n.s << 5;
  return float(n.s) / 2147483648.0f - 1.0f;
}

sample_data make_click() {
  // A sharp filtered noise burst for the key strike, then a low thump of the type bar.
  const uint32_t rate = 44100;
  const int n = int(rate * 0.07);
  noise_state ns{0x1234567u};
  std::vector<double> v(n);
  double hp_prev = 0, lp = 0;
  for (int i = 0; i < n; ++i) {
    double t = double(i) / rate;
    double w = next_noise(ns);
    double hp = w - hp_prev;
    hp_prev = w;
    lp += 0.35 * (hp - lp);
    v[i] = lp * std::exp(-t * 140) + 0.5 * std::sin(2 * PI * 180 * t) * std::exp(-t * 90);
  }
  return finish("click", v, rate, 0.8);
}

sample_data make_bell() {
  // Inharmonic struck-bell partials: a bright ding with a long, shimmering decay.
  const uint32_t rate = 44100;
  const int n = int(rate * 1.2);
  const double f = 2093.0;
  const double ratio[] = {1.0, 2.76, 5.40, 8.93, 1.003};
  const double amp[] = {1.0, 0.55, 0.3, 0.15, 0.6};
  const double decay[] = {3.5, 5.0, 8.0, 12.0, 3.8};
  std::vector<double> v(n);
  for (int i = 0; i < n; ++i) {
    double t = double(i) / rate, x = 0;
    for (int k = 0; k < 5; ++k)
      x += amp[k] * std::exp(-decay[k] * t) * std::sin(2 * PI * f * ratio[k] * t);
    double fade = i > n - 2000 ? double(n - i) / 2000 : 1.0;  // no cut at the end
    v[i] = x * std::min(1.0, t / 0.001) * fade;
  }
  return finish("bell", v, rate, 0.7);
}

sample_data make_piano() {
  std::vector<double> v = partials(int(RATE * 1.1), {1, 0.5, 0.25, 0.12, 0.06},
                                   {2.5, 3.5, 5, 7, 9}, 0.004);
  return finish("soft piano", v, C_RATE, 0.9);
}

sample_data make_electric_piano() {
  // Bell-like tine over a sustaining body; the tail loops on whole periods.
  const int n = int(RATE * 0.6) / PERIOD * PERIOD;
  std::vector<double> v = partials(n, {1, 0.2, 0.05, 0.3}, {1.2, 2.0, 3.0, 9.0}, 0.003);
  sample_data s = finish("electric piano", v, C_RATE, 0.9);
  s.loop_begin = uint32_t(n - PERIOD * 20);
  s.loop_end = uint32_t(n);
  return s;
}

sample_data make_pad() {
  // Soft organ-like pad: steady whole-period partials behind a slow swell, looped.
  const int n = PERIOD * 60;
  std::vector<double> v = partials(n, {1, 0.35, 0.18, 0.1, 0.05}, {0, 0, 0, 0, 0}, 0.12);
  sample_data s = finish("warm pad", v, C_RATE, 0.8);
  s.loop_begin = uint32_t(PERIOD * 40);
  s.loop_end = uint32_t(n);
  return s;
}

sample_data make_pluck_bass() {
  // Karplus-Strong plucked string: a noise-filled delay line averaged each pass.
  const int n = int(RATE * 0.8);
  noise_state ns{0xBA55u};
  std::vector<double> line(PERIOD);
  for (double &x : line) x = next_noise(ns);
  std::vector<double> v(n);
  for (int i = 0; i < n; ++i) {
    int j = i % PERIOD;
    double out = line[j];
    line[j] = 0.5 * (line[j] + line[(j + 1) % PERIOD]) * 0.998;
    v[i] = out;
  }
  low_pass(v, 0.5);
  return finish("plucked bass", v, C_RATE, 0.9);
}

sample_data make_kick() {
  const int n = int(RATE * 0.3);
  std::vector<double> v(n);
  double phase = 0;
  for (int i = 0; i < n; ++i) {
    double t = double(i) / RATE;
    phase += 2 * PI * (45 + 110 * std::exp(-t * 30)) / RATE;  // falling sine sweep
    v[i] = std::sin(phase) * std::exp(-t * 12);
  }
  return finish("kick", v, RATE, 0.95);
}

sample_data make_snare() {
  const int n = int(RATE * 0.22);
  noise_state ns{0x5A4Eu};
  std::vector<double> v(n);
  for (int i = 0; i < n; ++i) {
    double t = double(i) / RATE;
    v[i] = 0.7 * next_noise(ns) * std::exp(-t * 22) +
           0.5 * std::sin(2 * PI * 190 * t) * std::exp(-t * 30);
  }
  low_pass(v, 0.6);
  return finish("snare", v, RATE, 0.8);
}

sample_data make_hat() {
  const int n = int(RATE * 0.06);
  noise_state ns{0x4A7u};
  std::vector<double> v(n);
  double prev = 0;
  for (int i = 0; i < n; ++i) {
    double w = next_noise(ns);
    v[i] = (w - prev) * std::exp(-double(i) / RATE * 70);  // high-passed noise
    prev = w;
  }
  return finish("hat", v, RATE, 0.6);
}

namespace {
void put16(std::vector<uint8_t> &b, uint32_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
void put32(std::vector<uint8_t> &b, uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}
void put_tag(std::vector<uint8_t> &b, const char *t) {
  for (int i = 0; i < 4; ++i) b.push_back(uint8_t(t[i]));
}
}  // namespace

std::vector<uint8_t> wav_bytes(const sample_data &s) {
  const uint32_t data = uint32_t(s.pcm.size() * 2);
  std::vector<uint8_t> b;
  put_tag(b, "RIFF");
  put32(b, 36 + data);
  put_tag(b, "WAVE");
  put_tag(b, "fmt ");
  put32(b, 16);
  put16(b, 1);  // PCM
  put16(b, 1);  // mono
  put32(b, s.rate);
  put32(b, s.rate * 2);
  put16(b, 2);
  put16(b, 16);
  put_tag(b, "data");
  put32(b, data);
  for (int16_t x : s.pcm) put16(b, uint16_t(x));
  return b;
}
