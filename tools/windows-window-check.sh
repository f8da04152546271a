#!/usr/bin/env bash
# Clicks through fortune-data-patch.exe under Wine as a user would and checks what it does:
# the main window shows (its start-up time is measured), "黄道数据升级" and then "算命软件升级"
# each end in a message box whose text is read, and both upgrade the demo products on drives
# C:, D: and E:; both dialogs open and close, and the payment dialog's copy button reports.
# Screenshots of the three windows go to build/windows/screenshots.
#
# Run by tools/run-windows-tests.sh after its build, with its Wine prefix and virtual display
# (WINEPREFIX and DISPLAY set, the font substitute for "宋体" in place).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/windows
: "${WINEPREFIX:?run through tools/run-windows-tests.sh}" "${DISPLAY:?run through tools/run-windows-tests.sh}"
. tools/windows-demo.sh

program="$build/win32/fortune-data-patch.exe"
driver="$build/tools/window-driver/window-driver.exe"
shots="$build/screenshots"
main="算命软件八字软件黄道数据升级补丁2024"
naming="人工起名服务"
payment="付款方式"
mkdir -p "$shots"

demo="$build/window-demo"
place_demo "$demo"

drive() { wine "$driver" "$@" </dev/null | tr -d '\r'; }
# The window of that caption alone, or the whole screen when it cannot be told apart.
screenshot() {
  local id
  xdotool mousemove 0 0 2>/dev/null || true   # no button lit by the pointer
  id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1 || true)
  import -window "${id:-root}" "$shots/$2.png"
  echo "screenshot: $shots/$2.png"
}

problems=()
expect_message() {
  local caption=$1 expected=$2 got
  got=$(drive message "$caption" 300) || true
  echo "message box: $got"
  [ "$got" = "$expected" ] || problems+=("expected the message \"$expected\", saw \"$got\"")
}

started=$(date +%s%N)
wine "$program" </dev/null >"$build/window-output.txt" 2>&1 &
program_pid=$!
if ! drive wait "$main" 60 >/dev/null; then
  echo "The main window did not show within 60 s" >&2
  kill "$program_pid" 2>/dev/null || true
  exit 1
fi
startup_ms=$(( ($(date +%s%N) - started) / 1000000 ))
echo "start-up under Wine: $startup_ms ms from launch to the visible main window" | tee "$build/window-startup.txt"
sleep 1
screenshot "$main" main-window

drive press "$main" "黄道数据升级" || problems+=("no button 黄道数据升级")
expect_message "$main" "信息提示|更新成功！"
drive press "$main" "算命软件升级" || problems+=("no button 算命软件升级")
expect_message "$main" "信息提示|更新成功！"
check_demo_changed "$demo"

drive press "$main" "人工起名" || problems+=("no button 人工起名")
if drive wait "$naming" 20 >/dev/null; then
  sleep 1
  screenshot "$naming" naming-dialog
  drive close "$naming"
  drive gone "$naming" 10 || problems+=("the naming dialog did not close")
else
  problems+=("the naming dialog did not open")
fi

drive press "$main" "新购买付款方式" || problems+=("no button 新购买付款方式")
if drive wait "$payment" 20 >/dev/null; then
  sleep 1
  screenshot "$payment" payment-dialog
  drive press "$payment" "复制支付宝帐号" || problems+=("no button 复制支付宝帐号")
  expect_message "$payment" "复制信息|支付宝帐号复制成功！"
  drive close "$payment"
  drive gone "$payment" 10 || problems+=("the payment dialog did not close")
else
  problems+=("the payment dialog did not open")
fi

drive press "$main" "退出" || problems+=("no button 退出")
drive gone "$main" 20 || problems+=("退出 did not close the main window")
for _ in $(seq 100); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$program_pid" 2>/dev/null; then
  problems+=("the program kept running after its window closed")
  kill "$program_pid" 2>/dev/null || true
fi

if [ ${#problems[@]} -gt 0 ]; then
  printf 'The window under Wine FAILED:\n' >&2
  printf '  %s\n' "${problems[@]}" >&2
  exit 1
fi
echo "The window under Wine: both upgrade buttons upgraded all $(demo_directories "$demo" | wc -l) demo directories; both dialogs opened and closed."
