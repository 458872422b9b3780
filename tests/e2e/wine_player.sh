#!/bin/bash
# Plays the Windows build under Wine: unpacks the zip, checks that its data files are the
# Linux build's, that each DLL comes with its licence notice and the exe with its resources,
# makes a fresh Wine prefix, lets the player script win one game and quit, then plays on a
# desktop with a window manager (wine_desktop.sh) and where the game's folder cannot be
# written (wine_appdata.sh).
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

# Each DLL with the notice its licence asks for: the file README.txt names, holding words of
# that licence's own text.
declare -A notice_marks=(
    [alleg44.dll]="allegro.txt:giftware"
    [SDL2.dll]="SDL2.txt:Sam Lantinga"
    [SDL2_mixer.dll]="SDL2_mixer.txt:Sam Lantinga"
    [libopenmpt-0.dll]="libopenmpt.txt:OpenMPT"
    [libpixman-1-0.dll]="pixman.txt:Keith Packard"
    [libstdc++-6.dll]="gcc-runtime.txt:GCC RUNTIME LIBRARY EXCEPTION"
    [libgcc_s_seh-1.dll]="gcc-runtime.txt:GCC RUNTIME LIBRARY EXCEPTION"
    [libwinpthread-1.dll]="mingw-w64.txt:winpthreads"
)
for dll in "$game"/*.dll; do
    dll=$(basename "$dll")
    mark=${notice_marks[$dll]:-}
    [ -n "$mark" ] || die "the zip holds $dll, for which this test knows no notice"
    notice=licenses/${mark%%:*}
    grep -qF "${mark#*:}" "$game/$notice" 2>/dev/null || die "$dll: $notice lacks '${mark#*:}'"
    grep -F "$dll" "$game/README.txt" | grep -qF "${notice//\//\\}" ||
        die "README.txt does not point $dll to $notice"
done
grep -q "MIT License" "$game/LICENSE.txt" || die "the zip lacks the game's licence"
# The exe's resources: the icon Allegro gives its window, the version, the manifest.
resources=$(x86_64-w64-mingw32-windres -i "$game/velmora.exe" -O rc 2>/dev/null)
grep -q '"ALLEGRO_ICON" 14' <<<"$resources" || die "velmora.exe has no icon for its window"
grep -q 'VALUE "ProductName", "Velmora"' <<<"$resources" || die "velmora.exe has no version"
grep -q '<dpiAware.*>true</dpiAware>' <<<"$resources" || die "velmora.exe has no DPI-aware manifest"

# The prefix is made without a display; its server and desktop must be gone before the game
# starts them again on the player's X server.
started=$SECONDS
timeout 300 "$wine" wineboot -i >/dev/null 2>&1 && timeout 60 "$wineserver" -w ||
    die "wineboot could not make a prefix"
echo "wine: prefix made in $((SECONDS - started)) s"
# The game fills the screen with a window of its size; wine_desktop.sh then plays it under a
# window manager on the most common desktop.
# Wine's own sound drivers report the missing sound card through ALSA: not the game's output.
VELMORA_SCREEN=1024x768 VELMORA_START="$wine velmora.exe" \
    "$here/player.sh" "$game" "$letter_keys" "$shots" --short 2> >(grep -v '^ALSA lib' >&2) ||
    exit 1
VELMORA_SCREEN=1920x1080 "$here/wine_desktop.sh" "$game" "$letter_keys" \
    2> >(grep -v '^ALSA lib' >&2) || exit 1
"$here/wine_appdata.sh" "$game" "$(dirname "$letter_keys")/game_facts" \
    2> >(grep -v '^ALSA lib' >&2)
