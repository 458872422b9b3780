#!/bin/bash
# Memory of the real game over many menu round trips: starts build/game/velmora on a private
# Xvfb, then ROUNDS times starts a game from the menu, passes the intro and title pages, leaves
# the typing page with ESC and waits for the menu. Prints the game's resident and peak resident
# size after the first round, the tenth and the last, and the growth per round in between.
#   bench/game/menu_rounds.sh [GAME_DIR] [ROUNDS]      (defaults: build/game 200)
set -u
game_src=${1:-build/game}
rounds=${2:-200}
here=$(cd "$(dirname "$0")/../../tests/e2e" && pwd)
game_facts=$game_src/../tests/e2e/game_facts

# shellcheck source=../../tests/e2e/screen.sh
. "$here/screen.sh"

lost() { echo "menu_rounds: lost the game in round $1: $2" >&2; snap lost; cp "$shots/lost.png" /tmp/lost.png; exit 1; }

# status_kb FIELD: VmRSS or VmHWM of the game in KiB.
status_kb() { awk -v f="$1:" '$1 == f { print $2 }' "/proc/$game_pid/status"; }

start_xvfb
cp -r "$game_src" "$work/game"
(cd "$work/game" && exec ./velmora) >/dev/null 2>&1 &
game_pid=$!
wait_for 30 menu_up || lost 0 "no menu"

start=$SECONDS
for ((round = 1; round <= rounds; round++)); do
    press_in "$start_area"
    wait_for 10 intro_up || lost $round "no intro page"
    any_key
    wait_for 10 centre_text_up || lost $round "no title page"
    any_key
    wait_for 10 typing_up || lost $round "no typing page"
    hold Escape  # the loop sees ESC only while it is down
    wait_for 10 menu_up || lost $round "no menu after ESC"
    case $round in
    1) rss_1=$(status_kb VmRSS) ;;
    10) rss_10=$(status_kb VmRSS) ;;
    esac
    if [ $round = 1 ] || [ $round = 10 ] || [ $round = "$rounds" ]; then
        echo "after $round round trips: resident $(status_kb VmRSS) KiB, peak $(status_kb VmHWM) KiB"
    fi
done
rss_last=$(status_kb VmRSS)
echo "$rounds round trips in $((SECONDS - start)) s"
if [ "$rounds" -gt 10 ]; then
    awk -v a="${rss_10:-$rss_1}" -v b="$rss_last" -v n=$((rounds - 10)) \
        'BEGIN { printf "growth per round trip after the tenth: %.2f KiB\n", (b - a) / n }'
fi
