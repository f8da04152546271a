#!/usr/bin/env bash
# Upgrades a fresh demo installation through the headless program, then has
# the three independent readers compare every product database file. The
# upgrade then runs nine more times: every file keeps the size the first run
# gave it (give or take a page), and the readers still agree.
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

declare -A first
for f in "${files[@]}"; do first[$f]=$(stat -c %s "$f"); done
for run in 2 3 4 5 6 7 8 9 10; do
    WINEPREFIX="$work" "$headless" >/dev/null
    for f in "${files[@]}"; do
        size=$(stat -c %s "$f")
        if (( size > first[$f] + 4096 || size + 4096 < first[$f] )); then
            echo "$f: $size bytes after run $run, ${first[$f]} after the first" >&2
            exit 1
        fi
    done
done
"$node" "$compare" "$@" --expect-row-counts "${files[@]}"
