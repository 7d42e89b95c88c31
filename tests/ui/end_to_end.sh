#!/usr/bin/env bash
# Runs the real program on a virtual X display and drives it with the keyboard
# only, as a keyboard user would: interval 10, Yes to the reminder, the right
# turn by the arrow key, Return on 计算; then copies the result box out
# through the clipboard, compares it with the expected block, quits with
# Ctrl+Q and checks that the program ended cleanly with no sanitizer report.
#   end_to_end.sh PROGRAM EXPECTED_BLOCK
# With QUORVANE_SCREENSHOT_DIR set, also saves window.png (as opened) and
# calculation.png (after the calculation) there.
set -euo pipefail

program=$1
expected=$2
source "$(dirname "$0")/../../scripts/virtual-display.sh"
require_tools Xvfb xdotool xclip
make_work_dir

# Within `seconds`, until `command...` succeeds.
retry() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.2
  done
}

start_virtual_display "$work" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"

# The program keeps whatever sanitizer options the test run sets; its reports
# go to its log and make the test fail, as does any exit but a clean one.
# Only leaks inside system libraries are set aside.
LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(cd "$(dirname "$0")" && pwd)/lsan_suppressions.txt" \
  QT_QPA_PLATFORM=xcb "$program" >"$work/app.log" 2>&1 &
app_pid=$!

window=$(wait_for_window Quorvane) ||
  fail "the window did not appear"
sleep 0.5  # first paint
xdotool windowfocus --sync "$window"

# Keys to the focused control, one at a time.
keys() {
  xdotool key --delay 80 "$@"
  sleep 0.2
}

shots=${QUORVANE_SCREENSHOT_DIR:-}
if [ -n "$shots" ]; then
  mkdir -p "$shots"
  import -window "$window" "$shots/window.png"
fi

# As a keyboard user: from 起点桩号 seven Tabs to 桩距, the interval, Tab on
# to the turn (the reminder comes up: Return answers Yes, the default), Down
# selects 右转, Tab to 计算 and Return.
keys Tab Tab Tab Tab Tab Tab Tab
xdotool type --delay 60 10
keys Tab
box=$(wait_for_window 信息提示) ||
  fail "no reminder after leaving the interval box"
xdotool windowfocus --sync "$box"
keys Return
retry 10 bash -c '! xdotool search --onlyvisible --name "^信息提示\$" >/dev/null' ||
  fail "the reminder did not close"
xdotool windowfocus --sync "$window"
keys Down Tab Return

# Tab into the result box, select all of it and copy it out.
keys Tab
copy_result() {
  keys ctrl+a ctrl+c
  xclip -o -selection clipboard >"$work/result" 2>/dev/null && cmp -s "$work/result" "$expected"
}
if ! retry 10 copy_result; then
  diff -u "$expected" "$work/result" >&2 || true
  fail "the result box does not hold the expected block"
fi

if [ -n "$shots" ]; then
  keys ctrl+Home
  import -window "$window" "$shots/calculation.png"
fi

# Ctrl+Q (文件 > 退出) ends the program normally.
keys ctrl+q
expect_clean_exit "on Ctrl+Q"
echo "PASS: the result box holds the expected block, and the program ended cleanly"
