#!/bin/bash
# The game on a desktop larger than its picture: openbox on a WIDTHxHEIGHT Xvfb. The picture
# must fill the screen's height with its 4:3 shape, centred between black bars; a press in the
# middle of each menu area must do what the area does; letter 1 typed at 10 ms a key, with a
# switch to a window and back halfway (F11, Alt+Enter), must leave no mistake; Quit ends the
# game with status 0.
#   fill.sh GAME_DIR LETTER_KEYS WIDTHxHEIGHT
set -u
game_src=$1
letter_keys=$2
game_facts=$(dirname "$letter_keys")/game_facts
VELMORA_SCREEN=$3

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=screen.sh
. "$here/screen.sh"

fail() {
    echo "FAIL: $VELMORA_SCREEN: $*" >&2
    exit 1
}

# root_pixel X Y: 0xRRGGBB hex digits of the whole screen's pixel.
root_pixel() { convert "$work/root.png" -format "%[hex:p{$1,$2}]" info: 2>/dev/null | cut -c1-6; }

# The picture's first and last columns show the menu; the columns beside them are black.
picture_fills() {
    local y=$((screen_h / 2)) left=$origin_x right=$((origin_x + picture_w - 1))
    import -window root "$work/root.png" 2>/dev/null || return 1
    [ "$picture_h" = "$screen_h" ] || return 1
    [ "$(root_pixel "$left" "$y")" != 000000 ] && [ "$(root_pixel "$right" "$y")" != 000000 ] &&
        [ "$(root_pixel $((left - 1)) "$y")" = 000000 ] &&
        [ "$(root_pixel $((right + 1)) "$y")" = 000000 ]
}

# window_of W H: waits for the game's window to be W x H.
window_of() {
    local info
    for _ in $(seq 50); do
        info=$(xwininfo -name Velmora 2>/dev/null)
        grep -q "Width: $1\$" <<<"$info" && grep -q "Height: $2\$" <<<"$info" && return 0
        sleep 0.1
    done
    return 1
}

start_xvfb
start_desktop
start_game
find_game_window 60 || fail "no full-screen game window"
wait_for 30 menu_up || fail "the menu did not come up"
picture_fills || fail "the picture does not fill the height at ${picture_w}x$picture_h+$origin_x+$origin_y"
snap menu

white_on=$(switch_white)
press_in "$music_area"
sleep 0.3; grab
[ "$(switch_white)" != "$white_on" ] || fail "a press in the music switch's middle did not switch it"
press_in "$second_area"
wait_for 10 not_typing || fail "a press in the second button's middle showed no page"
any_key
wait_for 10 menu_up || fail "the second page did not return to the menu"

mapfile -t keys < <("$letter_keys" 1)
unset 'keys[-1]'
press_in "$start_area"
move_to 600 100
wait_for 10 intro_up || fail "a press in Start's middle started no game"
any_key
wait_for 10 centre_text_up || fail "no title page"
any_key
wait_for 10 typing_up || fail "no typing page"
# Halfway, F11 takes the game to a window and Alt+Enter back: neither is typing, and the
# letter goes on where it was.
half=$((${#keys[@]} / 2))
xdotool key --delay 10 "${keys[@]:0:half}"
xdotool key F11
window_of 800 600 || fail "F11 made no 800x600 window"
xdotool key alt+Return
window_of "$screen_w" "$screen_h" || fail "Alt+Enter did not return to full screen"
sleep 0.5
xdotool key --delay 10 "${keys[@]:half}"
sleep 0.5; grab
snap typing
[ "$(count 000000 500 30 "$(cell_x 9 0)" "$(cell_y 8)")" -gt 0 ] ||
    fail "the letter's last lines were not typed"
[ "$(mistakes_shown)" = 0 ] || fail "mistakes marked"
hold Escape
wait_for 10 menu_up || fail "ESC did not return to the menu"

press_in "$quit_area"
sleep 1
any_key
wait_game_end 20 || fail "Quit did not end the game"
[ "$game_status" = 0 ] || fail "the game ended with status $game_status"
echo "fill: $VELMORA_SCREEN: the picture fills ${picture_w}x$picture_h+$origin_x+$origin_y; presses in the areas' middles and letter 1 at 10 ms a key without a mistake"
