#!/usr/bin/env bash
# How long the pre-show check takes, from start to exit, with a video, a picture, the help and
# the settings beside the program: on a screen (Xvfb) and without a display. After one unmeasured
# warm-up run of each, BENCH_CHECK_ROUNDS runs (default 9); the median and the slowest are
# printed beside the goal.
build=${1:-build-bench}
source "$(dirname "$0")/../tests/e2e/lib.sh" "$build/yearmark"
set +e

rounds=${BENCH_CHECK_ROUNDS:-9}
exe=$(e2e_install yearmark)
dir=$(dirname "$exe")
gst-launch-1.0 -q videotestsrc num-buffers=250 pattern=ball ! video/x-raw,width=1280,height=720,framerate=25/1 \
  ! x264enc ! h264parse ! mp4mux name=mux ! filesink location="$dir/0.mp4" \
  audiotestsrc num-buffers=430 ! audioconvert ! avenc_aac ! mux. || { echo "could not make a clip"; exit 1; }
e2e_picture "$dir/0.jpg" red 1920x1080
e2e_picture "$dir/yearmark.jpg" blue 1920x1080
cp "$(dirname "$E2E_BIN")/yearmark.chm" "$dir/"

run_ms() {  # environment … → milliseconds from start to exit
  local t0 t1
  t0=$(date +%s%N)
  env "$@" "$exe" --check >/dev/null 2>&1
  t1=$(date +%s%N)
  echo $(((t1 - t0) / 1000000))
}
row() {  # what, environment …
  local what=$1 times=() sorted
  shift
  run_ms "$@" >/dev/null
  for _ in $(seq "$rounds"); do times+=("$(run_ms "$@")"); done
  sorted=$(printf '%s\n' "${times[@]}" | sort -n)
  printf '%-34s median %5d ms   slowest %5d ms   goal ≤ 2 s\n' "$what" \
    "$(sed -n "$(((rounds + 1) / 2))p" <<<"$sorted")" "$(tail -n1 <<<"$sorted")"
}
row "check, H.264 video, on a screen" "DISPLAY=$DISPLAY"
row "check, H.264 video, no display" -u DISPLAY
