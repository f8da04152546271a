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

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# A machine that already has Node.js from elsewhere needs no Debian npm.
if command -v node >/dev/null && command -v npm >/dev/null; then
  filtered=()
  for p in "${missing[@]}"; do [[ $p == nodejs || $p == npm ]] || filtered+=("$p"); done
  missing=("${filtered[@]}")
fi
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
