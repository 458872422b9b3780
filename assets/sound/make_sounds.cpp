// Host tool: writes Sound/type.wav, Sound/bell.wav and the four modules under Music/
// into the folder given on the command line.
#include <cstdio>
#include <filesystem>
#include <string>

#include "assets/sound/songs.h"
#include "assets/sound/synth.h"

namespace {

bool write_file(const std::filesystem::path &path, const std::vector<uint8_t> &bytes) {
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
  std::error_code err;
  std::filesystem::create_directories(root / "Sound", err);
  std::filesystem::create_directories(root / "Music", err);
  bool ok = write_file(root / "Sound" / "type.wav", wav_bytes(make_click())) &&
            write_file(root / "Sound" / "bell.wav", wav_bytes(make_bell()));
  for (const song_plan &plan : song_plans())
    ok = ok && write_file(root / "Music" / plan.file_name, it_bytes(compose(plan)));
  return ok ? 0 : 1;
}
