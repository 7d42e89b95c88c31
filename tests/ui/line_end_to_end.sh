#!/usr/bin/env bash
# Opens a LandXML line from the command line on a virtual X display and
# exports its stakes with the keyboard only: Ctrl+Shift+E, the file's name
# typed into the file dialog, Return. The CSV is read back with Python's csv;
# Ctrl+W closes the window (nothing unsaved) and the program ends cleanly.
#   line_end_to_end.sh PROGRAM LINE.xml
# With QUORVANE_SCREENSHOT_DIR set, also saves line_window.png and
# line_export.png there.
set -euo pipefail

program=$1
line=$2
source "$(dirname "$0")/../../scripts/virtual-display.sh"
require_tools Xvfb xdotool python3
make_work_dir

start_virtual_display "$work" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"

cp "$line" "$work/line.xml"
LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(cd "$(dirname "$0")" && pwd)/lsan_suppressions.txt" \
  XDG_CONFIG_HOME="$work" QT_QPA_PLATFORM=xcb "$program" "$work/line.xml" >"$work/app.log" 2>&1 &
app_pid=$!

window=$(wait_for_window "line.xml - 路线") || fail "the 路线 window did not appear"
sleep 0.5
xdotool windowfocus --sync "$window"
shots=${QUORVANE_SCREENSHOT_DIR:-}
[ -n "$shots" ] && mkdir -p "$shots" && import -window root "$shots/line_window.png"

xdotool key --delay 80 ctrl+shift+e
dialog=$(wait_for_window "导出坐标") || fail "no file dialog after Ctrl+Shift+E"
xdotool windowfocus --sync "$dialog"
sleep 0.3
# The dialog's name box has the focus with the proposed name in it.
xdotool key --delay 60 ctrl+a
xdotool type --delay 30 "$work/stakes.csv"
xdotool key --delay 80 Return
for _ in $(seq 50); do [ -s "$work/stakes.csv" ] && break; sleep 0.2; done
[ -s "$work/stakes.csv" ] || fail "no stakes.csv written"
[ -n "$shots" ] && sleep 0.3 && import -window root "$shots/line_export.png"

python3 - "$work/stakes.csv" <<'PY' || fail "stakes.csv does not hold the line's stakes"
import csv, sys
with open(sys.argv[1], encoding="utf-8-sig", newline="") as f:
    rows = list(csv.reader(f))
# A straight of 100 m at azimuth 30 deg from (1000, 2000), 2 % up from 100 m,
# staked every 20 m with its ends: worked by hand.
assert rows[0] == ["桩号", "编码", "X", "Y", "方位角", "H"], rows[0]
assert len(rows) == 7, len(rows)
assert rows[1] == ["K0+000.000", "QD", "1000.000", "2000.000", "30.0000", "100.000"], rows[1]
assert rows[2] == ["K0+020.000", "", "1017.321", "2010.000", "30.0000", "100.400"], rows[2]
assert rows[6] == ["K0+100.000", "ZD", "1086.603", "2050.000", "30.0000", "102.000"], rows[6]
PY

xdotool windowfocus --sync "$window"
xdotool key --delay 80 ctrl+w
expect_clean_exit "when its only window closed"
echo "PASS: the line's stakes were exported with the keyboard, and the program ended cleanly"
