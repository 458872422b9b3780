// Background music: whenever music is on and nothing plays, a random one of four modules.
#include "jukebox.h"

#include <cstdlib>
#include <ctime>
#include <mutex>

#include "audio/game_sounds.h"

// The tick reads the switch on the timer thread; a lock-free flag never makes it wait.
static_assert(std::atomic<bool>::is_always_lock_free, "the jukebox tick needs a lock-free switch");

std::atomic<bool> music_enabled{false};
FMUSIC_MODULE *current_song = nullptr;

namespace {

// The timer thread's tick and the main thread's switch both replace `current_song`; one
// lock keeps a pick from freeing a module the other side is stopping or has just loaded.
std::mutex jukebox_lock;

}  // namespace

void play_random_song()
{
    std::lock_guard<std::mutex> hold(jukebox_lock);
    if (!music_enabled.load())
        return;
    if (FMUSIC_IsPlaying(current_song))
        return;
    FMUSIC_FreeSong(current_song);
    // Seeded anew on every pick: the choice depends only on the second it happens in.
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    int number = std::rand() % SONG_COUNT;
    current_song = FMUSIC_LoadSong(song_files[number]);
    FMUSIC_PlaySong(current_song);
}

void stop_current_song()
{
    std::lock_guard<std::mutex> hold(jukebox_lock);
    if (FMUSIC_IsPlaying(current_song))
        FMUSIC_StopSong(current_song);
}
