#!/usr/bin/env bash
# Alt+F4, SIGTERM, SIGINT and SIGHUP all end the program with status 0 and save its settings.
source "$(dirname "$0")/lib.sh"

exe=$(e2e_install yearmark)
settings="$XDG_CONFIG_HOME/Vemoral/yearmark.reg"

for how in alt-f4 TERM INT HUP; do
  rm -f "$settings"
  e2e_launch "$exe" || { e2e_fail "start ($how)"; continue; }
  sleep 0.5
  if [ "$how" = alt-f4 ]; then
    e2e_key alt+F4
  else
    kill -"$how" "$E2E_APP_PID"
  fi
  e2e_wait_exit 10
  e2e_check "$how ends the program with status 0 (got $E2E_STATUS)" test "$E2E_STATUS" = 0
  e2e_check "$how saved the settings" test -s "$settings"
done

e2e_finish
