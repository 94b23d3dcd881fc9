#!/usr/bin/env bash
# At the zero moment "0.avi" beside the program plays letter-boxed over the whole screen and
# loops; without it "0.jpg" fills the window; F9 plays "0.avi" from the working folder once.
source "$(dirname "$0")/lib.sh"

exe=$(e2e_install yearmark)
dir=$(dirname "$exe")
make_clip() {  # file, colour 0xAARRGGBB, frames[, pattern]
  gst-launch-1.0 -q videotestsrc num-buffers="$3" pattern="${4:-solid-color}" foreground-color="$2" \
    ! video/x-raw,width=320,height=240,framerate=25/1 ! jpegenc ! avimux ! filesink location="$1"
}
green() { E2E_FUZZ=20 e2e_count_colour "$1" lime "${2:-}"; }
shot() { e2e_shot "$E2E_DIR/$1.png"; echo "$E2E_DIR/$1.png"; }
area=$((E2E_WIDTH * E2E_HEIGHT))

# The zero-moment video: 4:3 in 1280 x 1024 is 1280 x 960 at (0, 32), black bars; it loops.
make_clip "$dir/0.avi" 0xff00ff00 25
e2e_picture "$dir/0.jpg" blue 64x48
FAKE_TIME="2026-12-31 23:59:58" e2e_launch "$exe" || e2e_fail "start"
playing() { [ "$(green "$(shot v)")" -gt $((area / 2)) ]; }
if e2e_wait_for 8 playing; then e2e_pass "the video plays at the zero moment"; else e2e_fail "the video plays at the zero moment"; fi
s=$(shot video)
e2e_check "letter-boxed: 1280 x 960 of video at (0, 32)" \
  test "$(green "$s" 1280x960+0+32)" -gt $((1280 * 960 * 95 / 100)) -a "$(green "$s" 1280x32+0+0)" -eq 0
e2e_check "black bars above and below" test "$(e2e_pixel "$s" 640 10)" = "0,0,0" -a "$(e2e_pixel "$s" 640 1010)" = "0,0,0"
e2e_check "the picture is not used when the video exists" test "$(E2E_FUZZ=10 e2e_count_colour "$s" blue)" -eq 0
e2e_stop
e2e_check "closing during the video ends normally (status $E2E_STATUS)" test "$E2E_STATUS" = 0

# A one-second clip of a moving ball: still moving long after its end means it restarted.
make_clip "$dir/0.avi" 0xffffffff 25 ball
FAKE_TIME="2026-12-31 23:59:58" e2e_launch "$exe" || e2e_fail "start (loop)"
sleep 5.5
a=$(shot loop-a); sleep 0.2; b=$(shot loop-b)
e2e_check "the video loops (moving 3 s after its first end)" test "$(e2e_diff "$a" "$b")" -gt 100
e2e_stop

# Without a video: the zero-moment picture fills the window.
rm -f "$dir/0.avi"
FAKE_TIME="2026-12-31 23:59:58" e2e_launch "$exe" || e2e_fail "start (picture)"
filled() { [ "$(E2E_FUZZ=10 e2e_count_colour "$(shot p)" blue)" -gt $((area * 9 / 10)) ]; }
if e2e_wait_for 8 filled; then e2e_pass "0.jpg fills the window at the zero moment"; else e2e_fail "0.jpg fills the window at the zero moment"; fi
e2e_stop

# F9 while counting plays "0.avi" from the working folder once, then the screen stays covered.
rm -f "$dir/0.jpg"
mkdir -p "$E2E_DIR/work"
make_clip "$E2E_DIR/work/0.avi" 0xff00ff00 25
E2E_WORKDIR="$E2E_DIR/work" FAKE_TIME="2026-12-07 12:00:00" e2e_launch "$exe" || e2e_fail "start (F9)"
sleep 0.5
e2e_key F9
if e2e_wait_for 6 playing; then e2e_pass "F9 plays 0.avi from the working folder"; else e2e_fail "F9 plays 0.avi from the working folder"; fi
ended() { s=$(shot e); [ "$(green "$s")" -eq 0 ] && [ "$(e2e_count_colour "$s" white)" -eq 0 ]; }
if e2e_wait_for 6 ended; then e2e_pass "after one run the video window stays black over the count"; else e2e_fail "after one run the video window stays black over the count"; fi
e2e_stop

e2e_finish
