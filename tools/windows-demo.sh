# Shared by the Wine checks (sourced, not run): a fresh demo installation on the Wine prefix's
# drives, and the check that an upgrade changed it. Expects WINEPREFIX and $build.

# place_demo DIR: makes the demo products in DIR and maps them as a Windows machine has them:
# drives D: and E: are the demo's own drive folders, and its folders on C: are linked into the
# prefix's drive C:. Lists the demo's databases in DIR-files.txt.
place_demo() {
  local demo=$1 dir relative
  rm -rf "$demo"
  wine "$build/tools/demo-prefix/make-demo-prefix.exe" "$demo" </dev/null | tr -d '\r' >"$demo-files.txt"
  ln -sfn "$PWD/$demo/drive_d" "$WINEPREFIX/dosdevices/d:"
  ln -sfn "$PWD/$demo/drive_e" "$WINEPREFIX/dosdevices/e:"
  for dir in "$demo"/drive_c/*/*; do
    [ -d "$dir" ] || continue
    relative=${dir#"$demo/drive_c/"}
    mkdir -p "$WINEPREFIX/drive_c/$(dirname "$relative")"
    ln -sfn "$PWD/$dir" "$WINEPREFIX/drive_c/$relative"
  done
}

# demo_directories DIR: the Windows directories of the demo's databases, one a line.
demo_directories() {
  sed -n 's/\\[^\\]*$//p' "$1-files.txt" | sort -u
}

# check_demo_changed DIR: adds to `problems` each demo directory in which no database differs
# from the backup the upgrade kept beside it.
check_demo_changed() {
  local demo=$1 directory drive folder changed backup directories
  directories=$(demo_directories "$demo")
  [ -n "$directories" ] || problems+=("the demo lists no databases")
  while IFS= read -r directory; do
    [ -n "$directory" ] || continue
    drive=${directory:0:1}
    folder="$demo/drive_${drive,,}/$(printf '%s' "${directory:3}" | tr '\\' '/')"
    changed=0
    for backup in "$folder"/*.bak; do
      if [ -f "$backup" ] && ! cmp -s "$backup" "${backup%.bak}"; then changed=1; fi
    done
    [ "$changed" -eq 1 ] || problems+=("no database changed beside its backup in $folder")
  done <<<"$directories"
}
