#!/usr/bin/env bash
# Installs what is missing, builds the project twice (normal and with AddressSanitizer + UndefinedBehaviorSanitizer)
# and runs the whole test suite in both builds.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh --test
jobs="$(nproc)"

# Warnings fail the build here; the game's own build only reports them, as a newer compiler may add some. lld links
# the test programs four times faster than the default linker.
test_build=(-DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DCORVALO_BUILD_TOOLS=ON "${test_build[@]}"
cmake --build build -j"$jobs"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCORVALO_SANITIZE=ON -DBUILD_TESTING=ON -DCORVALO_BUILD_TOOLS=ON \
  "${test_build[@]}"
cmake --build build-asan -j"$jobs"

# The rules use no random numbers: both builds must replay the committed games to the same bytes.
for script in tests/replay/lose.replay tests/replay/win.replay; do
  if ! cmp -s <(SDL_VIDEODRIVER=offscreen build/bin/corvalo-replay "$script") \
              <(SDL_VIDEODRIVER=offscreen LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" \
                build-asan/bin/corvalo-replay "$script"); then
    echo "replay of $script differs between the normal and the sanitizer build" >&2
    exit 1
  fi
  echo "replay of $script: identical in both builds"
done

ctest --test-dir build --output-on-failure -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"

