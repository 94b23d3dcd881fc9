#!/usr/bin/env bash
# The screen stays awake while the countdown shows: the desktop's inhibit service (a stand-in on
# a private session bus records its calls) is asked, and its cookie is given back when the
# program ends, by Alt+F4 or by SIGTERM.
source "$(dirname "$0")/lib.sh"
here=$(dirname "$(readlink -f "$0")")
exe=$(e2e_install)

dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$E2E_DIR/bus" \
  >"$E2E_DIR/dbus.log" 2>&1 &
E2E_PIDS+=($!)
e2e_wait_for 10 test -s "$E2E_DIR/bus" || { echo "e2e: no session bus"; exit 1; }
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$E2E_DIR/bus")

log="$E2E_DIR/inhibit.log"
/usr/bin/python3 "$here/screensaver_recorder.py" "$log" >"$E2E_DIR/recorder.log" 2>&1 &
E2E_PIDS+=($!)
e2e_wait_for 10 test -e "$log" || { echo "e2e: the stand-in service did not start"
                                     cat "$E2E_DIR/recorder.log"; exit 1; }

for ending in alt+F4 SIGTERM; do
  : >"$log"
  e2e_launch "$exe" || { e2e_fail "the window appears ($ending)"; continue; }
  e2e_check "inhibit asked while the count shows ($ending)" \
    e2e_wait_for 10 grep -q '^Inhibit [0-9]* Yearmark: ' "$log"
  cookie=$(awk '/^Inhibit/ {print $2; exit}' "$log")
  if [ "$ending" = SIGTERM ]; then
    e2e_stop
  else
    e2e_key alt+F4
    e2e_wait_exit 15
  fi
  e2e_check "ends with status 0 ($ending)" [ "$E2E_STATUS" = 0 ]
  e2e_check "the same cookie given back after $ending" grep -qx "UnInhibit $cookie" "$log"
  e2e_check "one hold, one release ($ending)" [ "$(wc -l <"$log")" = 2 ]
done

e2e_finish
