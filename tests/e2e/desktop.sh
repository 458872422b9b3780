#!/bin/bash
# The game on a desktop: openbox on a 1280x800 Xvfb. The window manager shows the game full
# screen; a player who switches to another window and back finds the letter's clock stood
# still and nothing judged, Alt+Tab there and back costs no mistake, and the window
# manager's close ends the game.
#   desktop.sh GAME_DIR LETTER_KEYS
set -u
game_src=$1
letter_keys=$2
game_facts=$(dirname "$letter_keys")/game_facts

away_pid=
VELMORA_SCREEN=1280x800
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=screen.sh
. "$here/screen.sh"
trap 'kill $away_pid 2>/dev/null; cleanup' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The bar's length in columns: on the time strip it settles at 0x800000.
bar_columns() { count 800000 750 1 "$bar_left" $((bar_top + 6)); }

focused() { xdotool getwindowfocus getwindowname 2>/dev/null; }

start_xvfb
start_desktop
start_game
find_game_window 60 || fail "no full-screen game window under the window manager"
wait_for 30 menu_up || fail "the menu did not come up"
snap menu

press_in "$start_area"
move_to 600 100
wait_for 10 intro_up || fail "no intro page"
any_key
wait_for 10 centre_text_up || fail "no title page"
any_key
wait_for 10 typing_up || fail "no typing page"

mapfile -t keys < <("$letter_keys" 1)
xdotool key --delay 30 "${keys[@]:0:8}"

# The clock in front for four seconds, then away for four.
sleep 0.5; grab; bar_start=$(bar_columns)
sleep 4; grab; bar_in_front=$(bar_columns)
xmessage -geometry +0+0 "elsewhere" 2>/dev/null &
away_pid=$!
for _ in $(seq 50); do [ "$(focused)" = xmessage ] && break; sleep 0.1; done
[ "$(focused)" = xmessage ] || fail "the other window did not get the keyboard"
grab; bar_away=$(bar_columns)
xdotool key --delay 30 q w e r
sleep 4
grab; bar_still_away=$(bar_columns)
echo "desktop: bar $bar_start columns, $bar_in_front after 4 s in front;" \
    "$bar_away when the other window took the keyboard, $bar_still_away 4 s later"
[ $((bar_in_front - bar_start)) -ge 4 ] || fail "the clock did not run while the game was in front"
[ $((bar_still_away - bar_away)) -le 1 ] || fail "the clock ran while another window was in front"
wmctrl -a velmora
for _ in $(seq 50); do [ "$(focused)" != xmessage ] && break; sleep 0.1; done

# Alt+Tab to the other window and back, mid-line, then the rest of the line.
xdotool key alt+Tab
sleep 0.5
xdotool key alt+Tab
sleep 0.5
[ "$(focused)" != xmessage ] || fail "Alt+Tab did not come back to the game"
xdotool key --delay 30 "${keys[@]:8:8}"
sleep 0.5; grab
snap back
[ "$(mistakes_shown)" = 0 ] || fail "a mistake is marked after switching away and back"
[ "$(count 000000 130 15 "$(cell_x 0 0)" "$(cell_y 0)")" -gt 20 ] ||
    fail "the keys typed after coming back were not judged"
echo "desktop: the clock stood still away from the game, and Alt+Tab cost no mistake"

# The window manager's close ends the game at once, with status 0.
wmctrl -c velmora
wait_game_end 10 || fail "the window manager's close did not end the game"
[ "$game_status" = 0 ] || fail "closed by the window manager, the game ended with status $game_status"
echo "desktop: the window manager's close ended the game with status 0"
