#!/usr/bin/env bash
# Measures the arm controller as a whole and prints each figure against its
# goal:
#   start-up   the executable started headless until its window is painted
#              (median of RUNS runs, default 20) and its resident memory then
#   key press  a key on the Gripper slider to its command at the far end of a
#              pseudo-terminal, against a bare write() (ROUNDS, default 2000)
#   playback   100 rows at speed 20: interval error and processor time
#   arm window the virtual arm's window under a virtual X server, idle and
#              moving (5 s each; skipped without xvfb-run)
#   gtk        the controller on the GTK display under a virtual X server:
#              playback processor time of the program and of the X server,
#              memory beside a bare GTK window, a real key press through the
#              server (GTK_ROUNDS, default 300; bench/app_gtk.sh; skipped
#              without xvfb-run)
# Each build and run takes the machine's build lock through `locked` when
# that exists, so run this script as it is, not under `locked`.
#
# usage: scripts/bench-app.sh [BUILD_DIR]   (default build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
runs=${RUNS:-20}
rounds=${ROUNDS:-2000}

lock=()
if command -v locked >/dev/null; then
  lock=(locked)
fi

"${lock[@]}" cmake --build "$build" -j2 --target armctl armctl-arm \
  armctl_app_startup_benchmark armctl_app_key_latency_benchmark armctl_app_playback_benchmark \
  armctl_bare_gtk_window >/dev/null

"${lock[@]}" "$build/bench/armctl_app_startup_benchmark" "$build/app/armctl" "$runs"
"${lock[@]}" "$build/bench/armctl_app_key_latency_benchmark" "$rounds"
"${lock[@]}" "$build/bench/armctl_app_playback_benchmark"
if command -v xvfb-run >/dev/null; then
  "${lock[@]}" bench/arm_window_cpu.sh "$build/tools/arm/armctl-arm" 5
  "${lock[@]}" bench/app_gtk.sh "$build"
fi
