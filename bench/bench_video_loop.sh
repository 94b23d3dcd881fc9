#!/usr/bin/env bash
# The zero-moment loop, as seen in the X server's frame buffer: over 20 passes of a 1-second,
# 25 fps clip (first frame red, last blue, the rest green), with and without sound, the time
# from the last frame of one pass to the first frame of the next, and every look in between
# that showed something else (black, the title, a picture).
set -uo pipefail
build=${1:-build-bench}
yearmark=$(readlink -f "$build/yearmark")
watch=$(readlink -f "$build/frame_watch")
passes=${BENCH_PASSES:-20}
source "$(dirname "$0")/frame_buffer_screen.sh"
bench_screen 1280x720
mkdir -p "$tmp/frames"

for i in $(seq 0 24); do
  colour=lime; [ "$i" = 0 ] && colour=red; [ "$i" = 24 ] && colour=blue
  convert -size 320x180 "xc:$colour" "$tmp/frames/f$(printf %02d "$i").png"
done
frames="multifilesrc location=$tmp/frames/f%02d.png index=0 stop-index=24 caps=image/png,framerate=25/1 ! pngdec ! videoconvert ! jpegenc"
gst-launch-1.0 -q $frames ! avimux ! filesink location="$tmp/silent.avi" || { echo "no clip"; exit 1; }
gst-launch-1.0 -q $frames ! avimux name=mux ! filesink location="$tmp/sound.avi" \
  audiotestsrc num-buffers=50 samplesperbuffer=882 ! audio/x-raw,format=S16LE,rate=44100,channels=2 ! mux. \
  || { echo "no clip with sound"; exit 1; }

measure() {  # label, clip
  cp "$2" "$tmp/app/0.avi"
  rm -rf "$XDG_CONFIG_HOME"
  (cd "$tmp/app" && exec env LD_PRELOAD="$faketime_lib" FAKETIME="@2026-12-31 23:59:57" \
    FAKETIME_DONT_FAKE_MONOTONIC=1 FAKETIME_NO_CACHE=1 ./yearmark) >/dev/null 2>&1 &
  local pid=$!
  "$watch" "$tmp/fb/Xvfb_screen0" $(( (passes + 15) * 1000 )) loop ff0000 00ff00 0000ff "$passes" >"$tmp/out"
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  awk '/^pass/ {print $2}' "$tmp/out" | LC_ALL=C sort -g | LC_ALL=C awk -v label="$1" -v passes="$passes" '
    {v[n++] = $1}
    END { if (!n) { printf "%-44s no pass seen\n", label; exit }
          printf "%-44s median %5.1f  max %5.1f  (%d of %d passes)   goal <= 40 ms (one frame)\n",
                 label, v[int((n - 1) / 2)], v[n - 1], n, passes }'
  printf '%-44s %s   goal 0\n' "  looks at anything else between passes" "$(awk '/^strays/ {print $2}' "$tmp/out")"
}
measure "last frame -> next first frame, silent (ms)" "$tmp/silent.avi"
measure "last frame -> next first frame, sound (ms)" "$tmp/sound.avi"
