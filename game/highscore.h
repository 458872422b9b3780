// The single highscore kept in "cool.dat": its 8-byte form, reading, the record decision and
// the safe rewrite. Nothing here draws.
#ifndef VELMORA_HIGHSCORE_H
#define VELMORA_HIGHSCORE_H

#include <cstdint>

enum { HIGHSCORE_SIZE = 8 };

extern const char *const highscore_file_name;

struct highscore {
    int32_t seconds;
    int32_t mistakes;
};

// Little-endian words: (seconds + 10) XOR 0x20, then (mistakes - 20) XOR 0x10, modulo 2^32.
void encode_highscore(const highscore &record, unsigned char bytes[HIGHSCORE_SIZE]);
highscore decode_highscore(const unsigned char bytes[HIGHSCORE_SIZE]);

// `name` is the file's name as the game gives it; it lives in the player's folder of the
// platform layer (native_file_name), which in a game run from its own folder is that folder.

// False when the file is missing, unreadable, not a regular file, shorter than 8 bytes or
// holds a negative time or mistake count: no record yet. Bytes past the eighth are ignored.
// The file is closed again before this returns.
bool read_highscore(const char *name, highscore *record);

// Time decides first, then mistakes; an equal game does not beat the record.
bool beats_highscore(const highscore &game, const highscore &record);

// Replaces the file with the 8 bytes of `record`; on failure the old file stays as it was.
bool write_highscore(const char *name, const highscore &record);

#endif
