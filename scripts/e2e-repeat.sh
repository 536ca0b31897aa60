#!/usr/bin/env bash
# Runs the whole end-to-end suite N times in a row on one Windows build, to show that it passes
# every time: builds once, then runs tests/e2e/run.sh (both passes and the hooks) until a run
# fails or N runs have passed. The failing run's log stays in <build>/e2e-repeat/ and its
# screenshots in <build>/e2e-screenshots/ (no later run empties them); the passing runs leave one
# line each in <build>/e2e-repeat/summary.txt.
#
#   scripts/e2e-repeat.sh N [run.sh options...]
# Environment: VELLUMO_BUILD_DIR builds into another folder than build/windows.
set -uo pipefail
cd "$(dirname "$0")/.."

case "${1:-}" in
  '' | *[!0-9]* | 0)
    sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
    ;;
esac
runs=$1
shift
build=${VELLUMO_BUILD_DIR:-build/windows}

cmake --preset windows -B "$build" >/dev/null && cmake --build "$build" -j2 >/dev/null ||
  { echo "e2e-repeat: the Windows build failed" >&2; exit 1; }

out="$build/e2e-repeat"
rm -rf "$out"
mkdir -p "$out"
summary="$out/summary.txt"
start=$(date +%s)
for run in $(seq "$runs"); do
  log="$out/run-$run.log"
  run_start=$(date +%s)
  tests/e2e/run.sh "$build" "$@" >"$log" 2>&1
  code=$?
  seconds=$(($(date +%s) - run_start))
  if [ "$code" -ne 0 ]; then
    echo "run $run: FAILED (exit code $code) after $seconds s" | tee -a "$summary"
    grep -E '^(not ok|# )|e2e: not ok' "$log" | grep -v '^# SKIP' | head -40
    echo "e2e-repeat: run $run of $runs failed; its log is $log, its screenshots in" \
      "$build/e2e-screenshots/ ($(($(date +%s) - start)) s in all)"
    exit 1
  fi
  echo "run $run: passed in $seconds s" | tee -a "$summary"
  rm -f "$log"
done
echo "e2e-repeat: all $runs runs passed in $(($(date +%s) - start)) s" | tee -a "$summary"
