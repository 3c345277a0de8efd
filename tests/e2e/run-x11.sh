#!/usr/bin/env bash
# Runs the tests labelled x11 inside a virtual display, one desktop session
# after another, each with the helpers such a desktop has:
#   tray:   a tray host, a compositor and a notification daemon, no window manager
#   notray: a window manager and a notification daemon, no tray (labels x11, notray)
#   wm:     a window manager, a tray host and a notification daemon (labels x11, wm)
set -uo pipefail
build=$1
pids=()
failed=()

stop_helpers() {
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${pids[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  pids=()
}
trap stop_helpers EXIT

start() {
  "$@" >/dev/null 2>&1 &
  pids+=($!)
}

# A window manager names itself on the window the root's check property
# names; the property outlives a manager that ended.
wm_running() {
  local check
  check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -o '0x[0-9a-f]*') || return 1
  xprop -id "$check" _NET_WM_NAME 2>/dev/null | grep -q '='
}

# Waits until the display has what the session needs: a root property set by
# a tray host (the tray's selection owner) or by a window manager.
wait_for() { # what: tray | wm
  for _ in $(seq 100); do
    case $1 in
    tray) xdotool search --classname '^trayer$' >/dev/null 2>&1 && return 0 ;;
    wm) wm_running && return 0 ;;
    esac
    sleep 0.1
  done
  echo "run-x11.sh: no $1 came up" >&2
  return 1
}

session() { # name, ctest label options...
  local name=$1
  shift
  echo "== session: $name"
  ctest --test-dir "$build" --output-on-failure "$@" || failed+=("$name")
  stop_helpers
}

start trayer --edge top --align right --widthtype request --heighttype pixel --height 24
start xcompmgr
start dunst
wait_for tray
session tray -L x11 -LE 'notray|wm'

start openbox
start dunst
wait_for wm
session notray -L notray

start openbox
start trayer --edge bottom --align right --widthtype request --heighttype pixel --height 24
start dunst
wait_for wm
wait_for tray
session wm -L wm

if [ ${#failed[@]} -gt 0 ]; then
  echo "run-x11.sh: failed in session(s): ${failed[*]}" >&2
  exit 1
fi
