#!/usr/bin/env bash
# The screen stays awake while the countdown shows. Where the desktop has an inhibit service (a
# stand-in on a private session bus records its calls) the program asks it and gives its cookie
# back when it ends, by Alt+F4 or by SIGTERM; where there is none, the X server's screen saver
# is suspended instead and comes on again once the program has ended.
source "$(dirname "$0")/lib.sh"
here=$(dirname "$(readlink -f "$0")")
exe=$(e2e_install)
probe() { /usr/bin/python3 "$here/screensaver_probe.py" "$@"; }
export -f probe
export here

dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$E2E_DIR/bus" \
  >"$E2E_DIR/dbus.log" 2>&1 &
E2E_PIDS+=($!)
e2e_wait_for 10 test -s "$E2E_DIR/bus" || { echo "e2e: no session bus"; exit 1; }
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$E2E_DIR/bus")

log="$E2E_DIR/inhibit.log"
/usr/bin/python3 "$here/screensaver_recorder.py" "$log" >"$E2E_DIR/recorder.log" 2>&1 &
recorder=$!
E2E_PIDS+=($recorder)
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

# No inhibit service on the bus: the X server's own screen saver is held off.
kill "$recorder"
e2e_wait_for 10 bash -c "! kill -0 $recorder 2>/dev/null"
e2e_launch "$exe" || e2e_fail "the window appears without the service"
probe timeout 1
xdotool mousemove 5 5 # idle time starts now
e2e_wait_for 15 bash -c "probe state | awk '\$2 > 2500 {ok = 1} END {exit !ok}'"
e2e_check "the X screen saver stays off past its time while the count shows" \
  bash -c "probe state | grep -q '^off '"
e2e_stop
e2e_check "the X screen saver comes on once the program has ended" \
  e2e_wait_for 15 bash -c "probe state | grep -q '^on '"
e2e_finish
