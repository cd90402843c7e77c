#!/usr/bin/env bash
# Installs every Debian package the project needs to build, run and test.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libsdl2-dev libsdl2-mixer-dev libsdl2-image-dev
  libegl1 libegl-dev libgl-dev libopengl-dev libgl1-mesa-dri libegl-mesa0 libx11-dev
  glslang-dev glslang-tools libspirv-cross-c-shared-dev
  libgtest-dev libpng-dev
  xvfb xdotool imagemagick x11-utils
  vorbis-tools lame
  clang libclang-rt-14-dev
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
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
