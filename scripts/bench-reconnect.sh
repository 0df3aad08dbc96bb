#!/usr/bin/env bash
# Builds and runs the reconnect benchmark under the machine-wide build lock:
# the serial port unit on a port-map entry whose pseudo-terminal hangs up and
# comes back. Prints the median (of 20) time from the device's return to the
# first byte of the next command, and the processor time while it waits for
# the device. Exits non-zero when a goal is missed.
# usage: scripts/bench-reconnect.sh [RETURNS] [WAIT_SECONDS]   (defaults 20 and 5)
# Run it as it is, not under `locked`: it takes the lock itself.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${PRESET:-default}
locked cmake --build --preset "$preset" --target armctl_reconnect_benchmark
locked "build/$preset/bench/armctl_reconnect_benchmark" "$@"
