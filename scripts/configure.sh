#!/usr/bin/env bash
# Configures a build folder with CMake: a new folder uses Ninja, which schedules the whole build at once and starts
# fewer processes than Make; a folder configured before keeps its generator, which CMake cannot change in place.
# Usage: configure.sh BUILD-DIR CMAKE-ARGUMENTS...
set -euo pipefail

dir=$1
shift
generator=(-G Ninja)
if [ -f "$dir/CMakeCache.txt" ]; then generator=(); fi
exec cmake -B "$dir" "${generator[@]}" "$@"
