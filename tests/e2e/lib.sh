# Shared harness of the end-to-end tests: a private Xvfb with openbox, a copy of the real
# program in a temporary folder (so files beside it and its settings are the test's own),
# libfaketime for the clock, xdotool for keys and clicks, screenshots for what a person sees.
# Everything started here is stopped again on exit, also when a test fails.

set -uo pipefail

E2E_BIN=${1:?usage: test.sh path/to/yearmark}
E2E_BIN=$(readlink -f "$E2E_BIN")
E2E_DIR=$(mktemp -d /tmp/yearmark-e2e.XXXXXX)
E2E_PIDS=()
E2E_APP_PID=
E2E_FAILS=0
E2E_PASSES=0
E2E_WIDTH=${E2E_WIDTH:-1280}
E2E_HEIGHT=${E2E_HEIGHT:-1024}
export XDG_CONFIG_HOME="$E2E_DIR/config"
export TZ=${TZ:-Europe/Berlin}
export LC_ALL=${E2E_LOCALE:-de_DE.UTF-8}
export LANG=$LC_ALL
# The language list of the machine's desktop must not choose the texts' language.
export LANGUAGE=
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
mkdir -p "$XDG_CONFIG_HOME"

e2e_cleanup() {
  [ -n "$E2E_APP_PID" ] && kill -9 "$E2E_APP_PID" 2>/dev/null
  for ((i=${#E2E_PIDS[@]}-1; i>=0; i--)); do kill "${E2E_PIDS[$i]}" 2>/dev/null; done
  sleep 0.2
  for p in "${E2E_PIDS[@]}"; do kill -9 "$p" 2>/dev/null; done
  if [ "${E2E_KEEP:-0}" = 1 ] || [ "$E2E_FAILS" -gt 0 ]; then
    echo "e2e: artefacts kept in $E2E_DIR"
  else
    rm -rf "$E2E_DIR"
  fi
}
trap e2e_cleanup EXIT
trap 'exit 1' INT TERM

# Polls a command until it succeeds or the time (seconds, may be fractional) runs out.
e2e_wait_for() {
  local timeout=$1; shift
  local deadline=$(( $(date +%s%N) + ${timeout%.*} * 1000000000 ))
  while ! "$@" >/dev/null 2>&1; do
    [ "$(date +%s%N)" -gt "$deadline" ] && return 1
    sleep 0.1
  done
  return 0
}

e2e_pass() { echo "ok: $*"; E2E_PASSES=$((E2E_PASSES+1)); }
e2e_fail() { echo "FAIL: $*"; E2E_FAILS=$((E2E_FAILS+1)); }
e2e_check() { local what=$1; shift; if "$@"; then e2e_pass "$what"; else e2e_fail "$what"; fi; }

e2e_finish() {
  echo "$E2E_PASSES passed, $E2E_FAILS failed"
  [ "$E2E_FAILS" -eq 0 ]
  exit $?
}

# The dummy driver's configuration: an output that starts at E2E_WIDTH x E2E_HEIGHT and also
# knows 1280 x 720.
e2e_dummy_config() {
  cat <<CONF
Section "ServerFlags"
  Option "AutoAddDevices" "false"
EndSection
Section "Device"
  Identifier "card"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "card"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "${E2E_WIDTH}x${E2E_HEIGHT}" "1280x720"
  EndSubSection
EndSection
CONF
}

# A private X server on a free display, with openbox managing it.
e2e_start_x() {
  # The server picks a free display itself and names it when it is ready: two tests starting
  # at the same moment would otherwise both see one display free and share one server.
  : >"$E2E_DIR/display"
  # E2E_FRAME_BUFFER=1: the screen's pixels also lie in "$E2E_DIR/Xvfb_screen0" (frame_watch).
  local fb=()
  [ "${E2E_FRAME_BUFFER:-0}" = 1 ] && fb=(-fbdir "$E2E_DIR")
  if [ "${E2E_XSERVER:-xvfb}" = dummy ]; then
    # E2E_XSERVER=dummy: the real X server on its dummy driver, whose one output can change its
    # mode or be switched off as a monitor's can (Xvfb's cannot). It needs root.
    e2e_dummy_config >"$E2E_DIR/dummy.conf"
    Xorg -displayfd 3 -config "$E2E_DIR/dummy.conf" -nolisten tcp -noreset \
      -logfile "$E2E_DIR/xorg.log" 3>"$E2E_DIR/display" >"$E2E_DIR/xorg.out" 2>&1 &
  else
    Xvfb -displayfd 3 -screen 0 "${E2E_WIDTH}x${E2E_HEIGHT}x24" "${fb[@]}" -nolisten tcp -noreset \
      3>"$E2E_DIR/display" >"$E2E_DIR/xvfb.log" 2>&1 &
  fi
  E2E_PIDS+=($!)
  e2e_wait_for 10 grep -q . "$E2E_DIR/display"
  export DISPLAY=":$(head -n1 "$E2E_DIR/display")"
  xdpyinfo >/dev/null 2>&1 || { echo "e2e: no X server could be started"; exit 1; }
  if [ "${E2E_NO_WM:-0}" != 1 ]; then
    # E2E_OPENBOX_RC: a configuration of the manager's own (where it places which window).
    openbox --sm-disable ${E2E_OPENBOX_RC:+--config-file "$E2E_OPENBOX_RC"} >"$E2E_DIR/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    # A window mapped before the manager has claimed the screen may never be shown.
    e2e_wait_for 10 bash -c "xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'" \
      || { echo "e2e: openbox did not come up"; exit 1; }
    # The manager claims the root window before its event loop runs; give it that moment.
    sleep 0.5
  fi
}

# Copies the program, its media module and its catalogues into the test folder, the program under the given
# base name; prints its path.
e2e_install() {
  local name=${1:-yearmark}
  mkdir -p "$E2E_DIR/app"
  cp "$E2E_BIN" "$E2E_DIR/app/$name"
  cp "$(dirname "$E2E_BIN")/yearmark-media.so" "$E2E_DIR/app/"
  cp "$(dirname "$E2E_BIN")"/yearmark_*.qm "$E2E_DIR/app/"
  echo "$E2E_DIR/app/$name"
}

# Starts the program (further arguments are its own). FAKE_TIME="2026-12-31 23:59:58" starts its clock there (and lets it run);
# E2E_FAKETIME="+3600" sets it a whole number of seconds ahead of the real one, so that its
# seconds begin with the real ones. E2E_PRELOAD names more libraries to preload with the clock.
e2e_launch() {
  local exe=$1
  shift  # the rest are the program's own arguments
  local log="$E2E_DIR/app-$(date +%s%N).log"
  if [ -n "${E2E_FAKETIME:-}" ]; then
    ( cd "${E2E_WORKDIR:-$E2E_DIR}" && exec env LD_PRELOAD="/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1${E2E_PRELOAD:+:$E2E_PRELOAD}" \
        FAKETIME="$E2E_FAKETIME" FAKETIME_DONT_FAKE_MONOTONIC=1 \
        "$exe" "$@" ) >"$log" 2>&1 &
  elif [ -n "${E2E_CLOCK_FILE:-}" ]; then
    ( cd "${E2E_WORKDIR:-$E2E_DIR}" && exec env LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 \
        FAKETIME_TIMESTAMP_FILE="$E2E_CLOCK_FILE" FAKETIME_DONT_FAKE_MONOTONIC=1 FAKETIME_NO_CACHE=1 \
        "$exe" "$@" ) >"$log" 2>&1 &
  elif [ -n "${FAKE_TIME:-}" ]; then
    ( cd "${E2E_WORKDIR:-$E2E_DIR}" && exec env LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 \
        FAKETIME="@$FAKE_TIME" FAKETIME_DONT_FAKE_MONOTONIC=1 FAKETIME_NO_CACHE=1 \
        "$exe" "$@" ) >"$log" 2>&1 &
  else
    ( cd "${E2E_WORKDIR:-$E2E_DIR}" && exec "$exe" "$@" ) >"$log" 2>&1 &
  fi
  E2E_APP_PID=$!
  E2E_APP_LOG=$log
  e2e_wait_for 15 bash -c "xdotool search --onlyvisible --name '^Happy New Year$'" \
    || { echo "e2e: the main window did not appear"; cat "$log"
         kill -0 "$E2E_APP_PID" 2>/dev/null && echo "e2e: the program is running" || echo "e2e: the program has ended"
         xwininfo -root -tree | grep -E '"(Happy New Year|Yearmark)"'; return 1; }
  E2E_WIN=$(xdotool search --onlyvisible --name '^Happy New Year$' | head -n1)
}

# The program's clock read from a file that the test rewrites while it runs: set
# E2E_CLOCK_FILE before e2e_launch, then e2e_set_clock "2026-12-31 23:59:58" [speed] moves the
# clock there at once (and lets it run on, at the given multiple of real time). The offset to
# real time, in whole seconds, is left in E2E_CLOCK_OFFSET.
e2e_set_clock() {
  local at now
  at=$(date -d "$1" +%s) || return 1
  now=$(date +%s.%N)
  E2E_CLOCK_OFFSET=$(LC_ALL=C awk -v a="$at" -v n="$now" 'BEGIN { printf "%d", a - n + (a >= n ? 0.5 : -0.5) }')
  printf '%+d x%s\n' "$E2E_CLOCK_OFFSET" "${2:-1}" >"$E2E_CLOCK_FILE.new"
  mv -f "$E2E_CLOCK_FILE.new" "$E2E_CLOCK_FILE"
}

# Waits for the program to end and sets E2E_STATUS to its exit status ("timeout" if it
# did not end). Must run in the test's own shell, which is the program's parent.
e2e_wait_exit() {
  local timeout=${1:-10}
  E2E_STATUS=timeout
  e2e_wait_for "$timeout" bash -c "! kill -0 $E2E_APP_PID 2>/dev/null || grep -q '^State:.*zombie' /proc/$E2E_APP_PID/status" || return 1
  wait "$E2E_APP_PID"
  E2E_STATUS=$?
  E2E_APP_PID=
}

e2e_stop() {
  [ -z "$E2E_APP_PID" ] && return 0
  kill -TERM "$E2E_APP_PID" 2>/dev/null
  e2e_wait_exit 10 || kill -9 "$E2E_APP_PID" 2>/dev/null
  E2E_APP_PID=
}

e2e_shot() {
  import -display "$DISPLAY" -window root "$1" 2>/dev/null
}

# Number of pixels of the given colour ("white", "#FF0000", …) in a screenshot, optionally
# inside a crop geometry WxH+X+Y; E2E_FUZZ (percent) widens the match.
e2e_mask() {  # file, colour, crop: white where the colour is, black elsewhere
  local args=("$1")
  [ -n "${3:-}" ] && args+=(-crop "$3" +repage)
  convert "${args[@]}" -alpha off -fuzz "${E2E_FUZZ:-0}%" -transparent "$2" -alpha extract -negate png:-
}

e2e_count_colour() {
  e2e_mask "$@" | convert - -format '%[fx:mean*w*h]' info: | LC_ALL=C awk '{printf "%d\n", $1 + 0.5}'
}

# Whether the screen now shows more than MIN pixels of the colour (inside the crop WxH+X+Y when
# given): for e2e_wait_for, waiting until something is drawn rather than for a fixed time. The
# look it took is $E2E_DIR/seen.png.
e2e_shows() {  # colour, min, crop
  e2e_shot "$E2E_DIR/seen.png" &&
    [ "$(e2e_count_colour "$E2E_DIR/seen.png" "$1" "${3:-}")" -gt "$2" ]
}

# Colour of one pixel as "r,g,b".
e2e_pixel() {
  convert "$1" -format '%[fx:int(255*p{'"$2"','"$3"'}.r)],%[fx:int(255*p{'"$2"','"$3"'}.g)],%[fx:int(255*p{'"$2"','"$3"'}.b)]' info:
}

# Number of pixels that differ between two screenshots.
e2e_diff() {
  compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1
}

# Number of differing pixels inside a crop geometry of two screenshots.
e2e_diff_crop() {
  convert "$1" -crop "$3" +repage "$1.crop.png"
  convert "$2" -crop "$3" +repage "$2.crop.png"
  e2e_diff "$1.crop.png" "$2.crop.png"
}

# Bounding box "WxH+X+Y" of all pixels of a colour (inside the optional crop).
e2e_bbox() {
  e2e_mask "$@" | convert - -bordercolor black -border 1 -format '%@' info: |
    awk -F'[x+]' '{printf "%dx%d+%d+%d\n", $1, $2, $3 - 1, $4 - 1}'
}

e2e_window_geometry() {
  xdotool getwindowgeometry --shell "$E2E_WIN" | tr '\n' ' '
}

# Keys go to the focused window as a person's would (synthetic events are ignored by Qt).
e2e_key() {
  xdotool windowactivate --sync "$E2E_WIN" >/dev/null 2>&1 || xdotool windowfocus --sync "$E2E_WIN"
  xdotool key --clearmodifiers "$@"
}

# Absolute screen position "X Y" of a window's client area (xdotool's own figure is off for
# windows the manager has reparented).
e2e_client_origin() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF} END {print x, y}'
}

e2e_click() {
  xdotool mousemove --sync "$1" "$2" click 1
}

# A 16 x 16 Motion JPEG clip (the least the muxer takes) whose frames' own headers (SOF0) then
# claim width x height; the AVI headers keep the true size.
e2e_claiming_clip() {  # file, width, height[, frames a second, frames, colour]
  gst-launch-1.0 -q videotestsrc num-buffers="${5:-10}" pattern=solid-color foreground-color="${6:-0xff0000ff}" \
    ! video/x-raw,width=16,height=16,framerate="${4:-10}"/1 ! jpegenc ! avimux ! filesink location="$1" || return 1
  python3 - "$1" "$2" "$3" <<'PY'
import struct, sys
path, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
data = bytearray(open(path, 'rb').read())
at = data.find(b'\xff\xc0')
while at >= 0:  # marker, length, precision, then height and width
    data[at + 5:at + 9] = struct.pack('>HH', height, width)
    at = data.find(b'\xff\xc0', at + 2)
open(path, 'wb').write(data)
PY
}

# Makes a picture file of one colour with ImageMagick: e2e_picture file.jpg red 64x48
e2e_picture() {
  convert -size "${3:-64x48}" "xc:$2" "$1"
}

# E2E_NO_X=1: a test that brings its own display server (Wayland) starts no X server.
[ "${E2E_NO_X:-0}" = 1 ] || e2e_start_x
