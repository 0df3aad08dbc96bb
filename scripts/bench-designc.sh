#!/usr/bin/env bash
# Times the design compiler on two large generated designs and prints the
# median wall time of RUNS runs of each:
#   chain     DEPTH units, each inside the one before it (default 4000)
#   handlers  HANDLERS bindings, each to a handler of its own (default 100000)
# usage: scripts/bench-designc.sh [DESIGNC] [RUNS]
#   DESIGNC defaults to build/default/tools/designc/designc, RUNS to 5.
set -euo pipefail
cd "$(dirname "$0")/.."
designc=${1:-build/default/tools/designc/designc}
runs=${2:-5}
depth=${DEPTH:-4000}
handlers=${HANDLERS:-100000}

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

window_head() {
  printf 'window 0x52010001\nunit 0x06010000 w window\n  rect 0 0 800 600\n'
}

{
  window_head
  awk -v n="$depth" 'BEGIN {
    for (i = 1; i <= n; ++i) {
      printf "unit 0x%08X g%d 1:9\n  rect 0 0 10 10\n", 369098752 + i, i
      if (i > 1)
        printf "  parent g%d\n", i - 1
    }
  }'
} >"$dir/chain.design"

{
  window_head
  awk -v n="$handlers" 'BEGIN {
    for (i = 0; i < n; ++i)
      printf "  on %d handler%d\n", i, i
  }'
} >"$dir/handlers.design"

# The median of the wall times, in seconds, of $runs runs on one design.
median_seconds() {
  local design=$1 times=()
  for ((i = 0; i < runs; ++i)); do
    local start end
    start=$(date +%s%N)
    if ! "$designc" "$design" "$dir/out.cpp" "$dir/out.h" 2>"$dir/errors"; then
      echo "designc failed on $design:" >&2
      head -n 5 "$dir/errors" >&2
      exit 1
    fi
    end=$(date +%s%N)
    times+=($(((end - start) / 1000000)))
  done
  printf '%s\n' "${times[@]}" | sort -n |
    awk '{ t[NR] = $1 } END { m = NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2;
                               printf "%.3f s (runs:", m / 1000; for (i = 1; i <= NR; ++i) printf " %.3f", t[i] / 1000; print ")" }'
}

chain=$(median_seconds "$dir/chain.design")
echo "chain of $depth units: $chain"
bound=$(median_seconds "$dir/handlers.design")
echo "$handlers handlers: $bound"
