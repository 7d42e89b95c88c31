#!/usr/bin/env bash
# Installs what is missing, builds the program and opens its window.
# Without a display, opens it on a virtual one (Xvfb) instead, saves a
# screenshot next to the build and prints where.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target quorvane -j"$(nproc)"
program="$root/build/default/app/quorvane"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$program"
fi

echo "No display found (DISPLAY is not set): opening the window on a virtual display (Xvfb) to take a screenshot."
source "$root/scripts/virtual-display.sh"
make_work_dir
start_virtual_display "$work" || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }

QT_QPA_PLATFORM=xcb "$program" >"$work/program.log" 2>&1 &
app_pid=$!
window=$(wait_for_window Quorvane) ||
  { echo "The window did not appear:" >&2; cat "$work/program.log" >&2; exit 1; }
sleep 1.5  # first paint and the clock's first tick

shot="$root/build/default/quorvane-window.png"
import -window "$window" "$shot"
echo "Screenshot of the window: $shot"
