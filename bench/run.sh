#!/usr/bin/env bash
# Runs every benchmark of a build folder; each prints its figures beside the
# anchor it measured in the same run.
set -euo pipefail
build=$1
export QT_QPA_PLATFORM=offscreen
echo "== settings file"
"$build/bench/settings_bench" --benchmark_min_time=0.5 --anchor="$build/bench/replace_anchor"
echo "== process: start-up, memory, idle CPU (offscreen)"
"$build/bench/process_bench" "$build/bin/tackora" "$build/bench/minimal_window" "${BENCH_IDLE_SECONDS:-270}"
echo "== process: start-up, memory, idle CPU (X11 on Xvfb, beside xpad)"
if command -v xvfb-run >/dev/null && [ -x "$build/bench/window_time" ]; then
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- \
    "$build/bench/process_bench" "$build/bin/tackora" "$build/bench/minimal_window" \
    "${BENCH_IDLE_SECONDS:-270}" --x11 "$build/bench/window_time"
else
  echo "(no xvfb-run or no window_time: no X11 figures)"
fi
echo "== AES block engine (beside openssl speed)"
"$build/bench/crypto_bench" --benchmark_min_time=1
openssl speed -evp aes-128-ecb -bytes 16384 -seconds 3 2>/dev/null | tail -n 1
echo "== sealing a file"
bash "$(dirname "$0")/crypto_files.sh" "$build"
echo "== memos"
"$build/bench/memos_bench" --benchmark_min_time=0.5
echo "== file box"
bash "$(dirname "$0")/filebox.sh" "$build"
