#!/bin/bash
# The keyboards players have: types the first letter through xdotool, 10 ms a key, under the
# US, Czech and German layouts (the keys a person with a Czech keyboard presses under each),
# with the layout switched halfway, and with both cores busy. Each run must leave no mistake
# on the page. Starts its own Xvfb; GAME_DIR is copied to a scratch folder first.
#   keyboard.sh GAME_DIR LETTER_KEYS
set -u
game_src=$1
letter_keys=$2
game_facts=$(dirname "$letter_keys")/game_facts

busy_pids=()
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=screen.sh
. "$here/screen.sh"

fail() {
    echo "FAIL: $*" >&2
    [ ${#busy_pids[@]} -gt 0 ] && kill "${busy_pids[@]}" 2>/dev/null
    exit 1
}

# type_letter NAME LAYOUT KEYS [SWITCH_TO]: starts a game under LAYOUT and types letter 1 with
# the keys `letter_keys 1 KEYS` prints, all but the last ENTER. With SWITCH_TO, the layout
# changes to it halfway and the rest is typed as that layout needs (as typed).
type_letter() {
    local name=$1 layout=$2 mode=$3 switch_to=${4:-} half red_before red
    setxkbmap -layout "$layout" || fail "$name: setxkbmap $layout"
    mapfile -t keys < <("$letter_keys" 1 $mode)
    mapfile -t typed_keys < <("$letter_keys" 1 as-typed)
    unset 'keys[-1]' 'typed_keys[-1]'
    [ ${#keys[@]} -gt 100 ] || fail "$name: no keys for letter 1"

    press_in "$start_area"
    move_to 600 100
    wait_for 10 intro_up || fail "$name: no intro page"
    any_key
    wait_for 10 centre_text_up || fail "$name: no title page"
    any_key
    wait_for 10 typing_up || fail "$name: no typing page"
    red_before=$(mistakes_shown)

    if [ -n "$switch_to" ]; then
        half=$((${#keys[@]} / 2))
        xdotool key --delay 10 "${keys[@]:0:half}"
        sleep 0.2
        setxkbmap -layout "$switch_to" || fail "$name: setxkbmap $switch_to"
        xdotool key --delay 10 "${typed_keys[@]:half}"
    else
        xdotool key --delay 10 "${keys[@]}"
    fi
    sleep 0.5
    grab
    snap "$name"
    red=$(mistakes_shown)
    # The last line typed is the ninth or the tenth: black characters stand in one of them.
    [ "$(count 000000 500 30 "$(cell_x 9 0)" "$(cell_y 8)")" -gt 0 ] ||
        fail "$name: the letter's last lines were not typed"
    [ "$red" = "$red_before" ] || fail "$name: mistakes marked ($((red - red_before)) pixels of their red)"
    echo "keyboard: $name: no mistake"
    hold Escape
    wait_for 10 menu_up || fail "$name: ESC did not return to the menu"
}

start_xvfb
cp -r "$game_src" "$work/game"
(cd "$work/game" && exec ./velmora) >/dev/null 2>&1 &
game_pid=$!
wait_for 60 menu_up || fail "the menu did not come up"

type_letter us us ""
type_letter cz cz as-typed
type_letter de de as-typed
type_letter us-then-cz us "" cz
for _ in 1 2; do
    (while :; do :; done) &
    busy_pids+=($!)
done
type_letter cz-busy cz as-typed
type_letter us-busy us ""
kill "${busy_pids[@]}"
echo "keyboard: all layouts typed without a mistake"
