#!/usr/bin/env bash
# Installs what is missing, builds the Windows program and starts it under 64-bit Wine on your
# X display, in a Wine prefix of its own (~/.local/share/vellumo/wineprefix, made once under the
# Japanese locale so that Japanese text draws with the Japanese font).
#
#   scripts/run.sh [--virtual] [FILE]
#     FILE        a file to open at start (decrypted when it ends in .qzv)
#     --virtual   no X display at hand: start a private virtual one (Xvfb) and run there
# Environment: VELLUMO_BUILD_DIR builds into another folder than build/windows;
#              VELLUMO_PREFIX uses another Wine prefix.
set -euo pipefail
start_dir=$(pwd)
cd "$(dirname "$0")/.."
root=$(pwd)

virtual=0
args=()
for arg in "$@"; do
  case "$arg" in
    --virtual) virtual=1 ;;
    -h|--help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) args+=("$arg") ;;
  esac
done

say() { echo "run: $*" >&2; }

display_works() { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }

if [ "$virtual" = 0 ] && ! display_works; then
  if [ -n "${DISPLAY:-}" ]; then
    say "cannot open the X display $DISPLAY."
  else
    say "there is no X display (DISPLAY is not set)."
  fi
  if [ -t 0 ] && [ -t 2 ]; then
    read -r -p "run: start the editor on a virtual display instead? [y/N] " answer
    case "$answer" in [yY]*) virtual=1 ;; *) exit 1 ;; esac
  else
    say "to run it on a virtual display: scripts/run.sh --virtual"
    exit 1
  fi
fi

scripts/setup.sh

build=${VELLUMO_BUILD_DIR:-build/windows}
if [ "$build" = build/windows ]; then
  cmake --preset windows >/dev/null
  cmake --build --preset windows -j "$(nproc)"
else
  cmake --preset windows -B "$build" >/dev/null
  cmake --build "$build" -j "$(nproc)"
fi
case "$build" in /*) ;; *) build="$root/$build" ;; esac
exe="$build/app/win32/vellumo.exe"
[ -f "$exe" ] || { say "$exe was not built"; exit 1; }

export WINEPREFIX=${VELLUMO_PREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/vellumo/wineprefix}
export WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8
unset LC_ALL
# The `wine` wrapper needs 32-bit support, which this kind of machine lacks.
wine=/usr/lib/wine/wine64

xvfb_pid=""
stop_xvfb() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; true; }
if [ "$virtual" = 1 ]; then
  for n in $(seq 90 199); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 100); do display_works && break; sleep 0.05; done
    display_works && break
    stop_xvfb
    xvfb_pid=""
  done
  [ -n "$xvfb_pid" ] || { say "cannot start a virtual display"; exit 1; }
  trap 'stop_xvfb' EXIT
  say "virtual display $DISPLAY (1024x768), gone when the editor ends."
  say "  screenshot: import -display $DISPLAY -window root vellumo.png"
  say "  type into it: DISPLAY=$DISPLAY xdotool type 'text'  (or drive it with tests/e2e)"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  say "creating the Wine prefix $WINEPREFIX (once, about 10 s)"
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1 </dev/null
fi

# A file named on the command line: an absolute Linux path becomes its Wine form (Z:\...);
# a relative one is found from the folder run.sh was started in, which Wine maps the same way.
win_args=()
for arg in "${args[@]}"; do
  if [[ "$arg" == /* ]]; then arg="Z:${arg//\//\\}"; fi
  win_args+=("$arg")
done
cd "$start_dir"

# On the virtual display there is no window manager: Wine's own desktop window (named
# "Vellumo", set for this run only) draws the frames, and closing windows does not stall.
desktop_key='HKCU\Software\Wine\Explorer'
if [ "$virtual" = 1 ]; then
  "$wine" reg add "$desktop_key\Desktops" /v Vellumo /d 1024x768 /f >/dev/null 2>&1
  "$wine" reg add "$desktop_key" /v Desktop /d Vellumo /f >/dev/null 2>&1
  # Wine's desktop process ends a moment after the editor; the display goes after it.
  trap '"$wine" reg delete "$desktop_key" /v Desktop /f >/dev/null 2>&1
        timeout 15 /usr/lib/wine/wineserver -w; stop_xvfb' EXIT
else
  "$wine" reg delete "$desktop_key" /v Desktop /f >/dev/null 2>&1 || true
fi
# Without Wine's preloader (Debian's wine64 has none), address-space randomisation now and then
# takes the address Wine needs for its shared user data, and the start fails (about one in
# 10,000); with randomisation off for this process the layout is the same every time.
fixed_layout=()
setarch "$(uname -m)" -R true 2>/dev/null && fixed_layout=(setarch "$(uname -m)" -R)
"${fixed_layout[@]}" "$wine" "$exe" "${win_args[@]}"
