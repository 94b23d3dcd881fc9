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
first_paint_ms() {  # display, program [arguments]
  local t0 t1
  t0=$(date +%s%N)
  DISPLAY=":$1" "${@:2}" >/dev/null 2>&1 &
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

# Against two yardsticks in the same run: the same glyphs (the label at the title's fitted size)
# and the simplest program a user could choose (the label at its plain 48-pixel size).
d1=171; d2=172; d3=173
start_x $d1 && start_x $d2 && start_x $d3 || { echo "no Xvfb"; exit 1; }
ym_ms=$(first_paint_ms $d1 "$yearmark"); ym=$(cat "$tmp/pid.$d1")
mi_ms=$(first_paint_ms $d2 "$minimal"); mi=$(cat "$tmp/pid.$d2")
pl_ms=$(first_paint_ms $d3 "$minimal" --plain); pl=$(cat "$tmp/pid.$d3")
sleep 2
y0=$(cpu_ticks "$ym"); m0=$(cpu_ticks "$mi"); p0=$(cpu_ticks "$pl")
sleep "$seconds"
y1=$(cpu_ticks "$ym"); m1=$(cpu_ticks "$mi"); p1=$(cpu_ticks "$pl")
hz=$(getconf CLK_TCK)
per_minute() { LC_ALL=C awk -v d="$1" -v hz="$hz" -v s="$seconds" 'BEGIN {printf "%.0f", d * 1000 / hz * 60 / s}'; }
ycpu=$(per_minute $((y1 - y0))); mcpu=$(per_minute $((m1 - m0))); pcpu=$(per_minute $((p1 - p0)))
yrss=$(rss_kb "$ym"); mrss=$(rss_kb "$mi"); prss=$(rss_kb "$pl")
ratio() { LC_ALL=C awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) b = 1; printf "%.2f", a / b }'; }
row() { printf '%-34s %10s %12s %6s %-9s %12s %6s %s\n' "$@"; }
row "figure" "yearmark" "same glyphs" "ratio" "goal" "plain 48 px" "ratio" "goal"
row "CPU ms per minute (${seconds}s sample)" "$ycpu" "$mcpu" "$(ratio "$ycpu" "$mcpu")" "<= 1.2x" "$pcpu" "$(ratio "$ycpu" "$pcpu")" "<= 1.0x"
row "resident memory kB" "$yrss" "$mrss" "$(ratio "$yrss" "$mrss")" "<= 1.2x" "$prss" "$(ratio "$yrss" "$prss")" "<= 1.1x"
row "start to first painted title ms" "$ym_ms" "$mi_ms" "$(ratio "$ym_ms" "$mi_ms")" "<= 1.2x" "$pl_ms" "$(ratio "$ym_ms" "$pl_ms")" "<= 1.1x"
