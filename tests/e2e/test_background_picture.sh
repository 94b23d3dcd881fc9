#!/usr/bin/env bash
# The background picture beside the executable: ".jpg" first, else ".bmp"; a corrupt or
# oversized picture is reported in a message box and the countdown goes on without it.
source "$(dirname "$0")/lib.sh"

exe=$(e2e_install yearmark)
dir=$(dirname "$exe")
red() { E2E_FUZZ=12 e2e_count_colour "$1" red "${E2E_WIDTH}x$((E2E_HEIGHT / 2))+0+0"; }
blue() { E2E_FUZZ=12 e2e_count_colour "$1" blue "${E2E_WIDTH}x$((E2E_HEIGHT / 2))+0+0"; }
error_box() { xdotool search --onlyvisible --name '^Yearmark$' >/dev/null; }

run_case() {  # name, then checks on the screenshot in $shot
  local name=$1
  rm -f "$dir/yearmark.jpg" "$dir/yearmark.bmp"
  case $name in
    jpg) e2e_picture "$dir/yearmark.jpg" red 320x240 ;;
    bmp) e2e_picture "$dir/yearmark.bmp" blue 320x240 ;;
    both) e2e_picture "$dir/yearmark.jpg" red 320x240; e2e_picture "$dir/yearmark.bmp" blue 320x240 ;;
  esac
  e2e_launch "$exe" || { e2e_fail "start ($name)"; return; }
  E2E_FUZZ=12 e2e_wait_for 5 e2e_shows "$([ "$name" = bmp ] && echo blue || echo red)" 100000
  shot="$E2E_DIR/$name.png"
  e2e_shot "$shot"
}

run_case jpg
e2e_check "a .jpg alone is shown in the top half" test "$(red "$shot")" -gt 100000
e2e_stop

run_case bmp
e2e_check "a .bmp alone is shown" test "$(blue "$shot")" -gt 100000
e2e_stop

run_case both
e2e_check "with both, the JPEG is shown" test "$(red "$shot")" -gt 100000 -a "$(blue "$shot")" -eq 0
e2e_stop

# A folder whose name is not valid UTF-8, as a ZIP archive from Windows unpacked as it is
# names it ("Fr\xfchst\xfcck" in Windows-1252): its files are found all the same.
odd="$E2E_DIR/$(printf 'Fr\xfchst\xfcck')"
mkdir -p "$odd"
cp "$dir/yearmark" "$dir/yearmark-media.so" "$odd/"
e2e_picture "$odd/yearmark.jpg" blue 320x240
e2e_launch "$odd/yearmark" || e2e_fail "start (folder name not UTF-8)"
E2E_FUZZ=12 e2e_wait_for 5 e2e_shows blue 100000
e2e_shot "$E2E_DIR/odd.png"
e2e_check "from a folder whose name is not UTF-8 the picture beside it is shown" \
  test "$(blue "$E2E_DIR/odd.png")" -gt 100000
e2e_stop

# A JPEG cut off after its header: libjpeg's message in a box, no crash, the count goes on.
rm -f "$dir/yearmark.bmp"
e2e_picture "$dir/full.jpg" red 320x240
head -c 400 "$dir/full.jpg" >"$dir/yearmark.jpg"
e2e_launch "$exe" || e2e_fail "start (corrupt)"
if e2e_wait_for 5 error_box; then e2e_pass "a corrupt JPEG gives a message box"; else e2e_fail "no message box for a corrupt JPEG"; fi
sleep 0.5
e2e_shot "$E2E_DIR/corrupt-a.png"; sleep 1.1; e2e_shot "$E2E_DIR/corrupt-b.png"
e2e_check "the countdown goes on behind the box" test "$(e2e_diff "$E2E_DIR/corrupt-a.png" "$E2E_DIR/corrupt-b.png")" -gt 0
e2e_check "the program still runs" kill -0 "$E2E_APP_PID"
box=$(xdotool search --onlyvisible --name '^Yearmark$' | head -n1)
xdotool windowactivate --sync "$box" 2>/dev/null
xdotool key Return
if e2e_wait_for 5 bash -c "! xdotool search --onlyvisible --name '^Yearmark$'"; then
  e2e_pass "Return closes the box"
else
  e2e_fail "Return closes the box"
fi
e2e_check "the program goes on after the box" kill -0 "$E2E_APP_PID"
e2e_stop

# A header that claims 65500 x 65500 pixels is refused at once, before any decoding.
perl -e '
  open my $in, "<:raw", $ARGV[0] or die; local $/; my $d = <$in>;
  my $i = 2;
  while ($i < length($d)) {
    my $m = ord(substr($d, $i + 1, 1));
    if ($m >= 0xC0 && $m <= 0xC2) { substr($d, $i + 5, 4) = pack("nn", 65500, 65500); last }
    $i += 2 + unpack("n", substr($d, $i + 2, 2));
  }
  open my $out, ">:raw", $ARGV[1] or die; print $out $d;' "$dir/full.jpg" "$dir/yearmark.jpg"
start=$(date +%s%N)
e2e_launch "$exe" || e2e_fail "start (huge)"
if e2e_wait_for 5 error_box; then
  e2e_pass "a 65500 x 65500 header is refused with a message box ($(( ($(date +%s%N) - start) / 1000000 )) ms after start)"
else
  e2e_fail "no message box for a 65500 x 65500 header"
  xwininfo -root -tree | grep '"' | head -n 12
fi
rss=$(awk '/VmHWM/ {print $2}' "/proc/$E2E_APP_PID/status")
e2e_check "no huge allocation for it (peak ${rss} kB)" test "$rss" -lt 400000
e2e_stop

e2e_finish
