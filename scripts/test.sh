#!/usr/bin/env bash
# Installs what is missing, builds the project twice (normal and with AddressSanitizer + UndefinedBehaviorSanitizer)
# and runs the whole test suite in both builds at once. Before the tests, it builds the game alone from a copy of the
# sources elsewhere, whose Debian package must be the normal build's byte for byte.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh --test
jobs="$(nproc)"
# A new build folder uses Ninja unless asked otherwise, which schedules the whole build at once and starts fewer
# processes than Make; one configured before keeps its generator.
export CMAKE_GENERATOR="${CMAKE_GENERATOR:-Ninja}"

# Warnings fail the build here; the game's own build only reports them, as a newer compiler may add some. lld links
# the test programs four times faster than the default linker. Line tables, enough for a failure's trace, stand in
# for full debug information, which costs a fifth of a compile and changes no instruction.
test_build=(-DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld
            "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_DEBUG=-g1)
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
# with build/. The copy has no history: it is given the last commit's time, which build/ must find by itself. It is
# built by build/'s generator too: Make compiles in each folder of the tree, Ninja at the top, and the debug
# information, which the build id covers, names that folder.
scratch=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$scratch"' EXIT
quiet() { "$@" >"$scratch/log" 2>&1 || { cat "$scratch/log" >&2; return 1; }; }
mkdir "$scratch/src"
git ls-files -z --cached --others --exclude-standard | tar -c --null -T - | tar -x -C "$scratch/src"
generator=$(sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' build/CMakeCache.txt)
quiet cmake -S "$scratch/src" -B "$scratch/build" -G "$generator" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBUILD_TESTING=OFF "${test_build[@]}"
quiet cmake --build "$scratch/build" -j"$jobs"
quiet env SOURCE_DATE_EPOCH="$(git log -1 --format=%ct)" \
  cpack -G DEB --config "$scratch/build/CPackConfig.cmake" -B "$scratch/copy"
quiet env -u SOURCE_DATE_EPOCH cpack -G DEB --config build/CPackConfig.cmake -B "$scratch/build-dir"
if ! cmp "$scratch"/build-dir/*.deb "$scratch"/copy/*.deb; then
  echo "the package differs between two builds of the same sources (compare them with diffoscope)" >&2
  exit 1
fi
echo "package: $(basename "$scratch"/copy/*.deb) byte for byte the same from two builds in different folders"

# The two suites run side by side: the normal build's tests spend much of their time waiting on X servers and games,
# time the sanitizer build's tests use. Each suite's log is shown once both have ended.
echo "running the normal and the sanitizer build's tests side by side; their logs follow when both have ended"
ctest --test-dir build --output-on-failure -j"$jobs" >"$scratch/normal.log" 2>&1 &
normal=$!
ctest --test-dir build-asan --output-on-failure -j"$jobs" >"$scratch/sanitizer.log" 2>&1 &
sanitizer=$!
failed=0
wait "$normal" || failed=1
wait "$sanitizer" || failed=1
cat "$scratch/normal.log" "$scratch/sanitizer.log"
exit "$failed"


