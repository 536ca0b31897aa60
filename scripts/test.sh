#!/usr/bin/env bash
# Builds everything and runs every test. Run from anywhere; installs what is missing first.
#   unit tests under AddressSanitizer + UndefinedBehaviorSanitizer (native)
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/setup.sh

echo "== unit tests (ASan + UBSan)"
cmake --preset linux-asan >/dev/null
cmake --build --preset linux-asan -j "$jobs"
ctest --preset linux-asan

echo "== all tests passed"
