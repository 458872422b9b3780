// Host tool: writes the two samples and the four modules of audio/game_sounds.h into the
// folder given on the command line.
#include <cstdio>
#include <filesystem>
#include <string>

#include "assets/sound/songs.h"
#include "assets/sound/synth.h"
#include "audio/game_sounds.h"

namespace {

// Writes the file the game knows as `game_name` under `root`, making its folder.
bool write_file(const std::filesystem::path &root, const char *game_name,
                const std::vector<uint8_t> &bytes) {
  const std::filesystem::path path = root / slashed_path(game_name);
  std::error_code err;
  std::filesystem::create_directories(path.parent_path(), err);
  FILE *f = std::fopen(path.c_str(), "wb");
  bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (f && std::fclose(f) != 0) ok = false;
  if (!ok) std::fprintf(stderr, "make_sounds: cannot write %s\n", path.c_str());
  return ok;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sounds <game folder>\n");
    return 2;
  }
  const std::filesystem::path root(argv[1]);
  if (song_plans().size() != SONG_COUNT) {
    std::fprintf(stderr, "make_sounds: %zu song plans for %d song files\n", song_plans().size(),
                 int(SONG_COUNT));
    return 1;
  }
  bool ok = write_file(root, TYPE_SAMPLE_FILE, wav_bytes(make_click())) &&
            write_file(root, BELL_SAMPLE_FILE, wav_bytes(make_bell()));
  for (int i = 0; i < SONG_COUNT; i++)
    ok = ok && write_file(root, song_files[i], it_bytes(compose(song_plans()[i])));
  return ok ? 0 : 1;
}
