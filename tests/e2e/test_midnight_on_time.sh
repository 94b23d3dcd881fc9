#!/usr/bin/env bash
# Midnight on time whatever the machine is doing: one row per hard condition (slow or stalling
# files, a cold media library, a sound server that never answers, a picture that takes long to
# decode, help that stalls or takes long to lay out). In each row the title changes within
# MIDNIGHT_TOLERANCE_MS after each of the last seven true seconds and never before, is gone
# as soon after midnight, and SIGTERM then ends the program with status 0 and its settings
# saved unchanged.
here=$(cd "$(dirname "$0")" && pwd)
E2E_FRAME_BUFFER=1 E2E_OPENBOX_RC="$here/openbox_help_aside.xml"
source "$here/lib.sh"
source "$here/midnight.sh"
tolerance=${MIDNIGHT_TOLERANCE_MS:-50}
[ -f "$midnight_tools/slow_storage.so" ] && [ -x "$midnight_tools/frame_watch" ] || { e2e_fail "slow_storage.so and frame_watch beside the program"; e2e_finish; }

on_time() {  # milliseconds... → all within [0, tolerance]
  local ms
  for ms in "$@"; do
    LC_ALL=C awk -v m="$ms" -v t="$tolerance" 'BEGIN { exit !(m ~ /^-?[0-9.]+$/ && m + 0 >= 0 && m + 0 <= t) }' || return 1
  done
}
gone_on_time() {  # "12.3 black": not the title any more, on time
  [ "${2:-title}" != title ] && on_time "$1"
}

# The same checks for every row, after its set-up (given as a function and arguments).
row() {
  local name=$1; shift
  echo "-- $name"
  midnight_clear
  "$@" || { e2e_fail "$name: set-up"; return; }
  midnight_run "${midnight_env[@]}" || { e2e_fail "$name: the program started"; return; }
  # shellcheck disable=SC2086
  e2e_check "$name: each of the last seconds flips on time ($MIDNIGHT_FLIPS ms)" on_time $MIDNIGHT_FLIPS
  # shellcheck disable=SC2086
  e2e_check "$name: the title is gone at midnight on time ($MIDNIGHT_ZERO ms)" gone_on_time $MIDNIGHT_ZERO
  e2e_check "$name: SIGTERM ends it with status 0 (got $MIDNIGHT_STATUS)" test "$MIDNIGHT_STATUS" = 0
  e2e_check "$name: the settings are saved and intact" test "$MIDNIGHT_SAVED" = yes
}

for r in ${MIDNIGHT_ROWS:-$midnight_cases}; do
  row "${r//_/ }" "$r"
done

e2e_finish
