#!/usr/bin/env bash
# Processor time of the arm controller left idle on a virtual X server with
# an accessibility bus and no client listening: SECONDS of wall time after
# its window is up, as user + system milliseconds from /proc.
#
# usage: bench/idle_cpu.sh ARMCTL [SECONDS]   (run under dbus-run-session and xvfb-run)
set -euo pipefail
program=$1
seconds=${2:-5}
home=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$home"' EXIT
HOME=$home XDG_CONFIG_HOME=$home/config "$program" --backend=gtk 2>/dev/null &
pid=$!
# The window is up once the program has an X window named after it.
for _ in $(seq 100); do
  xdotool search --name "Robotic arm controller" >/dev/null 2>&1 && break
  sleep 0.1
done
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
before=$(ticks)
sleep "$seconds"
after=$(ticks)
hz=$(getconf CLK_TCK)
echo "idle: $(( (after - before) * 1000 / hz )) ms of processor time in ${seconds} s"
