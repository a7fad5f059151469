#!/usr/bin/env bash
# The companion libraries are found beside the player and nowhere else: a
# copied program folder without one of them does not start (the loader says
# which), with them it starts. No build-tree path may be recorded.
#   companion_libraries.sh PLAYER
source "$(dirname "$0")/player_lib.sh" "$1"

echo "== only \$ORIGIN is searched"
for f in OrvanePlayer libZeltpack.so libVelmorUseWindow.so; do
  paths=$(readelf -d "$built/$f" | grep -E 'R(UN)?PATH' | sed 's/.*\[\(.*\)\]/\1/' || true)
  if [ "$f" = OrvanePlayer ]; then
    [ "$paths" = '$ORIGIN' ] || fail "$f searches '$paths'"
  else
    [ -z "$paths" ] || [ "$paths" = '$ORIGIN' ] || fail "$f searches '$paths'"
  fi
done

echo "== a copied folder without libZeltpack.so does not start"
fresh_program_folder
mv "$prog/libZeltpack.so" "$work/"
status=0
QT_QPA_PLATFORM=xcb timeout 10 "$prog/OrvanePlayer" 2>"$work/stderr" || status=$?
[ "$status" -ne 0 ] && [ "$status" -ne 124 ] || fail "the player started (status $status)"
grep -q "libZeltpack.so: cannot open shared object file" "$work/stderr" ||
  fail "no loader error: $(cat "$work/stderr")"

echo "== with it beside the player, it starts"
mv "$work/libZeltpack.so" "$prog/"
start_player
main_window >/dev/null
close_player
echo "the companion libraries are found beside the player only"
