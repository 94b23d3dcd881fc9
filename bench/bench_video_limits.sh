#!/usr/bin/env bash
# Videos at the program's limits: Motion JPEG clips whose frames' own headers claim a size (the
# largest refused one, 30000 x 30000, and the largest accepted one, 8192 x 8192 = 256 MiB at
# 4 bytes a pixel), played by the real program at its zero moment and, for the refused one,
# with the play command (F9); the program's peak memory (VmHWM) is printed beside its goal. Then
# a 1 x 1 clip at 1000 frames a second: the program's CPU share of one core over a sample.
# BENCH_VIDEO_LIMITS_SECONDS sets the sample (default 5).
build=${1:-build-bench}
E2E_WIDTH=640 E2E_HEIGHT=360
source "$(dirname "$0")/../tests/e2e/lib.sh" "$build/yearmark"
set +e

seconds=${BENCH_VIDEO_LIMITS_SECONDS:-5}
exe=$(e2e_install yearmark)
dir=$(dirname "$exe")
media="$E2E_DIR/media" work="$E2E_DIR/work"
mkdir -p "$media" "$work"
hz=$(getconf CLK_TCK)

# Green clips whose frames' headers claim width x height (file, width, height, rate, frames).
claiming() { e2e_claiming_clip "$1" "$2" "$3" "$4" "$5" 0xff00ff00; }
claiming "$media/30000.avi" 30000 30000 10 10 && claiming "$media/8192.avi" 8192 8192 10 10 \
  && claiming "$media/fast.avi" 1 1 1000 20000 || { echo "could not make the clips"; exit 1; }

peak_mb() { awk '/VmHWM/ {print int($2 / 1024)}' "/proc/$E2E_APP_PID/status" 2>/dev/null || echo "(ended)"; }
ticks() { awk '{print $14 + $15}' "/proc/$E2E_APP_PID/stat" 2>/dev/null || echo 0; }
row() { printf '%-44s %10s   goal %s\n' "$@"; }
at_zero() { rm -rf "$XDG_CONFIG_HOME"; FAKE_TIME="2026-12-31 23:59:57" E2E_WORKDIR="$work" e2e_launch "$exe"; }

for size in 30000 8192; do
  rm -f "$dir"/0.*
  cp "$media/$size.avi" "$dir/0.avi"
  e2e_picture "$dir/0.jpg" red 64x36
  at_zero || { row "zero moment, $size x $size: peak memory" "-" "the program starts"; continue; }
  sleep 8
  if [ "$size" = 30000 ]; then row "zero moment, $size x $size (refused): peak" "$(peak_mb) MB" "< 100 MB"
  else row "zero moment, $size x $size (accepted): peak" "$(peak_mb) MB" "< 1000 MB"; fi
  e2e_stop
done

rm -f "$dir"/0.*
cp "$media/30000.avi" "$work/0.avi"
rm -rf "$XDG_CONFIG_HOME"
FAKE_TIME="2026-12-07 12:00:00" E2E_WORKDIR="$work" e2e_launch "$exe" && {
  sleep 1; e2e_key F9; sleep 4
  row "F9, 30000 x 30000 (refused): peak" "$(peak_mb) MB" "< 100 MB"
  e2e_stop
}
rm -f "$work/0.avi"

cp "$media/fast.avi" "$dir/0.avi"
at_zero && {
  sleep 5
  t0=$(ticks); sleep "$seconds"; t1=$(ticks)
  row "zero moment, 1 x 1 at 1000 fps: CPU, one core" \
    "$(LC_ALL=C awk -v d=$((t1 - t0)) -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.1f %%", d * 100 / hz / s }')" "< 10 %"
  e2e_stop
}
