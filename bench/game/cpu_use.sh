#!/bin/bash
# Processor use of the real game while a player reads or types: starts the game on a private
# Xvfb and, on each screen, reads the user and system time of the game and of the X server
# from /proc over a few seconds. Prints each as a share of one core, and the two together.
# VELMORA_SCREEN=WIDTHxHEIGHT measures on a screen of that size under openbox, as a desktop
# shows the game.
#   bench/game/cpu_use.sh [GAME_DIR] [SECONDS]      (defaults: build/game 4)
set -u
game_src=${1:-build/game}
span=${2:-4}
here=$(cd "$(dirname "$0")/../../tests/e2e" && pwd)
letter_keys=$game_src/../tests/e2e/letter_keys
game_facts=$game_src/../tests/e2e/game_facts

# shellcheck source=../../tests/e2e/screen.sh
. "$here/screen.sh"

lost() { echo "cpu_use: lost the game: $1" >&2; exit 1; }

# ticks PID: user plus system time of the process so far, in clock ticks.
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# measure NAME [COMMAND...]: runs COMMAND (or sleeps) for the span and prints the shares.
measure() {
    local name=$1 hz g0 x0 g1 x1 t0 t1
    shift
    hz=$(getconf CLK_TCK)
    g0=$(ticks "$game_pid"); x0=$(ticks "$xvfb_pid"); t0=$(date +%s.%N)
    if [ $# -gt 0 ]; then "$@"; else sleep "$span"; fi
    g1=$(ticks "$game_pid"); x1=$(ticks "$xvfb_pid"); t1=$(date +%s.%N)
    awk -v n="$name" -v g=$((g1 - g0)) -v x=$((x1 - x0)) -v hz="$hz" -v t="$t0" -v u="$t1" \
        'BEGIN { s = (u - t) * hz / 100
                 printf "%-28s game %5.1f%%  X server %5.1f%%  together %5.1f%%\n", n, g / s, x / s, (g + x) / s }'
}

# Types the first line of letter 1 at 8 keys a second for the span, wrong keys included.
type_slowly() {
    local end=$((SECONDS + span)) i=0
    mapfile -t keys < <("$letter_keys" 1)
    while [ $SECONDS -lt $end ]; do
        [ "${keys[$i]}" = Return ] && break
        xdotool key "${keys[$i]}"
        i=$((i + 1))
        sleep 0.125
    done
}

start_xvfb
[ "$screen_size" != 800x600 ] && start_desktop
cp -r "$game_src" "$work/game"
rm -f "$work/game/cool.dat"
(cd "$work/game" && exec ./velmora) >/dev/null 2>&1 &
game_pid=$!
find_game_window 30 || lost "no window of the screen's size"
wait_for 30 menu_up || lost "no menu"
sleep 1

measure "menu"
press_in "$start_area"
move_to 600 100
wait_for 10 intro_up || lost "no intro page"
sleep 0.5
measure "page waiting for a key"
any_key
wait_for 10 centre_text_up || lost "no title page"
any_key
wait_for 10 typing_up || lost "no typing page"
sleep 0.5
measure "typing page, nobody typing"
measure "typing at 8 keys/s" type_slowly
for n in 1 2 3 4 5; do
    chord
    [ $n = 5 ] && break
    wait_for 10 intro_up || lost "no intro page of letter $((n + 1))"
    any_key
    wait_for 10 centre_text_up || lost "no title page of letter $((n + 1))"
    any_key
    wait_for 10 typing_up || lost "no typing page of letter $((n + 1))"
done
sleep 1
measure "results"
any_key
sleep 2
measure "gallery"
