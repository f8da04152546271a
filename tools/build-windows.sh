#!/usr/bin/env bash
# Cross-builds the Windows programs with Debian's MinGW-w64 into build/windows:
# fortune-data-patch.exe (the window), fortune-data-patch-headless.exe and
# jetdb.exe, each one self-contained 64-bit program. Installs what is missing
# first (Debian 12, as root or through sudo) and prints the path of
# fortune-data-patch.exe. Needs neither Wine nor a display.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build googletest g++-mingw-w64-x86-64-posix)
bash tools/install-missing-packages.sh "${packages[@]}"

build=build/windows
# The same configuration as tools/run-windows-tests.sh, which builds the tests too.
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
      -DCMAKE_BUILD_TYPE=Release -DPATCH_BUILD_GUI=OFF >&2
cmake --build "$build" --parallel "$(nproc)" \
      --target fortune-data-patch fortune-data-patch-headless jetdb >&2
realpath "$build/win32/fortune-data-patch.exe"
