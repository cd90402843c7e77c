#!/usr/bin/env bash
# Installs what is missing, builds the game alone (no tests, benchmarks or tools) and starts it from the project root,
# where its data lives.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh
# A new build folder uses Ninja unless asked otherwise; one configured before keeps its generator.
export CMAKE_GENERATOR="${CMAKE_GENERATOR:-Ninja}"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DCORVALO_BUILD_TOOLS=OFF
cmake --build build -j"$(nproc)"
exec ./build/bin/corvalo "$@"
