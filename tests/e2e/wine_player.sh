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

die() { echo "FAIL: $*" >&2; exit 1; }

(cd "$scratch" && cmake -E tar xf "$zip") || die "cannot unpack $zip"
game=$scratch/velmora
[ -f "$game/velmora.exe" ] && [ -f "$game/README.txt" ] || die "the zip lacks velmora.exe or README.txt"
for data in velmora.dat Sound Music; do
    diff -rq "$linux_game/$data" "$game/$data" >&2 || die "the zip's $data is not the Linux build's"
done

# The prefix is made without a display; its server and desktop must be gone before the game
# starts them again on the player's X server.
started=$SECONDS
timeout 300 "$wine" wineboot -i >/dev/null 2>&1 && timeout 60 "$wineserver" -w ||
    die "wineboot could not make a prefix"
echo "wine: prefix made in $((SECONDS - started)) s"
# Wine cannot change the X server's mode, so the game's full-screen request fails and it falls
# back to a window: the screen is made larger than the window with its frame.
# Wine's own sound drivers report the missing sound card through ALSA: not the game's output.
VELMORA_SCREEN=1024x768 VELMORA_START="$wine velmora.exe" \
    "$here/player.sh" "$game" "$letter_keys" "$shots" --short 2> >(grep -v '^ALSA lib' >&2)
