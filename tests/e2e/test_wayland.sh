#!/usr/bin/env bash
# The program as a native Wayland client of a headless sway: full screen with the count, holding
# the compositor's idle off while it counts and while the zero moment's video plays; F2, F3 and F1
# bring their windows in front with the keyboard; Alt+F4 ends it with status 0, at once, also
# after the video, and the hold goes with it.
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
cp "$(dirname "$E2E_BIN")/yearmark.chm" "$(dirname "$exe")/"
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

# "fullscreen WxH+X+Y focused inhibiting" of the window with the given title (every window of a
# program for "*"), as sway sees it; inhibiting: the program holds the compositor's idle off.
window() {
  "${as_user[@]}" swaymsg -t get_tree | /usr/bin/python3 -c '
import json, sys
def walk(n):
    if n.get("pid") and sys.argv[1] in ("*", n.get("name")):
        r = n["rect"]
        print(n["fullscreen_mode"], "%dx%d+%d+%d" % (r["width"], r["height"], r["x"], r["y"]), n["focused"],
              n["inhibit_idle"] and n["idle_inhibitors"]["application"] == "enabled")
    for c in n.get("nodes", []) + n.get("floating_nodes", []):
        walk(c)
walk(json.load(sys.stdin))' "$1"
}
shown() { [ -n "$(window "$1")" ]; }
closed() { ! shown "$1"; }
focused() { [ "$(window "$1" | cut -d' ' -f3)" = True ]; }
holds_idle() { [ "$(window "$1" | cut -d' ' -f4)" = True ]; }

e2e_check "the check before the show finds the compositor's idle inhibitor" \
  bash -c '"$@" --check | grep -q "^ok *Bildschirmschoner.*zwp_idle_inhibit_manager_v1"' _ "${as_user[@]}" "$exe"

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

e2e_check "the compositor's idle is held off while it counts" e2e_wait_for 10 holds_idle "Happy New Year"

# Each key's window over the full-screen count: shown, with the keyboard, drawn in front (hardly
# a dark pixel of the count behind it), and closed again by its key.
while IFS='|' read -r key title closing_key; do
  keys -k "$key"
  e2e_check "$key opens $title" e2e_wait_for 15 shown "$title"
  e2e_check "$title has the keyboard" e2e_wait_for 10 focused "$title"
  read -r _ area _ < <(window "$title")
  "${as_user[@]}" grim - >"$E2E_DIR/$key.png"
  dark=$(E2E_FUZZ=5 e2e_count_colour "$E2E_DIR/$key.png" black "$area")
  e2e_check "$title is drawn in front ($dark dark pixels in $area)" \
    [ "$dark" -lt $(( ${area%%x*} * $(cut -d+ -f1 <<<"${area#*x}") / 5 )) ]
  keys -k "$closing_key"
  e2e_check "$closing_key closes $title" e2e_wait_for 10 closed "$title"
  e2e_check "the keyboard is back at the countdown" e2e_wait_for 10 focused "Happy New Year"
done <<'KEYS'
F2|Einstellungen|Return
F3|Information|Escape
F1|Yearmark Hilfe|Escape
KEYS

keys -M alt -k F4 -m alt
e2e_wait_exit 15
e2e_check "Alt+F4 ends the program with status 0 (status $E2E_STATUS)" [ "$E2E_STATUS" = 0 ]
no_hold() { ! window '*' | grep -q 'True$'; }
e2e_check "no window holds the compositor's idle off any more" no_hold

# Twenty starts at the zero moment (the program's clock just past midnight), each ended with
# Alt+F4 once the video plays: the idle is held off while it plays, and every end comes with
# status 0 within 2 s.
gst-launch-1.0 -q videotestsrc num-buffers=25 pattern=solid-color foreground-color=0xffff0000 \
  ! video/x-raw,width=320,height=240,framerate=25/1 ! jpegenc ! avimux \
  ! filesink location="$(dirname "$exe")/0.avi"
centre="$((E2E_WIDTH / 2)),$((E2E_HEIGHT / 2)) 1x1"
video_shown() {
  "${as_user[@]}" grim -g "$centre" -t ppm - | tail -c 3 | od -An -tu1 |
    awk '{ exit !($1 > 200 && $2 < 60 && $3 < 60) }'
}
held=0 ended=0 slowest=0
for _ in $(seq 20); do
  ( cd "$E2E_DIR" && exec "${as_user[@]}" env FAKETIME="@2027-01-01 00:00:05" \
      LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 FAKETIME_DONT_FAKE_MONOTONIC=1 \
      "$exe" ) >>"$E2E_DIR/zero.log" 2>&1 &
  E2E_APP_PID=$!
  e2e_wait_for 20 video_shown && holds_idle "Happy New Year" && held=$((held + 1))
  asked=$(date +%s%N)
  keys -M alt -k F4 -m alt
  e2e_wait_exit 2 || { kill -9 "$E2E_APP_PID"; wait "$E2E_APP_PID"; E2E_APP_PID=; }
  took=$((($(date +%s%N) - asked) / 1000000))
  [ "$E2E_STATUS" = 0 ] && ended=$((ended + 1))
  [ "$took" -gt "$slowest" ] && slowest=$took
done
e2e_check "the idle is held off while the zero moment's video plays ($held of 20 starts)" [ "$held" = 20 ]
e2e_check "Alt+F4 after the video ends it with status 0 within 2 s ($ended of 20, slowest $slowest ms)" \
  [ "$ended" = 20 ]
e2e_finish
