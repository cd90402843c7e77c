#!/usr/bin/env bash
# Configures the game alone, with the tests turned off and nothing else asked for, and with the packages only the
# tests and tools use hidden from CMake; checks that nothing but the game and what it links is left to build.
# Usage: game_only_test.sh CMAKE GENERATOR SOURCE-DIR
set -euo pipefail

cmake=$1
generator=$2
source=$3
build=$(mktemp -d)
trap 'rm -rf "$build"' EXIT

"$cmake" -S "$source" -B "$build" -G "$generator" -DBUILD_TESTING=OFF \
    -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_PNG=ON -DCMAKE_DISABLE_FIND_PACKAGE_X11=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_SFML=ON >"$build/configure.log" 2>&1 || {
    cat "$build/configure.log" >&2
    echo "FAIL: the game alone does not configure" >&2
    exit 1
}
targets=$("$cmake" --build "$build" --target help | sed -n 's/^\.\.\. \([^ ]*\).*/\1/p')
grep -qx corvalo <<<"$targets" || { echo "FAIL: no corvalo target" >&2; exit 1; }
if grep -E '^(make-art|make-sounds|fxcompile|objinfo|corvalo-replay|xclose|obj_fuzzer|bench-.*|.*_tests?)$' \
    <<<"$targets"; then
    echo "FAIL: tests or tools built with the game alone" >&2
    exit 1
fi
echo "game alone: $(grep -c . <<<"$targets") targets, no tests or tools"
