#!/usr/bin/env bash
# What the wall clock may do to a running countdown: jump forward past the target, pass
# midnight while the process is stopped, jump back after the zero moment, and change for
# daylight saving (Berlin) before a picked target. The count follows the local wall clock;
# the zero moment comes on the first tick at or past the target, and once per run only.
# As root the test runs in a mount namespace of its own, where it can change the system's time
# zone (/etc/localtime) for the program alone.
if [ "$(id -u)" = 0 ] && [ -z "${E2E_OWN_MOUNTS:-}" ] && command -v unshare >/dev/null; then
  E2E_OWN_MOUNTS=1 exec unshare --mount --propagation private bash "$0" "$@"
fi
E2E_WIDTH=640 E2E_HEIGHT=480
source "$(dirname "$0")/lib.sh"

exe=$(e2e_install yearmark)
store="$XDG_CONFIG_HOME/Vemoral/yearmark.reg"
export E2E_CLOCK_FILE="$E2E_DIR/clock"
title_shown() { e2e_shot "$E2E_DIR/t.png"; [ "$(e2e_count_colour "$E2E_DIR/t.png" white)" -gt 0 ]; }
title_gone() { ! title_shown; }
# Waits until the program's clock shows the given local time ("2027-03-28T03:00:01+02:00").
wait_clock() {
  local at=$(($(date -d "$1" +%s) - E2E_CLOCK_OFFSET))
  e2e_wait_for 30 bash -c "[ \$(date +%s%N) -ge ${at}${2:-000}000000 ]"
}
stays_gone() {  # for the given seconds
  local until=$(($(date +%s) + $1))
  while [ "$(date +%s)" -lt "$until" ]; do title_gone || return 1; done
}

# A picked target (local wall-clock date and time) counted down with the template "%A".
picked_store() {  # YYYY-MM-DD hh:mm:ss
  local hex
  hex=$(perl -MTime::Local=timegm -e '
    my ($y, $m, $d) = split /-/, $ARGV[0]; my ($H, $M, $S) = split /:/, $ARGV[1];
    my $v = timegm(0, 0, 0, $d, $m - 1, $y) / 86400 + 25569 + ($H * 3600 + $M * 60 + $S) / 86400;
    print join(",", map { sprintf "%02x", $_ } unpack("C8", pack("d<", $v)))' "$1" "$2")
  mkdir -p "$(dirname "$store")"
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\Vemoral\yearmark]' '"Label"="%A"' '"Stretch"=dword:00000000' \
    '"Fon"=dword:00000000' '"Font"="Arial"' '"FontC"=dword:00ffffff' '"FontB"=dword:00000001' \
    '"FontI"=dword:00000000' '"FontU"=dword:00000000' '"FontS"=dword:00000000' \
    '"FontT"=dword:00000001' '"IfSelectDate"=dword:00000001' "\"SelectDate\"=hex:$hex" \
    '"Shadow"=dword:00000000' >"$store"
}

# Forward past the New Year while counting, then back a day: one zero moment, nothing after.
rm -f "$store"
e2e_set_clock "2026-12-31 12:00:00"
e2e_launch "$exe" || e2e_fail "start (forward)"
e2e_wait_for 3 title_shown || e2e_fail "the title is shown at noon"
e2e_set_clock "2027-01-01 00:00:02"
e2e_check "clock set past the target: the zero moment comes on the next tick" e2e_wait_for 1 title_gone
e2e_set_clock "2026-12-31 00:00:02"
e2e_check "clock set back a day after it: the count does not come back" stays_gone 1
e2e_stop

# Stopped before midnight, continued after it: the first tick after is the zero moment.
e2e_set_clock "2026-12-31 23:59:50"
e2e_launch "$exe" || e2e_fail "start (stopped)"
e2e_wait_for 3 title_shown || e2e_fail "the title is shown before midnight"
kill -STOP "$E2E_APP_PID"
e2e_set_clock "2027-01-01 00:00:01"
kill -CONT "$E2E_APP_PID"
e2e_check "continued after midnight: the zero moment comes at once" e2e_wait_for 1 title_gone
e2e_check "and the program goes on" kill -0 "$E2E_APP_PID"
e2e_stop

# Daylight saving: the clock changes 2 s after the start; the picked target lies 3 s after the
# change on the wall clock. The count jumps with the clock, and the zero moment comes when the
# wall clock shows the target, not an hour early or late.
# name | picked date | picked time | start (local, with offset) | after the change | target
cases="
spring 2027-03-28 03:00:03 2027-03-28T01:59:58+01:00 2027-03-28T03:00:01+02:00 2027-03-28T03:00:03+02:00
autumn 2026-10-25 02:00:03 2026-10-25T02:59:58+02:00 2026-10-25T02:00:01+01:00 2026-10-25T02:00:03+01:00
"
while read -r name day time start after target; do
  [ -n "$name" ] || continue
  picked_store "$day" "$time"
  e2e_set_clock "$start"
  e2e_launch "$exe" || { e2e_fail "start ($name)"; continue; }
  wait_clock "$after"
  e2e_check "$name: after the change the count goes on toward the target" title_shown
  wait_clock "$target" 500
  e2e_check "$name: the zero moment comes when the wall clock shows the target" title_gone
  e2e_stop
done <<<"$cases"

# A title whose live value has more digits than the fixed sample (the total seconds to a target
# eleven years away: nine digits against eight) is fitted to its widest value: it stays within
# the window, clear of both edges.
picked_store 2037-12-31 12:00:00
e2e_set_clock "2026-12-07 12:00:00"
e2e_launch "$exe" || e2e_fail "start (a far target)"
e2e_wait_for 3 title_shown || e2e_fail "the title is shown (a far target)"
e2e_shot "$E2E_DIR/far.png"
read -r bw _ bx _ < <(e2e_bbox "$E2E_DIR/far.png" white | tr 'x+' '  ')
e2e_check "nine digits fit: the title clears both edges (box ${bw} wide from ${bx})" \
  test "$bx" -gt 0 -a $((bx + bw)) -lt "$E2E_WIDTH"
e2e_stop

# Started again in the first hour of the new year: straight to the zero moment; from one o'clock
# on, the count to the next year.
rm -f "$store"
e2e_set_clock "2027-01-01 00:10:00"
e2e_launch "$exe" || e2e_fail "start (00:10 on 1 January)"
e2e_check "started at 00:10 on 1 January: the zero moment at once" stays_gone 2
e2e_stop
e2e_set_clock "2027-01-01 01:00:05"
e2e_launch "$exe" || e2e_fail "start (01:00 on 1 January)"
e2e_check "started at 01:00 on 1 January: the count to the next year" e2e_wait_for 3 title_shown
e2e_stop

# The system's time zone changed while counting (the desktop's date settings, automatic zone
# detection): local time follows it at once. Started an hour and 8 s before midnight in London,
# then moved to Berlin, an hour ahead: midnight is then 6 s away.
zoneinfo=/usr/share/zoneinfo
if [ -n "${E2E_OWN_MOUNTS:-}" ] && mount --bind "$zoneinfo/Europe/London" /etc/localtime 2>/dev/null; then
  rm -f "$store"
  e2e_set_clock "2026-12-31 23:59:52"  # Berlin's wall clock; London's shows 22:59:52
  zone=$TZ; unset TZ
  e2e_launch "$exe" || e2e_fail "start (time zone)"
  export TZ=$zone
  e2e_wait_for 3 title_shown || e2e_fail "the title is shown an hour before midnight"
  sleep 2
  mount --bind "$zoneinfo/Europe/Berlin" /etc/localtime
  e2e_check "moved to Berlin: the zero moment comes at Berlin's midnight" e2e_wait_for 10 title_gone
  e2e_stop
else
  echo "skipped: time zone change (changing /etc/localtime needs root)"
fi

e2e_finish
