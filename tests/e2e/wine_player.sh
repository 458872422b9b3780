#!/bin/bash
# Plays the Windows build under Wine: unpacks the zip, checks that its data files are the
# Linux build's, makes a fresh Wine prefix and lets the player script win one game and quit.
#   wine_player.sh ZIP LINUX_GAME_DIR LETTER_KEYS SHOT_DIR
set -u
zip=$(realpath "$1")
linux_game=$2
letter_keys=$3
shots=$4
here=$(cd "$(dirname "$0")" && pwd)
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

scratch=$(mktemp -d)
export WINEPREFIX=$scratch/prefix WINEDEBUG=-all
# No .NET or browser engine to offer: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    "$wineserver" -k 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT

(cd "$scratch" && cmake -E tar xf "$zip") || { echo "FAIL: cannot unpack $zip" >&2; exit 1; }
game=$scratch/velmora
[ -f "$game/velmora.exe" ] && [ -f "$game/README.txt" ] || {
    echo "FAIL: the zip lacks velmora.exe or README.txt" >&2
    exit 1
}
data_files() { (cd "$1" && find velmora.dat Sound Music -type f | sort); }
[ "$(data_files "$game")" = "$(data_files "$linux_game")" ] || {
    echo "FAIL: the zip's data files are not the Linux build's" >&2
    exit 1
}
for f in $(data_files "$linux_game"); do
    cmp -s "$linux_game/$f" "$game/$f" || { echo "FAIL: $f differs from the Linux build's" >&2; exit 1; }
done

# The prefix is made without a display; its server and desktop must be gone before the game
# starts them again on the player's X server.
started=$SECONDS
timeout 300 "$wine" wineboot -i >/dev/null 2>&1 && timeout 60 "$wineserver" -w ||
    { echo "FAIL: wineboot could not make a prefix" >&2; exit 1; }
echo "wine: prefix made in $((SECONDS - started)) s"
# Wine cannot change the X server's mode, so the game's full-screen request fails and it falls
# back to a window: the screen is made larger than the window with its frame.
# Wine's own sound drivers report the missing sound card through ALSA: not the game's output.
VELMORA_SCREEN=1024x768 VELMORA_START="$wine velmora.exe" \
    "$here/player.sh" "$game" "$letter_keys" "$shots" --short 2> >(grep -v '^ALSA lib' >&2)
