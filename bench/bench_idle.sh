#!/usr/bin/env bash
# Cost of the running countdown beside the simplest Qt programs showing the same text: time
# from start to the first painted title, CPU time per minute and resident memory. The frame
# buffer of each program's Xvfb of 1920 x 1080 is read directly, about once a millisecond,
# from the moment the program is started. After one unmeasured warm-up start of each, the
# programs start in turn (the order rotating every round) for BENCH_ROUNDS rounds (15: single
# starts spread by ±10 ms on a shared machine, so fewer leave the medians unsteady); the
# medians are compared. Then the countdown and the two labels run side by side for the CPU
# and memory sample.
set -uo pipefail
build=${1:-build-bench}
yearmark=$(readlink -f "$build/yearmark")
minimal=$(readlink -f "$build/minimal_label")
watch=$(readlink -f "$build/frame_watch")
seconds=${BENCH_SECONDS:-30}
rounds=${BENCH_ROUNDS:-15}
source "$(dirname "$0")/frame_buffer_screen.sh"

# Against two yardsticks: the same glyphs (the label at the title's fitted size) and the
# simplest program a user could choose (the label at its plain 48-pixel size).
# A fourth, timed only for its start on the plain label's screen, leaves its text empty until
# its first 188 ms tick, to show what waiting for a whole interval before the first caption
# costs (the countdown runs its first tick as its window is shown).
names=(ym mi pl pt)
declare -A display command screen=([ym]=ym [mi]=mi [pl]=pl [pt]=pl)
for k in ym mi pl; do
  bench_screen 1920x1080 "fb-$k" || { echo "no Xvfb"; exit 1; }
  display[$k]=$DISPLAY
done
display[pt]=${display[pl]}
command[ym]="$tmp/app/yearmark"
command[mi]="$minimal"
command[pl]="$minimal --plain"
command[pt]="$minimal --plain --first-tick"

start_ms() {  # name [--keep] → milliseconds (and with --keep the process id)
  # shellcheck disable=SC2086 # the command holds its arguments
  DISPLAY=${display[$1]} "$watch" "$tmp/fb-${screen[$1]}/Xvfb_screen0" 20000 start ${2:-} ${command[$1]}
}

declare -A times
for k in "${names[@]}"; do start_ms "$k" >/dev/null; done
for r in $(seq 0 $((rounds - 1))); do
  for i in 0 1 2 3; do
    k=${names[$(((r + i) % 4))]}
    times[$k]+="$(start_ms "$k" || echo fail) "
  done
done
median() {  # values... ("fail" counts as missing)
  printf '%s\n' "$@" | grep -v fail | LC_ALL=C sort -g | LC_ALL=C awk '{v[n++] = $1} END { if (n) printf "%.1f", v[int((n - 1) / 2)]; else printf "fail" }'
}
# shellcheck disable=SC2086 # one value per word
ym_ms=$(median ${times[ym]}); mi_ms=$(median ${times[mi]}); pl_ms=$(median ${times[pl]})
pt_ms=$(median ${times[pt]})

declare -A pid
for k in ym mi pl; do
  out=($(start_ms "$k" --keep)) || { echo "$k did not show its title"; exit 1; }
  pid[$k]=${out[1]}
  pids+=("${out[1]}")
done
ym=${pid[ym]} mi=${pid[mi]} pl=${pid[pl]}

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
rss_kb() { awk '/VmRSS/ {print $2}' "/proc/$1/status"; }
sleep 2
y0=$(cpu_ticks "$ym"); m0=$(cpu_ticks "$mi"); p0=$(cpu_ticks "$pl")
sleep "$seconds"
y1=$(cpu_ticks "$ym"); m1=$(cpu_ticks "$mi"); p1=$(cpu_ticks "$pl")
hz=$(getconf CLK_TCK)
per_minute() { LC_ALL=C awk -v d="$1" -v hz="$hz" -v s="$seconds" 'BEGIN {printf "%.0f", d * 1000 / hz * 60 / s}'; }
ycpu=$(per_minute $((y1 - y0))); mcpu=$(per_minute $((m1 - m0))); pcpu=$(per_minute $((p1 - p0)))
yrss=$(rss_kb "$ym"); mrss=$(rss_kb "$mi"); prss=$(rss_kb "$pl")
# Ended before the scratch folder goes, so that no settings are written into a folder being
# removed.
for p in "$ym" "$mi" "$pl"; do kill "$p" 2>/dev/null; done
for _ in $(seq 100); do kill -0 "$ym" 2>/dev/null || kill -0 "$mi" 2>/dev/null || kill -0 "$pl" 2>/dev/null || break; sleep 0.05; done
ratio() { LC_ALL=C awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) b = 1; printf "%.2f", a / b }'; }
row() { printf '%-34s %10s %12s %6s %-9s %12s %6s %s\n' "$@"; }
row "figure" "yearmark" "same glyphs" "ratio" "goal" "plain 48 px" "ratio" "goal"
row "CPU ms per minute (${seconds}s sample)" "$ycpu" "$mcpu" "$(ratio "$ycpu" "$mcpu")" "<= 1.2x" "$pcpu" "$(ratio "$ycpu" "$pcpu")" "<= 1.0x"
row "resident memory kB" "$yrss" "$mrss" "$(ratio "$yrss" "$mrss")" "<= 1.2x" "$prss" "$(ratio "$yrss" "$prss")" "<= 1.1x"
row "start to first painted title ms" "$ym_ms" "$mi_ms" "$(ratio "$ym_ms" "$mi_ms")" "<= 1.2x" "$pl_ms" "$(ratio "$ym_ms" "$pl_ms")" "<= 1.1x"
# What waiting a whole interval for the first caption would cost:
row "  ... label empty until first tick" "" "" "" "" "$pt_ms" "$(ratio "$ym_ms" "$pt_ms")" "(for comparison)"
for k in "${names[@]}"; do
  printf '  %-44s %s\n' "starts of ${command[$k]##*/}" "${times[$k]}"
done
