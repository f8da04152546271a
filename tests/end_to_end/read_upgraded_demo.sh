#!/usr/bin/env bash
# Upgrades a fresh demo installation through the headless program, then has
# the three independent readers compare every product database file.
#   read_upgraded_demo.sh WORKDIR MAKE_DEMO_PREFIX HEADLESS NODE COMPARE_SCRIPT COMPARE_OPTIONS...
set -euo pipefail
work=$1 make_demo=$2 headless=$3 node=$4 compare=$5
shift 5
rm -rf "$work"
"$make_demo" "$work" >/dev/null
WINEPREFIX="$work" "$headless"
mapfile -d '' files < <(find "$work" -name '*.dll' -print0 | sort -z)
[ ${#files[@]} -gt 0 ] || { echo "no product databases in $work" >&2; exit 1; }
"$node" "$compare" "$@" --expect-row-counts "${files[@]}"
