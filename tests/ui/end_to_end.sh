#!/usr/bin/env bash
# Runs the real program on a virtual X display and drives it with real X input:
# right turn, interval 10, a click on 计算 straight from the interval box,
# Yes to the reminder; then copies the result box out through the clipboard
# and compares it with the expected block.
#   end_to_end.sh PROGRAM EXPECTED_BLOCK
# With QUORVANE_SCREENSHOT_DIR set, also saves window.png (as opened) and
# calculation.png (after the calculation) there.
set -euo pipefail

program=$1
expected=$2
for tool in Xvfb xdotool xclip; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (scripts/setup-deps.sh installs it)"
    exit 77
  fi
done

source "$(dirname "$0")/../../scripts/virtual-display.sh"
make_work_dir

fail() {
  echo "FAIL: $*" >&2
  [ -s "$work/app.log" ] && sed 's/^/  program: /' "$work/app.log" >&2
  exit 1
}

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

QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 "$program" >"$work/app.log" 2>&1 &
app_pid=$!

window=$(wait_for_window Quorvane) ||
  fail "the window did not appear"
sleep 0.5  # first paint

# Clicks the point of the window that lies at (x, y) twips: 15 twips a pixel
# at the 96 DPI of this display.
click_at() {
  xdotool mousemove --sync --window "$window" $(($1 / 15)) $(($2 / 15)) click 1
  sleep 0.2
}

shots=${QUORVANE_SCREENSHOT_DIR:-}
if [ -n "$shots" ]; then
  mkdir -p "$shots"
  import -window "$window" "$shots/window.png"
fi

click_at 7140 1687    # opn2, right turn: Frame1 240 + Frame2 6480 + 360, and 240 + 720 + 600
click_at 2960 1815    # into txtd: 240 + 1920, 240 + 1440
xdotool type --delay 60 10
click_at 8347 2587    # cmd1, 计算, with the focus still in txtd

box=$(wait_for_window 信息提示) ||
  fail "no reminder after leaving the interval box"
xdotool windowfocus --sync "$box"
xdotool key Return   # Yes, the default
retry 10 bash -c '! xdotool search --onlyvisible --name "^信息提示\$" >/dev/null' ||
  fail "the reminder did not close"

# Select the whole result box and copy it out.
copy_result() {
  click_at 3000 3300
  xdotool key ctrl+a ctrl+c
  sleep 0.2
  xclip -o -selection clipboard >"$work/result" 2>/dev/null && cmp -s "$work/result" "$expected"
}
if ! retry 10 copy_result; then
  diff -u "$expected" "$work/result" >&2 || true
  fail "the result box does not hold the expected block"
fi

if [ -n "$shots" ]; then
  xdotool key ctrl+Home
  sleep 0.3
  import -window "$window" "$shots/calculation.png"
fi
echo "PASS: the result box holds the expected block"
