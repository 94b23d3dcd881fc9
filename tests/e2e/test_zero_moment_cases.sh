#!/usr/bin/env bash
# The zero moment as the people at the party see it, one row per case: the program's clock a
# few seconds before midnight (or at noon for the play command), media made here, and what
# must fill the screen afterwards.
source "$(dirname "$0")/lib.sh"

exe=$(e2e_install yearmark)
dir=$(dirname "$exe")
work="$E2E_DIR/work"
settings="$XDG_CONFIG_HOME/Vemoral/yearmark.reg"
export GST_DEBUG_DUMP_DOT_DIR="$E2E_DIR/dot"
mkdir -p "$work" "$GST_DEBUG_DUMP_DOT_DIR"
area=$((E2E_WIDTH * E2E_HEIGHT))

clip() {  # file, colour 0xAARRGGBB, frames[, pattern]
  gst-launch-1.0 -q videotestsrc num-buffers="$3" pattern="${4:-solid-color}" foreground-color="$2" \
    ! video/x-raw,width=320,height=240,framerate=25/1 ! jpegenc ! avimux ! filesink location="$1"
}
shot() { e2e_shot "$E2E_DIR/s.png"; echo "$E2E_DIR/s.png"; }
share() { E2E_FUZZ=12 e2e_count_colour "$(shot)" "$1" "${2:-}"; }  # pixels of a colour
fills() { [ "$(share "$1" "${2:-}")" -gt "${3:-$((area * 9 / 10))}" ]; }
title_shown() { [ "$(share white)" -gt 500 ]; }
box_shown() { xdotool search --onlyvisible --name '^Yearmark$' >/dev/null 2>&1; }
at_zero() { FAKE_TIME="2026-12-31 23:59:57" E2E_WORKDIR="$work" e2e_launch "$exe"; }
at_noon() { FAKE_TIME="2026-12-07 12:00:00" E2E_WORKDIR="$work" e2e_launch "$exe"; }
expect() { local what=$1; shift; if e2e_wait_for 10 "$@"; then e2e_pass "$what"; else e2e_fail "$what"; fi; }

# --- the cases ---

unplayable_video_gives_way_to_the_picture() {
  head -c 30000 /dev/urandom >"$dir/0.avi"
  e2e_picture "$dir/0.jpg" red
  at_zero && expect "red 0.jpg fills the window" fills red
}
bitmap_without_jpeg() {
  e2e_picture "BMP3:$dir/0.bmp" lime
  at_zero && expect "0.bmp fills the window" fills lime
}
jpeg_before_bitmap() {
  e2e_picture "$dir/0.jpg" red
  e2e_picture "BMP3:$dir/0.bmp" lime
  at_zero && expect "0.jpg fills the window" fills red && e2e_check "0.bmp is not shown" test "$(share lime)" -eq 0
}
background_picture_without_zero_files() {
  e2e_picture "$dir/yearmark.jpg" blue 320x240
  at_zero && expect "the background picture fills the window" fills blue
}
nothing_at_all() {
  at_zero || return
  # The window is black for a moment before its first paint: wait for the count first.
  expect "the count shows before zero" title_shown
  expect "only the background colour is left" fills black "" $((area - 1))
  cp "$(shot)" "$E2E_DIR/a.png"; sleep 1.1
  e2e_check "the title stays away: nothing counts" test "$(e2e_diff "$E2E_DIR/a.png" "$(shot)")" -eq 0
}
video_in_capitals() {  # as memory sticks written on other systems bring it
  clip "$dir/0.AVI" 0xff00ff00 25
  at_zero && expect "0.AVI plays" fills lime "" $((area / 2))
}
play_command_without_a_video() {
  at_noon || return
  sleep 0.5
  e2e_key F9
  local b
  sleep 0.5; cp "$(shot)" "$E2E_DIR/a.png"
  sleep 1.1; b=$(shot)
  e2e_check "the count stays visible" title_shown
  e2e_check "the count goes on" test "$(e2e_diff "$E2E_DIR/a.png" "$b")" -gt 0
  # A named pipe of that name is no video: nothing waits for a writer.
  mkfifo "$work/0.avi"
  e2e_key F9
  sleep 0.5; cp "$(shot)" "$E2E_DIR/a.png"; sleep 1.1
  e2e_check "with a named pipe the count goes on" test "$(e2e_diff "$E2E_DIR/a.png" "$(shot)")" -gt 0
}
gstreamer_loaded() { grep -q libgstreamer "/proc/$E2E_APP_PID/maps"; }
no_gstreamer() { ! gstreamer_loaded; }
play_command_plays_once() {
  clip "$work/0.avi" 0xff00ff00 75
  at_noon || return
  sleep 0.5
  e2e_check "GStreamer is not loaded while the count runs" no_gstreamer
  e2e_key F9
  expect "F9 plays the clip" fills lime "" $((area / 2))
  e2e_check "it is loaded for the video" gstreamer_loaded
  expect "then the count shows again" title_shown
}
video_without_the_media_module() {  # a copy of the program that lost its module
  clip "$dir/0.avi" 0xff00ff00 25
  e2e_picture "$dir/0.jpg" red
  mv "$dir/yearmark-media.so" "$E2E_DIR/"
  at_zero && expect "without the media module 0.jpg fills the window" fills red
  mv "$E2E_DIR/yearmark-media.so" "$dir/"
}
layout_after_zero_keeps_the_fill() {
  e2e_picture "$dir/0.jpg" red
  at_zero && expect "0.jpg fills the window" fills red || return
  xdotool windowsize "$E2E_WIN" 800 600
  read -r x y < <(e2e_client_origin "$E2E_WIN")
  expect "after a resize it fills the smaller window" fills red "800x600+$x+$y" $((800 * 600 * 9 / 10))
  e2e_key F2
  e2e_wait_for 5 xdotool search --onlyvisible --name '^Einstellungen$' || { e2e_fail "F2 opens the dialog"; return; }
  read -r dx dy < <(e2e_client_origin "$(xdotool search --onlyvisible --name '^Einstellungen$' | head -n1)")
  xdotool mousemove $((dx + 350)) $((dy + 297)) click 1  # "Abbrechen"
  e2e_wait_for 5 bash -c "! xdotool search --onlyvisible --name '^Einstellungen\$'"
  expect "after the settings dialog it still fills the window" fills red "800x600+$x+$y" $((800 * 600 * 9 / 10))
}
corrupt_picture() {
  e2e_picture "$dir/yearmark.jpg" blue 320x240
  e2e_picture "$E2E_DIR/whole.jpg" red
  head -c 300 "$E2E_DIR/whole.jpg" >"$dir/0.jpg"
  at_zero || return
  expect "a corrupt 0.jpg is reported in a box" box_shown
  xdotool windowactivate --sync "$(xdotool search --onlyvisible --name '^Yearmark$' | head -n1)" 2>/dev/null
  xdotool key Return
  expect "then the background picture fills the window" fills blue
}
play_command_during_the_zero_video() {
  clip "$dir/0.avi" 0xff00ff00 25
  clip "$work/0.avi" 0xff0000ff 75
  at_zero && expect "the zero-moment video plays" fills lime "" $((area / 2)) || return
  e2e_key F9
  expect "F9 replaces it" fills blue "" $((area / 2))
  local dot
  dot=$(ls -t "$GST_DEBUG_DUMP_DOT_DIR"/*.dot 2>/dev/null | head -n1)
  e2e_check "one chain plays ($(grep -c 'GstURIDecodeBin' "$dot" 2>/dev/null) decoders)" \
    test "$(grep -c 'GstURIDecodeBin' "$dot" 2>/dev/null)" -eq 1
}
sigterm_during_the_loop() {
  clip "$dir/0.avi" 0xff00ff00 25 ball
  e2e_picture "$dir/0.jpg" blue
  at_zero && expect "the ball clip plays" fills lime "" 5000 || return
  local since; since=$(date +%s)
  moving_later() {  # two looks 0.2 s apart differ, three seconds after the first frame
    [ $(($(date +%s) - since)) -ge 3 ] || return 1
    cp "$(shot)" "$E2E_DIR/a.png"; sleep 0.2
    [ "$(e2e_diff "$E2E_DIR/a.png" "$(shot)")" -gt 100 ]
  }
  expect "the one-second clip still moves three seconds later: it loops" moving_later
  e2e_check "0.jpg is not used while 0.avi plays" test "$(share blue)" -eq 0
  rm -f "$settings"
  kill -TERM "$E2E_APP_PID"
  e2e_wait_exit 10
  e2e_check "SIGTERM ends it with status 0 (got $E2E_STATUS)" test "$E2E_STATUS" = 0
  e2e_check "the settings were saved" test -s "$settings"
}
silent_sound_server() {  # takes the connection and never says a word
  python3 -c 'import socket, sys, time
s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.listen(8); time.sleep(300)' "$E2E_DIR/pulse" &
  local server=$! since
  gst-launch-1.0 -q videotestsrc num-buffers=75 pattern=solid-color foreground-color=0xff00ff00 \
    ! video/x-raw,width=320,height=240,framerate=25/1 ! jpegenc ! queue ! avimux name=m ! filesink location="$dir/0.avi" \
    audiotestsrc num-buffers=150 samplesperbuffer=882 ! audio/x-raw,rate=44100,channels=2 ! queue ! m.
  export PULSE_SERVER="unix:$E2E_DIR/pulse"
  at_zero && expect "a clip with sound plays, without it" fills lime "" $((area / 2))
  unset PULSE_SERVER
  since=$(date +%s%N)
  [ -n "$E2E_APP_PID" ] && kill -TERM "$E2E_APP_PID" && e2e_wait_exit 10
  e2e_check "SIGTERM ends it within a second with status 0 (got $E2E_STATUS)" \
    test "$E2E_STATUS" = 0 -a $((($(date +%s%N) - since) / 1000000)) -lt 1000
  kill "$server"; wait "$server" 2>/dev/null; rm -f "$E2E_DIR/pulse"
}
videos_of_todays_kinds() {  # after "0.avi", which stays first: mp4, mkv, webm, mov
  gst-launch-1.0 -q videotestsrc num-buffers=50 pattern=solid-color foreground-color=0xff00ff00 \
    ! video/x-raw,width=320,height=240,framerate=25/1 ! avenc_mpeg4 ! mp4mux ! filesink location="$dir/0.mp4"
  gst-launch-1.0 -q videotestsrc num-buffers=50 pattern=solid-color foreground-color=0xff0000ff \
    ! video/x-raw,width=320,height=240,framerate=25/1 ! vp8enc ! webmmux ! filesink location="$dir/0.webm"
  at_zero && expect "0.mp4 plays at zero, before 0.webm" fills lime "" $((area / 2))
}
play_command_tries_the_zero_video() {  # from another working folder, which has none
  clip "$dir/0.avi" 0xff00ff00 75
  at_noon || return
  sleep 0.5
  e2e_key F9
  expect "F9 plays the video beside the program" fills lime "" $((area / 2))
  expect "then the count shows again" title_shown
}

for case in \
  unplayable_video_gives_way_to_the_picture \
  bitmap_without_jpeg \
  jpeg_before_bitmap \
  background_picture_without_zero_files \
  nothing_at_all \
  video_in_capitals \
  play_command_without_a_video \
  play_command_plays_once \
  video_without_the_media_module \
  layout_after_zero_keeps_the_fill \
  corrupt_picture \
  play_command_during_the_zero_video \
  sigterm_during_the_loop \
  videos_of_todays_kinds \
  play_command_tries_the_zero_video \
  silent_sound_server; do
  echo "-- $case"
  rm -rf "$dir"/0.* "$dir"/yearmark.jpg "$work"/* "$GST_DEBUG_DUMP_DOT_DIR"/*
  "$case"
  e2e_stop
done

e2e_finish
