#!/usr/bin/env bash
# Installs the build into a scratch prefix, checks the layout and the desktop entry, then starts the game through the
# installed launcher and checks it runs the installed binary in the installed data directory and ends cleanly.
# Usage: install_test.sh CMAKE BUILD-DIR
set -euo pipefail

cmake=$1
build=$2
prefix=$(mktemp -d)
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    rm -rf "$prefix"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

for file in bin/corvalo libexec/corvalo/corvalo share/corvalo/FX/lighting.fx share/corvalo/Textures/MenuScreen.png \
    share/corvalo/Sounds/choo.ogg share/corvalo/Sounds/QivDenofThieves.mp3 \
    share/applications/corvalo.desktop share/icons/hicolor/64x64/apps/corvalo.png; do
    [ -e "$prefix/$file" ] || fail "$file was not installed"
done
[ -x "$prefix/bin/corvalo" ] && [ -x "$prefix/libexec/corvalo/corvalo" ] || fail "programs are not executable"
cmp -s "$prefix/share/icons/hicolor/64x64/apps/corvalo.png" Textures/corvalo-icon.png || fail "wrong icon"

desktop=$prefix/share/applications/corvalo.desktop
grep -qx '\[Desktop Entry\]' "$desktop" || fail "desktop entry header"
grep -qx 'Type=Application' "$desktop" || fail "desktop entry type"
grep -qx "Exec=$prefix/bin/corvalo" "$desktop" || fail "desktop entry Exec: $(grep Exec= "$desktop")"
grep -qx 'Icon=corvalo' "$desktop" || fail "desktop entry Icon"
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$desktop" || fail "desktop entry invalid"; fi

# Started from elsewhere, the launcher must still find the data; the disk audio file shows start-up got that far.
audio=$prefix/audio.raw
cd /
SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$audio" PLATFORM_MESSAGEBOX=stderr \
    "$prefix/bin/corvalo" 2>"$prefix/stderr.txt" &
game_pid=$!
for _ in $(seq 600); do
    [ -s "$audio" ] && break
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
[ -s "$audio" ] || fail "the game did not start: $(cat "$prefix/stderr.txt")"
[ "$(readlink -f /proc/$game_pid/exe)" = "$(readlink -f "$prefix/libexec/corvalo/corvalo")" ] || fail "wrong program"
[ "$(readlink -f /proc/$game_pid/cwd)" = "$(readlink -f "$prefix/share/corvalo")" ] || fail "wrong directory"
if grep -E 'FX/|Textures/|Sounds/' "$prefix/stderr.txt"; then fail "data files missing after installation"; fi

kill -TERM "$game_pid"
status=0
wait "$game_pid" || status=$?
game_pid=""
[ "$status" -eq 0 ] || fail "exit code $status after SIGTERM"
echo "install: layout, desktop entry and launcher as expected"
