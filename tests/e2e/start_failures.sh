#!/bin/bash
# Starts the real game where it cannot run, or runs without some of its files, and checks
# that it says why on stderr and ends with a failure status, or plays on without them.
#   start_failures.sh GAME_DIR
set -u
game_src=$1
work=$(mktemp -d)
shots=$work/shots
xvfb_pid=
failures=0
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=screen.sh
. "$here/screen.sh"

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# fresh_copy NAME: a copy of the game folder to break.
fresh_copy() { rm -rf "${work:?}/$1"; cp -r "$game_src" "$work/$1"; echo "$work/$1"; }

# expect_refusal CASE DIR TEXT [ENV ARGS...]: the game in DIR, started through env with ENV
# ARGS, ends within seconds with a non-zero status and a message on stderr containing TEXT.
expect_refusal() {
    local status
    (cd "$2" && exec env "${@:4}" timeout -s KILL 20 ./velmora) >/dev/null 2>"$work/stderr"
    status=$?
    [ "$status" -ne 0 ] || fail "$1: status 0"
    [ "$status" -ne 137 ] || fail "$1: still running after 20 s"
    [ "$status" -lt 128 ] || fail "$1: killed by signal $((status - 128))"
    grep -qF -- "$3" "$work/stderr" || fail "$1: stderr lacks '$3': $(cat "$work/stderr")"
}

dir=$(fresh_copy no-display)
expect_refusal "no display" "$dir" "velmora: cannot start Allegro: no X display" -u DISPLAY

start_xvfb

dir=$(fresh_copy missing)
rm "$dir/velmora.dat"
expect_refusal "missing velmora.dat" "$dir" "velmora: velmora.dat: the resource file is missing"

dir=$(fresh_copy garbage)
head -c 5000 /dev/urandom >"$dir/velmora.dat"
expect_refusal "velmora.dat of random bytes" "$dir" "velmora: velmora.dat:"

dir=$(fresh_copy truncated)
size=$(stat -c %s "$dir/velmora.dat")
truncate -s $((size / 2)) "$dir/velmora.dat"
expect_refusal "velmora.dat cut in half" "$dir" "velmora: velmora.dat:"

dir=$(fresh_copy few-objects)
rm "$dir/velmora.dat"
echo "one object" >"$work/object.txt"
dat -a -t DATA "$dir/velmora.dat" "$work/object.txt" >/dev/null
expect_refusal "velmora.dat of one object" "$dir" "fewer than 18 objects"

# Without its music and sounds the game still comes up and quits cleanly.
dir=$(fresh_copy silent)
rm -r "$dir/Music" "$dir/Sound"
(cd "$dir" && exec ./velmora) >/dev/null 2>&1 &
game_pid=$!
if wait_for 30 menu_up; then
    press_at 200 450
    sleep 2
    any_key
    for _ in $(seq 100); do kill -0 $game_pid 2>/dev/null || break; sleep 0.1; done
fi
if kill -0 $game_pid 2>/dev/null; then
    fail "without Music and Sound: the game did not come up or did not quit"
    kill -9 $game_pid
fi
wait $game_pid
status=$?
[ "$status" = 0 ] || [ "$status" = 137 ] || fail "without Music and Sound: status $status"

[ "$failures" = 0 ] || exit 1
echo "start_failures: all checks passed"
