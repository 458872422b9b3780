#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/game_sounds.h"

namespace {

std::vector<uint8_t> read_bytes(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

uint32_t le(const std::vector<uint8_t> &b, size_t at, int n) {
  uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = v << 8 | b[at + i];
  return v;
}

std::string tag(const std::vector<uint8_t> &b, size_t at) {
  return std::string(b.begin() + long(at), b.begin() + long(at) + 4);
}

struct wav_info {
  uint32_t rate = 0;
  double seconds = 0;
  int peak = 0;
};

// Checks the canonical 44-byte header and returns what the file holds.
wav_info check_wav(const std::string &name) {
  std::vector<uint8_t> b = read_bytes(std::string(VELMORA_GAME_DIR) + "/" + name);
  wav_info w;
  EXPECT_GE(b.size(), 44u) << name;
  if (b.size() < 44) return w;
  EXPECT_EQ(tag(b, 0), "RIFF");
  EXPECT_EQ(le(b, 4, 4), b.size() - 8) << name;
  EXPECT_EQ(tag(b, 8), "WAVE");
  EXPECT_EQ(tag(b, 12), "fmt ");
  EXPECT_EQ(le(b, 16, 4), 16u);
  EXPECT_EQ(le(b, 20, 2), 1u) << "PCM";
  EXPECT_EQ(le(b, 22, 2), 1u) << "mono";
  w.rate = le(b, 24, 4);
  EXPECT_TRUE(w.rate == 44100 || w.rate == 22050) << w.rate;
  EXPECT_EQ(le(b, 28, 4), w.rate * 2);
  EXPECT_EQ(le(b, 32, 2), 2u);
  EXPECT_EQ(le(b, 34, 2), 16u);
  EXPECT_EQ(tag(b, 36), "data");
  EXPECT_EQ(le(b, 40, 4), b.size() - 44) << name;
  for (size_t i = 44; i + 1 < b.size(); i += 2)
    w.peak = std::max(w.peak, std::abs(int(int16_t(le(b, i, 2)))));
  w.seconds = w.rate ? double(b.size() - 44) / 2 / w.rate : 0;
  return w;
}

TEST(SoundSamples, ClickIsShortBellRingsLonger) {
  wav_info click = check_wav(slashed_path(TYPE_SAMPLE_FILE)),
           bell = check_wav(slashed_path(BELL_SAMPLE_FILE));
  EXPECT_GT(click.seconds, 0.01);
  EXPECT_LT(click.seconds, 0.2);
  EXPECT_GT(bell.seconds, 0.4);
  EXPECT_LE(bell.seconds, 1.5);
  // audible, yet with headroom so several clicks mixed together do not clip
  for (int peak : {click.peak, bell.peak}) {
    EXPECT_GT(peak, 8000);
    EXPECT_LT(peak, 32000);
  }
}

openmpt_module *load_module(const std::string &name, std::vector<uint8_t> &bytes) {
  bytes = read_bytes(std::string(VELMORA_GAME_DIR) + "/" + name);
  int error = 0;
  return openmpt_module_create_from_memory2(bytes.data(), bytes.size(), nullptr, nullptr,
                                            nullptr, nullptr, &error, nullptr, nullptr);
}

std::string meta(openmpt_module *m, const char *key) {
  const char *v = openmpt_module_get_metadata(m, key);
  std::string s = v ? v : "";
  openmpt_free_string(v);
  return s;
}

struct render_stats {
  double seconds = 0;
  double rms = 0;
  double clipped = 0;  // share of samples at full scale
};

// Renders the whole song at 22050 Hz stereo until libopenmpt reports its end.
render_stats render_to_end(openmpt_module *m) {
  const int rate = 22050;
  std::vector<float> buf(2 * 4096);
  render_stats st;
  double sum = 0;
  size_t total = 0, clipped = 0;
  for (;;) {
    size_t n = openmpt_module_read_interleaved_float_stereo(m, rate, 4096, buf.data());
    if (n == 0) break;
    for (size_t i = 0; i < 2 * n; ++i) {
      sum += double(buf[i]) * buf[i];
      clipped += std::fabs(buf[i]) >= 0.999f;
    }
    total += 2 * n;
    if (total > size_t(rate) * 2 * 400) break;  // a song that never ends
  }
  st.seconds = double(total) / 2 / rate;
  st.rms = total ? std::sqrt(sum / double(total)) : 0;
  st.clipped = total ? double(clipped) / double(total) : 0;
  return st;
}

TEST(SoundModules, EachLoadsLastsOneToThreeMinutesAndEnds) {
  for (const char *game_name : song_files) {
    const std::string name = slashed_path(game_name);
    SCOPED_TRACE(name);
    std::vector<uint8_t> bytes;
    openmpt_module *m = load_module(name, bytes);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(meta(m, "type"), "it");
    EXPECT_LT(bytes.size(), 300u * 1024);
    double duration = openmpt_module_get_duration_seconds(m);
    EXPECT_GE(duration, 60.0);
    EXPECT_LE(duration, 180.0);
    EXPECT_EQ(openmpt_module_get_repeat_count(m), 0);
    // melody, chords, bass and drums: several samples on several channels
    EXPECT_GE(openmpt_module_get_num_samples(m), 6);
    EXPECT_GE(openmpt_module_get_num_channels(m), 4);
    render_stats st = render_to_end(m);
    EXPECT_NEAR(st.seconds, duration, 1.0) << "rendering must stop at the song's end";
    EXPECT_EQ(openmpt_module_read_interleaved_float_stereo(m, 22050, 256,
                                                           std::vector<float>(512).data()),
              0u);
    EXPECT_GT(st.rms, 0.03) << "near silence";
    EXPECT_LT(st.clipped, 0.001) << "clipping";
    openmpt_module_destroy(m);
  }
}

// Every channel that carries a part must actually sound somewhere in the song.
TEST(SoundModules, FourPartsAllPlay) {
  for (const char *game_name : song_files) {
    const std::string name = slashed_path(game_name);
    SCOPED_TRACE(name);
    std::vector<uint8_t> bytes;
    openmpt_module *m = load_module(name, bytes);
    ASSERT_NE(m, nullptr);
    const int channels = openmpt_module_get_num_channels(m);
    std::vector<float> peak(size_t(channels), 0.0f);
    std::vector<float> buf(2 * 1024);
    while (openmpt_module_read_interleaved_float_stereo(m, 22050, 1024, buf.data()) > 0)
      for (int c = 0; c < channels; ++c)
        peak[size_t(c)] = std::max(peak[size_t(c)],
                                   openmpt_module_get_current_channel_vu_mono(m, c));
    int sounding = 0;
    for (float p : peak) sounding += p > 0.05f;
    EXPECT_GE(sounding, 4);
    openmpt_module_destroy(m);
  }
}

// The song must finish by itself: the order list closes with the end marker and no
// pattern jumps back to an earlier order.
TEST(SoundModules, OrderListEndsWithoutLoopingBack) {
  for (const char *game_name : song_files) {
    const std::string name = slashed_path(game_name);
    SCOPED_TRACE(name);
    std::vector<uint8_t> bytes;
    openmpt_module *m = load_module(name, bytes);
    ASSERT_NE(m, nullptr);
    const uint32_t orders = le(bytes, 0x20, 2);
    ASSERT_GE(bytes.size(), 0xC0 + orders);
    EXPECT_EQ(bytes[0xC0 + orders - 1], 255);
    for (uint32_t i = 0; i + 1 < orders; ++i) EXPECT_LT(bytes[0xC0 + i], 200) << i;
    for (int p = 0; p < openmpt_module_get_num_patterns(m); ++p)
      for (int r = 0; r < openmpt_module_get_pattern_num_rows(m, p); ++r)
        for (int c = 0; c < openmpt_module_get_num_channels(m); ++c) {
          const char *fx = openmpt_module_format_pattern_row_channel_command(
              m, p, r, c, OPENMPT_MODULE_COMMAND_EFFECT);
          EXPECT_STRNE(fx, "B") << "pattern " << p << " row " << r;
          openmpt_free_string(fx);
        }
    openmpt_module_destroy(m);
  }
}

TEST(SoundModules, MoodsDiffer) {
  std::vector<double> durations;
  std::vector<std::string> titles;
  for (const char *game_name : song_files) {
    const std::string name = slashed_path(game_name);
    std::vector<uint8_t> bytes;
    openmpt_module *m = load_module(name, bytes);
    ASSERT_NE(m, nullptr);
    durations.push_back(openmpt_module_get_duration_seconds(m));
    titles.push_back(meta(m, "title"));
    openmpt_module_destroy(m);
  }
  for (size_t i = 0; i < titles.size(); ++i)
    for (size_t j = i + 1; j < titles.size(); ++j) {
      EXPECT_NE(titles[i], titles[j]);
      EXPECT_NE(durations[i], durations[j]);
    }
}

TEST(SoundGeneration, TwoRunsGiveIdenticalFiles) {
  const std::string dir = "generated_again";
  ASSERT_EQ(std::system(("rm -rf " + dir + " && \"" MAKE_SOUNDS "\" " + dir).c_str()), 0);
  std::vector<std::string> files = {slashed_path(TYPE_SAMPLE_FILE), slashed_path(BELL_SAMPLE_FILE)};
  for (const char *song : song_files) files.push_back(slashed_path(song));
  for (const std::string &f : files) {
    std::vector<uint8_t> again = read_bytes(dir + "/" + f);
    EXPECT_FALSE(again.empty()) << f;
    EXPECT_EQ(again, read_bytes(std::string(VELMORA_GAME_DIR) + "/" + f)) << f;
  }
}

TEST(SoundGeneration, UnwritableFolderIsReported) {
  EXPECT_NE(std::system("\"" MAKE_SOUNDS "\" /proc/no_such_folder 2>/dev/null"), 0);
}

}  // namespace
