#!/usr/bin/env bash
# Installs what is missing, builds the game alone (no tests, benchmarks or tools) and starts it from the project root,
# where its data lives.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh
./scripts/configure.sh build -S . -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DCORVALO_BUILD_TOOLS=OFF
cmake --build build -j"$(nproc)"
exec ./build/bin/corvalo "$@"
