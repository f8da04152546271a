#!/usr/bin/env bash
# Builds every Windows program with Debian's MinGW-w64, runs the tests under Wine, then runs the
# headless upgrade and the window (tools/windows-window-check.sh) under Wine, each on a fresh
# demo installation placed on drives C:, D: and E:. Installs what is missing first (Debian 12, as
# root or through sudo). Brings its own virtual display (Xvfb); the screenshots of the three
# windows land in build/windows/screenshots.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build googletest g++-mingw-w64-x86-64-posix wine wine64
          xvfb xdotool imagemagick fonts-wine fonts-arphic-uming)
bash tools/install-missing-packages.sh "${packages[@]}"

build=build/windows
mkdir -p "$build"

# A virtual display of our own for every Windows program of the run: the window tests create
# real windows, and the window check clicks through them.
display_number=90
while [ -e "/tmp/.X$display_number-lock" ] || [ -e "/tmp/.X11-unix/X$display_number" ]; do
  display_number=$((display_number + 1))
done
Xvfb ":$display_number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display_number"
unset WAYLAND_DISPLAY
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display_number" ] && break; sleep 0.1; done

# A Wine prefix of our own, made once. Mono and Gecko are not wanted (nothing here needs .NET
# or HTML) and their installers would ask for them.
export WINEPREFIX="$PWD/$build/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
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
trap 'wineserver -k >/dev/null 2>&1 || true; kill "$xvfb_pid" 2>/dev/null || true' EXIT
wine cmd /c exit </dev/null >/dev/null 2>&1

# As a Wine user with Chinese programs would: "宋体" (and its Latin names) drawn with an
# installed CJK font whose Latin letters are half as wide as its Chinese ones, and Wine drawing
# the windows' title bars itself (there is no window manager on the virtual display).
settings="$build/wine-settings.reg"
printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
  '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
  '"宋体"="AR PL UMing CN"' '"SimSun"="AR PL UMing CN"' '"NSimSun"="AR PL UMing CN"' '' \
  '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' \
  | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$settings"
wine regedit /S "$(winepath -w "$settings")" </dev/null >/dev/null 2>&1
# The title bars' buttons are drawn with the Marlett font (from fonts-wine).
cp -n /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true

cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
      -DCMAKE_BUILD_TYPE=Release -DPATCH_BUILD_GUI=OFF
cmake --build "$build" --parallel "$(nproc)"
# A test that fails is run once more: under load Wine now and then fails to start a program at all
# (no output, a failure within milliseconds); a test that really fails fails twice.
ctest --test-dir "$build" --parallel "$(nproc)" --output-on-failure --timeout 600 --repeat until-pass:2

. tools/windows-demo.sh

# The headless upgrade as on a Windows machine, on the demo products on drives C:, D: and E:.
# This runs the native drive lookup, wide-character Chinese folder names, the GBK code page and
# the commit's rename on real drive-letter paths.
echo
echo "== Headless upgrade under Wine =="
demo="$build/demo-prefix"
place_demo "$demo"
# The product on C: once more under "Program Files (x86)" (a 32-bit installer on 64-bit Windows),
# and the copies of its databases that file virtualisation keeps in the user's VirtualStore.
on_c=$(sed -n 's/\\[^\\]*$//; /^C:/{p;q}' "$demo-files.txt")
product=${on_c#'C:\Program Files\'}
product_path=$(printf '%s' "$product" | tr '\\' '/')
x86_relative="Program Files (x86)/$(dirname "$product_path")"
mkdir -p "$demo/drive_c/$x86_relative" "$WINEPREFIX/drive_c/$x86_relative"
cp -r "$demo/drive_c/Program Files/$product_path" "$demo/drive_c/Program Files (x86)/$product_path"
ln -sfn "$PWD/$demo/drive_c/Program Files (x86)/$product_path" "$WINEPREFIX/drive_c/Program Files (x86)/$product_path"
local_app_data=$(wine cmd /c 'echo %LOCALAPPDATA%' </dev/null | tr -d '\r')
virtual_store=$(winepath -u "$local_app_data" 2>/dev/null)/VirtualStore
rm -rf "$virtual_store"
mkdir -p "$virtual_store/Program Files/$product_path"
cp "$demo/drive_c/Program Files/$product_path"/*.dll "$virtual_store/Program Files/$product_path/"

status=0
wine "$build/tools/headless-upgrade/fortune-data-patch-headless.exe" </dev/null | tr -d '\r' >"$build/headless-output.txt" || status=$?
cat "$build/headless-output.txt"

problems=()
[ "$status" -eq 0 ] || problems+=("exit status $status")
grep -q 'looked up in: the drives of this computer' "$build/headless-output.txt" || problems+=("did not look on the computer's own drives")
if grep -q 'failed:' "$build/headless-output.txt"; then problems+=("a directory failed"); fi
# Every demo directory is upgraded; at least one of its databases changed, its backup kept.
directories=$(demo_directories "$demo")
while IFS= read -r directory; do
  [ -n "$directory" ] || continue
  grep -qxF "  upgraded: $directory" "$build/headless-output.txt" || problems+=("not upgraded: $directory")
done <<<"$directories"
check_demo_changed "$demo"
for drive in C D E; do
  grep -q "^  upgraded: $drive:" "$build/headless-output.txt" || problems+=("nothing upgraded on drive $drive:")
done
for extra in "C:\\Program Files (x86)\\$product" "$local_app_data\\VirtualStore\\Program Files\\$product"; do
  grep -qxF "  upgraded: $extra" "$build/headless-output.txt" || problems+=("not upgraded: $extra")
done
for file in "$demo/drive_c/Program Files (x86)/$product_path"/*.dll "$virtual_store/Program Files/$product_path"/*.dll; do
  if [ ! -f "$file.bak" ] || cmp -s "$file.bak" "$file"; then problems+=("not upgraded beside its backup: $file"); fi
done
# The window check below starts from a plain demo installation.
rm -rf "$virtual_store" "$WINEPREFIX/drive_c/Program Files (x86)/$product_path"

if [ ${#problems[@]} -gt 0 ]; then
  printf 'Headless upgrade under Wine FAILED:\n' >&2
  printf '  %s\n' "${problems[@]}" >&2
  exit 1
fi
echo "Headless upgrade under Wine: all $(wc -l <<<"$directories") demo directories on drives C:, D: and E:," \
     "their Program Files (x86) twin and VirtualStore copies upgraded, backups kept."

# The window, clicked through as a user would, on a fresh demo installation.
echo
echo "== The window under Wine =="
bash tools/windows-window-check.sh
