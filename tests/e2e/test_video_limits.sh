#!/usr/bin/env bash
# Videos the program must not show as they are, one row per case: frames whose own headers claim
# a size far beyond a picture's (refused before they are decoded: the picture takes over, memory
# stays low, the program ends normally and keeps its settings), and a clip with far more frames a
# second than a screen shows (it plays, at a small cost).
source "$(dirname "$0")/lib.sh"

exe=$(e2e_install yearmark)
dir=$(dirname "$exe")
settings="$XDG_CONFIG_HOME/Vemoral/yearmark.reg"
area=$((E2E_WIDTH * E2E_HEIGHT))

claiming() { e2e_claiming_clip "$@"; }
fills() { e2e_shot "$E2E_DIR/s.png"; [ "$(E2E_FUZZ=12 e2e_count_colour "$E2E_DIR/s.png" "$1")" -gt "$2" ]; }
expect() { local what=$1; shift; if e2e_wait_for 12 "$@"; then e2e_pass "$what"; else e2e_fail "$what"; fi; }
at_zero() { rm -f "$settings"; FAKE_TIME="2026-12-31 23:59:57" E2E_WORKDIR="$E2E_DIR" e2e_launch "$exe"; }

picture_instead() {  # width, height of the claimed frames
  claiming "$dir/0.avi" "$1" "$2"
  e2e_picture "$dir/0.jpg" red
  at_zero || return
  expect "$1 x $2: 0.jpg fills the window" fills red $((area * 9 / 10))
  sleep 2
  local peak
  peak=$(awk '/VmHWM/ {print int($2 / 1024)}' "/proc/$E2E_APP_PID/status")
  e2e_check "$1 x $2: still running, peak memory ${peak:-?} MB below 600 MB" test "${peak:-9999}" -lt 600
  kill -TERM "$E2E_APP_PID" && e2e_wait_exit 10
  e2e_check "$1 x $2: SIGTERM ends it with status 0 (got $E2E_STATUS)" test "$E2E_STATUS" = 0
  e2e_check "$1 x $2: the settings are saved" test -s "$settings"
}
frames_of_30000_squared() { picture_instead 30000 30000; }
frames_of_16000_squared() { picture_instead 16000 16000; }

thousand_frames_a_second() {
  claiming "$dir/0.avi" 1 1 1000 3000 0xff00ff00
  at_zero || return
  # A square frame, letter-boxed: more than half of the window.
  expect "1000 fps: the clip is shown" fills lime $((area / 2))
  local before after share
  before=$(awk '{print $14 + $15}' "/proc/$E2E_APP_PID/stat"); sleep 5
  after=$(awk '{print $14 + $15}' "/proc/$E2E_APP_PID/stat")
  share=$(((after - before) * 100 / (5 * $(getconf CLK_TCK))))
  # Generous: the goal is far lower (bench/bench_video_limits.sh).
  e2e_check "1000 fps: still playing, CPU share $share % below 50 %" test "$share" -lt 50
}

for case in frames_of_30000_squared frames_of_16000_squared thousand_frames_a_second; do
  echo "-- $case"
  rm -f "$dir"/0.*
  "$case"
  e2e_stop
done

e2e_finish
