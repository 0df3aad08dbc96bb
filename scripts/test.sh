#!/usr/bin/env bash
# Builds and runs every test: the default and the address/undefined-behaviour
# sanitizer builds, the desktop tests under a virtual X display, and a short
# run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
export ARMCTL_WERROR=${ARMCTL_WERROR:-ON}

run_preset() {
  local preset=$1
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -LE desktop -j "$jobs"
}

run_preset default
# The desktop tests need a real X server; xvfb-run gives them one.
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build/default -L desktop --output-on-failure
run_preset asan
if [ -x scripts/fuzz.sh ]; then
  scripts/fuzz.sh
fi
