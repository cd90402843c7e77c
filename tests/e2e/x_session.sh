# Shared by the scripts that drive the real game in a real X window: sourced, after `set -euo pipefail`, by
# e2e_game.sh and storm_soak.sh. Gives a scratch folder $work removed on exit, fail(), wait_for(), an Xvfb display of
# its own (start_xvfb) with openbox on it (start_openbox), and the game started in it (start_game, find_window).
# Every process started here is ended on exit.

# Exits 77 (skipped) when one of the named tools is missing.
require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
    done
}

work=$(mktemp -d)
game_pid=""
xvfb_pid=""
wm_pid=""
helper_pids=()  # further X clients a script starts, ended before the display
# Each kill may find its process gone already; none of them may end the clean-up early.
session_cleanup() {
    local pid
    for pid in "$game_pid" "${helper_pids[@]}" "$wm_pid" "$xvfb_pid"; do
        [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap session_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -f "$work/stderr.txt" ] && sed 's/^/game: /' "$work/stderr.txt" >&2
    exit 1
}

# Waits up to $1 seconds for the command that follows to succeed.
wait_for() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

xvfb_answered() { [ -s "$work/display" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; }

# Starts Xvfb with a screen of $1 (WIDTHxHEIGHT) on the first free display from :90 and exports DISPLAY. Xvfb writes
# the display number only once it listens there, so two scripts starting at once cannot end up on one display. It
# must not reset when its last client leaves: a client connecting during the reset (openbox while the check for it
# has just disconnected) is refused.
start_xvfb() {
    local n
    for n in $(seq 90 190); do
        [ -e "/tmp/.X$n-lock" ] && continue
        : >"$work/display"
        Xvfb ":$n" -displayfd 3 -screen 0 "${1}x24" -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
        xvfb_pid=$!
        if wait_for 20 xvfb_answered && [ -s "$work/display" ]; then
            export DISPLAY=":$(head -n 1 "$work/display")"
            return 0
        fi
        kill "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=""
    done
    return 1
}

start_openbox() {
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    wm_pid=$!
    wait_for 20 bash -c "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'" ||
        fail "openbox did not start: $(cat "$work/openbox.log")"
}

# Starts the game $1 in the X display with the environment that follows (VAR=VALUE ...); its stderr goes to
# $work/stderr.txt, its process id to $game_pid.
start_game() {
    local game=$1
    shift
    env -u SDL_VIDEODRIVER PLATFORM_MESSAGEBOX=stderr "$@" "$game" 2>"$work/stderr.txt" &
    game_pid=$!
}

# Sets $wid to the game's window once it shows. A search that meets a window as it is destroyed ends with an X
# error, so it is tried again.
game_window() { wid=$(xdotool search --name '^Corvalo' 2>/dev/null | head -n 1) && [ -n "$wid" ]; }
find_window() { wait_for 60 game_window || fail "the window did not appear"; }

caption_has_fps() { [[ "$(xdotool getwindowname "$wid")" == "Corvalo    FPS: "* ]]; }
