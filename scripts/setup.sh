#!/usr/bin/env bash
# Installs what building and testing Vellumo needs on Debian 12, when it is missing:
# everything that a preset of CMakePresets.json or a script of scripts/ and tests/ calls.
# Safe to run again; does nothing when all is there.
set -euo pipefail

packages=(
  # presets linux and linux-asan (the default c++ is g++), the unit tests and the benchmark
  cmake g++ make googletest libgtest-dev libbenchmark-dev
  # preset windows: the cross compiler (with windres)
  g++-mingw-w64-x86-64-posix
  # tests/e2e/run.sh and scripts/run.sh: 64-bit Wine, a virtual X display and xdpyinfo to see it
  # up, screenshots (import), a Japanese font and locale; xdotool for driving it by hand
  wine64 xvfb x11-utils xdotool imagemagick fonts-ipafont-gothic locales
  # preset fuzz: clang++ (package clang) and the libFuzzer runtime
  clang libclang-rt-14-dev
  # the download: the zip writer (package/write_zip.py) and the reproducibility check's clones
  python3 git
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

# As root directly; otherwise through sudo, which passes on only the environment given on its
# own command line (DEBIAN_FRONTEND set before "sudo" would not reach apt-get).
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "setup: run this as root, or install sudo first" >&2
    exit 1
  fi
  as_root=(sudo)
fi

if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  "${as_root[@]}" apt-get update -q
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine draws Japanese only under a Japanese locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating the ja_JP.UTF-8 locale"
  "${as_root[@]}" sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen ||
    echo 'ja_JP.UTF-8 UTF-8' | "${as_root[@]}" tee -a /etc/locale.gen >/dev/null
  "${as_root[@]}" locale-gen >/dev/null
fi
