#!/usr/bin/env bash
# Builds everything below the window for 64-bit Windows with Debian's MinGW-w64, runs its tests
# under Wine, and then runs the headless upgrade under Wine on a demo installation placed on
# drives C:, D: and E:. Installs what is missing first (Debian 12, as root or through sudo).
# Needs no display.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build googletest g++-mingw-w64-x86-64-posix wine wine64)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build=build/windows
mkdir -p "$build"

# A Wine prefix of our own, made once. No windows ever open; Mono and Gecko are not wanted
# (nothing here needs .NET or HTML) and their installers would ask for them.
export WINEPREFIX="$PWD/$build/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Making the Wine prefix $WINEPREFIX"
  wineboot --init >/dev/null 2>&1
  wineserver -w
fi

# One Wine server for the whole run (the build runs Windows programs too), with Wine's
# background services started here, their output going nowhere: started by a test, they would
# inherit its output and keep ctest waiting for it to close.
wineserver -k >/dev/null 2>&1 || true   # left over from an interrupted run
wineserver -w
wineserver -p
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
wine cmd /c exit </dev/null >/dev/null 2>&1

cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
      -DCMAKE_BUILD_TYPE=Release -DPATCH_BUILD_GUI=OFF
cmake --build "$build" --parallel "$(nproc)"
ctest --test-dir "$build" --parallel "$(nproc)" --output-on-failure --timeout 600

# The headless upgrade as on a Windows machine: the demo products on drives D: and E: (the demo's
# own drive folders) and C: (their folders linked into the prefix's drive C:). This runs the
# native drive lookup, wide-character Chinese folder names, the GBK code page and the commit's
# rename on real drive-letter paths.
echo
echo "== Headless upgrade under Wine =="
demo="$build/demo-prefix"
rm -rf "$demo"
wine "$build/tools/demo-prefix/make-demo-prefix.exe" "$demo" </dev/null | tr -d '\r' >"$build/demo-files.txt"
# The product on C: once more under "Program Files (x86)" (a 32-bit installer on 64-bit Windows),
# and the copies of its databases that file virtualisation keeps in the user's VirtualStore.
on_c=$(sed -n 's/\\[^\\]*$//; /^C:/{p;q}' "$build/demo-files.txt")
product=${on_c#'C:\Program Files\'}
product_path=$(printf '%s' "$product" | tr '\\' '/')
mkdir -p "$demo/drive_c/Program Files (x86)/$(dirname "$product_path")"
cp -r "$demo/drive_c/Program Files/$product_path" "$demo/drive_c/Program Files (x86)/$product_path"
local_app_data=$(wine cmd /c 'echo %LOCALAPPDATA%' </dev/null | tr -d '\r')
virtual_store=$(winepath -u "$local_app_data" 2>/dev/null)/VirtualStore
rm -rf "$virtual_store"
mkdir -p "$virtual_store/Program Files/$product_path"
cp "$demo/drive_c/Program Files/$product_path"/*.dll "$virtual_store/Program Files/$product_path/"
ln -sfn "$PWD/$demo/drive_d" "$WINEPREFIX/dosdevices/d:"
ln -sfn "$PWD/$demo/drive_e" "$WINEPREFIX/dosdevices/e:"
for dir in "$demo"/drive_c/*/*; do
  [ -d "$dir" ] || continue
  relative=${dir#"$demo/drive_c/"}
  mkdir -p "$WINEPREFIX/drive_c/$(dirname "$relative")"
  ln -sfn "$PWD/$dir" "$WINEPREFIX/drive_c/$relative"
done

status=0
wine "$build/tools/headless-upgrade/fortune-data-patch-headless.exe" </dev/null | tr -d '\r' >"$build/headless-output.txt" || status=$?
cat "$build/headless-output.txt"

problems=()
[ "$status" -eq 0 ] || problems+=("exit status $status")
grep -q 'looked up in: the drives of this computer' "$build/headless-output.txt" || problems+=("did not look on the computer's own drives")
if grep -q 'failed:' "$build/headless-output.txt"; then problems+=("a directory failed"); fi
# Every demo directory is upgraded; at least one of its databases changed, its backup kept.
directories=$(sed -n 's/\\[^\\]*$//p' "$build/demo-files.txt" | sort -u)
[ -n "$directories" ] || problems+=("the demo lists no databases")
while IFS= read -r directory; do
  [ -n "$directory" ] || continue
  grep -qxF "  upgraded: $directory" "$build/headless-output.txt" || problems+=("not upgraded: $directory")
  drive=${directory:0:1}
  folder="$demo/drive_${drive,,}/$(printf '%s' "${directory:3}" | tr '\\' '/')"
  changed=0
  for backup in "$folder"/*.bak; do
    if [ -f "$backup" ] && ! cmp -s "$backup" "${backup%.bak}"; then changed=1; fi
  done
  [ "$changed" -eq 1 ] || problems+=("no database changed beside its backup in $folder")
done <<<"$directories"
for drive in C D E; do
  grep -q "^  upgraded: $drive:" "$build/headless-output.txt" || problems+=("nothing upgraded on drive $drive:")
done
for extra in "C:\\Program Files (x86)\\$product" "$local_app_data\\VirtualStore\\Program Files\\$product"; do
  grep -qxF "  upgraded: $extra" "$build/headless-output.txt" || problems+=("not upgraded: $extra")
done
for file in "$demo/drive_c/Program Files (x86)/$product_path"/*.dll "$virtual_store/Program Files/$product_path"/*.dll; do
  if [ ! -f "$file.bak" ] || cmp -s "$file.bak" "$file"; then problems+=("not upgraded beside its backup: $file"); fi
done

if [ ${#problems[@]} -gt 0 ]; then
  printf 'Headless upgrade under Wine FAILED:\n' >&2
  printf '  %s\n' "${problems[@]}" >&2
  exit 1
fi
echo "Headless upgrade under Wine: all $(wc -l <<<"$directories") demo directories on drives C:, D: and E:," \
     "their Program Files (x86) twin and VirtualStore copies upgraded, backups kept."
