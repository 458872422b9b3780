// The sound files the game opens, by the names the game gives them: relative to the game
// folder, a backslash between folder and file. The game hands them to the sound layer, which
// maps them to the host's names (native_file_name); the host tool that makes the files, their
// CMake rule (which reads the quoted names below) and the tests take them from here too. Plain
// C++, no library.
#ifndef VELMORA_GAME_SOUNDS_H
#define VELMORA_GAME_SOUNDS_H

#include <string>

// The typewriter click of a judged key and the bell at a line's end.
const char *const TYPE_SAMPLE_FILE = "Sound\\type.wav";
const char *const BELL_SAMPLE_FILE = "Sound\\bell.wav";

// The jukebox's modules, one picked at random whenever none plays.
enum { SONG_COUNT = 4 };
const char *const song_files[SONG_COUNT] = {
    "Music\\fb-dawn.it",
    "Music\\freehart.it",
    "Music\\prsudrem.it",
    "Music\\mntnprds.it",
};

// A name above as a relative path with '/' between the names, for the build's tools and tests.
inline std::string slashed_path(const char *game_name)
{
    std::string path = game_name;
    for (char &c : path)
        if (c == '\\')
            c = '/';
    return path;
}

#endif
