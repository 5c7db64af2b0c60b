#!/usr/bin/env bash
# Runs one Windows test program under Wine, on a private X server, in a Wine
# prefix kept under the build directory.
#
#   run_under_wine.sh --prefix DIR [--dist DIR] [--work DIR] [--screenshots DIR]
#                     [--timeout SECONDS] [--init] [--] PROGRAM.exe [ARGS...]
#   run_under_wine.sh --prefix DIR [--timeout SECONDS] --command [--] COMMAND [ARGS...]
#
# --command runs COMMAND, a script of this machine that starts Wine programs
# itself (with the wine found in $TALVORO_WINE), in the same session: same
# prefix, X server and clean-up.
#
# --init only makes sure the prefix exists (wineboot -i, about 15 s the first
# time) and exits. Otherwise the prefix is created if needed, a fresh Xvfb is
# started on a free display, PROGRAM runs with the test paths in TALVORO_E2E_*
# (as Windows paths), and everything this script started is stopped again:
# its Xvfb and the wineserver of its prefix, nothing else.
set -euo pipefail

prefix=""
dist=""
work=""
screenshots=""
limit=600
init_only=0
host_command=0
while [[ $# -gt 0 ]]; do
  case "$1" in
    --prefix) prefix=$2; shift 2 ;;
    --dist) dist=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    --screenshots) screenshots=$2; shift 2 ;;
    --timeout) limit=$2; shift 2 ;;
    --init) init_only=1; shift ;;
    --command) host_command=1; shift ;;
    --) shift; break ;;
    -*) echo "run_under_wine.sh: unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done
if [[ -z "$prefix" ]]; then
  echo "run_under_wine.sh: --prefix is required" >&2
  exit 2
fi
if [[ $init_only -eq 0 && $# -lt 1 ]]; then
  echo "run_under_wine.sh: no program to run" >&2
  exit 2
fi

wine_bin=$(command -v wine || command -v wine64 || true)
if [[ -z "$wine_bin" && -x /usr/lib/wine/wine64 ]]; then wine_bin=/usr/lib/wine/wine64; fi
wineserver_bin=$(command -v wineserver || true)
if [[ -z "$wineserver_bin" && -x /usr/lib/wine/wineserver ]]; then
  wineserver_bin=/usr/lib/wine/wineserver
fi
if [[ -z "$wine_bin" || -z "$wineserver_bin" ]]; then
  echo "run_under_wine.sh: wine is not installed" >&2
  exit 2
fi

mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)
export WINEPREFIX="$prefix"
export WINEARCH=win64
# TALVORO_WINEDEBUG turns Wine's debug channels back on when a test needs a closer look.
export WINEDEBUG="${TALVORO_WINEDEBUG:--all}"
# No Mono or Gecko installer prompts, no desktop menu entries for the prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"

# Unix path -> Windows path through Wine's Z: drive, which maps the root.
to_windows() {
  local p
  p=$(cd "$1" && pwd)
  printf 'Z:%s' "${p//\//\\}"
}

xvfb_pid=""
server_started=0
displayfile=""
cleanup() {
  local rc=$?
  if [[ $server_started -eq 1 ]]; then
    # Ends every Wine process of this prefix (a program a test left running
    # included) and the persistent server itself.
    "$wineserver_bin" -k >/dev/null 2>&1 || true
    timeout 30 "$wineserver_bin" -w >/dev/null 2>&1 || true
  fi
  if [[ -n "$xvfb_pid" ]]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  [[ -n "$displayfile" ]] && rm -f "$displayfile"
  exit $rc
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

start_xvfb() {
  displayfile=$(mktemp)
  # TALVORO_E2E_SCREENS: the sizes of the screens, blank-separated (one
  # 1280x1024 screen unless told). Several make one Xinerama display, with
  # RandR off so that Wine takes its monitors from Xinerama; Xvfb lays every
  # screen at the origin, so the monitors overlap from the top-left corner,
  # a larger one reaching right of and below a smaller one.
  local sizes screens=() n=0
  read -r -a sizes <<<"${TALVORO_E2E_SCREENS:-1280x1024}"
  for size in "${sizes[@]}"; do
    screens+=(-screen "$n" "${size}x24")
    n=$((n + 1))
  done
  if ((n > 1)); then screens+=(+xinerama -extension RANDR); fi
  # -displayfd lets the server pick a display number that is free right now.
  Xvfb -displayfd 9 "${screens[@]}" -nolisten tcp -noreset 9>"$displayfile" \
    </dev/null >/dev/null 2>&1 &
  xvfb_pid=$!
  local i
  for ((i = 0; i < 100; i++)); do
    if [[ -s "$displayfile" ]]; then
      export DISPLAY=":$(tr -d '[:space:]' <"$displayfile")"
      return 0
    fi
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then break; fi
    sleep 0.1
  done
  echo "run_under_wine.sh: Xvfb did not start" >&2
  exit 2
}

start_wineserver() {
  # Started by hand, detached from our stdout: a server started by the first
  # wine process would keep ctest's output pipe open after the test ended.
  # Persistent (-p), so it is there for every program of the test and goes
  # only with the `wineserver -k` of the clean-up.
  server_started=1
  "$wineserver_bin" -p </dev/null >/dev/null 2>&1 || true
}

ensure_prefix() {
  # One creation at a time; the marker is written only after a complete boot
  # and names the prefix layout, so that an older prefix is made again.
  local marker="$prefix/.talvoro-prefix-2"
  exec 8>"$prefix.lock"
  flock 8
  if [[ ! -f "$marker" ]]; then
    echo "Creating the Wine prefix $prefix (once)..."
    rm -rf "$prefix"
    mkdir -p "$prefix"
    # The server that wineboot starts inherits /dev/null and ends by itself
    # once the boot is over; waiting for it makes sure the registry is saved.
    # Should it linger, the clean-up ends it.
    server_started=1
    timeout 300 "$wine_bin" wineboot -i </dev/null >/dev/null 2>&1 || {
      echo "run_under_wine.sh: wineboot failed" >&2
      exit 2
    }
    # No window manager runs on the private X server: Wine would wait two
    # seconds for one at every window it hides. Unmanaged windows don't wait
    # (and Wine draws their frames itself).
    timeout 120 "$wine_bin" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
      </dev/null >/dev/null 2>&1 || {
      echo "run_under_wine.sh: cannot configure the Wine prefix" >&2
      exit 2
    }
    timeout 120 "$wineserver_bin" -w </dev/null >/dev/null 2>&1 || true
    touch "$marker"
  fi
  flock -u 8
  exec 8>&-
}

start_xvfb
ensure_prefix
if [[ $init_only -eq 1 ]]; then
  echo "Wine prefix ready: $prefix"
  exit 0
fi

[[ -n "$dist" ]] && export TALVORO_E2E_DIST="$(to_windows "$dist")"
if [[ -n "$work" ]]; then
  mkdir -p "$work"
  export TALVORO_E2E_WORK="$(to_windows "$work")"
fi
if [[ -n "$screenshots" ]]; then
  mkdir -p "$screenshots"
  export TALVORO_E2E_SCREENSHOTS="$(to_windows "$screenshots")"
fi

start_wineserver

program=$1
shift
set +e
if [[ $host_command -eq 1 ]]; then
  TALVORO_WINE="$wine_bin" timeout --kill-after=10 "$limit" "$program" "$@"
else
  timeout --kill-after=10 "$limit" "$wine_bin" "$program" "$@"
fi
rc=$?
set -e
if [[ $rc -eq 124 ]]; then echo "run_under_wine.sh: timed out after ${limit}s" >&2; fi

# Tests save their screenshots as BMP (all Windows can write without extra
# libraries); PNG is friendlier to look at.
if [[ -n "$screenshots" ]] && command -v convert >/dev/null 2>&1; then
  shopt -s nullglob
  for bmp in "$screenshots"/*.bmp; do
    if convert "$bmp" "${bmp%.bmp}.png"; then rm -f "$bmp"; fi
  done
fi
exit $rc
