#!/usr/bin/env bash
# Installs what is missing, builds the patch and starts it.
#
# The products are looked up in the Wine prefix $WINEPREFIX. When it is not
# set, a demo prefix with a few installed products is made under build/ (once)
# and used. Without a display, both upgrade actions run headless through the
# same code as the window's buttons, and their outcome is printed.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-packages.sh
cmake --preset release
cmake --build --preset release --parallel "$(nproc)" \
  --target fortune-data-patch fortune-data-patch-headless make-demo-prefix

if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX="$PWD/build/demo-prefix"
  if [ ! -d "$WINEPREFIX" ]; then
    echo "Making a demo Wine prefix in $WINEPREFIX:"
    build/release/tools/demo-prefix/make-demo-prefix "$WINEPREFIX"
  fi
fi
echo "Products are looked up in $WINEPREFIX"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/release/app/fortune-data-patch
fi
echo "No display: running both upgrade actions headless."
exec build/release/tools/headless-upgrade/fortune-data-patch-headless
