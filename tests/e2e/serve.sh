#!/usr/bin/env bash
# Serves the end-to-end driver's requests on the X display: the driver writes one line into
# <folder>/*.req and waits until the file is gone; a <name>.failed file left beside it says why
# the request could not be done. run.sh starts this for every pass; for a hand run of the driver,
# start it yourself with the same folder in E2E_REQUEST_DIR (as a Windows path).
#
#   tests/e2e/serve.sh <request folder> <screenshot folder> [parent pid]
#     shot NAME             the whole screen into <screenshot folder>/NAME.png
#     pointer X Y           the X pointer to (X, Y), by XTEST, as a mouse moves it; when it is
#                           there already, one pixel down and back, so that the window under it
#                           hears of the position again
#     keys WINDOW KEY...    the keys pressed in order and released in reverse on the X keyboard
#                           (X key names), with the X input focus on WINDOW (its X id)
# Needs DISPLAY. Ends when the parent process (if given) or the request folder is gone.
set -uo pipefail

requests=$1
shots=$2
parent=${3:-}
log="$requests/serve.log"

fail() { printf '%s\n' "$*" >"${req%.req}.failed"; }

shot() {
  local name
  name=$(printf '%s' "$1" | tr -cd 'A-Za-z0-9._-')
  timeout 20 import -display "$DISPLAY" -window root "$shots/$name.png" >>"$log" 2>&1 ||
    fail "import failed (see $log)"
}

pointer() {
  local x=$1 y=$2 location
  location=$(timeout 10 xdotool getmouselocation 2>>"$log") || { fail "xdotool getmouselocation failed"; return; }
  if [[ "$location" == "x:$x y:$y "* ]]; then
    timeout 10 xdotool mousemove --sync "$x" "$((y + 1))" >>"$log" 2>&1 ||
      { fail "xdotool mousemove failed"; return; }
  fi
  timeout 10 xdotool mousemove --sync "$x" "$y" >>"$log" 2>&1 || fail "xdotool mousemove failed"
}

keys() {
  local window=$1 focus up=() key
  shift
  # The keys go where the X input focus is. Wine gives it to the window it activates, but not
  # always at once, and after a dialog closed it was seen to stay on the desktop window for
  # seconds; the driver has made WINDOW the active one, so the focus is put there from here.
  focus=$(timeout 10 xdotool getwindowfocus -f 2>>"$log")
  if [ "$focus" != "$window" ]; then
    echo "keys: the X input focus is on $focus, not on $window; putting it there" >>"$log"
    if ! timeout 10 xdotool windowfocus --sync "$window" >>"$log" 2>&1; then
      fail "the X input focus is on window $focus and cannot be put on $window"
      return
    fi
  fi
  for key in "$@"; do up=("$key" "${up[@]}"); done
  timeout 10 xdotool keydown --delay 0 "$@" keyup --delay 0 "${up[@]}" >>"$log" 2>&1 ||
    fail "xdotool could not press $*"
}

while :; do
  [ -n "$parent" ] && ! kill -0 "$parent" 2>/dev/null && exit 0
  [ -d "$requests" ] || exit 0
  for req in "$requests"/*.req; do
    [ -e "$req" ] || continue
    read -r verb args <"$req"
    # shellcheck disable=SC2086  # the arguments are words
    case "$verb" in
      shot) shot $args ;;
      pointer) pointer $args ;;
      keys) keys $args ;;
      *) fail "unknown request: $verb" ;;
    esac
    rm -f "$req"
  done
  sleep 0.01
done
