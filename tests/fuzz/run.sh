#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz", build/fuzz) and runs each for a while over a temporary
# copy of its seed corpus, so the committed corpus is never written. Fails when any target finds
# a crash, a broken property, a leak or a time-out; the input that did it is kept under
# build/fuzz/artifacts/.
#   tests/fuzz/run.sh [seconds per target] [target ...]
# Without seconds, the time goes where faults can be: 60 s each to decrypt_text, text_reader and
# command_line (long walks with many branches, checked against references), 20 s to cp932 (the
# table-driven conversion against a character-at-a-time reading of its table), 5 s each to
# document_path and hints (near-restatements of one search).
# The inputs of a longer run that reach new code are merged into the committed corpus, keeping it
# small, with: build/fuzz/tests/fuzz/fuzz_<target> -merge=1 -use_counters=0 \
#   tests/fuzz/corpus/<target> <that run's corpus>
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds=""
if [[ "${1:-}" =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
all_targets=(decrypt_text text_reader command_line cp932 document_path hints)
if [ "$#" -gt 0 ]; then targets=("$@"); else targets=("${all_targets[@]}"); fi

seconds_for() {
  if [ -n "$seconds" ]; then
    echo "$seconds"
    return
  fi
  case "$1" in
    decrypt_text | text_reader | command_line) echo 60 ;;
    cp932) echo 20 ;;
    *) echo 5 ;;
  esac
}

# Longest input per target: long enough for several encoded lines, long text lines and very long
# command lines (to show any quadratic work), short enough to keep the runs quick.
max_len() {
  case "$1" in
    command_line) echo 100000 ;;
    decrypt_text | text_reader) echo 16384 ;;
    *) echo 4096 ;;
  esac
}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j 2 --target vellumo_fuzz_targets

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
artifacts=build/fuzz/artifacts
mkdir -p "$artifacts"

failed=()
for target in "${targets[@]}"; do
  binary=build/fuzz/tests/fuzz/fuzz_$target
  corpus=$work/corpus/$target
  mkdir -p "$corpus"
  cp tests/fuzz/corpus/"$target"/* "$corpus"/
  log=$work/$target.log
  echo "== fuzz $target ($(seconds_for "$target") s)"
  if "$binary" -max_total_time="$(seconds_for "$target")" -max_len="$(max_len "$target")" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/$target-" \
    "$corpus" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "   ${runs:-?} runs, no crash"
  else
    tail -n 40 "$log"
    echo "   FAILED: see $artifacts/$target-*"
    failed+=("$target")
  fi
done

if [ "${#failed[@]}" -gt 0 ]; then
  echo "fuzzing found crashes in: ${failed[*]}"
  exit 1
fi
