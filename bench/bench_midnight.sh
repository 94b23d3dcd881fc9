#!/usr/bin/env bash
# Midnight to the millisecond, as the screen shows it (the X server's frame buffer read every
# millisecond) and as the program's UI thread lives it (its own opt-in measure, see
# app/BusyWatch.h): for a ready clip, a ready picture and each hard condition of the
# end-to-end table, the lateness of each of the last ten seconds' flip after the true second,
# of the title's going, of the picture and of the first video frame after midnight, and the
# longest stretch the UI thread was busy in one go during the last ten seconds and the first
# second of the zero moment.
# Where a clip is due, a red "0.jpg" lies beside it: it shows until the clip is ready.
# MIDNIGHT_ROWS picks rows (ready_picture and the end-to-end table's names).
build=${1:-build-bench}
here=$(cd "$(dirname "$0")/../tests/e2e" && pwd)
E2E_WIDTH=1920 E2E_HEIGHT=1080 E2E_FRAME_BUFFER=1 E2E_OPENBOX_RC="$here/openbox_help_aside.xml"
source "$here/lib.sh" "$build/yearmark"
MIDNIGHT_SECONDS=10 MIDNIGHT_AFTER=${BENCH_MIDNIGHT_AFTER:-4} MIDNIGHT_COLOURS="ff00ff ff0000"
source "$here/midnight.sh"
set +e

busy_max() {  # longest busy stretch (ms) in the last ten seconds and the zero moment's first
  LC_ALL=C awk -v z="$midnight_target" '$1 < z + 1 && $1 + $2 / 1000 > z - 10 && $2 > m { m = $2 }
    END { printf "%.1f", m + 0 }' "$E2E_DIR/busy.log" 2>/dev/null || echo -
}
flips() {  # the latest flip and how many were early or missing
  # shellcheck disable=SC2086
  printf '%s\n' $MIDNIGHT_FLIPS | LC_ALL=C awk '
    /^-?[0-9.]+$/ { if ($1 < 0) early++; else if ($1 > m) m = $1; next } { bad++ }
    END { printf "latest %6.1f ms, %d early, %d missing", m, early, bad }'
}
with_picture() { e2e_picture "$midnight_dir/0.jpg" red 64x36; }

measure() {  # label, set-up steps...
  local label=$1 step
  shift
  midnight_clear
  rm -f "$E2E_DIR/busy.log"
  for step in "$@"; do "$step" || { echo "$label: set-up failed"; return; }; done
  midnight_run YEARMARK_BUSY_LOG="$E2E_DIR/busy.log" "${midnight_env[@]}" ||
    { echo "$label: the program did not start"; return; }
  printf '%s\n' "-- $label"
  printf '   flips of the last ten seconds  %-40s goal <= 20 ms, never early\n' "$(flips)"
  printf '     each, 10 s to 1 s before zero  %s ms\n' "$(echo $MIDNIGHT_FLIPS)"
  printf '   title gone after midnight      %-40s goal <= 20 ms\n' "${MIDNIGHT_ZERO% *} ms (${MIDNIGHT_ZERO#* })"
  printf '   picture after midnight         %-40s goal <= 20 ms where one is due\n' "$(midnight_first ff0000) ms"
  printf '   first video frame              %-40s goal <= 60 ms ready, else when ready\n' "$(midnight_first ff00ff) ms"
  printf '   UI thread busy in one go, max  %-40s goal <= 16 ms (last 10 s and zero)\n' "$(busy_max) ms"
  [ "$MIDNIGHT_STATUS" = 0 ] && [ "$MIDNIGHT_SAVED" = yes ] ||
    printf '   ended with status %s, settings saved: %s (goal 0, yes)\n' "$MIDNIGHT_STATUS" "$MIDNIGHT_SAVED"
}

for c in ${MIDNIGHT_ROWS:-ready_picture $midnight_cases}; do
  case $c in
    ready_clip) measure "ready clip" ready_clip ;;
    ready_picture) measure "ready picture" with_picture ;;
    progressive_jpeg_bomb) measure "${c//_/ }" "$c" ;;
    *) measure "${c//_/ }" "$c" with_picture ;;
  esac
done
