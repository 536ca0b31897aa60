#!/usr/bin/env bash
# Builds everything and runs every test. Run from anywhere; installs what is missing first.
#   unit tests under AddressSanitizer + UndefinedBehaviorSanitizer (native)
#   end-to-end: the Windows build under Wine, at 96 and at 144 DPI, with tests/e2e/hooks/
#   the Windows programs' imports against what Windows 7 SP1 has
#   the download: the package built twice from clean clones of HEAD gives the same zip
#   libFuzzer targets, 180 s in all (tests/fuzz/run.sh; FUZZ_SECONDS gives every target that long)
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/setup.sh

echo "== unit tests (ASan + UBSan)"
cmake --preset linux-asan >/dev/null
cmake --build --preset linux-asan -j "$jobs"
ctest --preset linux-asan

echo "== end-to-end tests (Windows build under Wine)"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
tests/e2e/run.sh build/windows

echo "== Windows 7 SP1: what the programs import"
scripts/check-windows-imports.sh build/windows

echo "== the download: two builds of HEAD give the same zip"
JOBS="$jobs" scripts/check-reproducible.sh

echo "== fuzzing (libFuzzer, ASan + UBSan)"
tests/fuzz/run.sh ${FUZZ_SECONDS:+"$FUZZ_SECONDS"}

echo "== all tests passed"
