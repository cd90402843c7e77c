#!/usr/bin/env bash
# make-art must remake every committed picture byte for byte, the installed icons among them. Run from the project
# root.
# Usage: make_art_test.sh MAKE-ART
set -euo pipefail
source "$(dirname "$0")/installed_game.sh"

"$1" "$scratch"
diff -rq Textures "$scratch/Textures" || fail "make-art no longer makes Textures/"
echo "make-art: Textures/ remade byte for byte"
