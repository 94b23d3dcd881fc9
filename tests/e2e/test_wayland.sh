#!/usr/bin/env bash
# The program as a native Wayland client of a headless sway: full screen with the count, F2
# brings the settings dialog in front with the keyboard, Alt+F4 ends it with status 0.
# wlroots compositors refuse to run as root, so compositor, program and tools run as nobody then.
E2E_NO_X=1
source "$(dirname "$0")/lib.sh"
unset DISPLAY

skip() { echo "SKIP: $*"; exit 77; }
for tool in sway swaymsg wtype grim; do
  command -v "$tool" >/dev/null || skip "$tool is missing (scripts/install-deps installs it)"
done

as_user=()
if [ "$(id -u)" = 0 ]; then
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
  chmod 755 "$E2E_DIR"
fi
export XDG_RUNTIME_DIR="$E2E_DIR/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
exe=$(e2e_install)
[ "$(id -u)" = 0 ] && chown nobody:nogroup "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME"

# sway gives a dialog over a full-screen window the keyboard only when the program asks for it
# through window activation, which it does.
cat >"$E2E_DIR/sway.conf" <<CONF
output HEADLESS-1 mode ${E2E_WIDTH}x${E2E_HEIGHT}
focus_on_window_activation smart
CONF
export WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1
"${as_user[@]}" sway -c "$E2E_DIR/sway.conf" >"$E2E_DIR/sway.log" 2>&1 &
sway=$!
E2E_PIDS+=($sway)
wayland_socket() { ls "$XDG_RUNTIME_DIR" | grep -E '^wayland-[0-9]+$' | head -n1; }
up_or_gone() { ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock || ! kill -0 "$sway"; }
if ! e2e_wait_for 15 up_or_gone || ! kill -0 "$sway" || ! wayland_socket; then
  tail -n 5 "$E2E_DIR/sway.log"
  skip "the compositor could not start on this machine"
fi
export WAYLAND_DISPLAY=$(wayland_socket)
export SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock | head -n1)

# wtype's keyboard exists only while wtype runs, and a client binds a new keyboard only after it
# has appeared: keys sent at once were lost. One keyboard kept for the whole test lets every
# later wtype's keys through.
"${as_user[@]}" wtype -s 3600000 &
E2E_PIDS+=($!)
keys() { "${as_user[@]}" wtype "$@"; }

# "fullscreen WxH focused" of the window with the given title, as sway sees it.
window() {
  "${as_user[@]}" swaymsg -t get_tree | /usr/bin/python3 -c '
import json, sys
def walk(n):
    if n.get("name") == sys.argv[1] and n.get("pid"):
        r = n["rect"]
        print(n["fullscreen_mode"], "%dx%d+%d+%d" % (r["width"], r["height"], r["x"], r["y"]), n["focused"])
    for c in n.get("nodes", []) + n.get("floating_nodes", []):
        walk(c)
walk(json.load(sys.stdin))' "$1"
}
shown() { [ -n "$(window "$1")" ]; }
closed() { ! shown "$1"; }
focused() { window "$1" | grep -q True; }

( cd "$E2E_DIR" && exec "${as_user[@]}" "$exe" ) >"$E2E_DIR/app.log" 2>&1 &
E2E_APP_PID=$!
e2e_wait_for 20 shown "Happy New Year" || { cat "$E2E_DIR/app.log"; e2e_fail "the window appears"; e2e_finish; }
e2e_check "full screen on the output" [ "$(window 'Happy New Year' | cut -d' ' -f1,2)" = "1 ${E2E_WIDTH}x${E2E_HEIGHT}+0+0" ]
e2e_check "a native Wayland client" grep -q wayland "/proc/$E2E_APP_PID/maps"
shot="$E2E_DIR/count.png"
counted() { "${as_user[@]}" grim - >"$shot" && [ "$(e2e_count_colour "$shot" white)" -gt 2000 ]; }
e2e_check "the count is on screen" e2e_wait_for 15 counted
black=$(e2e_count_colour "$shot" black)
e2e_check "black covers the screen around it ($black)" [ "$black" -gt $((E2E_WIDTH * E2E_HEIGHT * 3 / 4)) ]

keys -k F2
e2e_check "F2 opens the settings dialog" e2e_wait_for 15 shown Einstellungen
e2e_check "the dialog has the keyboard" e2e_wait_for 10 focused Einstellungen
read -r _ area _ < <(window Einstellungen)
dialog="$E2E_DIR/dialog.png"
"${as_user[@]}" grim - >"$dialog"
dark=$(E2E_FUZZ=5 e2e_count_colour "$dialog" black "$area")
e2e_check "the dialog is drawn in front ($dark dark pixels in $area)" [ "$dark" -lt 10000 ]
keys -k Return
e2e_check "Enter presses OK and closes the dialog" e2e_wait_for 10 closed Einstellungen
e2e_check "the keyboard is back at the countdown" e2e_wait_for 10 focused "Happy New Year"

keys -M alt -k F4 -m alt
e2e_wait_exit 15
e2e_check "Alt+F4 ends the program with status 0 (status $E2E_STATUS)" [ "$E2E_STATUS" = 0 ]
e2e_finish
