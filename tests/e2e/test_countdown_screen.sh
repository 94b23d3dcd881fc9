#!/usr/bin/env bash
# The running program covers the screen and shows a live, centred, white title.
source "$(dirname "$0")/lib.sh"

exe=$(e2e_install yearmark)
FAKE_TIME="2026-12-07 12:00:00" e2e_launch "$exe" || { e2e_fail "start"; e2e_finish; }

eval "$(xdotool getwindowgeometry --shell "$E2E_WIN")"
e2e_check "window covers the screen ($WIDTH x $HEIGHT at $X,$Y)" \
  test "$WIDTH" = "$E2E_WIDTH" -a "$HEIGHT" = "$E2E_HEIGHT" -a "$X" = 0 -a "$Y" = 0

e2e_wait_for 5 e2e_shows white 2000
e2e_shot "$E2E_DIR/a.png"
white=$(e2e_count_colour "$E2E_DIR/a.png" white)
e2e_check "white title pixels on screen ($white)" test "$white" -gt 2000

# Centred: the white block's middle lies near the middle of the title area (lower half).
read -r bw bh bx by < <(e2e_bbox "$E2E_DIR/a.png" white | tr 'x+' '   ')
mid_x=$((bx + bw / 2)); mid_y=$((by + bh / 2))
e2e_check "title centred across (middle at $mid_x)" test $((mid_x - E2E_WIDTH / 2)) -le 20 -a $((E2E_WIDTH / 2 - mid_x)) -le 20
e2e_check "title centred in the lower half (middle at $mid_y)" \
  test "$mid_y" -gt $((E2E_HEIGHT / 2)) -a "$mid_y" -lt "$E2E_HEIGHT"
e2e_check "title fills the width (block $bw wide)" test "$bw" -gt $((E2E_WIDTH * 80 / 100))

sleep 1.1
e2e_shot "$E2E_DIR/b.png"
changed=$(e2e_diff "$E2E_DIR/a.png" "$E2E_DIR/b.png")
e2e_check "title changes within a second ($changed pixels)" test "$changed" -gt 0

e2e_stop
e2e_finish
