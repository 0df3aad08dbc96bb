#!/usr/bin/env bash
# Where the processor time of the GTK display goes, under a virtual X server
# (re-execs itself under xvfb-run): the virtual arm's window while a servo
# keeps moving, and the arm controller during a playback of 100 rows at
# speed 20 (in-process, armctl_app_playback_benchmark --gtk). For each:
# perf samples with DWARF call graphs, system calls counted by strace, and
# the X client library's round trips and flushes counted with uprobes.
# Needs perf and strace; a manual tool, not part of the tests.
#
#   bench/profile_gtk.sh [BUILD_DIR] [OUT_DIR]   (defaults build/default,
#   /tmp/armctl-gtk-profile; PROFILE_SECONDS per measurement, default 5)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
out=${2:-/tmp/armctl-gtk-profile}
span=${PROFILE_SECONDS:-8}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$out"
fi
mkdir -p "$out"
config=$(mktemp -d)
pids=()
stop_all() {
  local p
  for p in "${pids[@]}"; do
    kill "$p" 2>/dev/null || true
    wait "$p" 2>/dev/null || true
  done
  pids=()
}
probes=()
remove_probes() {
  [ ${#probes[@]} -eq 0 ] ||
    perf probe -q -d 'xcbcount:*' -d 'armctl:*' 2>/dev/null || true
}
trap 'stop_all; remove_probes; rm -rf "$config"' EXIT

libxcb=$(ldconfig -p | awk '/libxcb.so.1 .*x86-64/ { print $NF; exit }')
# Frames drawn (our picture's changed parts drawn onto the window, and the
# dirty rectangles presented), round trips to the server (Xlib waits for every reply
# in xcb_wait_for_reply64) and flushes of requests (xcb_writev). Functions
# with a PLT entry of their own library (_XReply, XSync) are not probed:
# perf would place a probe on both and count a call twice.
draw=_ZN8platform10GtkBackend11present_nowERNS0_12NativeWindowE
present=_ZN8platform10GtkBackend7presentEPNS_9WindowTagEP14_cairo_surfaceRKNS_4RectE
events=()
probes=(yes)
if perf probe -q -x "$libxcb" "xcbcount:reply=xcb_wait_for_reply64" 2>/dev/null &&
  perf probe -q -x "$libxcb" "xcbcount:writev=xcb_writev" 2>/dev/null &&
  perf probe -q -x "$build/tools/arm/armctl-arm" "armctl:arm_draw=$draw" 2>/dev/null &&
  perf probe -q -x "$build/tools/arm/armctl-arm" "armctl:arm_present=$present" 2>/dev/null &&
  perf probe -q -x "$build/bench/armctl_app_playback_benchmark" "armctl:play_draw=$draw" \
    2>/dev/null &&
  perf probe -q -x "$build/bench/armctl_app_playback_benchmark" "armctl:play_present=$present" \
    2>/dev/null; then
  events=(-e xcbcount:reply -e xcbcount:writev -e armctl:arm_draw
    -e armctl:arm_present -e armctl:play_draw -e armctl:play_present)
fi

# Processor samples, system calls and X calls of process $1 over $span s.
measure() {
  local pid=$1 name=$2
  perf record -q -F 3999 -g --call-graph dwarf,16384 -p "$pid" -o "$out/$name.data" -- sleep "$span" \
    2>/dev/null
  timeout -s INT "$span" strace -c -f -p "$pid" -o "$out/$name.strace" 2>/dev/null || true
  if [ ${#events[@]} -gt 0 ]; then
    perf stat "${events[@]}" -p "$pid" -o "$out/$name.xcalls" -- sleep "$span" 2>/dev/null || true
  fi
}

# The arm, moved by a command every half second as bench/arm_window_cpu.sh does.
. bench/arm_on_com9.sh
start_arm_on_com9 "$build/tools/arm/armctl-arm" "$config" || { pids+=("$arm_pid"); exit 1; }
arm=$arm_pid
pids+=("$arm")
line=$arm_line
(
  exec 3>"$line"
  angle=0
  while true; do
    angle=$((180 - angle))
    printf '%da%db%dc%dd' "$angle" "$angle" "$angle" "$angle" >&3
    sleep 0.5
  done
) &
pids+=($!)
sleep 1
measure "$arm" arm
stop_all

# The controller: each measurement is a playback of its own, caught after
# start-up (about 1.5 s) and within its 5 s.
playback_measure() {
  local kind=$1
  "$build/bench/armctl_app_playback_benchmark" --gtk >"$out/playback-$kind.txt" 2>&1 &
  local pid=$!
  sleep 2.5
  case $kind in
  perf) perf record -q -F 3999 -g --call-graph dwarf,16384 -p "$pid" -o "$out/playback.data" -- \
    sleep 3.5 2>/dev/null ;;
  strace) timeout -s INT 3.5 strace -c -f -p "$pid" -o "$out/playback.strace" 2>/dev/null || true ;;
  xcalls) [ ${#events[@]} -eq 0 ] ||
    perf stat "${events[@]}" -p "$pid" -o "$out/playback.xcalls" -- sleep 3.5 2>/dev/null || true ;;
  esac
  wait "$pid" || true
}
playback_measure perf
playback_measure strace
playback_measure xcalls

for name in arm playback; do
  perf report -i "$out/$name.data" --no-children --sort dso,sym --stdio -g none \
    --percent-limit 0.2 2>/dev/null >"$out/$name.self.txt" || true
  perf report -i "$out/$name.data" --no-children --sort dso --stdio -g none \
    2>/dev/null >"$out/$name.dso.txt" || true
  perf report -i "$out/$name.data" --children --sort sym --stdio -g none \
    --percent-limit 1 2>/dev/null >"$out/$name.children.txt" || true
  perf script -i "$out/$name.data" 2>/dev/null | bench/profile_areas.py >"$out/$name.areas.txt" || true
done
echo "profiles in $out"
