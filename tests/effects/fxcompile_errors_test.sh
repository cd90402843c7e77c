#!/usr/bin/env bash
# fxcompile_errors_test.sh FXCOMPILE: an effect file that crashes the HLSL compiler fails like any other broken
# file: an error naming it on stderr, nothing on stdout, exit 1, and no core file where it ran even when core files
# are allowed. Run from the project root.
set -uo pipefail
fxcompile=$(realpath "$1")

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
mkdir "$scratch/cwd"
ulimit -c unlimited 2>/dev/null

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

expect_compile_error() {
  (cd "$scratch/cwd" && exec "$fxcompile" "$1") >"$scratch/out" 2>"$scratch/err"
  local rc=$?
  [ "$rc" -eq 1 ] || fail "$1: exited with $rc, expected 1; stderr: $(head -c 2000 "$scratch/err")"
  grep -F "$1" "$scratch/err" | grep -q "error X" || fail "$1: no error naming the file: $(head -c 2000 "$scratch/err")"
  [ ! -s "$scratch/out" ] || fail "$1: printed on stdout"
  [ -z "$(ls -A "$scratch/cwd")" ] || fail "$1: left $(ls -A "$scratch/cwd") behind"
}

printf 'float4 gBad = ;\n' >"$scratch/syntax.fx"
expect_compile_error "$scratch/syntax.fx"
expect_compile_error "$PWD/tests/effects/data/lighting_missing_parenthesis.fx"
{
  printf 'float4 VS(float3 p : POSITION) : SV_POSITION { return float4(p, '
  printf '(%.0s' $(seq 4000)
  printf 1
  printf ')%.0s' $(seq 4000)
  printf '); }\ntechnique11 T { pass P { SetVertexShader(CompileShader(vs_5_0, VS())); } }\n'
} >"$scratch/deep.fx"
expect_compile_error "$scratch/deep.fx"
exit "$failures"
