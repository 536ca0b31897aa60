#!/usr/bin/env bash
# Whole-process timing of vellumo-cli against base64 on 10 MB and 100 MB of Japanese-looking
# text (code page 932 bytes, no zero byte): encrypt against `base64 -w 128`, decrypt against
# `base64 -d`, each the median of 5 runs, with the ratios and the 10 MB -> 100 MB scaling.
# Not a test: nothing here passes or fails on time.
#
#   scripts/bench-cli.sh [path/to/vellumo-cli]
#
# Without an argument it uses build/linux/cli/vellumo-cli, building it first when missing. The
# files live in /dev/shm when it is there, so that the figures are the programs' work and not the
# disk's write-back (BENCH_DIR chooses another place).
set -euo pipefail
cd "$(dirname "$0")/.."

cli=${1:-build/linux/cli/vellumo-cli}
if [ ! -x "$cli" ]; then
  [ $# -eq 0 ] || { echo "bench-cli: $cli is not an executable" >&2; exit 1; }
  cmake --preset linux >/dev/null
  cmake --build --preset linux --target vellumo-cli -j 2
fi
cli=$(realpath "$cli")
runs=5

place=${BENCH_DIR:-$([ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")}
work=$(mktemp -d "$place/vellumo-bench-cli.XXXXXX")
trap 'rm -rf "$work"' EXIT

# About 1 MB of lines of Japanese words, digits and punctuation, made once and repeated.
LC_ALL=C awk 'BEGIN {
  srand(1);
  n = split("漢字 ひらがな カタカナ 日本語 文章 暗号 鍵 東京 大阪 今日 明日 天気 会議 資料 確認 " \
            "お願い します ありがとう ございます よろしく 電話 連絡 予定 変更 報告 注意 " \
            "メモ ファイル 保存 開く 閉じる 「 」 、 。 ・ ー ＡＢＣ １２３ ｱｲｳ abc 2026", w, " ");
  size = 0;
  while (size < 1500000) {
    line = sprintf("%04d ", NR++);
    words = 8 + int(rand() * 24);
    for (i = 0; i < words; i++) line = line w[1 + int(rand() * n)] (rand() < 0.3 ? " " : "");
    printf "%s\r\n", line;
    size += length(line) + 2;
  }
}' | iconv -f UTF-8 -t CP932 >"$work/chunk"

make_text() {  # make_text MEGABYTES FILE
  local i
  : >"$2"
  for ((i = 0; i < $1 * 1048576; i += $(stat -c %s "$work/chunk"))); do
    cat "$work/chunk" >>"$2"
  done
  truncate -s $(($1 * 1048576)) "$2"
}

printf 'bench key\r\n' >"$work/key"

# median_seconds COMMAND: the median wall time of $runs runs, in seconds.
median_seconds() {
  if command -v hyperfine >/dev/null; then
    # Its warnings about a loaded machine are kept out of the table; failures are shown.
    if ! hyperfine --runs "$runs" --warmup 1 --style none --export-json "$work/h.json" "$1" \
      >/dev/null 2>"$work/h.err"; then
      cat "$work/h.err" >&2
      return 1
    fi
    grep -o '"median": *[0-9.e+-]*' "$work/h.json" | head -1 | sed 's/.*: *//'
  else
    local i start end times=()
    for ((i = 0; i < runs; i++)); do
      start=$(date +%s%N)
      bash -c "$1"
      end=$(date +%s%N)
      times+=("$(((end - start) / 1000))")
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p" |
      awk '{ printf "%.6f\n", $1 / 1e6 }'
  fi
}

declare -A result
for mb in 10 100; do
  text="$work/text$mb"
  make_text "$mb" "$text"
  "$cli" encrypt --key-file "$work/key" --seed 1 "$text" >"$text.qzv"
  base64 -w 128 "$text" >"$text.b64"
  # Every decryption must give the text back, or its time means nothing.
  "$cli" decrypt --key-file "$work/key" "$text.qzv" | cmp -s - "$text" ||
    { echo "bench-cli: the $mb MB round trip failed" >&2; exit 1; }
  result[$mb,enc]=$(median_seconds "'$cli' encrypt --key-file '$work/key' --seed 1 '$text' >'$work/out'")
  result[$mb,b64]=$(median_seconds "base64 -w 128 '$text' >'$work/out'")
  result[$mb,dec]=$(median_seconds "'$cli' decrypt --key-file '$work/key' '$text.qzv' >'$work/out'")
  result[$mb,unb64]=$(median_seconds "base64 -d '$text.b64' >'$work/out'")
  rm -f "$text.qzv" "$text.b64" "$work/out"
done

ms() { awk -v s="$1" 'BEGIN { printf "%8.1f", s * 1000 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%6.2f", a / b }'; }

echo "vellumo-cli against base64, median of $runs runs (wall time, ms), files in $place;"
printf "%s processors, " "$(nproc)"
echo "load average $(cut -d' ' -f1-3 /proc/loadavg) when done. Ratio = vellumo-cli / base64; target <= 1."
echo
printf '%-8s %-28s %8s %-16s %8s %6s\n' size vellumo-cli ms baseline ms ratio
for mb in 10 100; do
  printf '%-8s %-28s %s %-16s %s %s\n' "$mb MB" "encrypt --key-file --seed" \
    "$(ms "${result[$mb,enc]}")" "base64 -w 128" "$(ms "${result[$mb,b64]}")" \
    "$(ratio "${result[$mb,enc]}" "${result[$mb,b64]}")"
  printf '%-8s %-28s %s %-16s %s %s\n' "$mb MB" "decrypt --key-file" \
    "$(ms "${result[$mb,dec]}")" "base64 -d" "$(ms "${result[$mb,unb64]}")" \
    "$(ratio "${result[$mb,dec]}" "${result[$mb,unb64]}")"
done
echo
echo "Scaling 10 MB -> 100 MB (time at 100 MB / time at 10 MB; 10 is linear):"
for op in enc:"vellumo-cli encrypt" b64:"base64 -w 128" dec:"vellumo-cli decrypt" unb64:"base64 -d"; do
  printf '  %-22s %s\n' "${op#*:}" "$(ratio "${result[100,${op%%:*}]}" "${result[10,${op%%:*}]}")"
done
