#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

#include "audio/sound.h"
#include "tests/audio/sound_files.h"

namespace {

const int OUTPUT_RATE = 44100;
const size_t SAMPLES_PER_SECOND = OUTPUT_RATE * 2;  // stereo

class SoundLayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = make_temp_dir("sound");
        capture = dir + "/capture.raw";
        capture_output_to(capture);
    }
    void TearDown() override
    {
        FSOUND_Close();
        std::filesystem::remove_all(dir);
    }
    std::string file(const char *name) { return dir + "/" + name; }
    // Polls until the module has stopped playing; false if it still plays after `limit_ms`.
    bool wait_until_silent(FMUSIC_MODULE *song, int limit_ms)
    {
        for (int waited = 0; waited < limit_ms; waited += 20) {
            if (!FMUSIC_IsPlaying(song))
                return true;
            sleep_ms(20);
        }
        return !FMUSIC_IsPlaying(song);
    }
    std::string dir, capture;
};

TEST_F(SoundLayer, CallsBeforeInitAreHarmless)
{
    write_tone_wav(file("tone.wav"), 0.1, 440);
    write_test_module(file("song.mod"), 4);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, file("tone.wav").c_str(), 1, 0), nullptr);
    EXPECT_EQ(FMUSIC_LoadSong(file("song.mod").c_str()), nullptr);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, nullptr), -1);
    EXPECT_FALSE(FMUSIC_IsPlaying(nullptr));
    FSOUND_Close();
}

TEST_F(SoundLayer, NullAndUnloadableHandlesAreNoOps)
{
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    write_bytes(file("noise.it"), std::string(3000, 'x'));
    write_bytes(file("noise.wav"), "RIFF????WAVEjunk");
    EXPECT_EQ(FMUSIC_LoadSong(file("absent.it").c_str()), nullptr);
    EXPECT_EQ(FMUSIC_LoadSong(file("noise.it").c_str()), nullptr);
    EXPECT_EQ(FMUSIC_LoadSong(nullptr), nullptr);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, file("absent.wav").c_str(), 1, 0), nullptr);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, file("noise.wav").c_str(), 1, 0), nullptr);
    // Opening a FIFO would wait for a writer: refused at once, like a folder.
    ASSERT_EQ(mkfifo(file("pipe.it").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(file("pipe.wav").c_str(), 0600), 0);
    alarm(20);
    EXPECT_EQ(FMUSIC_LoadSong(file("pipe.it").c_str()), nullptr);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, file("pipe.wav").c_str(), 1, 0), nullptr);
    alarm(0);
    EXPECT_EQ(FMUSIC_LoadSong(dir.c_str()), nullptr);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, nullptr), -1);
    FSOUND_Sample_Free(nullptr);
    EXPECT_FALSE(FMUSIC_PlaySong(nullptr));
    EXPECT_FALSE(FMUSIC_IsPlaying(nullptr));
    EXPECT_FALSE(FMUSIC_StopSong(nullptr));
    EXPECT_FALSE(FMUSIC_FreeSong(nullptr));
}

TEST_F(SoundLayer, SilentWhenNothingPlaysButTimePasses)
{
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    sleep_ms(300);
    FSOUND_Close();
    auto samples = read_capture(capture);
    EXPECT_GT(samples.size(), SAMPLES_PER_SECOND / 10);
    EXPECT_EQ(peak(samples), 0);
}

TEST_F(SoundLayer, PlayedSampleSoundsAtOnce)
{
    write_tone_wav(file("tone.wav"), 0.2, 440);
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    FSOUND_SAMPLE *tone = FSOUND_Sample_Load(FSOUND_FREE, file("tone.wav").c_str(), 1, 0);
    ASSERT_NE(tone, nullptr);
    sleep_ms(300);
    // What the driver has written so far; its file lags the mixer by a buffer or two at most.
    size_t played_at = read_capture(capture).size();
    EXPECT_GE(FSOUND_PlaySound(FSOUND_FREE, tone), 0);
    sleep_ms(500);
    FSOUND_Sample_Free(tone);
    FSOUND_Close();

    auto samples = read_capture(capture);
    size_t soon = played_at + SAMPLES_PER_SECOND * 3 / 10;
    ASSERT_GT(samples.size(), soon);
    EXPECT_EQ(peak(samples, 0, played_at), 0) << "sound before it was played";
    // The tone's amplitude is 16000, and it must start within a few device buffers.
    EXPECT_GT(peak(samples, played_at, soon), 8000);
}

TEST_F(SoundLayer, ThirtyTwoSamplesMixAtOnceAndFreeingReleasesTheirChannels)
{
    write_tone_wav(file("long.wav"), 2.0, 220);
    write_tone_wav(file("short.wav"), 0.1, 880);
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    FSOUND_SAMPLE *long_tone = FSOUND_Sample_Load(FSOUND_FREE, file("long.wav").c_str(), 1, 0);
    FSOUND_SAMPLE *short_tone = FSOUND_Sample_Load(FSOUND_FREE, file("short.wav").c_str(), 1, 0);
    ASSERT_TRUE(long_tone && short_tone);
    std::vector<bool> used(32, false);
    for (int i = 0; i < 32; ++i) {
        int channel = FSOUND_PlaySound(FSOUND_FREE, long_tone);
        ASSERT_TRUE(channel >= 0 && channel < 32) << channel;
        EXPECT_FALSE(used[channel]) << "channel " << channel << " given twice";
        used[channel] = true;
    }
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, short_tone), -1) << "a 33rd channel";
    EXPECT_EQ(FSOUND_PlaySound(32, short_tone), -1);
    FSOUND_Sample_Free(long_tone);
    EXPECT_GE(FSOUND_PlaySound(FSOUND_FREE, short_tone), 0);
    FSOUND_Sample_Free(short_tone);
    FSOUND_Sample_Free(short_tone);  // a second free of the same handle does nothing
}

TEST_F(SoundLayer, ShortModulePlaysIntoTheOutputAndEnds)
{
    write_test_module(file("song.mod"), 4);
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    FMUSIC_MODULE *song = FMUSIC_LoadSong(file("song.mod").c_str());
    ASSERT_NE(song, nullptr);
    EXPECT_FALSE(FMUSIC_IsPlaying(song)) << "loaded is not playing";
    auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(FMUSIC_PlaySong(song));
    EXPECT_TRUE(FMUSIC_IsPlaying(song));
    EXPECT_TRUE(wait_until_silent(song, 4000)) << "a 0.5 s song still playing after 4 s";
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_GT(seconds, 0.3) << "ended long before its rows were played";
    EXPECT_TRUE(FMUSIC_FreeSong(song));
    FSOUND_Close();
    EXPECT_GT(peak(read_capture(capture)), 1000);
}

TEST_F(SoundLayer, ModuleRendersAtTheDeviceRate)
{
    // Four rows are 0.48 s of song; rendered at the wrong rate the captured music would be
    // stretched or squeezed by the ratio of the rates.
    write_test_module(file("song.mod"), 4);
    std::string bytes;
    {
        std::ifstream in(file("song.mod"), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    openmpt_module *probe = openmpt_module_create_from_memory2(
        bytes.data(), bytes.size(), openmpt_log_func_silent, nullptr, openmpt_error_func_ignore,
        nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(probe, nullptr);
    double duration = openmpt_module_get_duration_seconds(probe);
    openmpt_module_destroy(probe);
    EXPECT_NEAR(duration, 0.48, 0.05);

    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    FMUSIC_MODULE *song = FMUSIC_LoadSong(file("song.mod").c_str());
    ASSERT_TRUE(FMUSIC_PlaySong(song));
    ASSERT_TRUE(wait_until_silent(song, 4000));
    FSOUND_Close();
    auto samples = read_capture(capture);
    size_t first = 0, last = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        if (samples[i] == 0)
            continue;
        if (!first)
            first = i;
        last = i;
    }
    double sounding = double(last - first) / SAMPLES_PER_SECOND;
    // The note rings for the four rows, then libopenmpt fades the song out over 0.1 s. At
    // 48000 Hz rendered into a 44100 Hz stream it would last 0.63 s, at 22050 Hz 0.29 s.
    EXPECT_NEAR(sounding, duration + 0.1, 0.025);
}

TEST_F(SoundLayer, StoppedModuleStaysLoadedAndPlaysAgain)
{
    write_test_module(file("long.mod"), 64);  // about 7.7 s
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    FMUSIC_MODULE *song = FMUSIC_LoadSong(file("long.mod").c_str());
    ASSERT_TRUE(FMUSIC_PlaySong(song));
    sleep_ms(100);
    EXPECT_TRUE(FMUSIC_StopSong(song));
    EXPECT_FALSE(FMUSIC_IsPlaying(song));
    EXPECT_FALSE(FMUSIC_StopSong(song)) << "stopping a stopped song";
    EXPECT_TRUE(FMUSIC_PlaySong(song)) << "a stopped song is still loaded";
    EXPECT_TRUE(FMUSIC_IsPlaying(song));
    EXPECT_TRUE(FMUSIC_FreeSong(song));
    EXPECT_FALSE(FMUSIC_FreeSong(song)) << "the second free of a handle does nothing";
}

TEST_F(SoundLayer, StoppingSilencesTheOutput)
{
    write_test_module(file("long.mod"), 64);
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    FMUSIC_MODULE *song = FMUSIC_LoadSong(file("long.mod").c_str());
    ASSERT_TRUE(FMUSIC_PlaySong(song));
    sleep_ms(400);
    FMUSIC_StopSong(song);
    sleep_ms(100);  // what the device buffered before the stop drains
    size_t stopped_at = read_capture(capture).size();
    sleep_ms(400);
    FSOUND_Close();
    auto samples = read_capture(capture);
    EXPECT_GT(peak(samples, 0, stopped_at), 1000);
    ASSERT_GT(samples.size(), stopped_at + SAMPLES_PER_SECOND / 5);
    EXPECT_EQ(peak(samples, stopped_at + SAMPLES_PER_SECOND / 10), 0);
}

TEST_F(SoundLayer, PlayingAnotherModuleTakesOverAndFreeingThePlayingOneIsSafe)
{
    write_test_module(file("a.mod"), 64);
    write_test_module(file("b.mod"), 64);
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    FMUSIC_MODULE *first = FMUSIC_LoadSong(file("a.mod").c_str());
    FMUSIC_MODULE *second = FMUSIC_LoadSong(file("b.mod").c_str());
    ASSERT_TRUE(first && second);
    FMUSIC_PlaySong(first);
    FMUSIC_PlaySong(second);
    EXPECT_FALSE(FMUSIC_IsPlaying(first));
    EXPECT_TRUE(FMUSIC_IsPlaying(second));
    sleep_ms(100);
    EXPECT_TRUE(FMUSIC_FreeSong(second));  // while the mixer renders it
    sleep_ms(100);
    EXPECT_FALSE(FMUSIC_IsPlaying(first));
    EXPECT_TRUE(FMUSIC_PlaySong(first));
    sleep_ms(100);
    // Close frees what is left, the playing module among it.
}

TEST_F(SoundLayer, CloseStopsEverythingAndLaterCallsAreHarmless)
{
    write_test_module(file("long.mod"), 64);
    write_tone_wav(file("tone.wav"), 1.0, 440);
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    FMUSIC_MODULE *song = FMUSIC_LoadSong(file("long.mod").c_str());
    FSOUND_SAMPLE *tone = FSOUND_Sample_Load(FSOUND_FREE, file("tone.wav").c_str(), 1, 0);
    FMUSIC_PlaySong(song);
    FSOUND_PlaySound(FSOUND_FREE, tone);
    sleep_ms(100);
    FSOUND_Close();
    // The handles are gone with the layer; a caller still holding them gets nothing done.
    EXPECT_FALSE(FMUSIC_IsPlaying(song));
    EXPECT_FALSE(FMUSIC_PlaySong(song));
    EXPECT_FALSE(FMUSIC_FreeSong(song));
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, tone), -1);
    FSOUND_Sample_Free(tone);
    FSOUND_Close();
    EXPECT_EQ(FMUSIC_LoadSong(file("long.mod").c_str()), nullptr);

    // And the layer opens again afresh.
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    FMUSIC_MODULE *again = FMUSIC_LoadSong(file("long.mod").c_str());
    EXPECT_TRUE(FMUSIC_PlaySong(again));
    EXPECT_TRUE(FMUSIC_IsPlaying(again));
}

TEST_F(SoundLayer, WithoutAUsableDriverFallsBackToSilentOutputWhereSongsStillEnd)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    write_test_module(file("song.mod"), 4);
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    FMUSIC_MODULE *song = FMUSIC_LoadSong(file("song.mod").c_str());
    ASSERT_TRUE(FMUSIC_PlaySong(song));
    EXPECT_TRUE(FMUSIC_IsPlaying(song));
    EXPECT_TRUE(wait_until_silent(song, 4000));
    FSOUND_Close();
    EXPECT_FALSE(std::filesystem::exists(capture)) << "fell back to the disk driver";

    // The fallback leaves SDL's driver choice as it found it.
    capture_output_to(capture);
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    sleep_ms(100);
    FSOUND_Close();
    EXPECT_TRUE(std::filesystem::exists(capture));
}

TEST_F(SoundLayer, NormalStartSaysNothingAndLeavesCtrlCAlone)
{
    // Whatever this machine offers (here usually no card at all), opening the sound output
    // prints nothing, and SDL leaves the signal handlers as it found them.
    unsetenv("SDL_AUDIODRIVER");
    struct sigaction before_int = {}, before_term = {}, after = {};
    sigaction(SIGINT, nullptr, &before_int);
    sigaction(SIGTERM, nullptr, &before_term);
    testing::internal::CaptureStderr();
    bool opened = FSOUND_Init(44100, 32, 0);
    FSOUND_Close();
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(opened);
    EXPECT_EQ(said, "");

    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    sigaction(SIGINT, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before_int.sa_handler);
    sigaction(SIGTERM, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before_term.sa_handler);
}

}  // namespace
