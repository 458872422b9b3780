#!/bin/bash
# The Windows game under Wine on a desktop with a window manager (openbox), where a player
# meets it: it starts every time, quits cleanly through its menu and the credits, ends on its
# window's close button, fills the screen's height between black bars, takes presses in the
# middle of the menu's areas and fast capitals under the US and Czech layouts, and shows a
# missing velmora.dat on its screen, then exits 1.
#   wine_desktop.sh GAME_DIR LETTER_KEYS     (WINEPREFIX names a ready prefix)
set -u
game_src=$1
letter_keys=$2
game_facts=$(dirname "$letter_keys")/game_facts
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

# Wine's processes of an earlier run belong to an X server that is gone: a game started
# among them finds no desktop.
"$wineserver" -k
"$wineserver" -w
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

# The picture's first and last columns show the menu; the columns beside them are black.
picture_fills() {
    local y=$((screen_h / 2)) left=$origin_x right=$((origin_x + picture_w - 1)) p
    import -window root "$work/root.png" 2>/dev/null || return 1
    read -ra p < <(convert "$work/root.png" -format "%[hex:p{$((left - 1)),$y}] \
%[hex:p{$left,$y}] %[hex:p{$right,$y}] %[hex:p{$((right + 1)),$y}]" info: 2>/dev/null)
    [ "$picture_h" = "$screen_h" ] && [ "${p[0]:0:6}" = 000000 ] && [ "${p[1]:0:6}" != 000000 ] &&
        [ "${p[2]:0:6}" != 000000 ] && [ "${p[3]:0:6}" = 000000 ]
}

# press_switch WHERE: a press in the middle of the music switch must switch it.
press_switch() {
    local white_on
    white_on=$(switch_white)
    press_in "$music_area"
    sleep 0.3; grab
    [ "$(switch_white)" != "$white_on" ] ||
        fail "$1: a press in the music switch's middle did not switch it"
}

# in_window: F11 shows the game in a framed window, wherever the window manager puts it, where
# a press must still land where the pointer is; F11 again fills the screen as before.
in_window() {
    local full=("$origin_x" "$origin_y" "$picture_w" "$picture_h" "$count_fuzz") info
    tap F11
    for _ in $(seq 50); do
        info=$(xwininfo -name Velmora 2>/dev/null)
        grep -q 'Width: 800' <<<"$info" && grep -q 'Height: 600' <<<"$info" && break
        sleep 0.2
    done
    origin_x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
    origin_y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
    picture_w=800 picture_h=600 count_fuzz=0
    if wait_for 10 menu_up; then
        press_switch "in a window at $origin_x,$origin_y"
    else
        fail "F11 showed no menu in an 800x600 window"
    fi
    tap F11
    read -r origin_x origin_y picture_w picture_h count_fuzz <<<"${full[*]}"
    find_game_window 10 && wait_for 10 menu_up || fail "F11 again did not fill the screen"
}

# type_keys KEY...: 10 ms a key. On the Czech layout xdotool types "!" with AltGr and 1, and
# Wine makes AltGr's characters with the AltGr state of the last X key event it has read, not
# the key's own: the key after a pause, as a typist's reach for AltGr gives it.
type_keys() {
    local keys=("$@") i
    for ((i = 0; i < ${#keys[@]}; i++)); do
        [ "${keys[i]}" = exclam ] || continue
        [ "$i" = 0 ] || xdotool key --delay 10 "${keys[@]:0:i}"
        sleep 0.1; xdotool key exclam; sleep 0.1
        keys=("${keys[@]:i+1}")
        i=-1
    done
    [ ${#keys[@]} = 0 ] || xdotool key --delay 10 "${keys[@]}"
}

# play_letter LAYOUT MODE: a game started under LAYOUT, where the music switch and Start are
# pressed in their middles and letter 1 is typed at 10 ms a key (`letter_keys 1 MODE`): no
# mistake may be marked.
play_letter() {
    setxkbmap -layout "$1" || { fail "setxkbmap $1"; return; }
    # Wine learns the layout as it starts, as on a player's machine.
    "$wineserver" -k
    "$wineserver" -w
    mapfile -t keys < <("$letter_keys" 1 $2)
    unset 'keys[-1]'
    launch "$work/game" menu_up || { fail "$1: no menu"; "$wineserver" -k; return; }
    if [ "$1" = us ]; then
        picture_fills || fail "the picture does not fill ${picture_w}x$picture_h+$origin_x+0"
        in_window
    fi
    press_switch "$1"
    press_in "$start_area"
    move_to 600 100
    wait_for 10 intro_up && any_key && wait_for 10 centre_text_up && any_key &&
        wait_for 10 typing_up || fail "$1: Start's middle led to no typing page"
    type_keys "${keys[@]}"
    sleep 0.5; grab
    [ "$(count 000000 500 30 "$(cell_x 9 0)" "$(cell_y 8)")" -gt 0 ] ||
        fail "$1: the letter's last lines were not typed"
    [ "$(mistakes_shown)" = 0 ] || fail "$1: mistakes marked at 10 ms a key"
    wmctrl -c Velmora
    ended "$1: closed after letter 1" 0
}
failures_before=$failures
play_letter us ""
play_letter cz as-typed
[ "$failures" = "$failures_before" ] &&
    echo "wine_desktop: the picture fills ${picture_w}x$picture_h+$origin_x+$origin_y; presses" \
        "in the areas' middles, full screen and in a window; letter 1 at 10 ms a key, us and cz"

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
