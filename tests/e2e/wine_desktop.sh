#!/bin/bash
# The Windows game under Wine on a desktop with a window manager (openbox), where a player
# meets it: it starts every time, quits cleanly through its menu and the credits, ends on its
# window's close button, and shows a missing velmora.dat on its screen, then exits 1.
#   wine_desktop.sh GAME_DIR GAME_FACTS     (WINEPREFIX names a ready prefix)
set -u
game_src=$1
game_facts=$2
failures=0
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=screen.sh
. "$here/screen.sh"
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

LAUNCHES=20
QUITS=5

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# launch DIR SCREEN: starts the game in DIR; true once SCREEN (a test of the screens below)
# holds in its window.
launch() {
    (cd "$1" && exec "$wine" velmora.exe) >/dev/null 2>"$work/stderr" &
    game_pid=$!
    find_game_window 60 && wait_for 30 "$2"
}

# ended CASE STATUS: the game ends within seconds with STATUS. A game still running is
# stopped, with everything else of Wine's, so that the next launch starts clean.
ended() {
    wait_game_end 15
    [ "$game_status" = "$2" ] && return 0
    fail "$1: status '${game_status:-still running after 15 s}'"
    "$wineserver" -k
    wait_game_end 10
    return 1
}

# start_window_manager: openbox, once it answers as a window manager.
start_window_manager() {
    openbox --sm-disable >/dev/null 2>&1 &
    for _ in $(seq 50); do wmctrl -m >/dev/null 2>&1 && return 0; sleep 0.1; done
    echo "FAIL: openbox did not start" >&2
    exit 1
}

start_xvfb
start_window_manager

cp -r "$game_src" "$work/game"
starts=0 quits=0 closes=0
for ((i = 1; i <= LAUNCHES; i++)); do
    # Once seen on this loaded machine: openbox gone midway. The game is what is tested here.
    wmctrl -m >/dev/null 2>&1 || { echo "wine_desktop: openbox had ended"; start_window_manager; }
    if ! launch "$work/game" menu_up; then
        fail "launch $i: no menu: $(cat "$work/stderr")"
        "$wineserver" -k
        continue
    fi
    starts=$((starts + 1))
    if [ $i -le $QUITS ]; then
        press_in "$quit_area"
        sleep 2
        any_key
        ended "launch $i, Quit and a key in the credits" 0 && quits=$((quits + 1))
    else
        # The window manager asks the window to close, as its close button does.
        wmctrl -c Velmora
        ended "launch $i, closed by the window manager" 0 && closes=$((closes + 1))
    fi
done
echo "wine_desktop: $starts of $LAUNCHES launches reached the menu; $quits of $QUITS quit" \
    "through the credits, $closes of $((LAUNCHES - QUITS)) closed by their close button"

rm "$work/game/velmora.dat"
if launch "$work/game" message_up; then
    sleep 1
    kill -0 "$game_pid" 2>/dev/null || fail "missing velmora.dat: the message did not wait"
    any_key
    ended "missing velmora.dat, a key on the message" 1
else
    fail "missing velmora.dat: no message on the screen"
    "$wineserver" -k
fi
grep -q "velmora.dat: the resource file is missing" "$work/stderr" ||
    fail "missing velmora.dat: stderr lacks the message: $(cat "$work/stderr")"

[ "$failures" = 0 ] || exit 1
echo "wine_desktop: all checks passed ($SECONDS s)"
