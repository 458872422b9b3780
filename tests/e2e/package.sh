#!/bin/bash
# Builds the Debian package from a build folder, checks it with lintian, desktop-file-validate
# and appstreamcli, and plays the game unpacked from it as an installed game: data read from
# the unpacked tree, the highscore written to the player's folder, nothing else touched.
#   package.sh BUILD_DIR
set -u
build=$1
game_facts=$build/tests/e2e/game_facts
failures=0
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=screen.sh
. "$here/screen.sh"

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The tree as it stands: every path with its mode, size and time, and every file's checksum.
listing() { (cd "$root" && find . -printf '%p %m %s %T@\n' | sort && find . -type f -exec md5sum {} + | sort); }

if ! (cd "$build" && cpack -G DEB -B "$work/deb") >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    echo "FAIL: cpack could not build the package" >&2
    exit 1
fi
deb=$(echo "$work"/deb/velmora_*_amd64.deb)
[ -f "$deb" ] || { echo "FAIL: no velmora_<version>_amd64.deb" >&2; exit 1; }
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"
dpkg-deb -f "$deb" Depends | grep -q liballegro4 || fail "Depends does not name Allegro"
lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || fail "lintian found errors"
grep -v '^running with root' "$work/lintian.log"

root=$work/root
dpkg -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/velmora.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >"$work/appstream.log" ||
    fail "AppStream metadata: $(cat "$work/appstream.log")"

# A player of their own: HOME and a player's folder that does not exist yet, one level deep.
export HOME=$work/home XDG_DATA_HOME=$work/home/data
mkdir -p "$HOME" "$work/cwd"
record=$XDG_DATA_HOME/velmora/cool.dat
before=$(listing)

start_xvfb
(cd "$work/cwd" && exec "$root/usr/games/velmora") &
game_pid=$!
wait_for 30 menu_up || { fail "menu did not come up"; exit 1; }
[ -d "$XDG_DATA_HOME/velmora" ] || fail "the player's folder was not made at start"

press_in "$start_area"
xdotool mousemove 600 100
for n in 1 2 3 4 5; do
    wait_for 10 intro_up && any_key && wait_for 10 centre_text_up && any_key &&
        wait_for 10 typing_up || { fail "letter $n did not reach its typing page"; exit 1; }
    chord
done
for _ in $(seq 50); do [ -f "$record" ] && break; sleep 0.2; done
# A game won by the chord: the first of j, k and l to go down may be judged before the chord
# is whole, so each letter takes up to three mistakes, each costing at least the cheapest
# letter's cost.
cheapest=$(printf '%s\n' $mistake_seconds | sort -n | head -1)
read -r seconds mistakes < <("$game_facts" record "$record") ||
    fail "no 8-byte cool.dat in $XDG_DATA_HOME/velmora"
seconds=${seconds:--1} mistakes=${mistakes:--1}
[ "$mistakes" -ge 0 ] && [ "$mistakes" -le 15 ] && [ "$seconds" -ge $((cheapest * mistakes)) ] &&
    [ "$seconds" -le 200 ] && echo "package: the record holds $seconds s and $mistakes mistakes" ||
    fail "cool.dat holds $seconds seconds and $mistakes mistakes"
any_key
sleep 1.5
hold Escape
wait_for 15 menu_up || fail "no menu after the gallery"
press_in "$quit_area"
sleep 2
any_key
wait_game_end 10
[ "$game_status" = 0 ] || fail "Quit did not end with status 0 (status '${game_status:-still running}')"

[ "$(listing)" = "$before" ] || fail "the unpacked tree changed: $(diff <(echo "$before") <(listing))"
[ -z "$(ls -A "$work/cwd")" ] || fail "files appeared in the working folder: $(ls -A "$work/cwd")"
[ "$failures" = 0 ] || exit 1
echo "package: all checks passed"
