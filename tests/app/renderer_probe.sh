#!/usr/bin/env bash
# The OpenGL driver (tens of megabytes with a software rasteriser) is mapped
# into the real player only when the OpenGL renderer is chosen: the question
# is asked of OrvaneGlProbe in a child process. Checked in /proc/PID/maps of
# the idle player and of one playing a clip, for each way the kind is chosen.
#   renderer_probe.sh PLAYER MEDIA_FOLDER
source "$(dirname "$0")/player_lib.sh" "$1"
media="$2"
fresh_program_folder

driver() { grep -E -o '(swrast|[a-z0-9]+)_dri\.so|libLLVM[^ ]*|libGLX_mesa[^ ]*|libEGL_mesa[^ ]*|libglapi[^ ]*|libqxcb-(glx|egl)-integration[^ ]*' "/proc/$pid/maps" | sort -u | tr '\n' ' ' || true; }

# expect WANT(driver|none) WHAT ENV... -- ARGS...: starts the player with the
# environment and arguments, waits for its window (and a moment for a clip to
# start), reads its maps and closes it.
expect() {
  local want="$1" what="$2"; shift 2
  local env=() args=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do env+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  args=("$@")
  QT_QPA_PLATFORM=xcb env -u ORVANE_RENDERER -u ORVANE_ALLOW_SOFTWARE_GL "${env[@]}" \
    "$prog/OrvanePlayer" "${args[@]}" 2>"$work/stderr" &
  pid=$!
  pids+=("$pid")
  main_window >/dev/null
  if [ ${#args[@]} -gt 0 ]; then
    # Playing: the demuxer is loaded once the file is open.
    for _ in $(seq 50); do grep -q libgstisomp4 "/proc/$pid/maps" && break; sleep 0.1; done
    grep -q libgstisomp4 "/proc/$pid/maps" || fail "$what: the clip was never opened"
    sleep 1
  fi
  local found
  found=$(driver)
  if [ "$want" = none ]; then
    [ -z "$found" ] || fail "$what: OpenGL driver mapped: $found"
  else
    [[ "$found" == *_dri.so* || "$found" == *libGLX_mesa* ]] || fail "$what: no OpenGL driver mapped: '$found'"
  fi
  echo "ok: $what"
  close_player
}

# Xvfb offers only llvmpipe, which is not taken by itself: the raster kind.
expect none "probed, idle"
expect none "probed, playing" -- "$media/video-2s-320x240.mp4"
expect none "1007 forced, playing" ORVANE_RENDERER=1007 -- "$media/video-2s-320x240.mp4"
expect none "1000 forced, idle" ORVANE_RENDERER=1000
expect none "1000 forced, playing" ORVANE_RENDERER=1000 -- "$media/video-2s-320x240.mp4"
# The probe still answers: a software rasteriser allowed, or 1009 forced,
# gives the OpenGL surface and with it the driver.
expect driver "software rasteriser allowed" ORVANE_ALLOW_SOFTWARE_GL=1
expect driver "1009 forced" ORVANE_RENDERER=1009
# On a 16-bit screen the toolkit's OpenGL widgets show only black: 1009
# forced falls back to the raster kind, whose picture shows.
deep=$DISPLAY
shallow=170
while [ -e "/tmp/.X11-unix/X$shallow" ] || [ -e "/tmp/.X$shallow-lock" ]; do shallow=$((shallow + 1)); done
Xvfb ":$shallow" -screen 0 1024x768x16 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$shallow" ] && break; sleep 0.1; done
export DISPLAY=":$shallow"
expect none "1009 forced on a 16-bit screen" ORVANE_RENDERER=1009 -- "$media/video-2s-320x240.mp4"
export DISPLAY=$deep
# Without its probe program, or with one that fails or hangs, the player has
# no OpenGL and still starts; a hanging probe is not left behind.
rm "$prog/OrvaneGlProbe"
expect none "no probe program, 1009 forced" ORVANE_RENDERER=1009 ORVANE_ALLOW_SOFTWARE_GL=1
# A probe's hardware renderer is taken by itself; the same answer from one
# that fails, or that does not end within the limit, is not.
printf '#!/bin/sh\necho "Fast GPU"\n' >"$prog/OrvaneGlProbe"
chmod +x "$prog/OrvaneGlProbe"
expect driver "hardware renderer reported"
printf '#!/bin/sh\necho "Fast GPU"\nexit 1\n' >"$prog/OrvaneGlProbe"
expect none "failing probe, 1009 forced" ORVANE_RENDERER=1009
printf '#!/bin/sh\necho "Fast GPU"\nexec sleep 60 >&-\n' >"$prog/OrvaneGlProbe"
QT_QPA_PLATFORM=xcb ORVANE_RENDERER=1009 "$prog/OrvanePlayer" 2>"$work/stderr" &
pid=$!
pids+=("$pid")
main_window >/dev/null
[ -z "$(driver)" ] || fail "hanging probe: OpenGL driver mapped: $(driver)"
[ -z "$(ps -o pid= --ppid "$pid")" ] || fail "hanging probe: a child is left: $(ps -o pid=,args= --ppid "$pid")"
close_player
echo "ok: probe that answers and hangs, 1009 forced"
echo "renderer probe maps no driver it does not use"
