#!/usr/bin/env bash
# The accessibility figures, each against its goal:
#   tree build  the accessible tree of the arm controller's window built from
#               the model, in-process on the headless display (median of 200)
#   client read an AT-SPI client reading every object of the window (role,
#               name, states, value, text) under a virtual X server (median of 7)
#   idle        the program's processor time over 10 s idle, with an
#               accessibility bus and no client listening
# Each build and run takes the machine's build lock through `locked` when
# that exists, so run this script as it is, not under `locked`.
#
# usage: scripts/bench-a11y.sh [BUILD_DIR]   (default build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}

lock=()
if command -v locked >/dev/null; then
  lock=(locked)
fi

"${lock[@]}" cmake --build "$build" -j2 --target armctl armctl_access_tree_benchmark >/dev/null
"${lock[@]}" "$build/bench/armctl_access_tree_benchmark" 200
"${lock[@]}" xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- \
  /usr/bin/python3 bench/a11y_read_tree.py "$build/app/armctl" 7
"${lock[@]}" xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- \
  bench/idle_cpu.sh "$build/app/armctl" 10
