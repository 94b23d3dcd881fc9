#!/usr/bin/env bash
# CPU of one core while a 1920 x 1080, 25 fps clip plays in a 1920 x 1080 window under Xvfb: the
# video window (bench_video from the bench build folder $1) beside gst-play-1.0 on the same file.
set -uo pipefail
build=${1:-build-bench}
bench="$build/bench_video"
[ -x "$bench" ] || { echo "bench_video not built in $build"; exit 1; }

work=$(mktemp -d)
xvfb_pid=
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A free display number: no lock file and no socket.
n=90
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
export DISPLAY=":$n"

clip="$work/clip1080.avi"
echo "making a 10 s 1920x1080 25 fps MJPEG clip..."
gst-launch-1.0 -q videotestsrc num-buffers=250 pattern=ball ! video/x-raw,width=1920,height=1080,framerate=25/1 \
  ! jpegenc quality=85 ! avimux ! filesink location="$clip" || { echo "could not make the clip"; exit 1; }

echo "-- video window (Qt on xcb)"
QT_QPA_PLATFORM=xcb "$bench" "$clip"

# CPU of a command as a percentage of one core over its wall time.
cpu_of() {
  local TIMEFORMAT='%U %S %R' t
  t=$( { time "$@" >/dev/null 2>&1; } 2>&1 | tail -1)
  awk -v t="$t" 'BEGIN { split(t, a, " "); if (a[3] > 0) printf "%.1f %% of one core over %.2f s", 100 * (a[1] + a[2]) / a[3], a[3]; else print "n/a" }'
}

if command -v gst-play-1.0 >/dev/null; then
  echo "-- gst-play-1.0"
  echo "gst-play-1.0: $(cpu_of gst-play-1.0 --no-interactive -q "$clip")"
else
  # gst-play-1.0 comes with gstreamer1.0-plugins-base-apps, and a window sink with gstreamer1.0-x;
  # without them the nearest stock figure is decoding and converting at the clip's pace.
  echo "-- gst-play-1.0 is not installed; stand-in: gst-launch-1.0 decode + convert to BGRx at clock pace, no display"
  echo "gst-launch-1.0: $(cpu_of gst-launch-1.0 -q uridecodebin uri="file://$clip" ! videoconvert ! video/x-raw,format=BGRx ! fakesink sync=true)"
fi
