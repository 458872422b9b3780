// Small sound files made by the tests themselves, and SDL's disk driver as a capture device.
#ifndef VELMORA_TESTS_SOUND_FILES_H
#define VELMORA_TESTS_SOUND_FILES_H

#include <cstdint>
#include <string>
#include <vector>

// A 16-bit mono WAV at 22050 Hz holding a sine tone.
void write_tone_wav(const std::string &path, double seconds, double frequency);

// A four-channel ProTracker module: one looped square-wave sample struck on the first row of
// one pattern, which breaks after `rows` rows (at speed 6, 125 BPM: 0.12 s a row), so the
// song plays once for rows * 0.12 s and ends.
void write_test_module(const std::string &path, int rows);

void write_bytes(const std::string &path, const std::string &bytes);

// Points SDL at its disk driver writing the mixed output to `path`, and away from any device.
void capture_output_to(const std::string &path);

// The captured output as signed 16-bit samples (the layer opens the device as S16).
std::vector<int16_t> read_capture(const std::string &path);

// Largest absolute sample in [from, to) of `samples` (to clipped to the size).
int peak(const std::vector<int16_t> &samples, size_t from = 0, size_t to = SIZE_MAX);

// A fresh, empty directory under the system's temporary folder.
std::string make_temp_dir(const std::string &tag);

void sleep_ms(int ms);

#endif
