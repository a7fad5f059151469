#!/usr/bin/env python3
"""The player's windows on the X server, as a user sees them.

  x_windows.py wait PID TEXT SECONDS   id of the first viewable window of PID
                                       whose title contains TEXT, or is TEXT
                                       when it starts with "=" (exit 1: none)
  x_windows.py titles PID              "id<TAB>title" of every viewable window
  x_windows.py viewable WID            exit 0 when the window is viewable
  x_windows.py delete WID              close it as a window manager would
"""
import subprocess
import sys
import time

from Xlib import X, display, protocol

d = display.Display()
root = d.screen().root
NAME = d.intern_atom('_NET_WM_NAME')
UTF8 = d.intern_atom('UTF8_STRING')
PID = d.intern_atom('_NET_WM_PID')


failures = []


def check(ok, what):
    """Prints one outcome; a test exits 1 when `failures` is not empty."""
    print(('ok   ' if ok else 'FAIL ') + what)
    if not ok:
        failures.append(what)


def xdotool(*args):
    subprocess.run(['xdotool', *map(str, args)], check=True)


def windows(w):
    # Windows come and go while we walk; a vanished one is skipped.
    try:
        children = w.query_tree().children
    except Exception:
        return
    for c in children:
        yield c
        yield from windows(c)


def title(w):
    p = w.get_full_property(NAME, UTF8)
    return p.value.decode('utf-8', 'replace') if p else None


def viewable(w):
    return w.get_attributes().map_state == X.IsViewable


def of_pid(pid):
    found = []
    for w in windows(root):
        try:
            p = w.get_full_property(PID, X.AnyPropertyType)
            if p and p.value[0] == pid and viewable(w):
                found.append((w.id, title(w)))
        except Exception:
            pass
    return found


if __name__ == '__main__':
    cmd = sys.argv[1]
    if cmd == 'wait':
        pid, text, seconds = int(sys.argv[2]), sys.argv[3], float(sys.argv[4])
        end = time.time() + seconds
        while time.time() < end:
            for wid, name in of_pid(pid):
                if name is None:
                    continue
                if name == text[1:] if text.startswith('=') else text in name:
                    print(wid)
                    sys.exit(0)
            time.sleep(0.05)
        sys.exit(1)
    elif cmd == 'titles':
        for wid, name in of_pid(int(sys.argv[2])):
            print(f'{wid}\t{name}')
    elif cmd == 'viewable':
        sys.exit(0 if viewable(d.create_resource_object('window', int(sys.argv[2]))) else 1)
    elif cmd == 'delete':
        w = d.create_resource_object('window', int(sys.argv[2]))
        proto = d.intern_atom('WM_PROTOCOLS')
        delete = d.intern_atom('WM_DELETE_WINDOW')
        w.send_event(protocol.event.ClientMessage(
            window=w, client_type=proto, data=(32, [delete, X.CurrentTime, 0, 0, 0])))
        # A round trip, not a flush: the server may drop the requests of a
        # client that leaves at once, and the close would be lost.
        d.sync()
    else:
        sys.exit(f'unknown command {cmd}')
