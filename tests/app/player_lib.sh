# Shared by the tests that drive the real player binary on an X server.
# Source it with the built player's path in $1; it gives each test a private
# copy of the program folder in $work/prog, so the build tree is never touched.
set -euo pipefail
built="$(cd "$(dirname "$1")" && pwd)"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
[ -n "${DISPLAY:-}" ] || { echo "no X display"; exit 1; }
work=$(mktemp -d /tmp/orvane-player-XXXXXX)
prog="$work/prog"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
unset LD_LIBRARY_PATH

fail() { echo "FAIL: $*" >&2; exit 1; }
xw() { /usr/bin/python3 "$here/x_windows.py" "$@"; }

# A fresh program folder: the build's files, no settings and no lists.
fresh_program_folder() {
  rm -rf "$prog"
  cp -a "$built" "$prog"
  rm -f "$prog/Ini/"* "$prog/Project/"*
}

# start_player ARGS...: runs the copy in the background; $pid, stderr in $work/stderr.
start_player() {
  QT_QPA_PLATFORM=xcb "$prog/OrvanePlayer" "$@" 2>"$work/stderr" &
  pid=$!
  pids+=("$pid")
}

# The main window's id, once it is viewable.
main_window() { xw wait "$pid" "=奥文播放 v2.0" "${1:-10}" || fail "no main window"; }

# Closes the main window as a window manager would and expects a clean exit.
close_player() {
  local win
  win=$(main_window 5) || fail "no main window to close"
  xw delete "$win"
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && { kill "$pid"; fail "player did not exit"; }
  local status=0
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || fail "exit status $status"
}

ini_value() { grep -a "^$1=" "$prog/Ini/Default.ini" | head -1 | cut -d= -f2- | tr -d '\r'; }
set_ini() {  # KEY VALUE: in place, the key must be in the file
  sed -i "s|^$1=.*\r\$|$1=$2\r|" "$prog/Ini/Default.ini"
  grep -aq "^$1=$2"$'\r'"\$" "$prog/Ini/Default.ini" || fail "could not set $1"
}
