#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-packages.sh

# Node helpers (independent readers, generators) with their locked dependencies.
for lock in tools/*/package-lock.json; do
  [ -e "$lock" ] || continue
  dir=$(dirname "$lock")
  [ -d "$dir/node_modules" ] && [ "$dir/node_modules/.package-lock.json" -nt "$lock" ] && continue
  npm ci --prefix "$dir" --no-audit --no-fund --loglevel=error
done

cmake --preset release
cmake --build --preset release --parallel "$(nproc)"
ctest --preset release --parallel "$(nproc)"
