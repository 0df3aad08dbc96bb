#!/usr/bin/env bash
# Checks the formatting, then builds and runs every test: the default and the
# address/undefined-behaviour sanitizer builds, the desktop tests under a
# virtual X display, the tests in which threads meet under the thread
# sanitizer, and a short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."

# Each step's wall time, printed as a table at the end (and on failure).
timings=()
timed() {
  local name=$1 start=$SECONDS
  shift
  "$@"
  timings+=("$(printf '%-28s %5d s' "$name" $((SECONDS - start)))")
}
print_timings() {
  [ ${#timings[@]} -gt 0 ] && printf 'time: %s\n' "${timings[@]}"
  return 0
}
trap print_timings EXIT

timed install scripts/install-deps.sh
jobs=$(nproc)

# Every C++ source as .clang-format has it.
check_format() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z '*.h' '*.cpp' | xargs -0 clang-format --dry-run -Werror
  else
    find . -path ./build -prune -o \( -name '*.h' -o -name '*.cpp' \) -print0 |
      xargs -0 clang-format --dry-run -Werror
  fi
}
timed format check_format

run_preset() {
  local preset=$1
  cmake --preset "$preset" >/dev/null
  timed "build $preset" cmake --build --preset "$preset" -j "$jobs"
  timed "test $preset" ctest --preset "$preset" -LE 'desktop|a11y' -j "$jobs" --timeout 300 --no-tests=error
}

run_preset default
# The Debian package of the default build: built, checked, installed, run
# and removed again.
timed package scripts/package-test.sh build/default
# The desktop tests need a real X server; xvfb-run gives them one.
timed "test desktop" xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir build/default -L desktop --output-on-failure --timeout 300
# Through AT-SPI: each test brings its own display and session bus
# (xvfb-run -a dbus-run-session -- /usr/bin/python3 ...).
timed "test a11y" ctest --test-dir build/default -L a11y --output-on-failure --timeout 300 \
  --no-tests=error
run_preset asan

# The thread sanitizer over the tests in which threads meet: the message
# queue (sends and posts from other threads, waits ended by another thread's
# clock step), stepped time running by itself, shutdown with senders running,
# Delay, dialogs on stepped time, and everything labelled serial. Only the
# programs holding them are built.
cmake --preset tsan >/dev/null
timed "build tsan" cmake --build --preset tsan -j "$jobs" --target thread_tests
# --no-tests=error: a filter that matches nothing must fail, not pass quietly.
timed "test tsan (threads meet)" env ARMCTL_SHUTDOWN_CYCLES=1000 \
  ctest --preset tsan -j "$jobs" --timeout 300 --no-tests=error -R '^(MessageQueue|SteppedClock|Shutdown|Delay|Dialogs)\.'
timed "test tsan (serial)" ctest --preset tsan -j "$jobs" --timeout 300 --no-tests=error -L serial
timed fuzz scripts/fuzz.sh
