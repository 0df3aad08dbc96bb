#!/usr/bin/env bash
# Processor time of the arm window (gtk display under a virtual X server):
# 10 s with no commands, then 10 s with a servo kept moving by a command
# every half second. Goals: at most 0.5 % of a core idle, 5 % animating.
#
#   bench/arm_window_cpu.sh [build/default/tools/arm/armctl-arm] [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
arm=${1:-build/default/tools/arm/armctl-arm}
seconds=${2:-10}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$arm" "$seconds"
fi

config=$(mktemp -d)
pid=
# The arm ends on SIGTERM with 128 + 15, as it should; that status is not the
# script's, which errexit would otherwise make it inside the trap.
stop_arm() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=
  fi
}
trap 'stop_arm; rm -rf "$config"' EXIT
. bench/arm_on_com9.sh
start_arm_on_com9 "$arm" "$config" || { pid=$arm_pid; exit 1; }
pid=$arm_pid
line=$arm_line

# Time on a processor in nanoseconds, summed over a process's threads: the
# clock ticks of /proc/PID/stat count 10 ms at a time, too coarse for a few
# per cent over a few seconds.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ t += $1 } END { print t + 0 }'; }
ticks() { cpu_ns "$pid"; }
percent() { awk -v t="$1" -v s="$seconds" 'BEGIN { printf "%.2f", 100 * t / 1e9 / s }'; }

before=$(ticks)
sleep "$seconds"
idle=$(( $(ticks) - before ))

before=$(ticks)
exec 3>"$line"
end=$(( $(date +%s) + seconds ))
angle=0
while [ "$(date +%s)" -lt "$end" ]; do
  angle=$(( 180 - angle ))
  printf '%da%db%dc%dd' "$angle" "$angle" "$angle" "$angle" >&3
  sleep 0.5
done
exec 3>&-
moving=$(( $(ticks) - before ))

echo "arm window idle:      $(percent "$idle") % of a core over ${seconds} s (goal <= 0.5 %)"
echo "arm window animating: $(percent "$moving") % of a core over ${seconds} s (goal <= 5 %)"
