#!/usr/bin/env bash
# The arm controller on the GTK display under a virtual X server (re-execs
# itself under xvfb-run when there is no display), each figure against its
# goal:
#   playback   100 rows at speed 20 in-process on GTK: the program's and the
#              X server's processor time over the playback
#   memory     VmRSS and Pss of the controller after start-up, beside a bare
#              GTK 3 window drawing the same texts, both on the same server
#   key press  a real key made by the X server on the focused Gripper
#              slider to its command on the line (GTK_ROUNDS, default 300)
#
#   bench/app_gtk.sh [BUILD_DIR]   (default build/default; built already)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
rounds=${GTK_ROUNDS:-300}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build"
fi

# The X server of $DISPLAY: an Xvfb whose arguments name that display.
x_server_pid() {
  local d
  for d in /proc/[0-9]*; do
    [ "$(cat "$d/comm" 2>/dev/null)" = Xvfb ] || continue
    if tr '\0' ' ' <"$d/cmdline" 2>/dev/null | grep -q -- " $DISPLAY "; then
      basename "$d"
      return
    fi
  done
}
xpid=$(x_server_pid)
[ -n "$xpid" ] || { echo "no Xvfb serves $DISPLAY" >&2; exit 1; }

"$build/bench/armctl_app_playback_benchmark" --gtk --x-server="$xpid"

scratch=$(mktemp -d)
pids=()
stop_all() {
  local p
  for p in "${pids[@]}"; do
    kill "$p" 2>/dev/null || true
    wait "$p" 2>/dev/null || true
  done
  pids=()
}
trap 'stop_all; rm -rf "$scratch"' EXIT

kb() { awk -v k="$2:" '$1 == k { print $2; exit }' "$1"; }

HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data \
  "$build/app/armctl" --backend=gtk 2>/dev/null &
controller=$!
pids+=("$controller")
timeout 20 xdotool search --sync --onlyvisible --pid "$controller" >/dev/null 2>&1 ||
  { echo "the controller showed no window" >&2; exit 1; }
"$build/bench/armctl_bare_gtk_window" 2>/dev/null &
bare=$!
pids+=("$bare")
timeout 20 xdotool search --sync --onlyvisible --pid "$bare" >/dev/null 2>&1 ||
  { echo "the bare GTK window showed no window" >&2; exit 1; }
# Both have painted and settled before they are read.
sleep 2
c_rss=$(kb "/proc/$controller/status" VmRSS)
c_pss=$(kb "/proc/$controller/smaps_rollup" Pss)
b_rss=$(kb "/proc/$bare/status" VmRSS)
b_pss=$(kb "/proc/$bare/smaps_rollup" Pss)
stop_all
awk -v cr="$c_rss" -v cp="$c_pss" -v br="$b_rss" -v bp="$b_pss" 'BEGIN {
  printf "resident memory after start-up on gtk, beside a bare GTK 3 window with the same texts\n"
  printf "  controller:  VmRSS %.1f MB, Pss %.1f MB\n", cr / 1024, cp / 1024
  printf "  bare window: VmRSS %.1f MB, Pss %.1f MB\n", br / 1024, bp / 1024
  r = cr / br; p = cp / bp
  printf "  ratio VmRSS %.2f (goal <= 1.1: %s), ratio Pss %.2f\n", r, r <= 1.1 ? "met" : "MISSED", p
}'

"$build/bench/armctl_app_key_latency_benchmark" "$rounds" --gtk
