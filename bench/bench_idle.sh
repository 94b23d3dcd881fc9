#!/usr/bin/env bash
# Cost of the running countdown beside the simplest Qt program showing the same text:
# CPU time per minute, resident memory, and time from start to the first painted title.
# Both run in the same run, each on its own Xvfb of 1920 x 1080.
set -uo pipefail
build=${1:-build-bench}
yearmark=$(readlink -f "$build/yearmark")
minimal=$(readlink -f "$build/minimal_label")
seconds=${BENCH_SECONDS:-30}
tmp=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$tmp"; }
trap cleanup EXIT
export XDG_CONFIG_HOME="$tmp/config" LC_ALL=de_DE.UTF-8

start_x() {  # display number
  Xvfb ":$1" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do DISPLAY=":$1" xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.05; done
  return 1
}

# Starts a program and prints the milliseconds until white pixels are on the screen.
first_paint_ms() {  # display, program
  local t0 t1
  t0=$(date +%s%N)
  DISPLAY=":$1" "$2" >/dev/null 2>&1 &
  pids+=($!)
  echo $! >"$tmp/pid.$1"
  while :; do
    n=$(DISPLAY=":$1" import -window root png:- 2>/dev/null | convert - -alpha off -transparent white -alpha extract -negate -format '%[fx:round(mean*w*h)]' info: 2>/dev/null || echo 0)
    [ "${n:-0}" -gt 100 ] && break
    [ $(( ($(date +%s%N) - t0) / 1000000 )) -gt 20000 ] && break
  done
  t1=$(date +%s%N)
  echo $(( (t1 - t0) / 1000000 ))
}

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
rss_kb() { awk '/VmRSS/ {print $2}' "/proc/$1/status"; }

d1=171; d2=172
start_x $d1 && start_x $d2 || { echo "no Xvfb"; exit 1; }
ym_ms=$(first_paint_ms $d1 "$yearmark"); ym=$(cat "$tmp/pid.$d1")
mi_ms=$(first_paint_ms $d2 "$minimal"); mi=$(cat "$tmp/pid.$d2")
sleep 2
y0=$(cpu_ticks "$ym"); m0=$(cpu_ticks "$mi")
sleep "$seconds"
y1=$(cpu_ticks "$ym"); m1=$(cpu_ticks "$mi")
hz=$(getconf CLK_TCK)
ycpu=$(LC_ALL=C awk -v d=$((y1 - y0)) -v hz="$hz" -v s="$seconds" 'BEGIN {printf "%.0f", d * 1000 / hz * 60 / s}')
mcpu=$(LC_ALL=C awk -v d=$((m1 - m0)) -v hz="$hz" -v s="$seconds" 'BEGIN {printf "%.0f", d * 1000 / hz * 60 / s}')
yrss=$(rss_kb "$ym"); mrss=$(rss_kb "$mi")
ratio() { LC_ALL=C awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) b = 1; printf "%.2f", a / b }'; }
printf '%-34s %12s %12s %8s   %s\n' "figure" "yearmark" "minimal Qt" "ratio" "goal"
printf '%-34s %12s %12s %8s   %s\n' "CPU ms per minute (${seconds}s sample)" "$ycpu" "$mcpu" "$(ratio "$ycpu" "$mcpu")" "<= 1.2x"
printf '%-34s %12s %12s %8s   %s\n' "resident memory kB" "$yrss" "$mrss" "$(ratio "$yrss" "$mrss")" "<= 1.2x"
printf '%-34s %12s %12s %8s   %s\n' "start to first painted title ms" "$ym_ms" "$mi_ms" "$(ratio "$ym_ms" "$mi_ms")" "<= 1.2x"
