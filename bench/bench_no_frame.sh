#!/usr/bin/env bash
# A "0.avi" that plays no frame: the real program runs into its zero moment with each kind of
# such file beside it (and a red "0.jpg" to fall back on), and over the seconds after zero its
# CPU time, as a share of one core, is printed beside the goal, with what the screen shows.
# The play command (F9) is tried the same way with such a file in the working folder.
# BENCH_NO_FRAME_SECONDS sets the sample (default 6).
build=${1:-build-bench}
E2E_WIDTH=640 E2E_HEIGHT=360
source "$(dirname "$0")/../tests/e2e/lib.sh" "$build/yearmark"
set +e

seconds=${BENCH_NO_FRAME_SECONDS:-6}
exe=$(e2e_install yearmark)
dir=$(dirname "$exe")
media="$E2E_DIR/media" work="$E2E_DIR/work"
mkdir -p "$media" "$work"
export E2E_CLOCK_FILE="$E2E_DIR/clock"
hz=$(getconf CLK_TCK)
area=$((E2E_WIDTH * E2E_HEIGHT))

# The kinds of file, all made here.
gst-launch-1.0 -q videotestsrc num-buffers=25 pattern=ball ! video/x-raw,width=320,height=240,framerate=25/1 \
  ! jpegenc ! avimux ! filesink location="$media/clip.avi" || { echo "could not make a clip"; exit 1; }
gst-launch-1.0 -q audiotestsrc num-buffers=50 samplesperbuffer=882 ! audio/x-raw,format=S16LE,rate=44100,channels=2 \
  ! avimux ! filesink location="$media/audio-only.avi"
movi=$(grep -obUa movi "$media/clip.avi" | head -n1 | cut -d: -f1)
head -c "$((movi + 10))" "$media/clip.avi" >"$media/cut-before-first-frame.avi"
head -c 100000 /dev/urandom >"$media/random-bytes.avi"
# A codec no decoder knows, named in an otherwise sound file.
perl -0777 -pe 's/MJPG/QZXV/g' "$media/clip.avi" >"$media/unknown-codec.avi"
# A sound header and index whose frames have lost their JPEG start markers: the decoder drops
# every one, and the pass ends without a frame and without an error.
perl -0777 -pe 's/\xff\xd8\xff/\0\0\0/g' "$media/clip.avi" >"$media/undecodable-frames.avi"
kinds=(audio-only cut-before-first-frame random-bytes unknown-codec undecodable-frames)

ticks() { awk '{print $14 + $15}' "/proc/$E2E_APP_PID/stat" 2>/dev/null || echo 0; }
shot() { e2e_shot "$E2E_DIR/s.png"; echo "$E2E_DIR/s.png"; }
screen() {  # what a look at the whole screen shows
  local s red black white
  s=$(shot)
  red=$(E2E_FUZZ=12 e2e_count_colour "$s" red)
  black=$(E2E_FUZZ=5 e2e_count_colour "$s" black)
  white=$(E2E_FUZZ=10 e2e_count_colour "$s" white)
  if [ "$red" -gt $((area * 9 / 10)) ]; then echo "red 0.jpg fills the window"
  elif [ "$white" -gt 200 ] && [ $((white + black)) -gt $((area * 9 / 10)) ]; then echo "the count"
  elif [ "$black" -gt $((area * 9 / 10)) ]; then echo "black"
  else echo "something else"; fi
}
title_shown() { [ "$(E2E_FUZZ=10 e2e_count_colour "$(shot)" white)" -gt 200 ]; }
# CPU share of one core over the sample, as "12.3".
cpu_percent() {
  local t0 t1
  t0=$(ticks); sleep "$seconds"; t1=$(ticks)
  kill -0 "$E2E_APP_PID" 2>/dev/null || { echo "(ended)"; return; }
  LC_ALL=C awk -v d=$((t1 - t0)) -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.1f", d * 100 / hz / s }'
}
row() { printf '%-40s %6s %%   goal < 5 %%   screen: %-28s goal: %s\n' "$@"; }
printf '%s\n' "CPU over ${seconds} s, share of one core; beside the program a red 0.jpg"

for kind in "${kinds[@]}"; do
  rm -rf "$XDG_CONFIG_HOME"; rm -f "$dir/0.avi"
  cp "$media/$kind.avi" "$dir/0.avi"
  # Of the screen's shape, so that filling the window covers it all.
  e2e_picture "$dir/0.jpg" red 64x36
  e2e_set_clock "2026-12-31 23:59:58"
  zero=$(($(date +%s%N) / 1000000 + 2000))
  e2e_launch "$exe" || { row "zero moment, $kind" "-" "the program did not start" "red fills"; continue; }
  # The zero moment's own start-up work is left out of the sample.
  sleep "$(LC_ALL=C awk -v z="$zero" -v n="$(($(date +%s%N) / 1000000))" 'BEGIN { d = (z + 1000 - n) / 1000; printf "%.3f", (d > 0 ? d : 0) }')"
  cpu=$(cpu_percent)
  row "zero moment, $kind" "$cpu" "$(screen)" "red fills"
  e2e_stop
done

rm -f "$dir/0.avi" "$dir/0.jpg"
for kind in undecodable-frames; do
  rm -rf "$XDG_CONFIG_HOME"
  cp "$media/$kind.avi" "$work/0.avi"
  e2e_set_clock "2026-12-07 12:00:00"
  E2E_WORKDIR=$work e2e_launch "$exe" || { row "F9, $kind" "-" "the program did not start" "the count"; continue; }
  e2e_wait_for 5 title_shown
  e2e_key F9
  sleep 1
  cpu=$(cpu_percent)
  row "F9, $kind" "$cpu" "$(screen)" "the count"
  e2e_stop
done
