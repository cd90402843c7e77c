#!/usr/bin/env bash
# Installs what is missing, builds the project twice (normal and with AddressSanitizer + UndefinedBehaviorSanitizer)
# and runs the whole test suite in both builds. Before the tests, it builds the game alone from a copy of the sources
# elsewhere, whose Debian package must be the normal build's byte for byte.
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

# Reproducible: the same commit built in other folders packs to the same bytes. The game is compiled alike with or
# without the tests (with the same flags), so one build of the game alone, from a copy of the sources, is compared
# with build/. The copy has no history: it is given the last commit's time, which build/ must find by itself.
repro=$(mktemp -d)
trap 'rm -rf "$repro"' EXIT
quiet() { "$@" >"$repro/log" 2>&1 || { cat "$repro/log" >&2; return 1; }; }
mkdir "$repro/src"
git ls-files -z --cached --others --exclude-standard | tar -c --null -T - | tar -x -C "$repro/src"
quiet cmake -S "$repro/src" -B "$repro/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF "${test_build[@]}"
quiet cmake --build "$repro/build" -j"$jobs"
quiet env SOURCE_DATE_EPOCH="$(git log -1 --format=%ct)" \
  cpack -G DEB --config "$repro/build/CPackConfig.cmake" -B "$repro/copy"
quiet env -u SOURCE_DATE_EPOCH cpack -G DEB --config build/CPackConfig.cmake -B "$repro/build-dir"
if ! cmp "$repro"/build-dir/*.deb "$repro"/copy/*.deb; then
  echo "the package differs between two builds of the same sources (compare them with diffoscope)" >&2
  exit 1
fi
echo "package: $(basename "$repro"/copy/*.deb) byte for byte the same from two builds in different folders"

ctest --test-dir build --output-on-failure -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"


