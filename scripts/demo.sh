#!/bin/bash
# A short automatic demonstration for a machine without a display: the player script plays
# a game on a private virtual X server and saves a screenshot of every screen.
#   scripts/demo.sh GAME_DIR DEMO_DIR      (./run.sh passes build/game build/demo)
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
game_dir=${1:-build/game}
demo_dir=${2:-build/demo}
build_dir=$(dirname "$game_dir")

if [ ! -x "$game_dir/velmora" ]; then
    echo "demo: $game_dir/velmora is not built" >&2
    exit 1
fi
cmake --build "$build_dir" --target letter_keys game_facts -j2 >/dev/null || {
    echo "demo: cannot build the player's helpers" >&2
    exit 1
}
letter_keys=$(find "$build_dir" -name letter_keys -type f -perm -u+x | head -n1)
mkdir -p "$demo_dir"
"$here/tests/e2e/player.sh" "$game_dir" "$letter_keys" "$demo_dir" --demo
status=$?
echo "demo: screenshots in $(cd "$demo_dir" && pwd)"
exit $status
