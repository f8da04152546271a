#!/usr/bin/env bash
# Checks that the engine's folders depend on each other only downwards:
#   text  <  file  <  format  <  read  <  check  <  write  <  create      (sql beside them, on value)
# A file of one folder may include "jet/<folder>/..." only for its own folder and those below it.
# Prints every include that reaches up and exits 1 when there is one.
#
#   layering_check.sh JET-SOURCE-DIR
set -euo pipefail
jet=$1

declare -A allowed=(
  [file]="file"
  [format]="file format"
  [read]="file format read"
  [check]="file format read check"
  [sql]="sql"
  [write]="file format read check sql write"
  [create]="file format read check sql write create"
)

status=0
for folder in "${!allowed[@]}"; do
  [ -d "$jet/$folder" ] || { echo "missing folder jet/$folder"; status=1; continue; }
  while IFS= read -r line; do
    file=${line%%:*}
    target=$(sed -E 's#.*"jet/([a-z_]+)/.*#\1#' <<<"$line")
    case " ${allowed[$folder]} " in
      *" $target "*) ;;
      *) echo "${file#"$jet"/}: jet/$folder may not include jet/$target/ (${line#*:})"; status=1 ;;
    esac
  done < <(grep -H -E '#include "jet/[a-z_]+/' "$jet/$folder"/*.h "$jet/$folder"/*.cpp 2>/dev/null || true)
done
[ $status -eq 0 ] && echo "every include of jet/ reaches down or across"
exit $status
