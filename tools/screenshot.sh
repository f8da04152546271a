#!/usr/bin/env bash
# Starts the patch in a virtual X display and saves a screenshot of the
# screen, to see the window as a user does. Usage: tools/screenshot.sh [OUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/screenshot.png}")
binary=build/release/app/fortune-data-patch
[ -x "$binary" ] || { echo "build the patch first (tools/run-tests.sh)" >&2; exit 1; }
mkdir -p "$(dirname "$out")"

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  QT_QPA_PLATFORM=xcb "$1" &
  app=$!
  sleep "${SCREENSHOT_DELAY:-3}"
  import -window root "$2"
  kill "$app"
' _ "$binary" "$out"
echo "saved $out"
