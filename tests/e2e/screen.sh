# The screen helpers shared by the player scripts and the benchmarks: a private Xvfb,
# screenshots and their pixels, the game's screens as the pixels show them, and input through
# xdotool. Source it after setting `game_facts` (the facts tool built beside letter_keys, which
# tells where the game draws) and, if the screenshots are to be kept, `shots` (where snap saves).
# It makes `work`, a scratch folder; on exit it stops the game (game_pid, set by the caller
# that starts it) and the X server it started, and removes `work`.
# Coordinates are the game's own, from the top-left corner of its 800x600 picture. The X
# screen is that size unless VELMORA_SCREEN names another (WIDTHxHEIGHT); the game fills it,
# its picture scaled to the screen's height (or width), 4:3 kept, centred. Screenshots are
# taken back to 800x600 with nearest pixels, and input goes to the middle of the screen
# pixels that show a picture pixel.

[ -n "${game_facts:-}" ] || { echo "screen.sh: game_facts names no facts tool" >&2; exit 1; }
facts=$("$game_facts") || { echo "screen.sh: no game facts from '$game_facts'" >&2; exit 1; }
eval "$facts"

work=$(mktemp -d)
shots=${shots:-$work/shots}
xvfb_pid=
wm_pid=
game_pid=
screen_size=${VELMORA_SCREEN:-800x600}
screen_w=${screen_size%x*}
screen_h=${screen_size#*x}
# Where the picture lies on the screen: as large as the screen allows with its shape.
if [ $((screen_w * 600)) -le $((screen_h * 800)) ]; then
    picture_w=$screen_w picture_h=$((screen_w * 600 / 800))
else
    picture_w=$((screen_h * 800 / 600)) picture_h=$screen_h
fi
origin_x=$(((screen_w - picture_w) / 2))
origin_y=$(((screen_h - picture_h) / 2))
# A scaled picture mixes the pixels at its edges: colours are then counted within a margin.
count_fuzz=0
[ "$picture_w" = 800 ] || count_fuzz=6

cleanup() {
    [ -n "${game_pid:-}" ] && kill "$game_pid" 2>/dev/null
    [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

start_xvfb() {
    Xvfb -displayfd 1 -screen 0 "${screen_size}x24" -nolisten tcp >"$work/display" 2>/dev/null &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.05
    done
    [ -s "$work/display" ] || { echo "player: Xvfb did not start" >&2; exit 1; }
    export DISPLAY=":$(head -n1 "$work/display")"
}

# start_desktop: openbox on the server, as a desktop runs the game, once it answers.
start_desktop() {
    openbox >/dev/null 2>&1 &
    wm_pid=$!
    for _ in $(seq 50); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done
}

# start_game: the game from a copy of game_src in the scratch folder, its output dropped.
start_game() {
    cp -r "$game_src" "$work/game"
    (cd "$work/game" && exec ./velmora) >/dev/null 2>&1 &
    game_pid=$!
}

# wait_game_end SECONDS: waits for the game to end and sets game_status to its exit status;
# while it still runs, game_status stays empty and the clean-up stops the game.
wait_game_end() {
    game_status=
    local end=$((SECONDS + $1))
    while [ $SECONDS -le "$end" ]; do
        if ! kill -0 "$game_pid" 2>/dev/null; then
            wait "$game_pid"
            game_status=$?
            game_pid=
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# --- screenshots and pixels ---------------------------------------------------------

# find_game_window SECONDS: waits for the game's window to cover the whole screen.
find_game_window() {
    [ "$screen_size" = 800x600 ] && return 0
    local end=$((SECONDS + $1)) info
    while [ $SECONDS -le "$end" ]; do
        info=$(xwininfo -name Velmora 2>/dev/null)
        grep -q "Width: $screen_w" <<<"$info" && grep -q "Height: $screen_h" <<<"$info" &&
            grep -q IsViewable <<<"$info" && return 0
        sleep 0.2
    done
    return 1
}

# The game's picture from the screen.
shoot() {
    import -window root -crop "${picture_w}x${picture_h}+$origin_x+$origin_y" +repage png:- \
        2>/dev/null | convert - -sample '800x600!' "$1" 2>/dev/null
}

grab() { shoot "$work/now.png"; }

snap() { mkdir -p "$shots" && shoot "$shots/$1.png"; }

# pixel X Y: 0xRRGGBB hex digits (upper case) of the last grab.
pixel() { convert "$work/now.png" -format "%[hex:p{$1,$2}]" info: 2>/dev/null | cut -c1-6; }

# count COLOUR W H X Y: pixels of exactly COLOUR (RRGGBB) in a rectangle of the last grab.
count() {
    convert "$work/now.png" -crop "$2x$3+$4+$5" +repage -fuzz "$count_fuzz%" -fill black +opaque "#$1" \
        -fill white -opaque "#$1" -format "%[fx:round(mean*w*h)]" info: 2>/dev/null
}

# reddish X Y: red leads the pixel. The fills run at blender level 1, where Allegro's integer
# blend moves a channel only while it is 128 or more away from the target: over the paper
# (138,134,169) the cursor settles near (138,127,127), so red leads without being bright.
reddish() {
    local p r g b
    p=$(pixel "$1" "$2")
    r=$((16#${p:0:2})); g=$((16#${p:2:2})); b=$((16#${p:4:2}))
    [ "$r" -ge $((g + 8)) ] && [ "$r" -ge $((b + 8)) ]
}

# wait_for SECONDS COMMAND...: polls screenshots until COMMAND succeeds on one.
wait_for() {
    local limit=$1
    shift
    local end=$((SECONDS + limit))
    while [ $SECONDS -le "$end" ]; do
        grab && "$@" && return 0
        sleep 0.1
    done
    return 1
}

# --- the screens, as the pixels show them ------------------------------------------

# The menu: the switch's state word in white.
switch_white() { count FFFFFF 28 14 $switch_word; }
menu_up() { [ "$(switch_white)" -gt 5 ]; }
# The intro page: white strings on black at the top, y 5 to 50.
intro_up() { [ "$(count FFFFFF 500 45 150 5)" -gt 20 ]; }
# A page of centred large text on the backdrop, nothing at the top.
centre_text_up() { [ "$(count FFFFFF 400 50 200 270)" -gt 20 ] && [ "$(count FFFFFF 500 45 150 5)" -eq 0 ]; }
# The typing page: the bar's first column turns red over the dark time strip.
typing_up() {
    local p
    p=$(pixel "$bar_left" $((bar_top + 4)))
    [ $((16#${p:0:2})) -ge 100 ] && [ $((16#${p:2:2})) -le 60 ] && [ $((16#${p:4:2})) -le 60 ]
}
not_typing() { ! typing_up && ! menu_up; }
# A start-up failure: white lines on black mid-screen, nothing above them.
message_up() { [ "$(count FFFFFF 780 80 10 260)" -gt 50 ] && [ "$(count 000000 780 200 10 20)" = 156000 ]; }
# Pixels of the mistakes' red among the letter's lines.
mistakes_shown() { local a=($text_area); count C4262A "${a[2]}" "${a[3]}" "${a[0]}" "${a[1]}"; }

# The corner of the character cell at LINE and POSITION.
cell_x() { echo $((cell_left + cell_advance * $2 - (3 * $1) / 2)); }
cell_y() { echo $((cell_top + line_spacing * $1)); }
# The retry question: three rows of small white text from y 280 to 335.
retry_up() { [ "$(count FFFFFF 300 15 250 320)" -gt 5 ] && [ "$(count FFFFFF 300 15 250 280)" -gt 5 ]; }

# --- input -------------------------------------------------------------------------

# The gallery reads the key-state array between fades: a key must stay down past a fade.
hold() { xdotool keydown "$1"; sleep 0.6; xdotool keyup "$1"; }

# move_to X Y: the pointer to the middle of the screen pixels that show picture pixel (X, Y).
move_to() {
    xdotool mousemove $((origin_x + (2 * $1 + 1) * picture_w / 1600)) \
        $((origin_y + (2 * $2 + 1) * picture_h / 1200))
}

press_at() {
    move_to "$1" "$2"
    sleep 0.1
    xdotool mousedown 1
    sleep 0.25
    xdotool mouseup 1
    sleep 0.1
}

# press_in AREA: presses in the middle of a menu area (x0 x1 y0 y1; x0 and y0 lie outside it),
# as a person does.
press_in() { local a=($1); press_at $(((a[0] + 1 + a[1]) / 2)) $(((a[2] + 1 + a[3]) / 2)); }

tap() { xdotool key --clearmodifiers "$1"; sleep 0.04; }

# ENTER held a moment, as a person presses it; the game takes even a tap.
enter() { xdotool keydown Return; sleep 0.08; xdotool keyup Return; sleep 0.04; }

# Released before Allegro's Windows keyboard starts repeating a held key (after 250 ms): a
# repeat would dismiss the page that follows the letter.
chord() { xdotool keydown j keydown k keydown l; sleep 0.15; xdotool keyup j keyup k keyup l; sleep 0.1; }

any_key() { tap space; }

