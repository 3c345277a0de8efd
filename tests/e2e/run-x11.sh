#!/usr/bin/env bash
# Runs the tests labelled x11 inside a virtual display, with a tray host,
# a compositor and a notification daemon, as a desktop session has them.
set -euo pipefail
build=$1
trayer --edge top --align right --widthtype request --heighttype pixel --height 24 >/dev/null 2>&1 &
pids=($!)
xcompmgr >/dev/null 2>&1 &
pids+=($!)
dunst >/dev/null 2>&1 &
pids+=($!)
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT
sleep 1
ctest --test-dir "$build" --output-on-failure -L x11
