#!/usr/bin/env bash
# corvalo-view as a user runs it: a screenshot of a sample model, the same whether the options come before or after
# the model, a model that does not load (exit 1, the file named on stderr), unusable numbers (exit 2). Run from the
# project root.
# Usage: view_cli_test.sh CORVALO-VIEW
set -uo pipefail
view=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

"$view" --screenshot "$scratch/a.png" --frames 3 --turn 20 Models/crate.obj 2>"$scratch/a.err" ||
  fail "screenshot exited with $?: $(cat "$scratch/a.err")"
"$view" Models/crate.obj --turn=20 --frames=3 --screenshot="$scratch/b.png" 2>/dev/null || fail "reordered run failed"
cmp -s "$scratch/a.png" "$scratch/b.png" || fail "the reordered command line drew another picture"
[ "$(head -c 8 "$scratch/a.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "no PNG written"

printf 'v 0 0 0\nv 1 0 0\nv oops 1 0\nf 1 2 3\n' >"$scratch/bad.obj"
"$view" --screenshot "$scratch/c.png" "$scratch/bad.obj" 2>"$scratch/bad.err"
rc=$?
[ "$rc" -eq 1 ] || fail "a broken model exited with $rc, expected 1"
grep -q "bad.obj(3)" "$scratch/bad.err" || fail "the broken model's file and line are not named: $(cat "$scratch/bad.err")"
[ ! -e "$scratch/c.png" ] || fail "a picture was written for a model that did not load"

"$view" --screenshot "$scratch/d.png" "$scratch/none.obj" 2>"$scratch/none.err"
rc=$?
[ "$rc" -eq 1 ] || fail "a missing model exited with $rc, expected 1"
grep -q "none.obj" "$scratch/none.err" || fail "the missing model is not named"

for bad in "--frames 0" "--frames x" "--turn east" "--frames 3"; do
  # shellcheck disable=SC2086
  "$view" $bad Models/crate.obj >/dev/null 2>&1
  rc=$?
  [ "$rc" -eq 2 ] || fail "'$bad' exited with $rc, expected 2"
done

[ "$failures" -eq 0 ] && echo "corvalo-view: screenshots, failures and usage as expected"
exit $((failures > 0))
