#!/usr/bin/env bash
# The message boxes of the real player at start-up: none for an "/o" file
# that does not exist, one (after the window) for a file that cannot play or
# is no regular file at all (a named pipe must not hang the start), and box
# titles exactly as the player words them.
#   start_up_messages.sh PLAYER MEDIA_FOLDER
source "$(dirname "$0")/player_lib.sh" "$1"
mkdir -p "$work/media"
head -c 20000 /dev/urandom >"$work/media/junk.mp4"
mkfifo "$work/media/pipe.mp3"
fresh_program_folder

boxes() { xw titles "$pid" | grep -c "提示信息" || true; }

# One box for FILE: it comes only once the main window is on screen, its
# title is exactly the caption, and no second box follows its dismissal.
expect_one_box() {
  local what="$1" box main
  box=$(xw wait "$pid" "提示信息" 8) || fail "$what: no message box"
  xw wait "$pid" "=奥文播放 v2.0" 0.1 >/dev/null || fail "$what: the box came before the main window"
  xw titles "$pid" | grep -q "^$box"$'\t'"提示信息\$" ||
    fail "$what: box title '$(xw titles "$pid" | grep "^$box" | cut -f2)'"
  xw delete "$box"
  sleep 2
  [ "$(boxes)" -eq 0 ] || fail "$what: a second box: $(xw titles "$pid")"
  close_player
}

echo "== \"/o\" with a file that does not exist is ignored"
start_player /o "$work/media/gone.mp4"
main_window >/dev/null
sleep 2
[ "$(boxes)" -eq 0 ] || fail "a box for a missing file: $(xw titles "$pid")"
close_player

echo "== \"/o\" with a file that cannot play: one box, after the window"
start_player /o "$work/media/junk.mp4"
expect_one_box "junk file"

echo "== \"/o\" with a named pipe: refused at once, one box, no hang"
start_player /o "$work/media/pipe.mp3"
main_window 6 >/dev/null
expect_one_box "named pipe"

echo "== a plain argument naming a folder is refused the same way"
start_player "$work/media"
main_window 6 >/dev/null
expect_one_box "folder"

echo "== the box without a caption has an empty title"
ORVANE_FAKE_OLD_ENGINE=1 start_player
box=""
for _ in $(seq 100); do
  box=$(xw titles "$pid" | grep -v $'\t''奥文播放 v2.0$' | head -1 | cut -f1) || true
  [ -n "$box" ] && break
  sleep 0.05
done
[ -n "$box" ] || fail "no version box"
title=$(xw titles "$pid" | grep "^$box" | cut -f2)
[ -z "$title" ] || [ "$title" = "None" ] || fail "version box title '$title'"
xw delete "$box"
main_window >/dev/null
[ "$(xw titles "$pid" | wc -l)" -eq 1 ] || fail "windows left: $(xw titles "$pid")"
close_player
echo "all start-up message checks passed"
