#!/usr/bin/env bash
# A night unattended: the real program under Xvfb with its clock running 100 times fast
# through a simulated day that ends in the zero moment, then its video looping. Prints the
# resident memory and the program's X resources at the start, after the first simulated hour,
# at the end of the count and after the video has looped a while, each beside its goal.
# BENCH_NIGHT_HOURS shortens the simulated day (default 24).
build=${1:-build-bench}
E2E_WIDTH=1280 E2E_HEIGHT=720
source "$(dirname "$0")/../tests/e2e/lib.sh" "$build/yearmark"
set +e

hours=${BENCH_NIGHT_HOURS:-24}
speed=100
exe=$(e2e_install yearmark)
dir=$(dirname "$exe")
export E2E_CLOCK_FILE="$E2E_DIR/clock"
# A two-second clip of a moving ball: two different frames a little apart show it is playing.
gst-launch-1.0 -q videotestsrc num-buffers=50 pattern=ball ! video/x-raw,width=320,height=240,framerate=25/1 \
  ! jpegenc ! avimux ! filesink location="$dir/0.avi" || { echo "could not make the clip"; exit 1; }

target_epoch=$(date -d "2027-01-01 00:00:00" +%s)
start_epoch=$((target_epoch - hours * 3600))
# Counted from the page tables: the kernel's running VmRSS figure lags behind threads.
rss_kb() { awk '/^Rss:/ {print $2}' "/proc/$E2E_APP_PID/smaps_rollup"; }
# The program's X resources as xrestop counts them: windows, pixmaps, GCs, pictures.
x_res() {
  xrestop -b -m 1 2>/dev/null | awk -v pid="$E2E_APP_PID" '
    /PID:/ { mine = ($0 ~ "PID: *" pid " ") }
    mine && /^\t(windows|pixmaps|GCs|pictures) *:/ { v[$1] = $3 }
    mine && /pixmap bytes/ { v["bytes"] = $4 }
    END { printf "%s/%s/%s/%s %s\n", v["windows"], v["pixmaps"], v["GCs"], v["pictures"], v["bytes"] }'
}
# Seconds of real time until the program's clock shows the given epoch second.
sim_now() {  # the program's clock, in epoch seconds
  echo $(( start_epoch + ($(date +%s%N) - launched) * speed / 1000000000 ))
}
wait_sim() {  # epoch second of the program's clock
  while [ "$(sim_now)" -lt "$1" ]; do sleep 0.5; done
}
title_changes() {  # three shots a second apart, each differing from the one before
  local i prev="" now
  for i in 1 2 3; do
    now="$E2E_DIR/tc-$i.png"; e2e_shot "$now"
    if [ -n "$prev" ] && [ "$(e2e_diff "$prev" "$now")" -eq 0 ]; then echo no; return; fi
    prev=$now; sleep 1
  done
  echo yes
}
declare -A rss res
sample() { rss[$1]=$(rss_kb); res[$1]=$(x_res); cp "/proc/$E2E_APP_PID/smaps" "$E2E_DIR/smaps.$1"; }

e2e_set_clock "@$start_epoch" "$speed"
launched=$(date +%s%N)
e2e_launch "$exe" || { echo "the program did not start"; exit 1; }
sample start
wait_sim $((start_epoch + 3600)); sample hour1
# Near the end the clock slows to real time, so that a tick meets the last second.
wait_sim $((target_epoch - 600))
e2e_set_clock "@$((target_epoch - 60))" 1
changes=$(title_changes)
sample counted
e2e_set_clock "@$((target_epoch - 3))" 1
playing() { [ "$(E2E_FUZZ=20 e2e_count_colour "$(e2e_shot "$E2E_DIR/v.png"; echo "$E2E_DIR/v.png")" white)" -gt 100 ]; }
e2e_wait_for 15 playing || echo "the video did not start"
# After a few loops of the two-second clip, everything the video needs is in place.
sleep 6; sample video1
loops_watched=${BENCH_NIGHT_LOOP_SECONDS:-30}
sleep "$loops_watched"
e2e_shot "$E2E_DIR/l1.png"; sleep 0.3; e2e_shot "$E2E_DIR/l2.png"
looping=$([ "$(e2e_diff "$E2E_DIR/l1.png" "$E2E_DIR/l2.png")" -gt 100 ] && echo yes || echo no)
sample video2
alive=$(kill -0 "$E2E_APP_PID" 2>/dev/null && echo yes || echo no)
e2e_stop

mib() { LC_ALL=C awk -v a="$1" -v b="$2" 'BEGIN { printf "%+.2f MiB", (b - a) / 1024 }'; }
printf '%-44s %s\n' "simulated" "$hours h at ${speed}x, then the zero moment and ${loops_watched} s of looping video"
printf '%-44s %8s  %-28s %s\n' "point" "RSS kB" "X windows/pixmaps/GCs/pictures" ""
for k in start hour1 counted video1 video2; do
  printf '%-44s %8s  %-28s\n' "$k" "${rss[$k]}" "${res[$k]}"
done
line() { printf '%-46s %-22s goal %s\n' "$@"; }
line "RSS, first hour -> end of count" "$(mib "${rss[hour1]}" "${rss[counted]}")" "<= +2 MiB"
line "RSS while the video loops (video1 -> video2)" "$(mib "${rss[video1]}" "${rss[video2]}")" "<= +2 MiB"
printf '%-46s %-22s %s\n' "RSS, one-time start of the media at zero" "$(mib "${rss[counted]}" "${rss[video1]}")" \
  "(counted -> video1: media libraries, plugins and threads; see below)"
line "X resources, first hour -> end of count" "${res[hour1]} -> ${res[counted]}" "no growth"
line "X resources while the video loops" "${res[video1]} -> ${res[video2]}" "no growth"
line "title changes every second near the end" "$changes" "yes"
line "video still loops at the end" "$looping" "yes"
line "program still running at the end" "$alive" "yes"

# What the one-time start of the media is made of: resident memory per mapping at the end of
# the count and with the video playing, libraries by file name, anonymous memory by kind.
echo "one-time start of the media, resident growth per mapping (top 15, kB):"
awk '
  function hex(s,   i, v) { v = 0; for (i = 1; i <= length(s); i++) v = v * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1; return v }
  /^[0-9a-f]+-[0-9a-f]+ / {
    split($1, a, "-"); start = hex(a[1]); len = hex(a[2]) - start; path = ""
    for (i = 6; i <= NF; i++) path = path (i > 6 ? " " : "") $i
    if (path ~ /^\//) { n = split(path, p, "/"); key = p[n] }
    else if (path != "") key = path
    else if (len == 8192 * 1024 || len == 8188 * 1024) key = "[anonymous: thread stacks]"
    else if (start % (64 * 1048576) == 0) key = "[anonymous: malloc arenas of other threads]"
    else key = "[anonymous: other]"
    next
  }
  /^Rss:/ { if (FILENAME == ARGV[1]) before[key] += $2; else after[key] += $2; keys[key] = 1 }
  END { for (k in keys) if (after[k] != before[k]) printf "%+8d  %6d -> %6d  %s\n", after[k] - before[k], before[k], after[k], k }
' "$E2E_DIR/smaps.counted" "$E2E_DIR/smaps.video1" | LC_ALL=C sort -rn | head -n 15
