# Sourced by the scripts that open the window without a real display.

# require_tools TOOL...: ends the script as skipped (status 77), naming the
# first tool that is not installed.
require_tools() {
  local tool
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIP: $tool is not installed (scripts/setup-deps.sh installs it)"
      exit 77
    fi
  done
}

# fail MESSAGE: says what failed, then the program's log ($work/app.log),
# and ends the script with status 1.
fail() {
  echo "FAIL: $*" >&2
  [ -s "$work/app.log" ] && sed 's/^/  program: /' "$work/app.log" >&2
  exit 1
}

# make_work_dir: a scratch folder in $work, and, when the script exits, the
# program ($app_pid) and Xvfb ($xvfb_pid) ended and the folder removed.
make_work_dir() {
  work=$(mktemp -d)
  xvfb_pid=""
  app_pid=""
  trap stop_and_clean_up EXIT
}
stop_and_clean_up() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}

# start_virtual_display WORK_DIR: starts Xvfb (96 DPI) on a free display,
# exports DISPLAY, and leaves its pid in xvfb_pid; returns 1 if it did not
# start within 10 seconds (its log is WORK_DIR/xvfb.log).
start_virtual_display() {
  local work=$1
  # Xvfb picks a free display and writes its number to file descriptor 3.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.2; done
  [ -s "$work/display" ] || return 1
  export DISPLAY=":$(head -n1 "$work/display")"
}

# wait_for_window TITLE: prints the X window id of the first visible window
# whose title is TITLE, waiting up to 20 seconds; fails otherwise.
wait_for_window() {
  timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -n1
}

# expect_clean_exit HOW: waits up to 10 seconds for the program ($app_pid)
# to end after HOW (words for the message), then fails unless it ended with
# status 0 and its log holds no sanitizer report.
expect_clean_exit() {
  for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$app_pid" 2>/dev/null && fail "the program did not end $1"
  local status=0
  wait "$app_pid" || status=$?
  app_pid=""
  ((status == 0)) || fail "the program ended with status $status"
  if grep -qE 'Sanitizer|runtime error:' "$work/app.log"; then
    fail "the program's sanitizer reported a fault"
  fi
}
