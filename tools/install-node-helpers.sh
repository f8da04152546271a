#!/usr/bin/env bash
# Installs the Node helpers' locked dependencies (independent readers, generators) where they are
# missing or older than their lock file.
set -euo pipefail
cd "$(dirname "$0")/.."

for lock in tools/*/package-lock.json; do
  [ -e "$lock" ] || continue
  dir=$(dirname "$lock")
  [ -d "$dir/node_modules" ] && [ "$dir/node_modules/.package-lock.json" -nt "$lock" ] && continue
  npm ci --prefix "$dir" --no-audit --no-fund --loglevel=error
done
