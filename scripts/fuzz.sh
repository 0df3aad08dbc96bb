#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a short while
# (FUZZ_SECONDS, default 20), as many at once as there are cores. A crash or
# sanitizer report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-20}
cmake --preset fuzz >/dev/null
targets=$(cd fuzz && ls *_fuzzer.cpp | sed 's/_fuzzer.cpp$//')
build_targets=()
for t in $targets; do
  build_targets+=("armctl_fuzz_$t")
done
cmake --build --preset fuzz -j "$(nproc)" --target "${build_targets[@]}"

fuzz_one() {
  local t=$1 corpus="build/fuzz/corpus/$1" seeds=()
  mkdir -p "$corpus"
  [ -d "fuzz/seeds/$t" ] && seeds=("fuzz/seeds/$t")
  "build/fuzz/fuzz/armctl_fuzz_$t" -max_total_time="$2" -print_final_stats=0 \
    "$corpus" "${seeds[@]}" >"build/fuzz/$t.log" 2>&1
}
export -f fuzz_one
status=0
printf '%s\n' $targets | xargs -P "$(nproc)" -I{} bash -c 'fuzz_one "$1" "$2"' _ {} "$seconds" || status=$?
for t in $targets; do
  echo "fuzzed $t for ${seconds}s"
  tail -n 3 "build/fuzz/$t.log"
done
exit $status
