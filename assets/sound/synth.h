// Instrument and effect synthesis for the game's samples and modules.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Mono 16-bit samples with an optional forward loop (loop_end == 0: no loop).
struct sample_data {
  std::string name;
  std::vector<int16_t> pcm;
  uint32_t rate = 22050;      // playback rate at which the sample sounds middle C
  uint32_t loop_begin = 0;
  uint32_t loop_end = 0;
};

// Small deterministic generator (xorshift) so every build gives the same noise.
struct noise_state { uint32_t s; };
float next_noise(noise_state &n);

sample_data make_click();
sample_data make_bell();
sample_data make_piano();
sample_data make_electric_piano();
sample_data make_pad();
sample_data make_pluck_bass();
sample_data make_kick();
sample_data make_snare();
sample_data make_hat();

// 16-bit PCM mono RIFF/WAVE bytes.
std::vector<uint8_t> wav_bytes(const sample_data &s);
