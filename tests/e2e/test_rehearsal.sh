#!/usr/bin/env bash
# A rehearsal with the files of the night: --rehearse=5 brings the zero moment and its picture
# five seconds after the start, by the program's own clock, and leaves the stored target and
# its flag as they were; a plain start afterwards counts to the stored target again.
source "$(dirname "$0")/lib.sh"

exe=$(e2e_install yearmark)
dir=$(dirname "$exe")
store="$XDG_CONFIG_HOME/Vemoral/yearmark.reg"
e2e_picture "$dir/0.jpg" red
red_fills() { e2e_shot "$E2E_DIR/s.png"; [ "$(E2E_FUZZ=12 e2e_count_colour "$E2E_DIR/s.png" red)" -gt $((E2E_WIDTH * E2E_HEIGHT * 9 / 10)) ]; }
title_shown() { e2e_shot "$E2E_DIR/t.png"; [ "$(e2e_count_colour "$E2E_DIR/t.png" white)" -gt 500 ]; }
target_lines() { grep -E '^"(SelectDate|IfSelectDate)"' "$store"; }

# A picked target stored (25 December 2027), with its flag on.
mkdir -p "$(dirname "$store")"
printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' '[HKEY_CURRENT_USER\Software\Vemoral\yearmark]' \
  '"IfSelectDate"=dword:00000001' '"SelectDate"=hex:00,00,00,00,40,d3,e6,40' >"$store"
e2e_launch "$exe" && e2e_stop  # an ordinary run writes the file in full
target_lines >"$E2E_DIR/before"

started=$(date +%s%N)
e2e_launch "$exe" --rehearse=5 || { e2e_fail "start (--rehearse=5)"; e2e_finish; }
e2e_check "the count shows first" title_shown
e2e_wait_for 10 red_fills
elapsed=$((($(date +%s%N) - started) / 1000000))
e2e_check "the zero moment's picture 5 s after the start (after ${elapsed} ms)" \
  test "$elapsed" -ge 3500 -a "$elapsed" -le 7500
e2e_stop
e2e_check "the stored target and its flag are unchanged" cmp -s "$E2E_DIR/before" <(target_lines)

e2e_launch "$exe" || e2e_fail "start after the rehearsal"
sleep 6
e2e_check "a plain start afterwards counts to the stored target" title_shown
e2e_stop

e2e_finish
