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
/usr/bin/python3 - "$pid" <<'PY'
import sys, time
from Xlib import X, display, protocol
d = display.Display()
root = d.screen().root
name_atom = d.intern_atom('_NET_WM_NAME')
utf8 = d.intern_atom('UTF8_STRING')
# Windows come and go while the player starts; one that vanished mid-walk
# is simply skipped.
def find(w):
    try:
        children = w.query_tree().children
    except Exception:
        return None
    for c in children:
        try:
            p = c.get_full_property(name_atom, utf8)
            if p and '奥文播放' in p.value.decode('utf-8', 'replace') and c.get_attributes().map_state == X.IsViewable:
                return c
        except Exception:
            pass
        r = find(c)
        if r: return r
    return None
win = None
for _ in range(200):
    win = find(root)
    if win: break
    time.sleep(0.05)
if not win:
    print("player window never appeared"); sys.exit(1)
time.sleep(0.5)
proto = d.intern_atom('WM_PROTOCOLS'); delete = d.intern_atom('WM_DELETE_WINDOW')
ev = protocol.event.ClientMessage(window=win, client_type=proto, data=(32, [delete, X.CurrentTime, 0, 0, 0]))
win.send_event(ev)
d.flush()
PY
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then kill "$pid"; echo "player did not exit"; exit 1; fi
status=0; wait "$pid" || status=$?
[ "$status" -eq 0 ] || { echo "exit status $status"; exit 1; }
grep -q "LastPlayType=1" "$dir/Ini/Default.ini" || { echo "close sequence did not store the play type"; exit 1; }
echo "player closed cleanly"
