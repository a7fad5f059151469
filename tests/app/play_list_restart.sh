#!/usr/bin/env bash
# The play list across a restart, on the real player: three files given at
# start play on in order (play mode 1); after a close the next start brings
# back the same list, the same entry and its position.
#   play_list_restart.sh PLAYER MEDIA_FOLDER
source "$(dirname "$0")/player_lib.sh" "$1"
media="$(cd "$2" && pwd)"
a="$media/video-2s-320x240.mp4" b="$media/tone-10s.wav" c="$media/video-2s-320x240.webm"

fresh_program_folder
start_player && main_window >/dev/null && close_player
set_ini PlayMode 1

echo "== three files play on in order and the list is stored with CR LF"
start_player "$a" "$b" "$c"
main_window >/dev/null
sleep 8
close_player
expected=$(printf '%s===0\r\n%s===0\r\n%s===0\r\n' "$a" "$b" "$c")
# The history holds the same paths, one a line.
expected_history=$(printf '%s\r\n%s\r\n%s\r\n' "$a" "$b" "$c")

[ "$(cat "$prog/Project/PlayFileList")" = "$expected" ] ||
  fail "PlayFileList: $(cat -A "$prog/Project/PlayFileList")"
[ "$(ini_value LastMediaFile)" = "$b" ] || fail "after the first file came '$(ini_value LastMediaFile)'"
first_stop=$(ini_value LastPos)
[ "$first_stop" -ge 2 ] || fail "the second file did not play (LastPos $first_stop)"

echo "== every file that entered the list is in the history"
history() { /usr/bin/python3 -c 'import sys, zlib; sys.stdout.write(zlib.decompress(open(sys.argv[1], "rb").read()).decode())' "$prog/Project/HistoryList"; }
[ "$(history)" = "$expected_history" ] || fail "HistoryList: $(history | cat -A)"

echo "== the next start resumes that entry where it stopped"
start_player
main_window >/dev/null
sleep 3
close_player
[ "$(cat "$prog/Project/PlayFileList")" = "$expected" ] ||
  fail "PlayFileList after restart: $(cat -A "$prog/Project/PlayFileList")"
[ "$(ini_value LastMediaFile)" = "$b" ] || fail "resumed '$(ini_value LastMediaFile)'"
[ "$(ini_value LastPos)" -gt "$first_stop" ] ||
  fail "resumed from the start, not from $first_stop (LastPos $(ini_value LastPos))"
[ "$(history)" = "$expected_history" ] || fail "HistoryList after restart: $(history | cat -A)"

echo "== \"/o\" with a missing file, or a lone switch, leaves the stored list and position alone"
kept_pos=$(ini_value LastPos)
for args in "/o $work/nope.mp4" "/o" "/a"; do
  start_player $args && main_window >/dev/null && sleep 0.5 && close_player
  [ "$(cat "$prog/Project/PlayFileList")" = "$expected" ] ||
    fail "$args changed PlayFileList: $(cat -A "$prog/Project/PlayFileList")"
  [ "$(ini_value LastPos)" = "$kept_pos" ] || fail "$args changed LastPos to $(ini_value LastPos)"
done

echo "== a stored list of 10,000 entries starts and closes without loss"
fresh_program_folder
start_player && main_window >/dev/null && close_player
for i in $(seq 1 10000); do printf '/nowhere/clip-%05d.mp4===0\r\n' "$i"; done >"$work/big"
printf '%s===0\r\n' "$b" >>"$work/big"
cp "$work/big" "$prog/Project/PlayFileList"
set_ini LastMediaFile "$b"
start_player
main_window >/dev/null
sleep 1
close_player
cmp -s "$work/big" "$prog/Project/PlayFileList" || fail "the big list changed"
echo "ok"
