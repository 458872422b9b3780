#!/bin/bash
# Starts the real game where it cannot run, or runs without some of its files, and checks
# that it says why on stderr (and on its screen until the player has seen it) and ends with
# status 1, or plays on without them. Then
# stops it with signals in several screens and measures how long it takes to end.
#   start_failures.sh GAME_DIR
set -u
game_src=$1
game_facts=$game_src/../tests/e2e/game_facts
failures=0
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=screen.sh
. "$here/screen.sh"

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# fresh_copy NAME: a copy of the game folder to break.
fresh_copy() { rm -rf "${work:?}/$1"; cp -r "$game_src" "$work/$1"; echo "$work/$1"; }

# expect_refusal CASE DIR TEXT [ENV ARGS...]: the game in DIR, started through env with ENV
# ARGS, ends with status 1 and a message on stderr containing TEXT. Once a display is up it
# shows the message on its screen too, and ends only when it is dismissed: by `dismiss`, a
# key unless the caller says otherwise.
expect_refusal() {
    (cd "$2" && exec env "${@:4}" timeout -s KILL 30 ./velmora) >/dev/null 2>"$work/stderr" &
    game_pid=$!
    if [ -n "$xvfb_pid" ]; then
        if wait_for 15 message_up; then
            sleep 0.5
            kill -0 "$game_pid" 2>/dev/null || fail "$1: the message did not wait for the player"
            ${dismiss:-any_key}
        else
            fail "$1: no message on the screen"
        fi
    fi
    wait_game_end 20 || kill "$game_pid"
    [ "$game_status" = 1 ] || fail "$1: status '${game_status:-still running after a key}'"
    grep -qF -- "$3" "$work/stderr" || fail "$1: stderr lacks '$3': $(cat "$work/stderr")"
}

dir=$(fresh_copy no-display)
expect_refusal "no display" "$dir" "velmora: cannot start Allegro: no X display" -u DISPLAY

start_xvfb

dir=$(fresh_copy missing)
rm "$dir/velmora.dat"
dismiss="press_at 400 500" expect_refusal "missing velmora.dat" "$dir" "velmora: velmora.dat: the resource file is missing"

dir=$(fresh_copy garbage)
head -c 5000 /dev/urandom >"$dir/velmora.dat"
expect_refusal "velmora.dat of random bytes" "$dir" "velmora: velmora.dat:"

dir=$(fresh_copy truncated)
size=$(stat -c %s "$dir/velmora.dat")
truncate -s $((size / 2)) "$dir/velmora.dat"
expect_refusal "velmora.dat cut in half" "$dir" "velmora: velmora.dat:"

dir=$(fresh_copy fifo)
rm "$dir/velmora.dat" && mkfifo "$dir/velmora.dat"
expect_refusal "velmora.dat a FIFO" "$dir" "velmora: velmora.dat: the resource file is missing"

dir=$(fresh_copy few-objects)
rm "$dir/velmora.dat"
echo "one object" >"$work/object.txt"
dat -a -t DATA "$dir/velmora.dat" "$work/object.txt" >/dev/null
expect_refusal "velmora.dat of one object" "$dir" "fewer than $catalogue_size objects"

# --- resource files built by Allegro's own dat tool -----------------------------------

inputs=$work/inputs
mkdir -p "$inputs"
(
    cd "$inputs" || exit 1
    for i in $(seq -w 0 $((catalogue_size - 1))); do printf '\xff\xd8\xff\xd9' >"p$i.jpg"; done
    head -c 2048 /dev/zero >small.fnt  # a BIOS-style 8x8 font
    cp small.fnt large.fnt
    for bits in 8 15 16 24 32; do convert -size 6x4 xc:orange "BMP3:bitmap$bits.bmp"; done
    convert -size 4x4 xc:navy -type palette BMP3:palette.bmp
    # 8-bit mono WAV of 16 samples
    printf 'RIFF\x34\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x44\xac\0\0\x44\xac\0\0\x01\0\x08\0data\x10\0\0\0' >sample.wav
    head -c 16 /dev/zero | tr '\0' '\200' >>sample.wav
    dat -c0 -s1 -bpp 16 -t BMP -a nested.dat bitmap16.bmp >/dev/null
)

# add DATAFILE TYPE INPUT [DAT OPTIONS...]: appends one object, unsorted and uncompressed.
add() { dat -c0 -n0 -s1 "${@:4}" -t "$2" -a "$1" "$inputs/$3" >/dev/null; }

# odd_file FILE POSITION TYPE INPUT: the catalogue's objects, JPEG-headed data at the picture
# positions and 8x8 fonts at the fonts' two, but at POSITION an object of TYPE. Also writes FILE.cut, cut
# halfway through that object.
odd_file() {
    local i size mid
    rm -f "$1"
    for i in $(seq -w 0 $((catalogue_size - 1))); do
        if [ $((10#$i)) = "$2" ]; then
            size=$(stat -c %s "$1" 2>/dev/null || echo 12)
            add "$1" "$3" "$4"
            mid=$(((size + $(stat -c %s "$1")) / 2))
        elif [ $((10#$i)) = "$small_font_index" ]; then add "$1" FONT small.fnt
        elif [ $((10#$i)) = "$large_font_index" ]; then add "$1" FONT large.fnt
        else add "$1" DATA "p$i.jpg"
        fi
    done
    head -c "$mid" "$1" >"$1.cut"
}

for odd in "0 BMP bitmap24.bmp" "6 SAMP sample.wav" "14 PAL palette.bmp" "17 FILE nested.dat"; do
    read -r at type input <<<"$odd"
    dir=$(fresh_copy "odd-$type")
    odd_file "$dir/velmora.dat" "$at" "$type" "$input"
    expect_refusal "$type object at $at" "$dir" \
        "velmora.dat: object $at of the resource file is not a JPEG picture"
    mv "$dir/velmora.dat.cut" "$dir/velmora.dat"
    expect_refusal "$type object at $at, cut short" "$dir" "velmora.dat: the resource file is cut short"
done

# Behind the catalogue such objects are walked, found whole, and the game starts.
extended=$(fresh_copy extended)
for bits in 8 15 16 24 32; do add "$extended/velmora.dat" BMP "bitmap$bits.bmp" -bpp "$bits"; done
add "$extended/velmora.dat" SAMP sample.wav
add "$extended/velmora.dat" PAL palette.bmp
add "$extended/velmora.dat" FILE nested.dat

# --- stop signals ------------------------------------------------------------------

printf 'highscor' >"$work/cool.dat"

# start_game DIR [SIGNAL]: the game in DIR with a known cool.dat, SIGNAL ignored on entry if
# given; waits for the menu.
start_game() {
    cp "$work/cool.dat" "$1/cool.dat"
    (cd "$1" && { [ -z "${2:-}" ] || trap '' "$2"; } && exec ./velmora) >/dev/null 2>"$work/stderr" &
    game_pid=$!
    wait_for 30 menu_up || fail "the game in $1 did not come up: $(cat "$work/stderr")"
}

# stop_game WHERE SIGNAL DIR: sends SIGNAL and measures the time until the game has ended. It
# must end killed by that signal, with cool.dat as it was and no temporary file beside it.
stop_game() {
    local start end status watchdog
    (sleep 10 && kill -9 "$game_pid") 2>/dev/null &
    watchdog=$!
    start=$(date +%s%N)
    kill -s "$2" "$game_pid"
    { wait "$game_pid"; status=$?; } 2>/dev/null
    end=$(date +%s%N)
    kill "$watchdog" 2>/dev/null
    game_pid=
    echo "start_failures: SIG$2 $1: ended after $(((end - start) / 1000000)) ms, status $status"
    [ "$status" = $((128 + $(kill -l "$2"))) ] || fail "SIG$2 $1: status $status (137: killed after 10 s)"
    cmp -s "$3/cool.dat" "$work/cool.dat" || fail "SIG$2 $1: cool.dat changed"
    ! ls "$3"/cool.dat?* >/dev/null 2>&1 || fail "SIG$2 $1: a file is left beside cool.dat"
}

# Ignored on entry, as in a background job started by a script, Ctrl+C still ends the game.
start_game "$extended" INT
stop_game "in the menu, ignored on entry" INT "$extended"

dir=$(fresh_copy signals)
start_game "$dir"
press_in "$second_area"
wait_for 10 not_typing || fail "the second page did not come up"
stop_game "on the second page, waiting for a key" HUP "$dir"

start_game "$dir"
press_in "$start_area"
wait_for 10 intro_up && any_key
wait_for 10 centre_text_up && any_key
wait_for 10 typing_up || fail "the typing page did not come up"
stop_game "while typing" TERM "$dir"

start_game "$dir"
press_in "$quit_area"
sleep 2
stop_game "in the credits" INT "$dir"

# expect_clean_quit CASE DIR [SECONDS]: the game in DIR comes up, stays SECONDS in the menu,
# rolls the credits on Quit and ends with status 0.
expect_clean_quit() {
    local status
    (cd "$2" && exec ./velmora) >/dev/null 2>&1 &
    game_pid=$!
    if wait_for 30 menu_up; then
        sleep "${3:-0}"
        press_in "$quit_area"
        sleep 2
        any_key
        for _ in $(seq 100); do kill -0 $game_pid 2>/dev/null || break; sleep 0.1; done
    fi
    if kill -0 $game_pid 2>/dev/null; then
        fail "$1: the game did not come up or did not quit"
        kill -9 $game_pid
    fi
    wait $game_pid
    status=$?
    [ "$status" = 0 ] || [ "$status" = 137 ] || fail "$1: status $status"
}

# Without its music and sounds the game still comes up and quits cleanly.
dir=$(fresh_copy silent)
rm -r "$dir/Music" "$dir/Sound"
expect_clean_quit "without Music and Sound" "$dir"

# So it does with FIFOs in their place, whose opening would wait for a writer; it stays in
# the menu past the jukebox's first tick, which loads a module.
dir=$(fresh_copy fifos)
for file in "$dir"/Music/* "$dir"/Sound/*; do rm "$file" && mkfifo "$file"; done
expect_clean_quit "FIFOs for Music and Sound" "$dir" 6

[ "$failures" = 0 ] || exit 1
echo "start_failures: all checks passed ($SECONDS s)"
