#!/usr/bin/env bash
# Installs what is missing, builds, and starts the arm controller.
# Options are passed on: --backend=gtk|headless (or ARMCTL_BACKEND).
# With no serial device on the machine, the virtual arm is started as COM1
# beside the program (the program runs as the arm's child), so that opening
# COM1 shows the arm move; the two close together.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"
program=(build/default/app/armctl "$@")

shopt -s nullglob
devices=(/dev/serial/by-id/* /dev/ttyACM* /dev/ttyUSB*)
shopt -u nullglob
if [ ${#devices[@]} -gt 0 ]; then
  exec "${program[@]}"
fi

arm=(build/default/tools/arm/armctl-arm --com 1)
headless=${ARMCTL_BACKEND:-}
for arg in "$@"; do
  [ "$arg" = "--backend=headless" ] && headless=headless
done
[ "$headless" = headless ] && arm+=(--headless)
echo "No serial device found: the virtual arm (armctl-arm) plays COM1."
exec "${arm[@]}" -- "${program[@]}"
