#!/usr/bin/env bash
# The first frame at midnight, as seen in the X server's frame buffer: from the last look that
# shows the title to the first look that shows the zero-moment video, 10 runs each with a
# 1920 x 1080 Motion JPEG clip and a 1920 x 1080 H.264 clip with sound.
set -uo pipefail
build=${1:-build-bench}
yearmark=$(readlink -f "$build/yearmark")
watch=$(readlink -f "$build/frame_watch")
runs=${BENCH_RUNS:-10}
source "$(dirname "$0")/frame_buffer_screen.sh"
bench_screen 1920x1080

# Magenta, so that neither the title nor black is taken for it.
src="videotestsrc num-buffers=125 pattern=solid-color foreground-color=0xffff00ff ! video/x-raw,width=1920,height=1080,framerate=25/1"
gst-launch-1.0 -q $src ! jpegenc ! avimux ! filesink location="$tmp/mjpeg.avi" || { echo "no MJPEG clip"; exit 1; }
gst-launch-1.0 -q $src ! x264enc speed-preset=veryfast ! video/x-h264,stream-format=byte-stream ! avimux name=mux ! filesink location="$tmp/h264.avi" \
  audiotestsrc num-buffers=250 samplesperbuffer=882 ! audio/x-raw,rate=44100,channels=2 ! lamemp3enc ! mux. \
  || { echo "no H.264 clip (x264enc from gstreamer1.0-plugins-ugly, lamemp3enc)"; exit 1; }

measure() {  # clip → prints milliseconds per run
  local clip=$1 i ms
  cp "$clip" "$tmp/app/0.avi"
  for i in $(seq "$runs"); do
    rm -rf "$XDG_CONFIG_HOME"
    (cd "$tmp/app" && exec env LD_PRELOAD="$faketime_lib" FAKETIME="@2026-12-31 23:59:54" \
      FAKETIME_DONT_FAKE_MONOTONIC=1 FAKETIME_NO_CACHE=1 ./yearmark) >/dev/null 2>&1 &
    local pid=$!
    ms=$("$watch" "$tmp/fb/Xvfb_screen0" 15000 first-frame ff00ff || echo fail)
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
    echo "$ms"
  done
}
summary() {  # label, values...
  local label=$1; shift
  printf '%s\n' "$@" | LC_ALL=C sort -g | LC_ALL=C awk -v label="$label" '
    /fail/ {f++; next} {v[n++] = $1}
    END { if (!n) { printf "%-40s %s\n", label, "no run saw the video"; exit }
          printf "%-40s median %6.1f  max %6.1f  (%d runs, %d failed)   goal <= 100 ms\n",
                 label, v[int((n - 1) / 2)], v[n - 1], n, f }'
}
summary "title -> first frame, MJPEG 1080p (ms)" $(measure "$tmp/mjpeg.avi")
summary "title -> first frame, H.264+sound 1080p (ms)" $(measure "$tmp/h264.avi")
