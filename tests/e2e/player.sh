#!/bin/bash
# Plays Velmora as a person would: starts the game on a private Xvfb, drives it with real
# key and mouse events through xdotool and checks screenshots at known coordinates.
#   player.sh GAME_DIR LETTER_KEYS SHOT_DIR [--demo | --short]
# GAME_DIR is copied to a scratch folder first, so the highscore of the real folder is never
# touched. With --demo only the screens are saved, a failed check does not stop the run.
# --short plays one won game by the chord and quits. VELMORA_START is the command that starts
# the game in its folder, ./velmora unless the caller says otherwise.
set -u

game_src=$1
letter_keys=$2
shots=$3
demo=
short=
case ${4:-} in
--demo) demo=1 ;;
--short) short=1 ;;
esac
read -ra start_command <<<"${VELMORA_START:-./velmora}"
game_facts=$(dirname "$letter_keys")/game_facts

failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
    if [ -z "$demo" ]; then
        snap "failure-$failures"
        exit 1
    fi
}

note() { echo "player: $*"; }

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=screen.sh
. "$here/screen.sh"

# Intro and title page of the next letter, leaving the typing page up.
through_pages() {
    wait_for 10 intro_up || fail "intro page of letter $1"
    [ "$1" = 1 ] && [ "${shot_intro:-}" = "" ] && { snap intro; shot_intro=1; }
    any_key
    wait_for 10 centre_text_up || fail "title page of letter $1"
    [ "$1" = 1 ] && [ "${shot_title:-}" = "" ] && { snap title; shot_title=1; }
    any_key
    wait_for 10 typing_up || fail "typing page of letter $1"
}

# A key that does not type `wanted`.
wrong_key_for() { if [ "$1" = q ]; then echo w; else echo q; fi; }


# Types letter 1 correctly except two planned mistakes on its first line, one on a
# letter and one on a space, and checks what the page shows for each.
type_first_letter() {
    mapfile -t keys < <("$letter_keys" 1)
    [ "${#keys[@]}" -gt 0 ] || fail "no keys for letter 1"
    local line=0 pos=0 first_space=-1 i
    planned_mistakes=0
    for ((i = 0; i < ${#keys[@]}; i++)); do
        [ "${keys[$i]}" = Return ] && break
        [ "${keys[$i]}" = space ] && [ $first_space -lt 0 ] && first_space=$i
    done
    for ((i = 0; i < ${#keys[@]}; i++)); do
        local k=${keys[$i]}
        if [ "$k" = Return ]; then
            enter
            [ $line = 0 ] && { sleep 0.2; snap typing; }
            line=$((line + 1)); pos=0
            continue
        fi
        if [ $line = 0 ] && { [ $pos = "$first_space" ] || { [ $pos = 1 ] && [ "$k" != space ]; }; }; then
            tap "$(wrong_key_for "$k")"
            planned_mistakes=$((planned_mistakes + 1))
            sleep 0.15; grab
            local x y
            x=$(cell_x 0 $pos); y=$(cell_y 0)
            [ "$(count "$mistake_red" 9 15 "$x" "$y")" -gt 0 ] || fail "mistake at position $pos not marked in $mistake_red"
        else
            tap "$k"
            if [ $line = 0 ] && [ $pos = 0 ]; then
                sleep 0.15; grab
                [ "$(count 000000 9 15 "$(cell_x 0 0)" "$(cell_y 0)")" -gt 0 ] ||
                    fail "first character not drawn in black"
                wait_for 3 reddish $(($(cell_x 0 1) + 4)) $(($(cell_y 0) + 7)) ||
                    fail "cursor not red at the second cell"
            fi
        fi
        pos=$((pos + 1))
    done
}

# Types wrong keys on LETTER's first line, at once: as many as keep the mistakes' seconds alone
# under the letter's limit, by at most one mistake's cost, which the clock then runs down on
# its own. No key may follow the time-out: the page that comes next keeps the keys typed during
# its fade, and the first of them would dismiss it before it is seen.
penalties_until_over() {
    local limits=($time_limits) costs=($mistake_seconds) i
    local count=$(((limits[$1 - 1] - 1) / costs[$1 - 1]))
    mapfile -t keys < <("$letter_keys" "$1")
    for ((i = 0; i < count; i++)); do
        [ "${keys[$i]}" != Return ] || fail "letter $1's first line is shorter than $count keys"
        tap "$(wrong_key_for "${keys[$i]}")"
    done
}

# The other games, the music switch and the second page.
more_of_the_menu() {
    note "game 2: time out on letter 1"
    press_in "$start_area"
    move_to 600 100
    through_pages 1
    penalties_until_over 1
    wait_for 25 centre_text_up || fail "no GAME OVER after a time out on letter 1"
    snap game-over
    any_key
    wait_for 10 menu_up || fail "menu after game over"

    note "game 3: chord to letter 3, time out, retry"
    press_in "$start_area"
    move_to 600 100
    through_pages 1; chord
    through_pages 2; chord
    through_pages 3
    penalties_until_over 3
    wait_for 25 retry_up || fail "no retry question"
    snap retry
    tap a
    wait_for 10 centre_text_up || fail "no attempts message"
    snap attempts-left
    any_key
    wait_for 10 intro_up || fail "retry does not lead to letter 3"
    any_key
    wait_for 10 centre_text_up
    any_key
    wait_for 10 typing_up
    hold Escape
    wait_for 10 menu_up || fail "ESC during typing did not return to the menu"

    note "music switch and second page"
    press_in "$music_area"
    sleep 0.3; grab
    white_off=$(switch_white)
    [ "$white_off" != "$white_on" ] || fail "the music switch did not toggle"
    press_in "$music_area"
    sleep 0.3; grab
    [ "$(switch_white)" = "$white_on" ] || fail "the music switch did not toggle back"
    press_in "$second_area"
    sleep 1.5
    snap second-page
    any_key
    wait_for 10 menu_up || fail "the second page did not return on a key"
}

# check_highscore MIN MAX: cool.dat beside the game holds the won game's record, decoded by
# the facts tool as the game decodes it, with MIN to MAX mistakes. The chord's first keys may
# be judged before the last is down, each a mistake. The time lies between the cheapest
# letter's cost a mistake and the run's time plus the dearest letter's cost each.
check_highscore() {
    local file=$work/game/cool.dat seconds mistakes
    local costs=($(printf '%s\n' $mistake_seconds | sort -n))
    [ -f "$file" ] || { fail "no cool.dat after a won game"; return; }
    read -r seconds mistakes < <("$game_facts" record "$file") ||
        { fail "cool.dat does not hold a record"; return; }
    note "cool.dat: $seconds seconds, $mistakes mistakes"
    [ "$mistakes" -ge "$1" ] && [ "$mistakes" -le "$2" ] ||
        fail "cool.dat holds $mistakes mistakes, not $1 to $2"
    [ "$seconds" -ge $((costs[0] * mistakes)) ] &&
        [ "$seconds" -le $((SECONDS - game_start + costs[-1] * mistakes)) ] ||
        fail "cool.dat holds $seconds seconds for $mistakes mistakes"
}

# --- the run -----------------------------------------------------------------------

start_xvfb
cp -r "$game_src" "$work/game"
rm -f "$work/game/cool.dat"
(cd "$work/game" && exec "${start_command[@]}") &
game_pid=$!
game_start=$SECONDS

find_game_window 60 || fail "no 800x600 game window on the $screen_size screen"
wait_for 60 menu_up || fail "menu did not come up"
snap menu
white_on=$(switch_white)

read -r x0 x1 y0 y1 <<<"$start_area"
press_at "$x0" $(((y0 + y1) / 2))
press_at $(((x0 + x1) / 2)) "$y0"
sleep 0.3; grab
menu_up && ! intro_up || fail "a press on the start area's left or top edge left the menu"

press_in "$start_area"
through_pages 1
if [ -n "$short" ]; then
    note "game 1: every letter by the chord"
    snap typing
    chord
    planned_mistakes=0 chords=5
else
    note "game 1: letter 1 typed, letters 2 to 5 by the chord"
    type_first_letter
    chords=4
fi
for n in 2 3 4 5; do
    through_pages $n
    chord
done
sleep 1
snap results
check_highscore "$planned_mistakes" $((planned_mistakes + 2 * chords))
any_key
sleep 1.5
snap gallery
grab; before=$(md5sum <"$work/now.png")
hold Right; sleep 1.5; grab
[ "$(md5sum <"$work/now.png")" != "$before" ] || fail "RIGHT did not move the gallery"
hold Left; sleep 1
hold Escape
wait_for 15 menu_up || fail "ESC in the gallery did not return to the menu"

[ -n "$short" ] || more_of_the_menu

note "quit and credits"
press_in "$quit_area"
sleep 2
snap credits
any_key
wait_game_end 10
[ "$game_status" = 0 ] || fail "the game did not end with status 0 (status '${game_status:-still running}')"

[ "$failures" = 0 ] || exit 1
note "all checks passed"
