#!/usr/bin/env bash
# check_tool_cli.sh NAME TOOL VERSION: checks that the tool NAME, built as TOOL, follows the command-line conventions
# every tool shares: --help and -h, --version, a usage error, and the same work whether the options come before or
# after the operands. Run from the project root.
set -uo pipefail
name=$1
tool=$2
version=$3

root=$PWD
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

fail() {
  echo "FAIL: $name: $*" >&2
  failures=$((failures + 1))
}

# run LABEL ARGS...: runs the tool, keeping its exit code in $rc and its output in $scratch/LABEL.out and .err.
run() {
  local label=$1
  shift
  "$tool" "$@" >"$scratch/$label.out" 2>"$scratch/$label.err"
  rc=$?
}

expect_rc() {
  [ "$rc" -eq "$2" ] || fail "$1 exited with $rc, expected $2; stderr: $(head -c 2000 "$scratch/$1.err")"
}

expect_empty() {
  [ ! -s "$scratch/$1" ] || fail "$1 is not empty: $(head -c 2000 "$scratch/$1")"
}

# same LABEL1 LABEL2: two runs exited alike and printed the same bytes on stdout and on stderr.
same() {
  local stream
  for stream in out err; do
    cmp -s "$scratch/$1.$stream" "$scratch/$2.$stream" || fail "'$1' and '$2' printed different std$stream"
  done
}

# too_large LABEL: the run refused an input past the readers' limit with exit 1, naming the file and the limit.
# The file is sparse: no disk, yet every byte reads as a zero, as an endless input does.
huge="$scratch/huge.input"
truncate -s $((64 * 1024 * 1024 + 1)) "$huge"
too_large() {
  expect_rc "$1" 1
  grep -q "$huge.*64 MiB" "$scratch/$1.out" "$scratch/$1.err" || fail "$1: no message naming the file and the limit"
}

# refused LABEL REASON ARGS...: the tool refused an input it cannot use with exit 1, giving REASON.
refused() {
  local label=$1 reason=$2
  shift 2
  run "$label" "$@"
  expect_rc "$label" 1
  grep -q "$reason" "$scratch/$label.out" "$scratch/$label.err" || fail "$label: no reason '$reason'"
}

# unreadable_inputs ARGS...: a missing file, a directory and (unless root, who reads anything) a file without read
# permission in place of the input, ARGS coming before it.
locked="$scratch/locked.input"
echo x >"$locked" && chmod 000 "$locked"
unreadable_inputs() {
  refused absent "No such file or directory" "$@" "$scratch/no-such-file"
  refused directory "Is a directory" "$@" "$scratch"
  [ "$(id -u)" -eq 0 ] || refused locked "Permission denied" "$@" "$locked"
}

# unwritten LABEL ARGS...: a run whose output could not be written (/dev/full) exits 1 and says so.
unwritten() {
  local label=$1
  shift
  "$tool" "$@" >/dev/full 2>"$scratch/$label.err"
  rc=$?
  expect_rc "$label" 1
  grep -q "^$name: cannot write the output: No space left on device" "$scratch/$label.err" ||
    fail "$label: no message that the output was lost"
}

# damaged_nothing FOLDER: a run that fails partway, on a full disk (a file-size limit: writes fail with EFBIG) or, for
# make-sounds, with an encoder that gives up after writing part of its file, exits 1 naming a file and leaves FOLDER
# as it was, with no temporary left behind. Runs after the run labelled plain.
damaged_nothing() {
  local label labels=full-disk
  if [ "$name" = make-sounds ]; then
    labels="full-disk broken-encoder"
    mkdir -p "$scratch/bin"
    printf '#!/bin/sh\nwhile [ "$1" != -o ]; do shift; done\necho partial >"$2"\nexit 1\n' >"$scratch/bin/oggenc"
    chmod +x "$scratch/bin/oggenc"
  fi
  for label in $labels; do
    cp -r "$scratch/plain" "$scratch/$label"
    if [ "$label" = full-disk ]; then
      (ulimit -f 8 && trap '' XFSZ && exec "$tool" "$scratch/$label") >"$scratch/$label.out" 2>"$scratch/$label.err"
    else
      PATH="$scratch/bin:$PATH" "$tool" "$scratch/$label" >"$scratch/$label.out" 2>"$scratch/$label.err"
    fi
    rc=$?
    expect_rc "$label" 1
    grep -q "^$name: .*$scratch/$label/$1/" "$scratch/$label.err" || fail "$label: no message naming the file"
    diff -r "$scratch/plain/$1" "$scratch/$label/$1" >/dev/null || fail "$label: damaged or left files in $1"
  done
}

# Every tool runs in a scratch directory for these, so a tool that took an option for its output directory would
# leave it there.
cd_scratch() { mkdir -p "$scratch/cwd" && cd "$scratch/cwd" || exit 1; }

# --help and -h: the usage on stdout, nothing on stderr, exit 0.
(
  cd_scratch
  for help in --help -h; do
    run "help$help" "$help"
    expect_rc "help$help" 0
    expect_empty "help$help.err"
    head -n 1 "$scratch/help$help.out" | grep -q "^usage: $name " || fail "$help does not start with 'usage: $name'"
    grep -q -- "--version" "$scratch/help$help.out" || fail "$help does not name --version"
  done
  run version --version
  expect_rc version 0
  expect_empty version.err
  [ "$(cat "$scratch/version.out")" = "$name (Corvalo) $version" ] ||
    fail "--version printed '$(cat "$scratch/version.out")', expected '$name (Corvalo) $version'"

  # Usage errors: a one-line reason and the usage on stderr, nothing on stdout, exit 2.
  for bad in --no-such-option -x --help=all; do
    run "bad$bad" "$bad"
    expect_rc "bad$bad" 2
    expect_empty "bad$bad.out"
    sed -n 1p "$scratch/bad$bad.err" | grep -q "^$name: .*'-" || fail "$bad: the first line gives no reason"
    sed -n 2p "$scratch/bad$bad.err" | grep -q "^usage: $name " || fail "$bad: no usage on stderr after the reason"
  done
  [ -z "$(ls -A)" ] || fail "left files behind in its working directory: $(ls -A)"
  exit "$failures"
) || failures=$((failures + $?))

case $name in
  fxcompile)
    run after FX/lighting.fx --reflect
    expect_rc after 0
    [ -s "$scratch/after.out" ] || fail "printed no reflection"
    run before --reflect FX/lighting.fx
    same after before
    run dashes --reflect -- FX/lighting.fx
    same after dashes
    run missing --reflect
    expect_rc missing 2
    run extra FX/lighting.fx FX/lighting.fx
    expect_rc extra 2
    unreadable_inputs --reflect
    refused reflect-fx "Is a directory" --reflect FX
    unwritten full --reflect FX/lighting.fx
    run huge "$huge"
    too_large huge
    ;;
  objinfo)
    cd tests/models/data || exit 1
    run after quad.obj --flip-winding --flip-v
    expect_rc after 0
    grep -q '"ok":true' "$scratch/after.out" || fail "did not load quad.obj"
    run before --flip-v --flip-winding quad.obj
    same after before
    run plain quad.obj
    cmp -s "$scratch/after.out" "$scratch/plain.out" && fail "--flip-winding --flip-v changed nothing"
    run missing --flip-v
    expect_rc missing 2
    expect_empty missing.out
    run no-data --data= quad.obj
    expect_rc no-data 2
    # The names inside a mesh are read from the data directory: elsewhere, --data gives the same answer, and without
    # it the material library is missing, named with the path looked for. A missing picture is named but not fatal.
    data=$(pwd -P)
    cd_scratch
    elsewhere=$(pwd -P)
    run elsewhere --data "$data" "$data/quad.obj"
    run no-library "$data/quad.obj"
    cd "$data" || exit 1
    same plain elsewhere
    expect_rc no-library 1
    grep -qF "quad.obj: material library \\\"quad.mtl\\\" (looked for $elsewhere/quad.mtl): No such file or directory" \
      "$scratch/no-library.out" || fail "no-library: no library and path looked for in $(cat "$scratch/no-library.out")"
    grep -qF "objinfo: quad.mtl: texture \"missing.png\" (looked for $data/missing.png)" "$scratch/plain.err" ||
      fail "the missing picture is not named"
    unreadable_inputs --flip-v
    unwritten full quad.obj
    run huge "$huge"
    too_large huge
    cd - >/dev/null || exit 1
    ;;
  corvalo-replay)
    script=tests/replay/lose.replay
    run after "$script" --data "$PWD"
    expect_rc after 0
    [ -s "$scratch/after.out" ] || fail "printed no frames"
    run before --data="$PWD" "$script"
    same after before
    run stdin --data "$PWD" -- - <"$script"
    same after stdin
    run missing "$script" --data
    expect_rc missing 2
    run empty "$script" --data=
    expect_rc empty 2
    run extra "$script" "$script"
    expect_rc extra 2
    unreadable_inputs --data "$PWD"
    refused empty-stdin "standard input: the script plays no frame" --data "$PWD" - </dev/null
    expect_empty empty-stdin.out
    refused no-data-dir "data directory .*No such file or directory" --data "$scratch/no-such-dir" "$script"
    mkdir -p "$scratch/no-data"
    refused no-data "did not load" --data "$scratch/no-data" "$script"
    expect_empty no-data.out
    unwritten full --data "$PWD" "$script"
    run huge "$huge"
    too_large huge
    ;;
  corvalo-view)
    run after Models/crate.obj --frames 2 --screenshot "$scratch/after.png"
    expect_rc after 0
    run before --frames=2 --screenshot="$scratch/before.png" -- Models/crate.obj
    expect_rc before 0
    cmp -s "$scratch/after.png" "$scratch/before.png" || fail "the reordered command line drew another picture"
    run missing --screenshot "$scratch/missing.png"
    expect_rc missing 2
    run extra Models/crate.obj Models/tower.obj
    expect_rc extra 2
    ;;
  make-art | make-sounds | make-models)
    # From the scratch directory, so that a tool taking "--" for its output directory writes nothing here.
    cd "$scratch" || exit 1
    folder=Textures
    [ "$name" = make-sounds ] && folder=Sounds
    [ "$name" = make-models ] && folder=Models
    run plain "$scratch/plain"
    expect_rc plain 0
    run dashes -- "$scratch/dashes"
    expect_rc dashes 0
    [ -n "$(ls -A "$scratch/plain/$folder" 2>/dev/null)" ] || fail "wrote nothing into $folder"
    diff -r "$scratch/plain/$folder" "$scratch/dashes/$folder" >/dev/null || fail "'--' changed what it wrote"
    run extra "$scratch/one" "$scratch/two"
    expect_rc extra 2
    [ ! -e "$scratch/one" ] && [ ! -e "$scratch/two" ] || fail "wrote files although refusing the command line"
    # A file the repository does not keep (the sphere, made by the build) has nothing to be compared with.
    for file in "$scratch/plain/$folder"/*; do
      [ -e "$root/$folder/${file##*/}" ] || continue
      cmp -s "$file" "$root/$folder/${file##*/}" || fail "${file##*/} differs from the committed one"
    done
    # Roots a shell or an encoder would misread: quotes with a command substitution, and a name that looks like an
    # option.
    hostile="$scratch/q/x'\$(touch PWNED)'y"
    run quoted "$hostile"
    expect_rc quoted 0
    diff -r "$scratch/plain/$folder" "$hostile/$folder" >/dev/null || fail "a quoted root changed what it wrote"
    run hyphen -- -
    expect_rc hyphen 0
    diff -r "$scratch/plain/$folder" "$scratch/-/$folder" >/dev/null || fail "the root '-' changed what it wrote"
    [ -z "$(find "$scratch" -name PWNED)" ] || fail "ran shell code from its root"
    [ "$name" = make-models ] || damaged_nothing "$folder"
    ;;
  *)
    fail "no check of the reordered command line for this tool"
    ;;
esac

[ "$failures" -eq 0 ] && echo "$name: the command line follows the conventions"
exit $((failures > 0))
