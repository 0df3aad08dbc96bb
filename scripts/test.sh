#!/usr/bin/env bash
# Checks the formatting, then builds and runs every test: the default and the
# address/undefined-behaviour sanitizer builds, the desktop tests under a
# virtual X display, the tests in which threads meet under the thread
# sanitizer, and a short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
export ARMCTL_WERROR=${ARMCTL_WERROR:-ON}

# Every C++ source as .clang-format has it.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z '*.h' '*.cpp' | xargs -0 clang-format --dry-run -Werror
else
  find . -path ./build -prune -o \( -name '*.h' -o -name '*.cpp' \) -print0 |
    xargs -0 clang-format --dry-run -Werror
fi

run_preset() {
  local preset=$1
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -LE desktop -j "$jobs" --timeout 300 --no-tests=error
}

run_preset default
# The Debian package of the default build: built, checked, installed, run
# and removed again.
scripts/package-test.sh build/default
# The desktop tests need a real X server; xvfb-run gives them one.
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build/default -L desktop --output-on-failure --timeout 300
run_preset asan

# The thread sanitizer over the tests in which threads meet: the message
# queue (sends and posts from other threads, waits ended by another thread's
# clock step), shutdown with senders running, Delay, dialogs on stepped time,
# and everything labelled serial. Only the programs holding them are built.
cmake --preset tsan -DARMCTL_DESKTOP_TESTS=OFF >/dev/null
cmake --build --preset tsan -j "$jobs" --target thread_tests
ARMCTL_SHUTDOWN_CYCLES=1000 ctest --preset tsan -j "$jobs" --timeout 300 --no-tests=error \
  -R '^(MessageQueue|Shutdown|Delay|Dialogs)\.'
# --no-tests=error: a filter that matches nothing must fail, not pass quietly.
ctest --preset tsan -j "$jobs" --timeout 300 --no-tests=error -L serial
if [ -x scripts/fuzz.sh ]; then
  scripts/fuzz.sh
fi
