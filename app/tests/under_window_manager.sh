#!/usr/bin/env bash
# Runs GUI tests on a virtual X display with a window manager that frames the
# windows, as on a desktop: the outer size and placement then include a real
# title bar and border. Skips (77) when Xvfb or openbox is missing.
#
#   under_window_manager.sh TEST-BINARY GTEST-FILTER
set -euo pipefail
binary=$1
filter=$2
command -v Xvfb >/dev/null && command -v openbox >/dev/null || { echo "Xvfb or openbox missing"; exit 77; }

work=$(mktemp -d)
cleanup() {
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null || true
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display itself and reports its number.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$(cat "$work/display")"

HOME="$work" openbox >/dev/null 2>&1 &
wm=$!
# openbox announces itself on the root window once it manages the screen.
if command -v xprop >/dev/null; then
  for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break; sleep 0.1; done
  sleep 0.5  # the manager finishes its start-up after announcing itself
else
  sleep 1
fi

QT_QPA_PLATFORM=xcb "$binary" --gtest_filter="$filter"
