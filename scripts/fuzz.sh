#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a short while
# (FUZZ_SECONDS, default 20). A crash or sanitizer report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-20}
cmake --preset fuzz -DARMCTL_DESKTOP_TESTS=OFF >/dev/null
targets=$(cd fuzz && ls *_fuzzer.cpp | sed 's/_fuzzer.cpp$//')
for t in $targets; do
  cmake --build --preset fuzz --target "armctl_fuzz_$t" -j "$(nproc)"
done
for t in $targets; do
  corpus="build/fuzz/corpus/$t"
  mkdir -p "$corpus"
  seeds=()
  [ -d "fuzz/seeds/$t" ] && seeds=("fuzz/seeds/$t")
  echo "fuzzing $t for ${seconds}s"
  "build/fuzz/fuzz/armctl_fuzz_$t" -max_total_time="$seconds" -print_final_stats=0 "$corpus" "${seeds[@]}" 2>&1 | tail -n 3
done
