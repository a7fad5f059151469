#!/usr/bin/env bash
# Frame capture on the real player: the capture button and its key each add a
# tile of the playing picture to the capture page, and closing with unsaved
# captures asks once and, on Yes, writes them to the Temp folder.
#   capture_player.sh PLAYER MEDIA_FOLDER
source "$(dirname "$0")/player_lib.sh" "$1"
media="$(cd "$2" && pwd)"
fresh_program_folder

# "W H" of a 24-bit bitmap, or nothing.
bmp_size() {
  python3 -c 'import struct,sys
b=open(sys.argv[1],"rb").read(30)
if b[:2]==b"BM" and struct.unpack("<H",b[28:30])[0]==24: print(*struct.unpack("<ii",b[18:26]))' "$1"
}
# Pixels of the bars' yellow in the side panel (the right 190 pixels).
panel_yellow() {
  import -window "$1" "$work/shot.png"
  convert "$work/shot.png" -gravity East -crop 190x0+0+0 +repage -depth 8 txt:- |
    awk -F'[(),]+' 'NR > 1 && $3 > 170 && $4 > 170 && $5 < 80 { n++ } END { print n + 0 }'
}

echo "== the capture button and F6 each add a tile"
start_player "$media/video-10s-640x360.mp4"
win=$(main_window)
sleep 2
[ "$(panel_yellow "$win")" -lt 200 ] || fail "bars in the side panel before any capture"
eval "$(xdotool getwindowgeometry --shell "$win")"
xdotool mousemove $((X + WIDTH - 117)) $((Y + HEIGHT - 23)) click 1
for _ in $(seq 50); do [ -s "$prog/Temp/OrvaneCatch.bmp" ] && break; sleep 0.2; done
[ "$(bmp_size "$prog/Temp/OrvaneCatch.bmp")" = "640 360" ] ||
  fail "scratch file after the button: $(bmp_size "$prog/Temp/OrvaneCatch.bmp")"
first=$(panel_yellow "$win")
[ "$first" -gt 600 ] || fail "no tile after the button ($first yellow pixels)"
xdotool key --window "$win" F6
sleep 2
second=$(panel_yellow "$win")
[ "$second" -gt $((first * 3 / 2)) ] || fail "no second tile after F6 ($first, then $second)"
ls "$prog/Temp" | grep -Eq '^[0-9]{12}\.bmp$' && fail "a capture was written before any save"

echo "== closing asks about the two unsaved captures; Yes writes them"
xw delete "$win"
# Return answers a box (Yes is the question's default button); the next box is another window.
answer() {
  xdotool windowfocus --sync "$1" key Return
  for _ in $(seq 50); do xw viewable "$1" || return 0; sleep 0.1; done
  fail "box $1 stayed"
}
box=$(xw wait "$pid" "=提示信息" 8) || fail "no question at close"
answer "$box"
box=$(xw wait "$pid" "=提示信息" 8) || fail "no report after saving"
answer "$box"
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "player did not exit"
saved=$(ls "$prog/Temp" | grep -E '^[0-9]{12}\.bmp$' || true)
[ "$(echo "$saved" | grep -c .)" -eq 2 ] || fail "saved at close: $(ls "$prog/Temp")"
for f in $saved; do
  [ "$(bmp_size "$prog/Temp/$f")" = "640 360" ] || fail "$f is no 640 x 360 bitmap"
done
echo "PASS"
