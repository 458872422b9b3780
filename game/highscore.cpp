#include "game/highscore.h"

#include <vector>

#include "platform/i_file.h"
#include "platform/i_save.h"

const char *const highscore_file_name = "cool.dat";

// The arithmetic runs on unsigned words so that it wraps modulo 2^32 instead of
// overflowing; only the final value is taken back as signed.
static void put_word(unsigned char *out, uint32_t word)
{
    for (int i = 0; i < 4; i++)
        out[i] = static_cast<unsigned char>(word >> (8 * i));
}

static uint32_t get_word(const unsigned char *in)
{
    uint32_t word = 0;
    for (int i = 0; i < 4; i++)
        word |= static_cast<uint32_t>(in[i]) << (8 * i);
    return word;
}

void encode_highscore(const highscore &record, unsigned char bytes[HIGHSCORE_SIZE])
{
    put_word(bytes, (static_cast<uint32_t>(record.seconds) + 10u) ^ 0x20u);
    put_word(bytes + 4, (static_cast<uint32_t>(record.mistakes) - 20u) ^ 0x10u);
}

highscore decode_highscore(const unsigned char bytes[HIGHSCORE_SIZE])
{
    highscore record;
    record.seconds = static_cast<int32_t>((get_word(bytes) ^ 0x20u) - 10u);
    record.mistakes = static_cast<int32_t>((get_word(bytes + 4) ^ 0x10u) + 20u);
    return record;
}

bool read_highscore(const char *name, highscore *record)
{
    std::vector<unsigned char> bytes;
    // A short file would leave part of a word undefined: treat it as no record at all.
    if (!read_file_start(native_file_name(name, PLAYER_FILE), bytes, HIGHSCORE_SIZE) ||
        bytes.size() != HIGHSCORE_SIZE)
        return false;
    // No game takes negative time or makes negative mistakes, and a negative time could never
    // be beaten: such a record is damage, and the next won game replaces it.
    highscore stored = decode_highscore(bytes.data());
    if (stored.seconds < 0 || stored.mistakes < 0)
        return false;
    *record = stored;
    return true;
}

bool beats_highscore(const highscore &game, const highscore &record)
{
    if (game.seconds != record.seconds)
        return game.seconds < record.seconds;
    return game.mistakes < record.mistakes;
}

bool write_highscore(const char *name, const highscore &record)
{
    unsigned char bytes[HIGHSCORE_SIZE];
    encode_highscore(record, bytes);
    return replace_file_atomically(native_file_name(name, PLAYER_FILE).c_str(), bytes,
                                   HIGHSCORE_SIZE);
}
