// Files on the host: names as the game writes them ("Sound\type.wav") mapped to the host's
// separator and to the folder each file lives in, and whole files read into memory.
//
// Callers: the sound layer (samples at start-up on the main thread, and the jukebox's songs,
// loaded from Allegro's timer thread), the highscore on the main thread, and the tests. Every
// function here may be called from any thread: each folder is looked up once, on the first
// call that needs it, by a function-local static that C++ initialises once whichever thread
// comes first; nothing else is shared.
#ifndef VELMORA_I_FILE_H
#define VELMORA_I_FILE_H

#include <cstddef>
#include <string>
#include <vector>

// The game's own files are only read; the player's files (the highscore) are written.
enum file_owner { GAME_FILE, PLAYER_FILE };

// The host path of a file the game names relative to its folder. The folder is chosen once,
// from where the executable lies: on Windows the game's files beside the executable and the
// player's there too while that folder can be written, else in %APPDATA%\velmora; elsewhere
// as find_game_folders below decides. The player's folder is created when it is chosen.
std::string native_file_name(const char *name, file_owner owner = GAME_FILE);

// The whole file at `path` (a host name) in `bytes`; false when it cannot be opened or read,
// or is not a regular file. Opening never waits: a FIFO, a device or a folder is refused at
// once.
bool read_whole_file(const std::string &path, std::vector<unsigned char> &bytes);

// The same for at most the first `limit` bytes of the file.
bool read_file_start(const std::string &path, std::vector<unsigned char> &bytes, size_t limit);

// The POSIX hosts' choice of folders, apart from the host lookups so the tests can call it;
// Windows has no counterpart.
#ifndef _WIN32
// Where the files live; an empty folder stands for the working folder.
struct game_folders {
    std::string data;
    std::string player;
};

// For the executable at `exe`: its own folder for everything when velmora.dat lies beside it;
// for an installed tree, the data in ../share/games/velmora next to the executable's folder
// and the player's files in `xdg_data_home`/velmora, or `home`/.local/share/velmora when that
// is unset or relative; otherwise the working folder for everything.
game_folders find_game_folders(const std::string &exe, const char *xdg_data_home,
                               const char *home);

// Creates `folder` and its missing parents, each private to the user (mode 0700). True when
// it is a folder afterwards.
bool make_folder(const std::string &folder);
#endif

#endif
