#include "sound_files.h"

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

void put_le(std::string &out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += char((value >> (8 * i)) & 0xFF);
}

void put_be16(std::string &out, unsigned value)
{
    out += char((value >> 8) & 0xFF);
    out += char(value & 0xFF);
}

std::string mod_sample_header(unsigned length_words, unsigned loop_words)
{
    std::string header(22, '\0');  // name
    put_be16(header, length_words);
    header += char(0);   // finetune
    header += char(64);  // volume
    put_be16(header, 0);  // loop start
    put_be16(header, loop_words);
    return header;
}

// One pattern cell: sample number, Amiga period, effect and its parameter.
std::string mod_cell(unsigned sample, unsigned period, unsigned effect, unsigned param)
{
    std::string cell;
    cell += char((sample & 0xF0) | ((period >> 8) & 0x0F));
    cell += char(period & 0xFF);
    cell += char(((sample & 0x0F) << 4) | (effect & 0x0F));
    cell += char(param);
    return cell;
}

}  // namespace

void write_bytes(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

void write_tone_wav(const std::string &path, double seconds, double frequency)
{
    const uint32_t rate = 22050;
    uint32_t frames = uint32_t(seconds * rate);
    std::string data;
    for (uint32_t i = 0; i < frames; ++i) {
        double value = 16000.0 * std::sin(2.0 * M_PI * frequency * i / rate);
        put_le(data, uint32_t(int16_t(std::lround(value))) & 0xFFFF, 2);
    }
    std::string wav = "RIFF";
    put_le(wav, 36 + uint32_t(data.size()), 4);
    wav += "WAVEfmt ";
    put_le(wav, 16, 4);
    put_le(wav, 1, 2);  // PCM
    put_le(wav, 1, 2);  // mono
    put_le(wav, rate, 4);
    put_le(wav, rate * 2, 4);
    put_le(wav, 2, 2);
    put_le(wav, 16, 2);
    wav += "data";
    put_le(wav, uint32_t(data.size()), 4);
    write_bytes(path, wav + data);
}

void write_test_module(const std::string &path, int rows)
{
    const unsigned sample_bytes = 64;
    std::string mod = "velmora test song";
    mod.resize(20, '\0');
    mod += mod_sample_header(sample_bytes / 2, sample_bytes / 2);
    for (int i = 1; i < 31; ++i)
        mod += mod_sample_header(0, 1);
    mod += char(1);    // song length: one order
    mod += char(127);  // restart byte as trackers write it
    mod += std::string(128, '\0');  // order 0 plays pattern 0
    mod += "M.K.";
    for (int row = 0; row < 64; ++row) {
        bool first = row == 0, last = row == rows - 1;
        mod += mod_cell(first ? 1 : 0, first ? 428 : 0, last ? 0xD : 0, 0);  // D00: pattern break
        mod += std::string(12, '\0');
    }
    for (unsigned i = 0; i < sample_bytes; ++i)
        mod += char(i < sample_bytes / 2 ? 100 : -100);
    write_bytes(path, mod);
}

void capture_output_to(const std::string &path)
{
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    unsetenv("AUDIODEV");
}

std::vector<int16_t> read_capture(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = int16_t(uint8_t(bytes[2 * i]) | (uint8_t(bytes[2 * i + 1]) << 8));
    return samples;
}

int peak(const std::vector<int16_t> &samples, size_t from, size_t to)
{
    int largest = 0;
    for (size_t i = from; i < std::min(to, samples.size()); ++i)
        largest = std::max(largest, std::abs(int(samples[i])));
    return largest;
}

std::string make_temp_dir(const std::string &tag)
{
    auto dir = std::filesystem::temp_directory_path() /
               ("velmora_" + tag + "_" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

void sleep_ms(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
