#!/usr/bin/env bash
# make-art must remake every committed picture byte for byte, the installed icons among them. Run from the project
# root.
# Usage: make_art_test.sh MAKE-ART
set -euo pipefail

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
"$1" "$out"
diff -rq Textures "$out/Textures" || { echo "FAIL: make-art no longer makes Textures/" >&2; exit 1; }
echo "make-art: Textures/ remade byte for byte"
