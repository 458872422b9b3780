// The jukebox's timer thread and the game's main thread calling the sound layer at once.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "audio/game_sounds.h"
#include "audio/jukebox.h"
#include "tests/audio/sound_files.h"

namespace {

class AudioThreads : public ::testing::Test {
protected:
    void SetUp() override
    {
        home = std::filesystem::current_path();
        dir = make_temp_dir("threads");
        std::filesystem::current_path(dir);
        std::filesystem::create_directories("Music");
        for (const char *name : song_files)
            write_test_module(slashed_path(name), 2);
        write_test_module("extra.mod", 64);
        write_tone_wav("click.wav", 0.05, 1000);
        capture_output_to(dir + "/capture.raw");
        ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
        click = FSOUND_Sample_Load(FSOUND_FREE, "click.wav", 1, 0);
        ASSERT_NE(click, nullptr);
        music_enabled = true;  // set before the second thread starts, as start-up does
        current_song = nullptr;
    }
    void TearDown() override
    {
        FSOUND_Close();
        std::filesystem::current_path(home);
        std::filesystem::remove_all(dir);
    }
    std::filesystem::path home;
    std::string dir;
    FSOUND_SAMPLE *click = nullptr;
};

// What the timer thread does, far faster than every 5 s: the jukebox tick, plus a module of
// its own going through the whole load, play, query, stop, free cycle.
void timer_thread_work(std::atomic<bool> &done, std::atomic<int> &cycles)
{
    while (!done.load()) {
        play_random_song();
        FMUSIC_MODULE *extra = FMUSIC_LoadSong("extra.mod");
        FMUSIC_PlaySong(extra);
        FMUSIC_IsPlaying(extra);
        std::this_thread::yield();
        FMUSIC_StopSong(extra);
        FMUSIC_FreeSong(extra);
        cycles.fetch_add(1);
    }
}

TEST_F(AudioThreads, TimerThreadAndMainThreadAtOnce)
{
    std::atomic<bool> done{false};
    std::atomic<int> cycles{0};
    std::thread timer(timer_thread_work, std::ref(done), std::ref(cycles));
    // The main thread: the music switch going off and on as the menu turns it (off stops the
    // song, on picks one at once), and clicks while typing. The switch is written right after
    // the pause, before this thread takes a lock that would order the write after the tick's
    // reads and hide a race on it from ThreadSanitizer.
    int clicks = 0;
    for (int i = 0; i < 300; ++i) {
        bool on = i % 2 != 0;
        music_enabled = on;
        if (on)
            play_random_song();
        else
            stop_current_song();
        if (FSOUND_PlaySound(FSOUND_FREE, click) >= 0)
            ++clicks;
        sleep_ms(1);
    }
    done.store(true);
    timer.join();
    EXPECT_GT(cycles.load(), 10);
    EXPECT_GT(clicks, 0);
}

TEST_F(AudioThreads, CloseWhileTheTimerThreadStillTicks)
{
    // The game removes its timer before closing the layer; a tick that slips in between
    // must still find nothing to crash on, and load nothing: the song it names was freed by
    // the close, and a load now gives null.
    std::atomic<bool> done{false};
    std::atomic<int> cycles{0};
    std::thread timer(timer_thread_work, std::ref(done), std::ref(cycles));
    while (cycles.load() < 5)
        sleep_ms(1);
    FSOUND_Close();
    for (int after_close = cycles.load(); cycles.load() < after_close + 2;)
        sleep_ms(1);
    done.store(true);
    timer.join();
    EXPECT_EQ(current_song, nullptr) << "a tick after the close kept or loaded a song";
}

}  // namespace
