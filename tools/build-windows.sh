#!/usr/bin/env bash
# Cross-builds the Windows programs with Debian's MinGW-w64 into build/windows:
# fortune-data-patch.exe (the window), fortune-data-patch-headless.exe and
# jetdb.exe, each one self-contained 64-bit program. Installs what is missing
# first (Debian 12, as root or through sudo) and prints the path of
# fortune-data-patch.exe. Needs neither Wine nor a display.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build googletest g++-mingw-w64-x86-64-posix)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}" >&2
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi

build=build/windows
# The same configuration as tools/run-windows-tests.sh, which builds the tests too.
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
      -DCMAKE_BUILD_TYPE=Release -DPATCH_BUILD_GUI=OFF >&2
cmake --build "$build" --parallel "$(nproc)" \
      --target fortune-data-patch fortune-data-patch-headless jetdb >&2
realpath "$build/win32/fortune-data-patch.exe"
