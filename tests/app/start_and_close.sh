#!/usr/bin/env bash
# Starts the player in a real X server, closes its window as a window manager
# would (WM_DELETE_WINDOW) and expects the close sequence and exit status 0.
set -euo pipefail
player="$1"
[ -n "${DISPLAY:-}" ] || { echo "no X display"; exit 1; }
dir=$(dirname "$player")
rm -f "$dir/Ini/Default.ini"
QT_QPA_PLATFORM=xcb "$player" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
here=$(dirname "$0")
win=$(/usr/bin/python3 "$here/x_windows.py" wait "$pid" 奥文播放 10) || { echo "player window never appeared"; exit 1; }
sleep 0.5
# expect_exit WHAT: the player ends within 10 s with status 0.
expect_exit() {
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then kill "$pid"; echo "player did not exit $1"; exit 1; fi
  local status=0
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || { echo "exit status $status $1"; exit 1; }
}
/usr/bin/python3 "$here/x_windows.py" delete "$win"
expect_exit "after a close request"
grep -q "LastPlayType=1" "$dir/Ini/Default.ini" || { echo "close sequence did not store the play type"; exit 1; }
echo "player closed cleanly"

# Its window destroyed by another client (a tool that closes windows by
# force): the player ends as a close does, not playing on without a window.
rm -f "$dir/Ini/Default.ini"
demo="$(cd "$dir" && pwd)/Demo/demo.mp4"
QT_QPA_PLATFORM=xcb "$player" "$demo" &
pid=$!
win=$(/usr/bin/python3 "$here/x_windows.py" wait "$pid" 奥文播放 10) || { echo "player window never appeared"; exit 1; }
sleep 1
xdotool windowclose "$win"
expect_exit "after its window was destroyed"
grep -aq "LastMediaFile=$demo" "$dir/Ini/Default.ini" || { echo "close sequence did not store the file"; exit 1; }
echo "player ended with its destroyed window"
