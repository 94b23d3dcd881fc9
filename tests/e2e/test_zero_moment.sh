#!/usr/bin/env bash
# At 31 Dec 23:59:58 the title disappears within about three seconds and stays away.
source "$(dirname "$0")/lib.sh"

exe=$(e2e_install yearmark)
FAKE_TIME="2026-12-31 23:59:58" e2e_launch "$exe" || { e2e_fail "start"; e2e_finish; }

title_gone() {
  e2e_shot "$E2E_DIR/now.png"
  [ "$(e2e_count_colour "$E2E_DIR/now.png" white)" -eq 0 ]
}
if e2e_wait_for 4 title_gone; then e2e_pass "title hidden at the zero moment"; else e2e_fail "title still shown"; fi
sleep 2
e2e_shot "$E2E_DIR/later.png"
e2e_check "title stays away two seconds later" test "$(e2e_count_colour "$E2E_DIR/later.png" white)" -eq 0
e2e_check "the program still runs" kill -0 "$E2E_APP_PID"

e2e_stop
e2e_finish
