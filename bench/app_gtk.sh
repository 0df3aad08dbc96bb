#!/usr/bin/env bash
# The arm controller on the GTK display under a virtual X server (re-execs
# itself under xvfb-run when there is no display), each figure against its
# goal:
#   playback   100 rows at speed 20 in-process on GTK: the program's and the
#              X server's processor time over the playback
#   memory     VmRSS and Pss of the controller after start-up, beside a bare
#              GTK 3 window drawing the same texts, each alone on the same
#              server one after the other
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
pid=
stop_it() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=
  fi
}
trap 'stop_it; rm -rf "$scratch"' EXIT

kb() { awk -v k="$2:" '$1 == k { print $2; exit }' "$1"; }
# Starts a program, waits until its window is mapped and has settled, and
# prints its VmRSS and Pss in kB and whether it mapped a GL driver. Each
# program is measured alone on the server: GTK maps Mesa's GL driver (some
# 45 MB with LLVM) into a client that is alone on this server and not into
# one started beside another, so side by side the order would decide.
# It runs in a command substitution: its output is the figures alone, and
# the program must not hold that pipe open.
measure_alone() {
  "$@" >/dev/null 2>&1 &
  pid=$!
  if ! timeout 30 xdotool search --sync --onlyvisible --pid "$pid" >/dev/null 2>&1; then
    echo "$1 showed no window in 30 s" >&2
    stop_it
    return 1
  fi
  sleep 2
  local gl=no
  grep -q -E 'swrast|libLLVM' "/proc/$pid/maps" && gl=yes
  echo "$(kb "/proc/$pid/status" VmRSS) $(kb "/proc/$pid/smaps_rollup" Pss) $gl"
  stop_it
}
controller=$(HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data \
  measure_alone "$build/app/armctl" --backend=gtk)
bare=$(measure_alone "$build/bench/armctl_bare_gtk_window")
read -r c_rss c_pss c_gl <<<"$controller"
read -r b_rss b_pss b_gl <<<"$bare"
awk -v cr="$c_rss" -v cp="$c_pss" -v br="$b_rss" -v bp="$b_pss" -v cg="$c_gl" -v bg="$b_gl" 'BEGIN {
  printf "resident memory after start-up on gtk, beside a bare GTK 3 window with the same texts\n"
  printf "  controller:  VmRSS %.1f MB, Pss %.1f MB (GL driver mapped: %s)\n", cr / 1024, cp / 1024, cg
  printf "  bare window: VmRSS %.1f MB, Pss %.1f MB (GL driver mapped: %s)\n", br / 1024, bp / 1024, bg
  r = cr / br; p = cp / bp
  printf "  ratio VmRSS %.2f (goal <= 1.1: %s), ratio Pss %.2f\n", r, r <= 1.1 ? "met" : "MISSED", p
}'

"$build/bench/armctl_app_key_latency_benchmark" "$rounds" --gtk
