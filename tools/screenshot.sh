#!/usr/bin/env bash
# Starts the patch in a virtual X display and saves a screenshot of the
# screen, to see the window as a user does.
#
#   tools/screenshot.sh [OUT.png] [main|servers|payment]
#
# "servers" and "payment" click "人工起名" or "新购买付款方式" first, to show
# the naming-service or the payment-methods dialog. Needs xvfb, imagemagick
# and xdotool.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/screenshot.png}")
view=${2:-main}
binary=build/release/app/fortune-data-patch
[ -x "$binary" ] || { echo "build the patch first (tools/run-tests.sh)" >&2; exit 1; }
command -v xdotool >/dev/null || { echo "xdotool is missing: apt-get install xdotool" >&2; exit 1; }
case $view in
  main) button="" ;;
  servers) button="357 291" ;;   # centre of Button6 in the window's client area
  payment) button="357 344" ;;   # centre of Button15
  *) echo "unknown view: $view" >&2; exit 2 ;;
esac
mkdir -p "$(dirname "$out")"

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  QT_QPA_PLATFORM=xcb "$1" &
  app=$!
  sleep 2
  if [ -n "$3" ]; then
    read -r x y <<<"$3"
    # Without a window manager the window sits centred with no frame.
    xdotool mousemove $(( (1024 - 693) / 2 + x )) $(( (768 - 416) / 2 + y )) click 1
    sleep 1
  fi
  import -window root "$2"
  kill "$app"
' _ "$binary" "$out" "$button"
echo "saved $out"
