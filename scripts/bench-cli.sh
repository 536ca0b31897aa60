#!/usr/bin/env bash
# Whole-process timing of vellumo-cli against base64 on 10 MB and 100 MB of Japanese-looking
# text (code page 932 bytes, no zero byte): encrypt against `base64 -w 128`, decrypt against
# `base64 -d`, each the median of 5 runs, every tool writing its output to a file; then the peak
# memory of every command and option on a large input (1 GB unless MEMORY_MB says otherwise).
# Not a test: nothing here passes or fails on time or memory; the targets are shown beside the
# figures.
#
#   scripts/bench-cli.sh [path/to/vellumo-cli]
#
# Without an argument it uses build/linux/cli/vellumo-cli, building it first when missing. The
# files live in /dev/shm when it is there, so that the figures are the programs' work and not the
# disk's write-back (BENCH_DIR chooses another place). MEMORY_MB=0 leaves the memory check out;
# it needs about 5 times MEMORY_MB of room there.
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
memory_mb=${MEMORY_MB:-1024}

place=${BENCH_DIR:-$([ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")}
work=$(mktemp -d "$place/vellumo-bench-cli.XXXXXX")
trap 'rm -rf "$work"' EXIT
# The tool's spool for inputs that can be read only once goes there too.
export TMPDIR=$work

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
}' >"$work/chunk.utf8"
iconv -f UTF-8 -t CP932 "$work/chunk.utf8" >"$work/chunk"

# make_text MEGABYTES FILE [CHUNK]: the chunk repeated; cut to the exact size unless whole
# chunks are asked for (WHOLE=1), which keeps every line and character whole.
make_text() {
  local chunk=${3:-$work/chunk} i
  : >"$2"
  for ((i = 0; i < $1 * 1048576; i += $(stat -c %s "$chunk"))); do
    cat "$chunk" >>"$2"
  done
  [ "${WHOLE:-0}" = 1 ] || truncate -s $(($1 * 1048576)) "$2"
}

printf 'bench key\r\n' >"$work/key"

# median_seconds COMMAND: the median wall time of $runs runs, in seconds. The output file of the
# run before is removed first, untimed: emptying it (as the redirection would) takes a time of its
# own that grows with that earlier output's size.
median_seconds() {
  if command -v hyperfine >/dev/null; then
    # Its warnings about a loaded machine are kept out of the table; failures are shown.
    if ! hyperfine --runs "$runs" --warmup 1 --style none --prepare "rm -f '$work/out'" \
      --export-json "$work/h.json" "$1" >/dev/null 2>"$work/h.err"; then
      cat "$work/h.err" >&2
      return 1
    fi
    grep -o '"median": *[0-9.e+-]*' "$work/h.json" | head -1 | sed 's/.*: *//'
  else
    local i start end times=()
    for ((i = 0; i < runs; i++)); do
      rm -f "$work/out"
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
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
for mb in 10 100; do
  text="$work/text$mb"
  make_text "$mb" "$text"
  "$cli" encrypt --key-file "$work/key" --seed 1 "$text" >"$text.qzv"
  base64 -w 128 "$text" >"$text.b64"
  # Every decryption must give the text back, or its time means nothing.
  "$cli" decrypt --key-file "$work/key" "$text.qzv" | cmp -s - "$text" ||
    { echo "bench-cli: the $mb MB round trip failed" >&2; exit 1; }
  result[$mb,enc]=$(median_seconds "'$cli' encrypt --key-file '$work/key' --seed 1 '$text' >'$work/out'")
  result[$mb,enco]=$(median_seconds "'$cli' encrypt --key-file '$work/key' --seed 1 -o '$work/out' '$text'")
  result[$mb,b64]=$(median_seconds "base64 -w 128 '$text' >'$work/out'")
  result[$mb,dec]=$(median_seconds "'$cli' decrypt --key-file '$work/key' '$text.qzv' >'$work/out'")
  result[$mb,deco]=$(median_seconds "'$cli' decrypt --key-file '$work/key' -o '$work/out' '$text.qzv'")
  result[$mb,unb64]=$(median_seconds "base64 -d '$text.b64' >'$work/out'")
  rm -f "$text" "$text.qzv" "$text.b64" "$work/out"
done

ms() { awk -v s="$1" 'BEGIN { printf "%8.1f", s * 1000 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%6.2f", a / b }'; }

echo "vellumo-cli against base64, median of $runs runs (wall time, ms), outputs to files in $place;"
printf "%s processors, " "$(nproc)"
echo "load average $load_before before, $(cut -d' ' -f1-3 /proc/loadavg) after. Ratio = vellumo-cli / base64."
echo "Targets on 100 MB: encrypt <= 0.7, decrypt <= 0.5 (standard output redirected to the file)."
echo
printf '%-8s %-34s %8s %-16s %8s %6s\n' size vellumo-cli ms baseline ms ratio
for mb in 10 100; do
  row() {  # row LABEL KEY BASELINE-LABEL BASELINE-KEY
    printf '%-8s %-34s %s %-16s %s %s\n' "$mb MB" "$1" "$(ms "${result[$mb,$2]}")" "$3" \
      "$(ms "${result[$mb,$4]}")" "$(ratio "${result[$mb,$2]}" "${result[$mb,$4]}")"
  }
  row "encrypt --key-file --seed > FILE" enc "base64 -w 128" b64
  row "encrypt --key-file --seed -o FILE" enco "base64 -w 128" b64
  row "decrypt --key-file > FILE" dec "base64 -d" unb64
  row "decrypt --key-file -o FILE" deco "base64 -d" unb64
done
echo
echo "Scaling 10 MB -> 100 MB (time at 100 MB / time at 10 MB; 10 is linear):"
for op in enc:"vellumo-cli encrypt" b64:"base64 -w 128" dec:"vellumo-cli decrypt" unb64:"base64 -d"; do
  printf '  %-22s %s\n' "${op#*:}" "$(ratio "${result[100,${op%%:*}]}" "${result[10,${op%%:*}]}")"
done

[ "$memory_mb" -gt 0 ] || exit 0

# Peak memory (maximum resident set size) of vellumo-cli alone, for every command and option.
text="$work/big"
WHOLE=1 make_text "$memory_mb" "$text"
WHOLE=1 make_text "$memory_mb" "$text.utf8" "$work/chunk.utf8"
"$cli" encrypt --key-file "$work/key" --seed 1 -o "$text.qzv" "$text"
echo
echo "Peak memory of vellumo-cli on $(($(stat -c %s "$text") / 1048576)) MiB of text" \
  "($(($(stat -c %s "$text.qzv") / 1048576)) MiB encrypted); target <= 64 MiB:"
# peak LABEL SOURCE ARGS...: SOURCE is a file to pipe in, or "-" for none.
peak() {
  local label=$1 source=$2 kb
  shift 2
  if [ "$source" = - ]; then
    /usr/bin/time -f %M -o "$work/rss" "$cli" "$@" >"$work/stdout"
  else
    cat "$source" | /usr/bin/time -f %M -o "$work/rss" "$cli" "$@" >"$work/stdout"
  fi
  kb=$(tail -1 "$work/rss")
  printf '  %-48s %7.1f MiB%s\n' "$label" "$(awk -v k="$kb" 'BEGIN { print k / 1024 }')" \
    "$([ "$kb" -le 65536 ] || echo '   OVER 64 MiB')"
  rm -f "$work/out" "$work/stdout"
}
k=(--key-file "$work/key")
peak "encrypt FILE > OUT (two passes)" - encrypt "${k[@]}" "$text"
peak "encrypt -o OUT FILE" - encrypt "${k[@]}" -o "$work/out" "$text"
peak "encrypt < pipe > OUT (output spooled)" "$text" encrypt "${k[@]}"
peak "encrypt --utf8 FILE > OUT" - encrypt "${k[@]}" --utf8 "$text.utf8"
peak "encrypt --utf8 -o OUT FILE" - encrypt "${k[@]}" --utf8 -o "$work/out" "$text.utf8"
peak "decrypt FILE > OUT (two passes)" - decrypt "${k[@]}" "$text.qzv"
peak "decrypt -o OUT FILE" - decrypt "${k[@]}" -o "$work/out" "$text.qzv"
peak "decrypt < pipe > OUT (input spooled)" "$text.qzv" decrypt "${k[@]}"
peak "decrypt --utf8 FILE > OUT" - decrypt "${k[@]}" --utf8 "$text.qzv"
peak "decrypt --utf8 -o OUT FILE" - decrypt "${k[@]}" --utf8 -o "$work/out" "$text.qzv"
# The largest runs must still be right.
"$cli" decrypt "${k[@]}" "$text.qzv" | cmp -s - "$text" ||
  { echo "bench-cli: the $memory_mb MB round trip failed" >&2; exit 1; }
