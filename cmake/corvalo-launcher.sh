#!/bin/sh
# Starts Corvalo from its data directory: the game reads FX/, Textures/ and Sounds/ relative to the working directory.
prefix=$(dirname "$(dirname "$(readlink -f "$0")")")
cd "$prefix/share/corvalo" || exit 1
exec "$prefix/libexec/corvalo/corvalo" "$@"
