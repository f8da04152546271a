#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-packages.sh

# Node helpers (independent readers, generators) with their locked dependencies.
bash tools/install-node-helpers.sh

cmake --preset release
cmake --build --preset release --parallel "$(nproc)"
ctest --preset release --parallel "$(nproc)"
