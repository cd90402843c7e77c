#!/usr/bin/env bash
# Installs what is missing, builds the project twice (normal and with AddressSanitizer + UndefinedBehaviorSanitizer)
# and runs the whole test suite in both builds.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh
jobs="$(nproc)"

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCORVALO_SANITIZE=ON
cmake --build build-asan -j"$jobs"

ctest --test-dir build --output-on-failure -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"
