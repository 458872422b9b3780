#!/bin/bash
# The Windows game's record where its folder cannot be written, as under Program Files: a won
# game leaves it in %APPDATA%\velmora\cool.dat, and the next start reads it from there.
#   wine_appdata.sh GAME_DIR GAME_FACTS     (WINEPREFIX names a ready prefix)
set -u
game_src=$1
game_facts=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=screen.sh
. "$here/screen.sh"
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
appdata=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/velmora

fail() { echo "FAIL: appdata: $*" >&2; exit 1; }

# to_typing_page WHICH N: any key until letter N's typing page stands. The record is what is
# tested here, not the pages: under Wine a key of the last chord sometimes arrives after the
# next page stands and moves it on, which the pages' own tests see to.
to_typing_page() {
    local end=$((SECONDS + 30))
    wait_for 10 not_typing || fail "$1: letter $(($2 - 1)) did not end"
    until grab && typing_up; do
        [ $SECONDS -lt $end ] || fail "$1: no typing page for letter $2"
        any_key
        sleep 0.5
    done
}

# win_game WHICH: starts the game, wins one game by the chord and ends it with Alt+F4.
win_game() {
    (cd "$work/game" && exec "$wine" velmora.exe) >/dev/null 2>&1 &
    game_pid=$!
    wait_for 60 menu_up || fail "$1: no menu"
    press_in "$start_area"
    for n in 1 2 3 4 5; do
        to_typing_page "$1" "$n"
        chord
    done
    sleep 1
    xdotool key alt+F4
    wait_game_end 15 && [ "$game_status" = 0 ] || fail "$1: Alt+F4 did not end the game"
}

cp -r "$game_src" "$work/game"
# Root writes in a folder whatever its permissions say, but not on a read-only mount.
if [ "$(id -u)" = 0 ]; then
    mount --bind "$work/game" "$work/game" && mount -o remount,ro,bind "$work/game" ||
        fail "cannot mount the game's folder read-only"
    trap 'umount "$work/game"; cleanup' EXIT
else
    chmod a-w "$work/game"
    trap 'chmod u+w "$work/game"; cleanup' EXIT
fi
touch "$work/game/probe" 2>/dev/null && fail "the game's folder can still be written"
rm -rf "$appdata"

# Wine's processes of an earlier run belong to an X server that is gone: a game started
# among them finds no desktop.
"$wineserver" -k
"$wineserver" -w
start_xvfb
win_game "first game"
[ "$(stat -c %s "$appdata/cool.dat" 2>/dev/null)" = 8 ] || fail "no record in %APPDATA%\\velmora"
# A record no game can beat, one second without a mistake: kept only if the next start reads
# it from there.
printf '\53\0\0\0\374\377\377\377' >"$appdata/cool.dat"
cp "$appdata/cool.dat" "$work/unbeatable"
win_game "second game"
cmp -s "$appdata/cool.dat" "$work/unbeatable" ||
    fail "the second game did not read the record in %APPDATA%\\velmora"
echo "wine_appdata: the record kept in and read from %APPDATA%\\velmora ($SECONDS s)"
