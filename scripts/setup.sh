#!/usr/bin/env bash
# Installs what building and testing Vellumo needs on Debian 12, when it is missing:
# the mingw-w64 cross compiler, 64-bit Wine, a virtual X display, a Japanese font and locale,
# clang's libFuzzer runtime, the screenshot tools, and Python for writing the download's zip. Safe to run again; does nothing when all
# is there.
set -euo pipefail

packages=(
  cmake g++ make googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix
  wine64 xvfb x11-utils xdotool imagemagick
  fonts-ipafont-gothic locales
  clang-14 libclang-rt-14-dev
  python3 git
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine draws Japanese only under a Japanese locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating the ja_JP.UTF-8 locale"
  $sudo sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
