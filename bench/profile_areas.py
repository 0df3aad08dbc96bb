#!/usr/bin/env python3
"""Shares of processor samples by area, from `perf script` output with call
graphs on standard input (bench/profile_gtk.sh). Each sample goes to the
first area whose rule its stack meets, leaf to root:

  copy to window   under GtkBackend::present_now (changed parts of our
                   picture drawn onto the window) or GtkEvents::on_draw
                   (an expose painted through GTK)
  painting/cairo   under our painting, with the leaf in Cairo, pixman,
                   Pango, HarfBuzz, FreeType or fontconfig
  painting/ours    under our painting, the rest
  X requests       in Xlib or xcb (requests, replies, reading events)
  GDK/GTK          the leaf in GDK or GTK (event handling, frame clock)
  GLib main loop   under GLib's main context or poll, not the above
  serial engine    the serial port unit's engine thread
  bench reader     the benchmark's own reader thread (not the program)
  program other    the rest of our code and its C and C++ libraries
"""
import collections
import re
import sys

PAINT = re.compile(r"::paint|on_paint|begin_paint|end_paint|Canvas::|ArmPainter|paint_")
DRAW_LIBS = re.compile(r"libcairo|libpixman|libpango|libharfbuzz|libfreetype|libfontconfig")
X_CALLS = re.compile(r"^(_X|X[A-Z]|xcb_)")
GLIB = re.compile(r"^(g_main_|g_poll|g_source|g_wakeup)")


def frames_of(sample):
    out = []
    for line in sample.splitlines()[1:]:
        m = re.match(r"\s*[0-9a-f]+\s+(.*?)\s+\((.*)\)\s*$", line)
        if m:
            out.append((re.sub(r"\+0x[0-9a-f]+$", "", m.group(1)), m.group(2)))
    return out


def area_of(frames):
    syms = [s for s, _ in frames]
    leaf_dso = frames[0][1] if frames else ""
    if any("GtkEvents::on_draw" in s or "GtkBackend::present_now" in s for s in syms):
        return "copy to window"
    if any(PAINT.search(s) for s in syms):
        return "painting/cairo" if DRAW_LIBS.search(leaf_dso) else "painting/ours"
    if any("SerialPortEngine" in s for s in syms):
        return "serial engine"
    if any(s.startswith("main::{lambda") or "main::$_" in s for s in syms):
        return "bench reader"
    if any(X_CALLS.match(s) for s in syms):
        return "X requests (Xlib/xcb)"
    if re.search(r"libgdk|libgtk", leaf_dso):
        return "GDK/GTK"
    if any(GLIB.match(s) for s in syms):
        return "GLib main loop"
    return "program other"


def main():
    counts = collections.Counter()
    for sample in sys.stdin.read().split("\n\n"):
        if sample.strip():
            counts[area_of(frames_of(sample.strip()))] += 1
    total = sum(counts.values())
    print(f"{total} samples")
    for area, n in counts.most_common():
        print(f"| {area} | {100.0 * n / total:.1f} % |")


if __name__ == "__main__":
    main()
