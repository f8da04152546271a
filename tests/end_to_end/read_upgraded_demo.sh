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
# The product on drive C also under "Program Files (x86)", and a copy of its databases in the
# VirtualStore of the prefix's user: both are upgraded and read back like the others.
product=$(cd "$work/drive_c/Program Files" && find * -name QorBirth.dll -printf '%h\n' | head -1)
mkdir -p "$work/drive_c/Program Files (x86)/$(dirname "$product")"
cp -r "$work/drive_c/Program Files/$product" "$work/drive_c/Program Files (x86)/$product"
store="$work/drive_c/users/patch-tester/AppData/Local/VirtualStore/Program Files/$product"
mkdir -p "$store"
cp "$work/drive_c/Program Files/$product"/*.dll "$store/"
USER=patch-tester WINEPREFIX="$work" "$headless" | tee "$work/headless-output.txt"
for folder in "C:\\Program Files (x86)\\" "C:\\users\\patch-tester\\AppData\\Local\\VirtualStore\\Program Files\\"; do
  grep -qxF "  upgraded: $folder$(tr '/' '\\' <<<"$product")" "$work/headless-output.txt" ||
    { echo "not upgraded: $folder$product" >&2; exit 1; }
done
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
