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
work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number to file descriptor 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.2; done
[ -s "$work/display" ] || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

QT_QPA_PLATFORM=xcb "$program" >"$work/program.log" 2>&1 &
app_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Quorvane$' | head -n1) ||
  { echo "The window did not appear:" >&2; cat "$work/program.log" >&2; exit 1; }
sleep 1.5  # first paint and the clock's first tick

shot="$root/build/default/quorvane-window.png"
import -window "$window" "$shot"
echo "Screenshot of the window: $shot"
