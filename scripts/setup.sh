#!/usr/bin/env bash
# Installs the Debian packages the project needs: those to build and run the game, and with --test also those the
# tests, tools and benchmarks use.
# Usage: setup.sh [--test]
set -euo pipefail

GAME_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libsdl2-mixer-dev libsdl2-image-dev
  libegl1 libegl-dev libgl-dev libopengl-dev libgl1-mesa-dri libegl-mesa0
  glslang-dev glslang-tools libspirv-cross-c-shared-dev
)
TEST_PACKAGES=(
  libgtest-dev libpng-dev libx11-dev libxext-dev libxtst-dev
  xvfb openbox xdotool imagemagick x11-utils
  vorbis-tools lame
  clang libclang-rt-14-dev lld
  dpkg-dev file desktop-file-utils libglib2.0-bin appstream groff-base lintian git
)

case "${1:-}" in
  "") packages=("${GAME_PACKAGES[@]}") ;;
  --test) packages=("${GAME_PACKAGES[@]}" "${TEST_PACKAGES[@]}") ;;
  *) echo "usage: $0 [--test]" >&2; exit 2 ;;
esac

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
