#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "audio/game_sounds.h"
#include "audio/jukebox.h"
#include "tests/audio/sound_files.h"

namespace {

// Each test runs in a folder of its own, as the game runs in its playable folder.
class Jukebox : public ::testing::Test {
protected:
    void SetUp() override
    {
        home = std::filesystem::current_path();
        dir = make_temp_dir("jukebox");
        std::filesystem::current_path(dir);
        capture_output_to(dir + "/capture.raw");
        music_enabled = false;
        current_song = nullptr;
        ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    }
    void TearDown() override
    {
        FSOUND_Close();
        std::filesystem::current_path(home);
        std::filesystem::remove_all(dir);
    }
    void write_songs(int rows)
    {
        std::filesystem::create_directories("Music");
        for (const char *name : song_files)
            write_test_module(slashed_path(name), rows);
    }
    std::filesystem::path home;
    std::string dir;
};

TEST_F(Jukebox, TicksDoNothingWhileMusicIsOff)
{
    write_songs(64);
    play_random_song();
    play_random_song();
    EXPECT_EQ(current_song, nullptr);
}

TEST_F(Jukebox, PicksAndPlaysAndLeavesAPlayingSongAlone)
{
    write_songs(64);
    music_enabled = true;
    play_random_song();
    FMUSIC_MODULE *first = current_song;
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(FMUSIC_IsPlaying(first));
    play_random_song();
    EXPECT_EQ(current_song, first) << "replaced a song that was still playing";
    EXPECT_TRUE(FMUSIC_IsPlaying(first));
}

TEST_F(Jukebox, SwitchingOffStopsButKeepsTheSongUntilTheNextPick)
{
    write_songs(64);
    music_enabled = true;
    play_random_song();
    FMUSIC_MODULE *stopped = current_song;
    music_enabled = false;
    stop_current_song();
    EXPECT_FALSE(FMUSIC_IsPlaying(stopped));
    EXPECT_EQ(current_song, stopped);
    play_random_song();  // a tick while off
    EXPECT_EQ(current_song, stopped);
    stop_current_song();  // nothing plays: nothing to stop

    music_enabled = true;  // switched on again: the pick is immediate
    play_random_song();
    ASSERT_NE(current_song, nullptr);
    EXPECT_TRUE(FMUSIC_IsPlaying(current_song));
}

TEST_F(Jukebox, AnEndedSongIsReplacedAtTheNextTick)
{
    write_songs(2);  // 0.24 s each
    music_enabled = true;
    play_random_song();
    ASSERT_NE(current_song, nullptr);
    for (int waited = 0; waited < 3000 && FMUSIC_IsPlaying(current_song); waited += 20)
        sleep_ms(20);
    ASSERT_FALSE(FMUSIC_IsPlaying(current_song));
    play_random_song();
    ASSERT_NE(current_song, nullptr);
    EXPECT_TRUE(FMUSIC_IsPlaying(current_song));

    // With the files gone the next pick loads nothing, so no new module can take the old
    // one's address: the module it replaced must be released, no longer known to the layer.
    FMUSIC_MODULE *previous = current_song;
    std::filesystem::remove_all("Music");
    FMUSIC_StopSong(previous);
    play_random_song();
    EXPECT_EQ(current_song, nullptr);
    EXPECT_FALSE(FMUSIC_FreeSong(previous)) << "the pick left the previous module loaded";
}

TEST_F(Jukebox, EveryPickIsSeededFromTheClock)
{
    // Only the song that a pick seeded from this second chooses is there, and the generator
    // is left in a state that would choose another.
    for (std::time_t start = std::time(nullptr); std::time(nullptr) == start;)
        sleep_ms(5);  // a fresh second: the pick below falls in the same one
    std::time_t second = std::time(nullptr);
    std::srand(static_cast<unsigned>(second));
    int chosen = std::rand() % SONG_COUNT;
    std::filesystem::create_directories("Music");
    write_test_module(slashed_path(song_files[chosen]), 64);
    unsigned other = 1;
    while (std::srand(other), std::rand() % SONG_COUNT == chosen)
        other++;
    std::srand(other);
    music_enabled = true;
    play_random_song();
    ASSERT_EQ(std::time(nullptr), second);
    EXPECT_NE(current_song, nullptr) << "the pick did not reseed from the time";
}

TEST_F(Jukebox, WithAllFilesMissingStaysSilentAndKeepsTrying)
{
    music_enabled = true;
    for (int tick = 0; tick < 3; ++tick) {
        play_random_song();
        EXPECT_EQ(current_song, nullptr);
        EXPECT_FALSE(FMUSIC_IsPlaying(current_song));
    }
    sleep_ms(200);
    FSOUND_Close();
    EXPECT_EQ(peak(read_capture("capture.raw")), 0);

    // Once the files are there, the very next tick plays.
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    write_songs(64);
    play_random_song();
    ASSERT_NE(current_song, nullptr);
    EXPECT_TRUE(FMUSIC_IsPlaying(current_song));
}

TEST_F(Jukebox, OnlyTheFilesInTheSongTableAreTried)
{
    std::filesystem::create_directories("Music");
    write_test_module("Music/other.it", 64);
    write_test_module(std::filesystem::path(slashed_path(song_files[0])).filename(), 64);
    music_enabled = true;
    play_random_song();
    EXPECT_EQ(current_song, nullptr);
}

TEST_F(Jukebox, ATickAfterTheSoundLayerClosedIsHarmless)
{
    write_songs(64);
    music_enabled = true;
    play_random_song();
    ASSERT_NE(current_song, nullptr);
    FSOUND_Close();  // frees the song the jukebox still points at
    play_random_song();
    EXPECT_EQ(current_song, nullptr);
    stop_current_song();
}

}  // namespace
