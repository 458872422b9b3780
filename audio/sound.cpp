// The sound interface on SDL2_mixer (device, sample channels, WAV) and libopenmpt (modules,
// rendered into SDL_mixer's music stream).
//
// Threads: the jukebox calls in from Allegro's timer thread while the main thread plays
// samples and works the music switch, so every entry point holds `layer_lock`. The mixing
// callback runs on SDL's audio thread and never takes that lock: it only touches the module
// SDL_mixer hands it, and Mix_HookMusic swaps that module under the device's own lock, so a
// module is never rewound or destroyed while the callback may be rendering it.
#include "sound.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <atomic>
#include <cassert>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#ifdef __linux__
#include <dlfcn.h>
#endif

#include "platform/i_file.h"

struct FSOUND_SAMPLE {
    Mix_Chunk *chunk;
};

struct FMUSIC_MODULE {
    openmpt_module *module;
    // Set by the mixing callback when the module has rendered its last frame.
    std::atomic<bool> ended;
};

namespace {

// Frames rendered per libopenmpt call inside the mixing callback.
const int RENDER_BLOCK_FRAMES = 512;
// Device buffer in frames: about 23 ms at 44100 Hz, short enough for the typewriter click.
const int DEVICE_CHUNK_FRAMES = 1024;

// Guards the state below; the device's format, which the mixing callback reads without it, is
// written only while no module is attached. Taken only through layer_guard.
std::mutex layer_lock;
bool layer_open = false;
// Every handle given out and not yet freed; calls with any other pointer do nothing.
std::vector<FSOUND_SAMPLE *> live_samples;
std::vector<FMUSIC_MODULE *> live_modules;
// The module attached to SDL_mixer's music stream, or null.
FMUSIC_MODULE *music_module = nullptr;

// The device as SDL_mixer opened it; written before any module is attached.
int device_rate = 0;
Uint16 device_format = 0;
int device_channels = 0;

#ifndef NDEBUG
// Whether this thread holds layer_lock, for the helpers that need it to assert (a std::mutex
// cannot say who holds it).
thread_local bool holding_layer_lock = false;
#endif

// Holds layer_lock for its scope, as a std::lock_guard does, and in debug builds notes it.
struct layer_guard {
    std::lock_guard<std::mutex> hold{layer_lock};
#ifndef NDEBUG
    layer_guard() { holding_layer_lock = true; }
    ~layer_guard() { holding_layer_lock = false; }
#endif
};

void assert_layer_locked() { assert(holding_layer_lock); }

// is_live and forget are called with layer_lock held.
template <typename T> bool is_live(const std::vector<T *> &handles, const T *handle)
{
    assert_layer_locked();
    return handle && std::find(handles.begin(), handles.end(), handle) != handles.end();
}

template <typename T> void forget(std::vector<T *> &handles, const T *handle)
{
    assert_layer_locked();
    handles.erase(std::remove(handles.begin(), handles.end(), handle), handles.end());
}

#ifdef __linux__
extern "C" void ignore_alsa_error(const char *, int, const char *, int, const char *, ...) {}

// With no sound card, ALSA prints its failed probe straight to stderr before SDL moves on.
// Installing a silent error handler in the same libasound that SDL loads keeps the
// terminal clean; the handle stays open so the handler outlives SDL's own load.
void quiet_alsa()
{
    using error_handler = void (*)(const char *, int, const char *, int, const char *, ...);
    using set_handler = int (*)(error_handler);
    static void *alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!alsa)
        return;
    auto set = reinterpret_cast<set_handler>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (set)
        set(ignore_alsa_error);
}
#else
void quiet_alsa() {}
#endif

void SDLCALL ignore_sdl_log(void *, int, SDL_LogPriority, const char *) {}

// Opens SDL's audio and the mixer on whatever driver SDL picks (or SDL_AUDIODRIVER names).
bool open_device(int mix_rate)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    if (Mix_OpenAudio(mix_rate, AUDIO_S16SYS, 2, DEVICE_CHUNK_FRAMES) == 0)
        return true;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
}

// No usable device: the dummy driver consumes audio in real time, so modules still end.
bool open_dummy_device(int mix_rate)
{
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    bool opened = open_device(mix_rate);
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    return opened;
}

void store_sample(int16_t value, Uint8 *out)
{
    switch (device_format) {
    case AUDIO_S16SYS:
        std::memcpy(out, &value, sizeof value);
        break;
    case AUDIO_F32SYS: {
        float f = value / 32768.0f;
        std::memcpy(out, &f, sizeof f);
        break;
    }
    case AUDIO_S32SYS: {
        int32_t wide = int32_t(value) * 65536;
        std::memcpy(out, &wide, sizeof wide);
        break;
    }
    case AUDIO_S8:
        *out = Uint8(int8_t(value >> 8));
        break;
    case AUDIO_U8:
        *out = Uint8((value >> 8) + 128);
        break;
    default:  // a format the mixer never opens with: leave the buffer's silence
        break;
    }
}

// Writes rendered stereo frames in the device's format and channel layout: a mono device
// gets the average, channels past the first two stay silent.
void write_frames(const int16_t *stereo, size_t frames, Uint8 *out)
{
    int sample_bytes = SDL_AUDIO_BITSIZE(device_format) / 8;
    for (size_t f = 0; f < frames; ++f, stereo += 2) {
        if (device_channels == 1) {
            store_sample(int16_t((stereo[0] + stereo[1]) / 2), out);
            out += sample_bytes;
            continue;
        }
        for (int c = 0; c < device_channels; ++c, out += sample_bytes)
            if (c < 2)
                store_sample(stereo[c], out);
    }
}

// SDL_mixer's music hook, on the audio thread. The buffer arrives holding silence; the
// samples are mixed over what this writes.
void SDLCALL render_music(void *user, Uint8 *stream, int length)
{
    auto *music = static_cast<FMUSIC_MODULE *>(user);
    int frame_bytes = SDL_AUDIO_BITSIZE(device_format) / 8 * device_channels;
    size_t frames = frame_bytes > 0 ? size_t(length / frame_bytes) : 0;
    int16_t block[2 * RENDER_BLOCK_FRAMES];
    size_t done = 0;
    while (done < frames && !music->ended.load()) {
        size_t wanted = std::min(frames - done, size_t(RENDER_BLOCK_FRAMES));
        size_t got = openmpt_module_read_interleaved_stereo(music->module, device_rate, wanted, block);
        if (got == 0) {
            music->ended.store(true);
            break;
        }
        write_frames(block, got, stream + done * frame_bytes);
        done += got;
    }
}

// Called with layer_lock held.
void detach_music()
{
    assert_layer_locked();
    if (!music_module)
        return;
    Mix_HookMusic(nullptr, nullptr);
    music_module = nullptr;
}

// Called with layer_lock held.
void destroy_module(FMUSIC_MODULE *music)
{
    assert_layer_locked();
    if (music == music_module)
        detach_music();
    openmpt_module_destroy(music->module);
    forget(live_modules, music);
    delete music;
}

// Called with layer_lock held.
void destroy_sample(FSOUND_SAMPLE *sample)
{
    assert_layer_locked();
    Mix_FreeChunk(sample->chunk);  // also halts any channel still playing it
    forget(live_samples, sample);
    delete sample;
}

// Reads the whole file and hands it to libopenmpt, which keeps its own copy of what it needs.
// Like the samples, a module is read only from a regular file.
openmpt_module *read_module(const char *name)
{
    std::vector<unsigned char> bytes;
    if (!read_whole_file(native_file_name(name), bytes))
        return nullptr;
    openmpt_module *module = openmpt_module_create_from_memory2(
        bytes.data(), bytes.size(), openmpt_log_func_silent, nullptr, openmpt_error_func_ignore,
        nullptr, nullptr, nullptr, nullptr);
    if (module)
        openmpt_module_set_repeat_count(module, 0);  // play once, so the jukebox moves on
    return module;
}

}  // namespace

bool FSOUND_Init(int mix_rate, int max_channels, unsigned int)
{
    layer_guard hold;
    if (layer_open)
        return true;
    // SDL's own SIGINT/SIGTERM handlers would swallow Ctrl+C, since nothing here reads SDL events.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The game has no log: SDL's drivers announce themselves at critical priority, and ALSA
    // complains when there is no card. Neither is the player's business.
    SDL_LogSetOutputFunction(ignore_sdl_log, nullptr);
    quiet_alsa();
    if (!open_device(mix_rate) && !open_dummy_device(mix_rate)) {
        std::fprintf(stderr, "velmora: no sound output: %s\n", SDL_GetError());
        return false;
    }
    Mix_QuerySpec(&device_rate, &device_format, &device_channels);
    Mix_AllocateChannels(max_channels);
    layer_open = true;
    return true;
}

void FSOUND_Close()
{
    layer_guard hold;
    if (!layer_open)
        return;
    detach_music();
    Mix_HaltChannel(-1);
    while (!live_modules.empty())
        destroy_module(live_modules.back());
    while (!live_samples.empty())
        destroy_sample(live_samples.back());
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    layer_open = false;
}

FSOUND_SAMPLE *FSOUND_Sample_Load(int, const char *name, unsigned int, int)
{
    layer_guard hold;
    if (!layer_open || !name)
        return nullptr;
    // Read through the platform layer, which opens only regular files and never waits on a
    // FIFO; the chunk gets a converted copy of its own.
    std::vector<unsigned char> bytes;
    if (!read_whole_file(native_file_name(name), bytes) || bytes.size() > INT_MAX)
        return nullptr;
    Mix_Chunk *chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), int(bytes.size())), 1);
    if (!chunk)
        return nullptr;
    auto *sample = new FSOUND_SAMPLE{chunk};
    live_samples.push_back(sample);
    return sample;
}

int FSOUND_PlaySound(int channel, FSOUND_SAMPLE *sample)
{
    layer_guard hold;
    if (!layer_open || !is_live(live_samples, sample))
        return -1;
    if (channel != FSOUND_FREE && (channel < 0 || channel >= Mix_AllocateChannels(-1)))
        return -1;
    return Mix_PlayChannel(channel, sample->chunk, 0);
}

void FSOUND_Sample_Free(FSOUND_SAMPLE *sample)
{
    layer_guard hold;
    if (is_live(live_samples, sample))
        destroy_sample(sample);
}

FMUSIC_MODULE *FMUSIC_LoadSong(const char *name)
{
    {
        layer_guard hold;
        if (!layer_open || !name)
            return nullptr;
    }
    // Reading and parsing happen outside the lock so a load on the timer thread never holds
    // up a click on the main thread.
    openmpt_module *module = read_module(name);
    if (!module)
        return nullptr;
    layer_guard hold;
    if (!layer_open) {  // closed while we were reading
        openmpt_module_destroy(module);
        return nullptr;
    }
    auto *music = new FMUSIC_MODULE{module, {false}};
    live_modules.push_back(music);
    return music;
}

bool FMUSIC_PlaySong(FMUSIC_MODULE *music)
{
    layer_guard hold;
    if (!layer_open || !is_live(live_modules, music))
        return false;
    detach_music();
    openmpt_module_set_position_seconds(music->module, 0.0);
    music->ended.store(false);
    music_module = music;
    Mix_HookMusic(render_music, music);
    return true;
}

bool FMUSIC_IsPlaying(FMUSIC_MODULE *music)
{
    layer_guard hold;
    return music && music == music_module && !music->ended.load();
}

bool FMUSIC_StopSong(FMUSIC_MODULE *music)
{
    layer_guard hold;
    if (!music || music != music_module)
        return false;
    detach_music();
    return true;
}

bool FMUSIC_FreeSong(FMUSIC_MODULE *music)
{
    layer_guard hold;
    if (!is_live(live_modules, music))
        return false;
    destroy_module(music);
    return true;
}
