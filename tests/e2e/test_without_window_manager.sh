#!/usr/bin/env bash
# A party screen may run X with no window manager at all: the window must still cover the
# screen and show the title, and Alt+F4 (which no manager handles here) must still end it.
E2E_NO_WM=1
source "$(dirname "$0")/lib.sh"

exe=$(e2e_install yearmark)
e2e_launch "$exe" || { e2e_fail "start"; e2e_finish; }
e2e_wait_for 5 e2e_shows white 2000
eval "$(xdotool getwindowgeometry --shell "$E2E_WIN")"
e2e_check "window covers the screen without a manager ($WIDTH x $HEIGHT at $X,$Y)" \
  test "$WIDTH" = "$E2E_WIDTH" -a "$HEIGHT" = "$E2E_HEIGHT" -a "$X" = 0 -a "$Y" = 0
e2e_shot "$E2E_DIR/nowm.png"
e2e_check "the title is shown" test "$(e2e_count_colour "$E2E_DIR/nowm.png" white)" -gt 2000
xdotool windowfocus --sync "$E2E_WIN"
xdotool key alt+F4
e2e_wait_exit 10
e2e_check "Alt+F4 ends the program with status 0 (got $E2E_STATUS)" test "$E2E_STATUS" = 0
e2e_check "and the settings were saved" test -s "$XDG_CONFIG_HOME/Vemoral/yearmark.reg"
e2e_finish
