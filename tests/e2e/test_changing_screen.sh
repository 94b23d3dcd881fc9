#!/usr/bin/env bash
# The screen changing under the count on X11: a new mode while counting (1920 × 1080 to
# 1280 × 720 and back), and a start while no output is active (the projector still off). The
# window follows its screen's size and appears when the first screen does. Xvfb's screen cannot
# change, so the real X server runs on its dummy driver; that needs root.
E2E_WIDTH=1920 E2E_HEIGHT=1080
[ "$(id -u)" = 0 ] && command -v Xorg >/dev/null && [ -e /usr/lib/xorg/modules/drivers/dummy_drv.so ] ||
  { echo "SKIP: the X server's dummy driver needs root and xserver-xorg-video-dummy"; exit 77; }
E2E_XSERVER=dummy
source "$(dirname "$0")/lib.sh"

exe=$(e2e_install yearmark)
output=$(xrandr | awk '/ connected/ {print $1; exit}')
# The main window's facts (xwininfo without a window would wait for a click).
window_info() {
  local id
  id=$(xwininfo -root -tree | awk '/"Happy New Year"/ {print $1; exit}')
  [ -n "$id" ] && xwininfo -id "$id"
}
size_is() { [ "$(window_info | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')" = "$1" ]; }
shown() { window_info | grep -q 'Map State: IsViewable'; }
# The whole title lies within the screen: white pixels, none in the last column or row.
title_within() {  # WxH
  local shot="$E2E_DIR/s.png" w=${1%x*} h=${1#*x}
  e2e_shot "$shot"
  [ "$(e2e_count_colour "$shot" white "${1}+0+0")" -gt 2000 ] &&
    [ "$(e2e_count_colour "$shot" white "1x${h}+$((w - 1))+0")" -eq 0 ] &&
    [ "$(e2e_count_colour "$shot" white "${w}x1+0+$((h - 1))")" -eq 0 ]
}

xrandr --output "$output" --mode 1920x1080
e2e_launch "$exe" || { e2e_fail "start"; e2e_finish; }
e2e_check "the window covers the screen" e2e_wait_for 5 size_is 1920x1080
xrandr --output "$output" --mode 1280x720
e2e_check "a new mode, 1280 x 720: the window follows" e2e_wait_for 5 size_is 1280x720
e2e_check "and the title fits the smaller screen" e2e_wait_for 5 title_within 1280x720
xrandr --output "$output" --mode 1920x1080
e2e_check "back to 1920 x 1080: the window follows" e2e_wait_for 5 size_is 1920x1080
e2e_stop

# Started while the projector is still off: the window comes when the output does.
xrandr --output "$output" --off
( cd "$E2E_DIR" && exec "$exe" ) >"$E2E_DIR/off.log" 2>&1 &
E2E_APP_PID=$!
sleep 2
e2e_check "no output: the program waits for one" kill -0 "$E2E_APP_PID"
xrandr --output "$output" --mode 1920x1080
e2e_check "the output switched on: the window is shown" e2e_wait_for 5 shown
e2e_check "over the whole screen" e2e_wait_for 5 size_is 1920x1080
e2e_check "with the count" e2e_wait_for 5 title_within 1920x1080
e2e_stop
e2e_check "SIGTERM ends it with status 0" test "$E2E_STATUS" = 0

# Two screens (a second monitor of 1280 × 1024 right of the first, "HDMI-1"): --screen puts the
# count on the one named, by name or number; one program per screen runs side by side.
xrandr --output "$output" --mode 1920x1080
xrandr --fb 3200x1080 && xrandr --setmonitor HDMI-1 1280/338x1024/271+1920+0 none ||
  e2e_fail "a second monitor"
geometry_of() {  # pid -> WxH+X+Y of its main window
  local id
  id=$(xdotool search --all --pid "$1" --onlyvisible --name '^Happy New Year$' | head -n1)
  [ -n "$id" ] && xwininfo -id "$id" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h "+" x "+" y}'
}
on_screen() {  # name, arguments, expected geometry
  local name=$1 args=$2 want=$3
  # shellcheck disable=SC2086
  ( cd "$E2E_DIR" && exec "$exe" $args ) >"$E2E_DIR/$name.log" 2>&1 &
  E2E_APP_PID=$!
  e2e_check "$name: the window covers $want" e2e_wait_for 10 bash -c "[ \"\$($(declare -f geometry_of); geometry_of $E2E_APP_PID)\" = $want ]"
}
on_screen "--screen HDMI-1" "--screen HDMI-1" 1280x1024+1920+0
e2e_stop
on_screen "--screen 2" "--screen 2" 1280x1024+1920+0
e2e_stop
on_screen "a screen that is not there" "--screen VGA-9" 1920x1080+0+0
e2e_check "it says so in one line" test "$(grep -c 'VGA-9' "$E2E_DIR/a screen that is not there.log")" = 1
e2e_stop
on_screen "side by side, the primary screen" "" 1920x1080+0+0
first=$E2E_APP_PID
on_screen "side by side, HDMI-1" "--screen HDMI-1" 1280x1024+1920+0
e2e_check "side by side: both run" kill -0 "$first"
e2e_stop
E2E_APP_PID=$first
e2e_stop

e2e_finish
