#!/usr/bin/env bash
# Storms the real game's window under Xvfb with openbox, then plays it at random, and checks that it keeps running,
# that its memory stays flat after a warm-up and that SIGTERM ends it with 0. The storm: random window sizes from
# 1 x 1 to 4000 x 4000 (the extremes among them), minimise and restore, unmapped and mapped again from outside (the
# window manager destroys its frame and makes a new one), and the focus taken by another window and given back. The
# play: random keys (the game's own: arrows, Ctrl, Space) held and released, and presses anywhere but on a Quit
# button, with presses on Play, Play again and Back now and then to go round the screens.
# Prints the figures of the measured play, after the warm-up, as key: value lines: rss_start_kb, rss_end_kb,
# rss_max_kb, frames (counted by the game's caption, which shows each second's frames) and fps.
# Usage: storm_soak.sh CORVALO [--sizes N] [--warmup SECONDS] [--play SECONDS] [--rss-tolerance KB|none], from the
# project root. The warm-up (25 s) must be long enough for the enemies to win a game that nobody plays; the measured
# play lasts 15 s.
# CORVALO_STORM_SEED repeats the random choices of an earlier run (each run prints its seed).
set -euo pipefail

game=$1
shift
sizes=120
warmup=25
play=15
# Growth of the resident set over the measured play that still counts as flat. Random play keeps reaching things the
# warm-up did not (Mesa's first draw of a new combination of states, the allocator's first large block): the resident
# set then rises in single steps of about 4 MB, up to 16 MB in the first minutes, and stays flat after. "none" skips
# the check (a sanitizer's allocator holds freed memory back on purpose).
rss_tolerance=24576
usage="usage: storm_soak.sh CORVALO [--sizes N] [--warmup SECONDS] [--play SECONDS] [--rss-tolerance KB|none]"
while [ $# -gt 0 ]; do
    case "$1" in
        --sizes | --warmup | --play)
            [[ "${2:-}" =~ ^[0-9]+$ ]] || { echo "storm_soak.sh: $1 needs a whole number" >&2; exit 2; }
            declare "${1#--}=$2"
            shift 2
            ;;
        --rss-tolerance)
            [[ "${2:-}" =~ ^([0-9]+|none)$ ]] || { echo "storm_soak.sh: $1 needs kB or none" >&2; exit 2; }
            rss_tolerance=$2
            shift 2
            ;;
        *) echo "$usage" >&2; exit 2 ;;
    esac
done

source "$(dirname "$0")/x_session.sh"
require_tools Xvfb openbox xdotool xprop xwininfo xmessage

seed=${CORVALO_STORM_SEED:-$(((RANDOM << 15) | RANDOM))}
RANDOM=$seed
echo "storm seed: $seed"

alive() { kill -0 "$game_pid" 2>/dev/null || fail "the game ended (during $1)"; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$game_pid/status"; }
# X requests that a window manager may leave unanswered are bounded, so a lost one cannot hang the run.
x() { timeout 10 xdotool "$@" >/dev/null 2>&1 || true; }

random_size() {
    case $((RANDOM % 12)) in
        0) echo "1 1" ;;
        1) echo "4000 4000" ;;
        2) echo "1 4000" ;;
        3) echo "4000 1" ;;
        *) echo "$((RANDOM % 4000 + 1)) $((RANDOM % 4000 + 1))" ;;
    esac
}

storm() {
    local i w h
    for ((i = 0; i < sizes; ++i)); do
        read -r w h < <(random_size)
        x windowsize "$wid" "$w" "$h"
        case $((RANDOM % 8)) in
            0) x windowminimize "$wid"; sleep 0.1; x windowactivate "$wid" ;;
            1) x windowactivate "$thief"; sleep 0.1; x windowactivate "$wid" ;;
            2) sleep 0.5 ;;
            3) x windowunmap "$wid"; x windowmap "$wid" ;;
        esac
        sleep 0.05
        alive "the window storm, size $w x $h"
    done
}

# A press at a client point of the 1024 x 768 picture.
press() { x mousemove --window "$wid" "$1" "$2" click 1; }

viewable() { xwininfo -id "$wid" | grep -q 'Map State: IsViewable'; }

# The game sets its caption once per second of frames. Two settings after a press, which reached the X server before
# xdotool ended, come from frames that began after it: the game has acted on it.
caption_settings() { wc -l <"$work/settings.txt"; }
acted_on() { [ "$(caption_settings)" -ge $(($1 + 2)) ]; }
press_and_wait() {
    local before
    before=$(caption_settings)
    press "$1" "$2"
    wait_for 30 acted_on "$before" || fail "no frames after the press at ($1, $2)"
}

# Inside one of the Quit buttons: the menu's, the game-over screen's, the win screen's (with a margin).
on_quit() {
    local px=$1 py=$2
    ((px >= 426 && px <= 602 && py >= 664 && py <= 742)) ||
        ((px >= 456 && px <= 608 && py >= 372 && py <= 438)) ||
        ((px >= 422 && px <= 596 && py >= 454 && py <= 528))
}

press_somewhere() {
    local px py
    while :; do
        px=$((RANDOM % 1024))
        py=$((RANDOM % 768))
        on_quit "$px" "$py" || break
    done
    press "$px" "$py"
}

keys=(Left Right Up Control_L Control_R space)
held=()
toggle_key() {
    local key=${keys[RANDOM % ${#keys[@]}]}
    if [[ " ${held[*]} " == *" $key "* ]]; then
        x keyup "$key"
        held=("${held[@]/$key/}")
    else
        x keydown "$key"
        held+=("$key")
    fi
}

release_keys() {
    local key
    for key in "${held[@]}"; do [ -n "$key" ] && x keyup "$key"; done
    held=()
}

# Plays at random for $1 seconds: Play on the menu and Play again on the win screen share (640, 450), Play again on
# the game-over screen is at (640, 330), Back on the credits at (600, 640); none of them is on a Quit button.
play_for() {
    local until=$((SECONDS + $1))
    while [ "$SECONDS" -lt "$until" ]; do
        case $((RANDOM % 20)) in
            0) press 640 450 ;;
            1) press 640 330 ;;
            2) press 600 640 ;;
            3 | 4) press_somewhere ;;
            *) toggle_key ;;
        esac
        sleep 0.$((RANDOM % 3 + 1))
        alive "play"
    done
    release_keys
}

start_xvfb 4000x4000 || fail "no Xvfb display could be started"
start_openbox
xmessage -name focus-thief -geometry 300x100+0+0 "takes the focus" 2>/dev/null &
helper_pids+=($!)
thief_window() { thief=$(xdotool search --classname focus-thief 2>/dev/null | head -n 1) && [ -n "$thief" ]; }
wait_for 20 thief_window || fail "no second window"

start_game "$game" SDL_AUDIODRIVER=dummy
find_window
wait_for 60 caption_has_fps || fail "caption is '$(xdotool getwindowname "$wid")'"

storm
x windowactivate --sync "$wid"
x windowsize --sync "$wid" 1024 768
wait_for 30 viewable || fail "the window is not shown after the storm"
alive "the restore after the storm"
wait_for 30 caption_has_fps || fail "no frames after the storm: caption is '$(xdotool getwindowname "$wid")'"

# The warm-up goes once through every screen random play reaches, so that what each allocates the first time is in
# the starting figure: the credits and back, then play left alone until the enemies win (the game's time is the
# clock's), then Play again. Each press lands on the screen the one before it made, however slowly the game goes.
: >"$work/settings.txt"
xprop -spy -id "$wid" WM_NAME >>"$work/settings.txt" 2>/dev/null &
helper_pids+=($!)
press_and_wait 512 560
press_and_wait 600 640
press_and_wait 640 450
sleep "$warmup"
press 640 330
play_for 3
rss_start=$(rss_kb)
rss_max=$rss_start
xprop -spy -id "$wid" WM_NAME >"$work/captions.txt" 2>/dev/null &
spy_pid=$!
helper_pids+=("$spy_pid")
start=$EPOCHREALTIME
until=$((SECONDS + play))
while [ "$SECONDS" -lt "$until" ]; do
    play_for 5
    rss=$(rss_kb)
    [ "$rss" -gt "$rss_max" ] && rss_max=$rss
done
rss_end=$(rss_kb)
elapsed=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { print b - a }')
kill "$spy_pid" 2>/dev/null || true
# The first caption is the one shown when the count began.
frames=$(tail -n +2 "$work/captions.txt" | grep -o 'FPS: [0-9.]*' | awk '{ n += $2 } END { print n + 0 }')

kill -TERM "$game_pid"
wait_for 30 bash -c "! kill -0 $game_pid 2>/dev/null" || fail "the game did not end on SIGTERM"
status=0
wait "$game_pid" || status=$?
game_pid=""

echo "rss_start_kb: $rss_start"
echo "rss_end_kb: $rss_end"
echo "rss_max_kb: $rss_max"
echo "frames: $frames"
awk -v f="$frames" -v s="$elapsed" 'BEGIN { printf "fps: %.2f\n", f / s }'
[ "$status" -eq 0 ] || fail "exit code $status after SIGTERM"
[ "$frames" -gt 0 ] || fail "no frames counted during play"
[ "$rss_tolerance" = none ] || [ $((rss_end - rss_start)) -le "$rss_tolerance" ] ||
    fail "memory grew by $((rss_end - rss_start)) kB during play (more than $rss_tolerance kB)"
