#!/usr/bin/env bash
# Builds and runs the serial port benchmark under the machine-wide build lock:
# SendData latency against a raw write on a pseudo-terminal, then memory and
# descriptors over OpenPort/ClosePort cycles. Exits non-zero when the latency
# goal or a resource limit is not met.
# usage: scripts/bench-serial.sh [SENDS] [CYCLES]   (defaults 5000 and 500)
# Run it as it is, not under `locked`: it takes the lock itself.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${PRESET:-default}
locked cmake --build --preset "$preset" --target armctl_serial_benchmark
locked "build/$preset/bench/armctl_serial_benchmark" "$@"
