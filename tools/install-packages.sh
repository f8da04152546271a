#!/usr/bin/env bash
# Installs the Debian packages the patch needs to build, run and be tested,
# skipping those already present. Runs as root or through sudo.
# Extra package names given as arguments are installed too (e.g. the sanitizer run's clang).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev fonts-wqy-microhei fonts-arphic-uming fonts-noto-cjk qt6-translations-l10n
  googletest libgtest-dev libbenchmark-dev
  mdbtools mdbtools-dev nodejs npm
  xvfb xauth imagemagick openbox x11-utils
  "$@"
)

# A machine that already has Node.js from elsewhere needs no Debian npm.
if command -v node >/dev/null && command -v npm >/dev/null; then
  filtered=()
  for p in "${packages[@]}"; do [[ $p == nodejs || $p == npm ]] || filtered+=("$p"); done
  packages=("${filtered[@]}")
fi
bash "$(dirname "$0")/install-missing-packages.sh" "${packages[@]}"
