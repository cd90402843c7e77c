#!/usr/bin/env bash
# Plays the real game in a real X window under Xvfb with the openbox window manager: waits past the splash, checks
# the menu picture, shoots on the menu, switches to fullscreen with Alt+Enter and checks the menu scaled between
# bars, clicks the drawn Play, switches back, walks right, checks the caption and the sound output, and closes the
# window. Every check on the game's state waits for that state, however slowly the game gets there; the keys are
# held until what they do is seen.
# Usage: e2e_game.sh CORVALO XCLOSE, from the project root. CORVALO_E2E_SCREEN sets the screen size (1280x1024).
# With CORVALO_SCREENSHOT_DIR set, the screenshots are kept there: menu.png, play.png (the archer at his start, once
# the window shows the game again after fullscreen), and the whole screen in fullscreen as fullscreen-menu.png and
# fullscreen-play.png.
set -euo pipefail

game=$1
xclose=$2
source "$(dirname "$0")/x_session.sh"
require_tools Xvfb openbox xdotool import compare xdpyinfo od

screen=${CORVALO_E2E_SCREEN:-1280x1024}
screen_width=${screen%x*}
screen_height=${screen#*x}

audio_bytes() { stat -c %s "$audio" 2>/dev/null || echo 0; }

# Non-zero 16-bit samples in the disk audio output from byte $1 on.
nonsilent() {
    tail -c +$(($1 + 1)) "$audio" | od -An -v -td2 -w2 | awk '$1 != 0 { n++ } END { print n + 0 }'
}

# True once the output from byte $1 on holds more than $2 non-silent samples.
heard_more() { [ "$(nonsilent "$1")" -gt "$2" ]; }

shot() { import -window "$wid" "$work/$1.png"; }

# Pixels of the 128 x 128 square around the player's start (512, 384) that differ between two screenshots.
start_area_change() {
    convert "$work/$1.png" -crop 128x128+448+320 +repage "$work/$1-start.png"
    convert "$work/$2.png" -crop 128x128+448+320 +repage "$work/$2-start.png"
    compare -metric AE -fuzz 5% "$work/$1-start.png" "$work/$2-start.png" null: 2>&1 || true
}

start_xvfb "$screen" || fail "no Xvfb display could be started"
start_openbox

# The menu's picture as fullscreen shows it: the largest 4:3 rectangle, centred, crisp, black bars outside.
if [ $((screen_width * 3)) -gt $((screen_height * 4)) ]; then
    picture_height=$screen_height
    picture_width=$((screen_height * 4 / 3))
else
    picture_width=$screen_width
    picture_height=$((screen_width * 3 / 4))
fi
picture_x=$(((screen_width - picture_width) / 2))
picture_y=$(((screen_height - picture_height) / 2))
factor=$(((picture_width + 1023) / 1024))
# Screen position of a client point.
on_screen() { echo "$((picture_x + ($1 * 2 + 1) * picture_width / 2048)) $((picture_y + ($2 * 2 + 1) * picture_height / 1536))"; }
geometry() { xdotool getwindowgeometry "$wid" | awk '/Geometry/ { print $2 }'; }
is_geometry() { [ "$(geometry)" = "$1" ]; }

audio=$work/audio.raw
start_game "$game" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$audio"
find_window

# The caption shows the frame rate after one second of frames; the splash lasts 1.5 s of frame time.
wait_for 60 caption_has_fps || fail "caption is '$(xdotool getwindowname "$wid")'"
menu_shown() {
    shot menu
    menu_diff=$(compare -metric AE -fuzz 8% "$work/menu.png" Textures/MenuScreen.png null: 2>&1 || true)
    [ "${menu_diff%%.*}" -lt 7864 ]
}
wait_for 60 menu_shown || fail "the menu differs from its picture in $menu_diff pixels"
[ "$(nonsilent 0)" -eq 0 ] || fail "sound before any input"

# Space plays the shot on the menu too, and before the music starts it is the only sound.
xdotool windowfocus --sync "$wid"
xdotool keydown space
wait_for 20 heard_more 0 0 || fail "the shot sound did not reach the output"
xdotool keyup space

convert Textures/MenuScreen.png -filter point -resize "$((factor * 100))%" -interpolate bilinear \
    -interpolative-resize "${picture_width}x${picture_height}!" -background black -gravity center \
    -extent "$screen" "$work/expected-fullscreen-menu.png"
# Pixels of the whole screen, saved as $1, that differ from the menu scaled between bars.
fullscreen_menu_diff() {
    import -window root "$work/$1.png"
    compare -metric AE -fuzz 8% "$work/$1.png" "$work/expected-fullscreen-menu.png" null: 2>&1 || true
}
fullscreen_menu_shown() {
    fullscreen_diff=$(fullscreen_menu_diff fullscreen-menu)
    [ "${fullscreen_diff%%.*}" -lt $((screen_width * screen_height / 100)) ]
}
xdotool key alt+Return
wait_for 20 is_geometry "$screen" || fail "Alt+Enter: the window is $(geometry), not the screen's $screen"
wait_for 30 fullscreen_menu_shown ||
    fail "the fullscreen menu differs from the scaled picture in $fullscreen_diff pixels"

# Play is drawn around client point (495, 465): a press there on the scaled screen starts the game.
click_offset=$(audio_bytes)
read -r play_x play_y < <(on_screen 495 465)
xdotool mousemove "$play_x" "$play_y" click 1
wait_for 20 heard_more "$click_offset" 0 || fail "no music after the click on the drawn Play in fullscreen"
after_click=$(nonsilent "$click_offset")
fullscreen_menu_left() {
    play_diff=$(fullscreen_menu_diff fullscreen-play)
    [ "${play_diff%%.*}" -ge $((screen_width * screen_height / 100)) ]
}
wait_for 30 fullscreen_menu_left || fail "the menu still shows after the click on the drawn Play in fullscreen"

xdotool key alt+Return
wait_for 20 is_geometry 1024x768 || fail "Alt+Enter again: the window is $(geometry), not 1024x768"
# Until the game draws at the window's size again, the window may show a blank area.
start_drawn() {
    shot play_start
    [ "$(convert "$work/play_start.png" -crop 128x128+448+320 -format %k info:)" -gt 16 ]
}
wait_for 30 start_drawn || fail "the game does not show in the window again"

archer_moved() {
    shot play
    changed=$(start_area_change play_start play)
    [ "${changed%%.*}" -gt 200 ]
}
xdotool keydown Right
wait_for 20 archer_moved || fail "the archer did not move away from his start ($changed pixels changed)"
xdotool keyup Right
caption_has_fps || fail "caption is '$(xdotool getwindowname "$wid")'"

xdotool keydown space
wait_for 20 heard_more "$click_offset" "$after_click" || fail "no more sound after holding Space"
xdotool keyup space
after_space=$(nonsilent "$click_offset")

if [ -n "${CORVALO_SCREENSHOT_DIR:-}" ]; then
    mkdir -p "$CORVALO_SCREENSHOT_DIR"
    cp "$work/menu.png" "$CORVALO_SCREENSHOT_DIR/menu.png"
    cp "$work/play_start.png" "$CORVALO_SCREENSHOT_DIR/play.png"
    cp "$work/fullscreen-menu.png" "$work/fullscreen-play.png" "$CORVALO_SCREENSHOT_DIR/"
fi

"$xclose" "$wid"
status=0
wait_for 30 bash -c "! kill -0 $game_pid 2>/dev/null" || fail "the game did not end after its window was closed"
wait "$game_pid" || status=$?
game_pid=""
[ "$status" -eq 0 ] || fail "exit code $status after closing the window"
# With PLATFORM_DAMAGE_CHECK set, a frame drawn where it changed that differs from the whole frame is reported.
if grep -q "^damage check" "$work/stderr.txt"; then
    fail "frames differ from whole frames: $(grep -m 3 "^damage check" "$work/stderr.txt")"
fi
echo "e2e: menu differs from its picture in $menu_diff pixels, in fullscreen in $fullscreen_diff;" \
    "$changed pixels changed around the start;" \
    "non-silent samples $after_click after the click, $after_space after holding Space; exit code 0"
