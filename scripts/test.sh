#!/usr/bin/env bash
# Builds Quorvel and runs every test: once in an ordinary build, the Windows
# build of the reporter under Wine, a short fuzzing pass of every fuzz target,
# then every test again under AddressSanitizer and UndefinedBehaviorSanitizer,
# in a build that scans text without the processor's vector instructions (so
# that both ways of scanning are tested).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" test
jobs="$(nproc)"

run_suite() {
  local dir="$1"; shift
  cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

echo "== Tests =="
run_suite "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_BUILD_TESTS=ON -DQUORVEL_BUILD_BENCH=ON

echo "== The Windows reporter under Wine, with the platform's catalog =="
QUORVEL_BUILD="$root/build" "$root/scripts/test-windows-build.sh"

echo "== Fuzzing: every target for a short, fixed time, failing on any finding =="
QUORVEL_FUZZ_BUILD="$root/build-fuzz-ci" "$root/fuzz/ci.sh"

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer, scanning without SIMD =="
run_suite "$root/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DQUORVEL_SANITIZE=ON -DQUORVEL_NO_SIMD=ON -DQUORVEL_BUILD_BENCH=OFF
