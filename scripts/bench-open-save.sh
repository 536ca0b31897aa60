#!/usr/bin/env bash
# Times the editor's decrypting open and encrypting save of a 10 MB .qzv file (5 MB of Japanese
# text in code page 932) under Wine, its plain open of the 5 MB text, Wine's own notepad opening
# the same 5 MB, and the peak memory of both programs: the median of 3 runs each, every run a
# fresh process. Not a test: nothing here passes or fails on time.
#
#   scripts/bench-open-save.sh <windows-build-dir>
#
# It runs the end-to-end scenario bench_open_save through tests/e2e/run.sh (its own Xvfb display
# and Wine prefix); that scenario does nothing unless E2E_BENCH=1, as set here. The text is made
# and encrypted (with the build's vellumo-cli.exe) inside the scenario, in the build's
# tests/e2e/work/bench_open_save/ folder. The full TAP output goes to <build>/bench-open-save.log.
set -uo pipefail

[ $# -eq 1 ] || { sed -n '7p' "$0" | sed 's/^# *//' >&2; exit 2; }
build=$(cd "$1" 2>/dev/null && pwd) || { echo "bench-open-save: no build folder $1" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
log="$build/bench-open-save.log"

E2E_BENCH=1 "$here/../tests/e2e/run.sh" "$build" --pass normal --no-hooks --timeout 1800 \
  bench_open_save >"$log" 2>&1
code=$?
grep '^# bench: ' "$log" | sed 's/^# bench: //' | tr -d '\r'
if [ "$code" -ne 0 ]; then
  echo "bench-open-save: the scenario failed (exit code $code); see $log" >&2
  exit 1
fi
