#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
# Options are passed on: --backend=gtk|headless (or ARMCTL_BACKEND).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"
exec build/default/tools/demo/armctl-demo "$@"
