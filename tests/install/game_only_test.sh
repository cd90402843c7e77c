#!/usr/bin/env bash
# Configures the game alone, with the tests turned off and nothing else asked for, and with the packages only the
# tests and tools use hidden from CMake; checks that nothing but the game and what it links is left to build.
# Usage: game_only_test.sh CMAKE GENERATOR SOURCE-DIR
set -euo pipefail
source "$(dirname "$0")/installed_game.sh"

cmake=$1
generator=$2
source=$3

"$cmake" -S "$source" -B "$scratch" -G "$generator" -DBUILD_TESTING=OFF \
    -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_PNG=ON -DCMAKE_DISABLE_FIND_PACKAGE_X11=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_SFML=ON >"$scratch/configure.log" 2>&1 || {
    cat "$scratch/configure.log" >&2
    fail "the game alone does not configure"
}
# Make lists "... target", Ninja "target: phony".
targets=$("$cmake" --build "$scratch" --target help | sed -n 's/^\.\.\. \([^ ]*\).*/\1/p; s/^\([^ ]*\): phony$/\1/p')
grep -qx corvalo <<<"$targets" || fail "no corvalo target"
if grep -E '^(make-art|make-sounds|fxcompile|objinfo|corvalo-replay|xclose|.*_fuzzer|bench-.*|.*_tests?)$' \
    <<<"$targets"; then
    fail "tests or tools built with the game alone"
fi
echo "game alone: $(grep -c . <<<"$targets") targets, no tests or tools"
