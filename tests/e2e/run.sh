#!/usr/bin/env bash
# Runs the end-to-end scenarios of a Windows build under 64-bit Wine on a private virtual X
# display: a fresh Wine prefix per run, the driver (tests/e2e/vellumo_e2e.exe) inside it, the
# screenshots it asks for, the hook scripts of tests/e2e/hooks/, and a second pass at 144 DPI
# for the scenarios tagged "dpi". Everything it starts is torn down at the end, also on failure
# or interrupt; what a run that was killed outright left behind (its Xvfb, wineserver and small
# disk, known by the pid files in its folder) is cleaned up when the next run starts. Exit code 0
# only when every scenario and hook passed.
#
#   tests/e2e/run.sh <windows-build-dir> [options] [scenario name or glob]...
#     --pass all|normal|dpi   which passes to run (default all)
#     --no-hooks              skip tests/e2e/hooks/*.sh
#     --keep                  keep the Wine prefix and say where it is
#     --verbose               the driver traces every action
#     --repeat N              run each scenario N times (to hunt unreliable ones)
#     --timeout SECONDS       limit for the whole run (default 900)
# Environment: E2E_TIMEOUT_SCALE stretches every wait of the driver (slow machines).
set -uo pipefail

# Wine puts its shared user data page at the fixed address 0x7ffe0000. Debian's wine64 comes
# without Wine's preloader, which reserves that address before anything else is mapped, so with
# address-space randomisation a new process now and then finds it taken and dies before any of
# its code ran: "failed to map the shared user data" (c0000018) on Wine's error channel, exit
# code 1 from a shell, ERROR_INTERNAL_ERROR (1359) from CreateProcessW. Here that was about one
# start in 10,000, and a run starts several hundred. So the suite runs itself, and with it every
# process it starts, with randomisation off (setarch -R): the layout is then the same at every
# start. Where that personality cannot be set (some containers forbid it), it says so and goes on.
if [ -z "${VELLUMO_E2E_NO_RANDOMISATION:-}" ]; then
  export VELLUMO_E2E_NO_RANDOMISATION=1
  if setarch "$(uname -m)" -R true 2>/dev/null; then
    exec setarch "$(uname -m)" -R bash "${BASH_SOURCE[0]}" "$@"
  fi
  echo "e2e: cannot turn address-space randomisation off (setarch -R): now and then a Wine" \
    "process may fail to start" >&2
fi

usage() {
  sed -n '10,17p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

[ $# -ge 1 ] || usage
build=$(cd "$1" 2>/dev/null && pwd) || { echo "e2e: no build folder $1" >&2; exit 2; }
shift
passes=all
hooks=1
keep=0
driver_args=()
overall=900
while [ $# -gt 0 ]; do
  case "$1" in
    --pass) passes=${2:-}; shift ;;
    --no-hooks) hooks=0 ;;
    --keep) keep=1 ;;
    --verbose) driver_args+=(--verbose) ;;
    --repeat) driver_args+=(--repeat "${2:-1}"); shift ;;
    --timeout) overall=${2:-}; shift ;;
    -h|--help) usage ;;
    -*) echo "e2e: unknown option $1" >&2; usage ;;
    *) driver_args+=("$1") ;;
  esac
  shift
done
case "$passes" in all|normal|dpi) ;; *) usage ;; esac

here=$(cd "$(dirname "$0")" && pwd)
driver="$build/tests/e2e/vellumo_e2e.exe"
[ -f "$driver" ] || { echo "e2e: $driver is missing; build the Windows preset first" >&2; exit 2; }

export WINE=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver
export LANG=ja_JP.UTF-8
unset LC_ALL
export WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
unset WINELOADER

now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }'; }
say() { echo "e2e: $*"; }

# The start time of a process (clock ticks since boot), which tells it from a later process that
# got the same number; nothing when there is no such process.
start_time_of() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  # shellcheck disable=SC2086  # the fields are words
  set -- $stat
  echo "${20}"
}

# Writes "<pid> <start time>" of a process this run started into a file of its folder, so that
# the next run can tell whether it is still the same process.
note_pid() {
  echo "$2 $(start_time_of "$2")" >"$run_dir/$1.pid"
}

# Whether the process noted in a pid file is still running as that process.
noted_alive() {
  local pid start
  read -r pid start <"$1" 2>/dev/null || return 1
  [ -n "$pid" ] && [ "$(start_time_of "$pid")" = "$start" ]
}

# Ends the process noted in a pid file, if it is still that process.
stop_noted() {
  local pid start
  read -r pid start <"$1" 2>/dev/null || return 0
  noted_alive "$1" && kill "$pid" 2>/dev/null
  return 0
}

# The wineserver of a prefix, if running (its environment names the prefix). Plain bash over
# /proc: no pgrep, which a minimal system may lack.
find_server() {
  local prefix=${1:-$WINEPREFIX} dir exe
  for dir in /proc/[0-9]*; do
    exe=""
    { read -r -d '' exe <"$dir/cmdline"; } 2>/dev/null
    [[ "$exe" == */wineserver* ]] || continue
    if { tr '\0' '\n' <"$dir/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$prefix"; then
      echo "${dir#/proc/}"
    fi
  done
}

# A run that was killed outright (SIGKILL, a lost machine) could not tear down what it started.
# Its folder says what that was: run.pid (the run itself), xvfb.pid with xvfb.display, serve.pid,
# watchdog.pid, the prefix's wineserver and the small disk. Only folders whose run has ended
# are touched: another run that is still going (its run.pid alive) and a prefix kept on purpose
# (kept) are left as they are, and so is every folder without run.pid.
clean_stale_runs() {
  local dir display lock
  for dir in /tmp/vellumo-e2e.*; do
    [ -f "$dir/run.pid" ] || continue
    noted_alive "$dir/run.pid" && continue
    [ -e "$dir/kept" ] && continue
    say "cleaning up after a run that was killed: $dir"
    stop_noted "$dir/watchdog.pid"
    stop_noted "$dir/serve.pid"
    if [ -n "$(find_server "$dir/prefix")" ]; then
      WINEPREFIX="$dir/prefix" timeout 15 "$WINESERVER" -k >/dev/null 2>&1
    fi
    if noted_alive "$dir/xvfb.pid"; then
      stop_noted "$dir/xvfb.pid"
      for _ in $(seq 100); do noted_alive "$dir/xvfb.pid" || break; sleep 0.05; done
    fi
    # An Xvfb killed outright leaves its lock and socket behind.
    display=$(cat "$dir/xvfb.display" 2>/dev/null)
    lock="/tmp/.X$display-lock"
    if [ -n "$display" ] && [ -f "$lock" ] && ! noted_alive "$dir/xvfb.pid" &&
      [ "$(tr -d ' ' <"$lock")" = "$(cut -d' ' -f1 "$dir/xvfb.pid" 2>/dev/null)" ]; then
      rm -f "$lock" "/tmp/.X11-unix/X$display"
    fi
    if grep -q " $dir/full-disk " /proc/mounts; then umount "$dir/full-disk" 2>/dev/null; fi
    grep -q " $dir/full-disk " /proc/mounts || rm -rf "$dir"
  done
}

clean_stale_runs

run_dir=$(mktemp -d /tmp/vellumo-e2e.XXXXXX)
note_pid run $$
export WINEPREFIX="$run_dir/prefix"
requests="$run_dir/requests"
mkdir -p "$requests"
shots="$build/e2e-screenshots"
xvfb_pid=""
serve_pid=""
watchdog_pid=""
child_pid=""
full_disk=""

cleanup() {
  local code=$?
  trap - EXIT INT TERM
  [ -n "$child_pid" ] && kill -TERM "$child_pid" 2>/dev/null
  [ -n "$serve_pid" ] && kill "$serve_pid" 2>/dev/null
  [ -n "$watchdog_pid" ] && kill "$watchdog_pid" 2>/dev/null
  [ -d "$WINEPREFIX" ] && stop_server
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  [ -n "$full_disk" ] && umount "$full_disk" 2>/dev/null
  if [ "$keep" = 1 ]; then
    : >"$run_dir/kept"
    say "kept the Wine prefix: WINEPREFIX=$WINEPREFIX"
  else
    rm -rf "$run_dir"
  fi
  exit "$code"
}

trap cleanup EXIT
trap 'say "interrupted"; exit 130' INT
trap 'say "stopped (overall time limit or TERM)"; exit 124' TERM

# Whole-run limit: the watchdog sends TERM to this script, whose trap tears everything down.
# Stopped itself, it takes its sleep along; it signals only this very run, never a later process
# that got the same number.
(
  sleep "$overall" &
  nap=$!
  trap 'kill "$nap" 2>/dev/null; exit 0' TERM
  wait "$nap" && noted_alive "$run_dir/run.pid" && kill -TERM $$
) 2>/dev/null &
watchdog_pid=$!
note_pid watchdog "$watchdog_pid"

# Runs a command with a time limit, in the background so that the traps above act at once.
bounded() {
  local limit=$1
  shift
  timeout --kill-after=5 "$limit" "$@" &
  child_pid=$!
  wait "$child_pid"
  local code=$?
  child_pid=""
  return "$code"
}

# The same, run from `folder`.
cd_bounded() {
  local folder=$1
  shift
  (cd "$folder" && exec timeout --kill-after=5 "$@") &
  child_pid=$!
  wait "$child_pid"
  local code=$?
  child_pid=""
  return "$code"
}

start_xvfb() {
  local n
  for n in $(seq 70 199); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    # -r: no key auto-repeat, however long a loaded machine takes between a key's press and
    # its release on the X keyboard.
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -r >"$run_dir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    note_pid xvfb "$xvfb_pid"
    echo "$n" >"$run_dir/xvfb.display"
    for _ in $(seq 200); do
      if ! kill -0 "$xvfb_pid" 2>/dev/null; then break; fi
      if [ -S "/tmp/.X11-unix/X$n" ] && xdpyinfo -display ":$n" >/dev/null 2>&1; then
        export DISPLAY=":$n"
        return 0
      fi
      sleep 0.05
    done
    # Another X server took the number first, or this one did not come up: try the next.
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
  done
  say "no free X display number between :70 and :199"
  return 1
}

# Registry values of the prefix: Wine's virtual desktop (a window manager of its own, so hiding
# and closing windows does not stall, and frames and captions are drawn for the screenshots)
# and the screen's dots per inch.
write_registry() {
  local dpi=$1
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="Default"\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="1024x768"\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"LogPixels"=dword:%08x\r\n\r\n' \
    "$dpi" >"$run_dir/prefix.reg"
  bounded 60 "$WINE" regedit /S "$(winepath_of "$run_dir/prefix.reg")" >/dev/null 2>&1 </dev/null
}

# A new process reads the DPI from the registry when it starts: changing the value is enough
# for every program started afterwards (measured: 0.1 s, against 1.6 s for a server restart
# and 6 s for a second prefix).
set_dpi() {
  bounded 60 "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
    >/dev/null 2>&1 </dev/null
}

winepath_of() { echo "Z:${1//\//\\}"; }

# Creates the prefix under the Japanese locale (Japanese glyphs draw as boxes otherwise), then
# restarts the server so that the virtual desktop setting takes effect.
create_prefix() {
  local dpi=$1
  "$WINESERVER" -p >/dev/null 2>&1 </dev/null
  bounded 180 "$WINE" wineboot --init >/dev/null 2>&1 </dev/null || return 1
  write_registry "$dpi" || return 1
  restart_server
}

# Ends every Wine process of this prefix and waits (bounded) until its server is gone.
stop_server() {
  timeout 15 "$WINESERVER" -k >/dev/null 2>&1
  for _ in $(seq 200); do
    [ -z "$(find_server)" ] && return 0
    sleep 0.05
  done
  return 1
}

# Restarts this prefix's wineserver. Wine's background services start with the first program
# and inherit its output; a quiet first program keeps them off the driver's output pipe.
restart_server() {
  stop_server
  "$WINESERVER" -p >/dev/null 2>&1 </dev/null
  bounded 60 "$WINE" reg query 'HKCU\Control Panel\Desktop' /v LogPixels >/dev/null 2>&1 </dev/null
}

# Runs the driver for one pass, with tests/e2e/serve.sh carrying out its screenshots, pointer
# moves and key presses on the X display; its exit code is the number of failed scenarios. The
# scenarios it skipped are added to `skipped`.
skipped=0
run_pass() {
  local label=$1 dpi=$2 out=$3
  shift 3
  mkdir -p "$out"
  rm -f "$out"/*.png
  "$here/serve.sh" "$requests" "$out" $$ &
  serve_pid=$!
  note_pid serve "$serve_pid"
  local start code tap tee_pid log="$run_dir/pass-$label.tap"
  start=$(now)
  say "pass $label ($dpi DPI), screenshots in $out"
  # The driver's output is shown as it comes and kept, to count the skipped scenarios.
  exec {tap}> >(tee "$log")
  tee_pid=$!
  E2E_DPI=$dpi E2E_REQUEST_DIR=$(winepath_of "$requests") \
    cd_bounded "$run_dir" "$((overall > 60 ? overall - 30 : overall))" "$WINE" "$driver" "$@" \
    </dev/null >&"$tap"
  code=$?
  exec {tap}>&-
  wait "$tee_pid" 2>/dev/null
  kill "$serve_pid" 2>/dev/null
  wait "$serve_pid" 2>/dev/null
  serve_pid=""
  local skips
  skips=$(grep -cE '^ok [0-9]+ - .* # SKIP' "$log" 2>/dev/null)
  skipped=$((skipped + ${skips:-0}))
  say "pass $label: exit code $code, $(since "$start") s"
  return "$code"
}

run_hooks() {
  local hook code failed=0 start
  for hook in "$here"/hooks/*.sh; do
    [ -e "$hook" ] || continue
    start=$(now)
    BUILD_DIR=$build bounded 300 bash "$hook" </dev/null
    code=$?
    if [ "$code" -eq 0 ]; then
      say "ok hook $(basename "$hook") ($(since "$start") s)"
    else
      say "not ok hook $(basename "$hook"): exit code $code"
      failed=$((failed + 1))
    fi
  done
  return "$failed"
}

failures=0
t0=$(now)
start_xvfb || exit 1
say "display $DISPLAY, prefix $WINEPREFIX"

# A small disk of its own, nearly full, for the scenario that saves onto a full disk. Mounting a
# tmpfs needs root; without it that scenario says it was skipped.
if mkdir -p "$run_dir/full-disk" && mount -t tmpfs -o size=64k,mode=0777 tmpfs "$run_dir/full-disk" 2>/dev/null; then
  full_disk="$run_dir/full-disk"
  export E2E_FULL_DISK
  E2E_FULL_DISK="$(winepath_of "$full_disk")\\"
else
  say "cannot mount a small tmpfs (needs root): the full-disk scenario is skipped"
fi

t=$(now)
first_dpi=96
[ "$passes" = dpi ] && first_dpi=144
create_prefix "$first_dpi" || { say "cannot create the Wine prefix"; exit 1; }
say "prefix ready in $(since "$t") s"

if [ "$passes" != dpi ]; then
  run_pass normal 96 "$shots" "${driver_args[@]}"
  failures=$((failures + $?))
  if [ "$hooks" = 1 ]; then
    run_hooks
    failures=$((failures + $?))
  fi
fi

if [ "$passes" != normal ]; then
  set_dpi 144 || { say "cannot set 144 DPI"; exit 1; }
  run_pass dpi 144 "$shots/dpi144" --tag dpi "${driver_args[@]}"
  failures=$((failures + $?))
fi

say "total $(since "$t0") s; $failures failure(s), $skipped scenario(s) skipped"
[ "$failures" -eq 0 ]
