#!/usr/bin/env bash
# armctl-play's step interval error (median, p99) and processor time at
# speed 20 on a pseudo-terminal, against their goals. Exits non-zero when a
# goal is missed.
# usage: scripts/bench-play.sh [ROWS] [PASSES]   (defaults 100 and 1)
# Run it as it is, not under `locked`: it takes the lock itself.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${PRESET:-default}
lock=()
if command -v locked >/dev/null; then
  lock=(locked)
fi
"${lock[@]}" cmake --build --preset "$preset" --target armctl_play_interval_benchmark >/dev/null
"${lock[@]}" "build/$preset/bench/armctl_play_interval_benchmark" "$@"
