#!/usr/bin/env bash
# Installs what is missing, builds the patch and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-packages.sh
cmake --preset release
cmake --build --preset release --parallel "$(nproc)" --target fortune-data-patch
exec build/release/app/fortune-data-patch "$@"
