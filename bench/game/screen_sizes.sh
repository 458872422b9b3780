#!/bin/bash
# The game's figures at the screen sizes people have, each next to the 800x600 ones of the same
# run: processor use on each screen (cpu_use.sh, under openbox above 800x600), key-to-screen
# latency, a fade's length and the credits' roll (game_bench). Prints figures; asserts nothing.
#   bench/game/screen_sizes.sh [BUILD_DIR] [SIZES...]   (defaults: build 800x600 1920x1080
#                                                         2560x1440 3840x2160)
set -u
build=${1:-build}
shift
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(800x600 1920x1080 2560x1440 3840x2160)
here=$(cd "$(dirname "$0")" && pwd)
for size in "${sizes[@]}"; do
    echo "== $size"
    VELMORA_TEST_SCREEN=$size "$build/bench/game/game_bench" screen |
        grep -E 'screen|latency|fade|present|credits|typing at'
    VELMORA_SCREEN=$size "$here/cpu_use.sh" "$build/game" 4
done
