#!/usr/bin/env bash
# What the real player stores about the files it was started with: full
# paths whatever the caller typed, no invented entries, the right play-list
# entry after "/a", and long non-ASCII paths kept whole across a restart.
#   start_up_paths.sh PLAYER MEDIA_FOLDER
source "$(dirname "$0")/player_lib.sh" "$1"
media="$(cd "$2" && pwd)"
mkdir -p "$work/media/sub"
cp "$media/tone-20s-mono.wav" "$media/tone-3s.wav" "$work/media/"
cp "$media/tone-3s.mp3" "$work/media/sub/"

echo "== a relative name on the command line is stored as a full path"
fresh_program_folder
cd "$work/media"
start_player tone-20s-mono.wav && main_window >/dev/null && sleep 0.5 && close_player
[ "$(ini_value LastMediaFile)" = "$work/media/tone-20s-mono.wav" ] ||
  fail "LastMediaFile is '$(ini_value LastMediaFile)'"
[ "$(cat "$prog/Project/PlayFileList")" = "$work/media/tone-20s-mono.wav===0"$'\r' ] ||
  fail "PlayFileList: $(cat -A "$prog/Project/PlayFileList")"

echo "== so a start from another folder resumes it"
cd /
start_player && main_window >/dev/null && sleep 4 && close_player
[ "$(ini_value LastMediaFile)" = "$work/media/tone-20s-mono.wav" ] || fail "not resumed"
[ "$(ini_value LastPos)" -ge 1 ] || fail "resumed file did not play (LastPos $(ini_value LastPos))"

echo "== \"/a\" with a relative, unclean name adds the clean full path"
cd "$work/media/sub"
start_player /a ./../sub/tone-3s.mp3 && main_window >/dev/null && sleep 0.5 && close_player
cd /
grep -aqx "$work/media/sub/tone-3s.mp3===0"$'\r' "$prog/Project/PlayFileList" ||
  fail "PlayFileList: $(cat -A "$prog/Project/PlayFileList")"
grep -aq '\.\.' "$prog/Project/PlayFileList" && fail "unclean path stored"
[ "$(ini_value LastMediaFile)" = "$work/media/sub/tone-3s.mp3" ] ||
  fail "LastMediaFile is '$(ini_value LastMediaFile)'"

echo "== a missing LastMediaFile is no file: nothing invented, nothing written back"
fresh_program_folder
start_player && main_window >/dev/null && close_player
sed -i '/^LastMediaFile=/d' "$prog/Ini/Default.ini"
start_player && main_window >/dev/null && sleep 0.5 && close_player
grep -aq "Value no find" "$prog/Project/PlayFileList" "$prog/Ini/Default.ini" &&
  fail "'Value no find' stored: $(cat -A "$prog/Project/PlayFileList")"
[ ! -s "$prog/Project/PlayFileList" ] || fail "PlayFileList: $(cat -A "$prog/Project/PlayFileList")"

echo "== after \"/a\" the play list goes on from the playing file (play mode 1)"
fresh_program_folder
start_player && main_window >/dev/null && close_player
set_ini PlayMode 1
printf '%s===0\r\n' "$work/media/tone-20s-mono.wav" >"$prog/Project/PlayFileList"
# The added 3 s file plays at once; when it ends the next entry is the first
# one. Were the index still 0, the added file would play a second time.
start_player /a "$work/media/tone-3s.wav"
main_window >/dev/null
sleep 4.5
close_player
[ "$(ini_value LastMediaFile)" = "$work/media/tone-20s-mono.wav" ] ||
  fail "after the added file came '$(ini_value LastMediaFile)'"

echo "== a path of 100 Chinese characters is resumed whole"
fresh_program_folder
start_player && main_window >/dev/null && close_player
long="$work/media"
for part in 1 2; do long="$long/$(printf '播放%.0s' $(seq 25))"; done
mkdir -p "$long"
cp "$media/tone-20s-mono.wav" "$long/曲.wav"
[ "$(printf '%s' "$long/曲.wav" | wc -m)" -ge 100 ] || fail "test path too short"
start_player "$long/曲.wav" && main_window >/dev/null && sleep 0.5 && close_player
[ "$(ini_value LastMediaFile)" = "$long/曲.wav" ] || fail "not stored whole"
start_player && main_window >/dev/null && sleep 4 && close_player
[ "$(ini_value LastMediaFile)" = "$long/曲.wav" ] || fail "read back as '$(ini_value LastMediaFile)'"
[ "$(ini_value LastPos)" -ge 1 ] || fail "long path did not resume (LastPos $(ini_value LastPos))"
echo "all start-up path checks passed"
