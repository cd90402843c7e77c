#!/usr/bin/env bash
# make-models must remake every committed model file byte for byte (the sphere, made by the build, is not
# committed). Run from the project root.
# Usage: make_models_test.sh MAKE-MODELS
set -euo pipefail
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$1" "$scratch"
[ -s "$scratch/Models/sphere.obj" ] || { echo "FAIL: no sphere made" >&2; exit 1; }
rm "$scratch/Models/sphere.obj"
diff -rq --exclude=sphere.obj Models "$scratch/Models" || { echo "FAIL: make-models no longer makes Models/" >&2; exit 1; }
echo "make-models: Models/ remade byte for byte"
