#!/usr/bin/env bash
# A DVD folder on the real player: the last session names the folder, so the
# start opens its menu (left as a screenshot); the pointer turns into a hand
# over a button, a click there plays its title; closing stores the disc, the
# title, the position and the DVD list, and the next start resumes the title there.
#   dvd_restart.sh PLAYER MEDIA_FOLDER SCREENSHOT_FOLDER
source "$(dirname "$0")/player_lib.sh" "$1"
dvd="$(cd "$2/dvd" && pwd)"
shots="$3"
mkdir -p "$shots"

fresh_program_folder
start_player && main_window >/dev/null && close_player
set_ini LastPlayType 2
set_ini LastDvd "$dvd"
set_ini MemoryLastPos 1

# The window's picture as rows of RGB, and where the menu's two buttons are in it.
buttons() {  # SHOT -> "x y" of the left button's centre, then of the right one
  /usr/bin/python3 - "$1" <<'PY'
import subprocess, sys
ppm = subprocess.run(['convert', sys.argv[1], 'ppm:-'], capture_output=True, check=True).stdout
head = ppm.split(b'\n', 3)
w, h = map(int, head[1].split()); data = head[3]
def box(test):
    xs, ys = [], []
    for y in range(0, h * 3 // 4, 2):  # above the control bar's texts
        row = data[3 * w * y:3 * w * (y + 1)]
        for x in range(0, w, 2):
            r, g, b = row[3 * x], row[3 * x + 1], row[3 * x + 2]
            if test(r, g, b): xs.append(x); ys.append(y)
    if len(xs) < 200: sys.exit('button not drawn')
    return (min(xs) + max(xs)) // 2, (min(ys) + max(ys)) // 2, max(xs) - min(xs)
blue = box(lambda r, g, b: b > 150 and r < 90)
orange = box(lambda r, g, b: r > 150 and b < 70 and g < 100)
if not blue[0] < orange[0]: sys.exit('buttons out of place')
print(blue[0], blue[1], orange[0], orange[1], blue[2])
PY
}
# What a window's screenshot shows above the control bar: "ball" is title 2's
# picture (a white ball on black, mostly near black, some of it white), "bars"
# title 1's colour bars (some yellow and some cyan).
shows() {  # SHOT ball|bars
  /usr/bin/python3 - "$1" "$2" <<'PY'
import subprocess, sys
ppm = subprocess.run(['convert', sys.argv[1], 'ppm:-'], capture_output=True, check=True).stdout
head = ppm.split(b'\n', 3)
w, h = map(int, head[1].split()); data = head[3]
n = dark = white = yellow = cyan = 0
for y in range(0, h * 3 // 4, 2):
    for x in range(0, w, 2):
        r, g, b = data[3 * (w * y + x):3 * (w * y + x) + 3]; n += 1
        dark += r < 40 and g < 40 and b < 40
        white += r > 200 and g > 200 and b > 200
        yellow += r > 150 and g > 150 and b < 80
        cyan += r < 80 and g > 150 and b > 150
if sys.argv[2] == 'ball':
    sys.exit(0 if dark > 0.6 * n and white > 0.002 * n else 1)
sys.exit(0 if yellow > 0.02 * n and cyan > 0.02 * n else 1)
PY
}
# Waits up to 4 s for the window to show a picture (see shows).
wait_for() {  # WINDOW ball|bars
  for _ in $(seq 20); do
    import -window "$1" "$work/shown.png"
    shows "$work/shown.png" "$2" && return 0
    sleep 0.2
  done
  return 1
}
# The name of the pointer's picture as the server shows it now.
cursor() {
  /usr/bin/python3 - <<'PY'
import ctypes
x = ctypes.CDLL('libX11.so.6'); xf = ctypes.CDLL('libXfixes.so.3')
class Image(ctypes.Structure):
    _fields_ = [('x', ctypes.c_short), ('y', ctypes.c_short), ('width', ctypes.c_ushort),
                ('height', ctypes.c_ushort), ('xhot', ctypes.c_ushort), ('yhot', ctypes.c_ushort),
                ('serial', ctypes.c_ulong), ('pixels', ctypes.POINTER(ctypes.c_ulong)),
                ('atom', ctypes.c_ulong), ('name', ctypes.c_char_p)]
x.XOpenDisplay.restype = ctypes.c_void_p
xf.XFixesGetCursorImage.restype = ctypes.POINTER(Image)
xf.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
d = x.XOpenDisplay(None)
i = xf.XFixesGetCursorImage(d).contents
print(i.name.decode(errors='replace'))
PY
}

echo "== the start opens the stored folder at its menu, buttons drawn"
ORVANE_RENDERER=1007 start_player
win=$(main_window)
sleep 3
import -window "$win" "$shots/dvd-menu.png"
read -r bx by ox oy width < <(buttons "$shots/dvd-menu.png") || fail "no menu buttons in the screenshot"
[ "$width" -ge 60 ] || fail "the menu is drawn too small ($width pixels a button)"
eval "$(xdotool getwindowgeometry --shell "$win")"

echo "== the pointer is a hand over a button and not beside it"
xdotool mousemove $((X + bx)) $((Y + by - 100)); sleep 0.5; off=$(cursor)
xdotool mousemove $((X + bx)) $((Y + by)); sleep 0.5; over=$(cursor)
xdotool mousemove $((X + ox)) $((Y + oy)); sleep 0.5; over2=$(cursor)
[ "$over" != "$off" ] || fail "the pointer stayed '$off' over the button"
[ "$over" = "$over2" ] || fail "the two buttons show different pointers"

echo "== a click on the left button plays title 1; closing stores the disc"
xdotool mousemove $((X + bx)) $((Y + by)) click 1
# Timed from the title's first picture, however long a loaded machine takes to it.
wait_for "$win" bars || fail "title 1's picture did not show after the click"
sleep 3
close_player
[ "$(ini_value LastPlayType)" = 2 ] || fail "LastPlayType $(ini_value LastPlayType)"
[ "$(ini_value LastDvd)" = "$dvd" ] || fail "LastDvd '$(ini_value LastDvd)'"
[ "$(ini_value LastDvdTitle)" = 1 ] || fail "LastDvdTitle '$(ini_value LastDvdTitle)'"
first=$(ini_value LastPos)
[ "$first" -ge 2 ] && [ "$first" -le 5 ] || fail "title 1 did not play from its start (LastPos $first)"
expected=$(printf 'Title1(0-1)\r\n Chapter1(1-1)\r\n Chapter2(1-2)\r\n Chapter3(1-3)\r\nTitle2(0-2)\r\n Chapter1(2-1)\r\n')
[ "$(cat "$prog/Project/DvdFileList")" = "$expected" ] ||
  fail "DvdFileList: $(cat -A "$prog/Project/DvdFileList")"

echo "== the next start resumes title 1 at the stored position"
ORVANE_RENDERER=1007 start_player
main_window >/dev/null
# Too short a run to pass the stored position from the title's start.
sleep 2
close_player
[ "$(ini_value LastDvdTitle)" = 1 ] || fail "resumed in title '$(ini_value LastDvdTitle)'"
second=$(ini_value LastPos)
[ "$second" -gt "$first" ] || fail "not resumed and playing on from $first s (LastPos $second)"
echo "LastPos $first, then $second"

echo "== the default renderer draws the menu too, and a click there plays title 2"
set_ini MemoryLastPos 0
ORVANE_RENDERER=1000 start_player
win=$(main_window)
sleep 3
import -window "$win" "$shots/dvd-menu-default-renderer.png"
read -r bx by ox oy width < <(buttons "$shots/dvd-menu-default-renderer.png") ||
  fail "no menu buttons drawn by the default renderer"
eval "$(xdotool getwindowgeometry --shell "$win")"
xdotool mousemove $((X + ox)) $((Y + oy)); sleep 0.5
xdotool mousemove $((X + ox + 2)) $((Y + oy)) click 1
# Title 2 lasts 2 s: closed as soon as its picture shows.
wait_for "$win" ball || true
close_player
[ "$(ini_value LastDvdTitle)" = 2 ] || fail "the click played title '$(ini_value LastDvdTitle)'"
echo "ok"
