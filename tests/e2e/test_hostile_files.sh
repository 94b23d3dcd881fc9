#!/usr/bin/env bash
# Files that anyone may have put where the program reads: the settings store, the background
# picture, the help file (F1), "0.avi" (F9 plays it from the working folder) and the
# zero-moment picture. Each kind of damage is one program start that meets it in all of these
# at once. A picture that exists but cannot be shown gives the error box within a second;
# everything else is met in silence; either way the count goes on and the program ends
# normally.
E2E_WIDTH=640 E2E_HEIGHT=480
source "$(dirname "$0")/lib.sh"

exe=$(e2e_install yearmark)
app=$(dirname "$exe")
work="$E2E_DIR/work"
store="$XDG_CONFIG_HOME/Vemoral/yearmark.reg"
export E2E_CLOCK_FILE="$E2E_DIR/clock" E2E_WORKDIR="$work"
mkdir -p "$work" "$(dirname "$store")"
# The case that drops read permission runs the program as another user, who must reach it.
chmod 755 "$E2E_DIR" "$app" "$work" "$XDG_CONFIG_HOME"

# Sound files of each kind, made once.
good="$E2E_DIR/good"
mkdir -p "$good"
e2e_picture "$good/p.jpg" red 64x48
gst-launch-1.0 -q videotestsrc num-buffers=10 ! video/x-raw,width=64,height=48,framerate=25/1 \
  ! jpegenc ! avimux ! filesink location="$good/v.avi"
printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' '[HKEY_CURRENT_USER\Software\Vemoral\yearmark]' \
  '"Label"="Frohes Fest"' '"Stretch"=dword:00000000' '"Fon"=dword:00ff0000' >"$good/s.reg"
e2e_picture "$good/other.png" blue 64x48
# The help file built beside the program under test, where there is one.
cp "$(dirname "$E2E_BIN")/yearmark.chm" "$good/h.chm" 2>/dev/null

# A copy whose header claims 65500 x 65500 pixels: the JPEG frame header, or the AVI's main
# and stream headers.
claim_huge() {  # kind (jpg, avi), source, target
  perl -e '
    my ($kind, $in, $out) = @ARGV;
    open my $f, "<:raw", $in or die; local $/; my $d = <$f>;
    if ($kind eq "jpg") {
      my $i = 2;
      while ($i < length($d)) {
        my $m = ord(substr($d, $i + 1, 1));
        if ($m >= 0xC0 && $m <= 0xC2) { substr($d, $i + 5, 4) = pack("nn", 65500, 65500); last }
        $i += 2 + unpack("n", substr($d, $i + 2, 2));
      }
    } else {
      my $a = index($d, "avih"); substr($d, $a + 40, 8) = pack("VV", 65500, 65500);
      my $s = index($d, "strf"); substr($d, $s + 12, 8) = pack("VV", 65500, 65500);
    }
    open my $o, ">:raw", $out or die; print $o $d;' "$@"
}

# Puts damage of one kind at a path; the sound file of the path's type is the starting point.
damage() {  # kind, sound file, path; fails when the kind does not apply to the file
  local kind=$1 src=$2 path=$3 type=${2##*.}
  rm -rf "$path"
  case $kind in
    empty) : >"$path" ;;
    truncated) head -c "$(( $(stat -c %s "$src") * 2 / 5 ))" "$src" >"$path" ;;
    wrong-type) cp "$good/other.png" "$path" ;;
    huge-header) [ "$type" = reg ] || [ "$type" = chm ] && return 1; claim_huge "$type" "$src" "$path" ;;
    sparse-1GiB) truncate -s 1G "$path" ;;
    folder) mkdir "$path" ;;
    fifo) mkfifo "$path" ;;
    unreadable) cp "$src" "$path"; chmod 000 "$path" ;;
    symlink-loop) ln -s "$(basename "$path")" "$path" ;;
  esac
}

# Error boxes are dialogs; a help window may carry the same name as its file's title.
boxes() {
  local w n=0
  for w in $(xdotool search --onlyvisible --name '^Yearmark$' 2>/dev/null); do
    xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q DIALOG && n=$((n + 1))
  done
  echo "$n"
}
# Waits up to a second for the number of error boxes and then checks that it stays.
expect_boxes() {  # what, expected count
  local deadline=$(( $(date +%s%N) + 1000000000 ))
  while [ "$(boxes)" -lt "$2" ] && [ "$(date +%s%N)" -lt "$deadline" ]; do sleep 0.05; done
  [ "$2" -eq 0 ] && while [ "$(date +%s%N)" -lt "$deadline" ]; do sleep 0.1; done
  e2e_check "$1: $2 error box(es) within a second (saw $(boxes))" test "$(boxes)" -eq "$2"
}
close_boxes() {
  local b
  for b in $(xdotool search --onlyvisible --name '^Yearmark$' 2>/dev/null); do
    xdotool windowactivate --sync "$b" >/dev/null 2>&1; xdotool key Return
  done
  e2e_wait_for 3 test "$(boxes)" -eq 0
}
title_area="${E2E_WIDTH}x$((E2E_HEIGHT / 2))+0+$((E2E_HEIGHT / 2))"
title_shown() { e2e_shot "$E2E_DIR/t.png"; [ "$(e2e_count_colour "$E2E_DIR/t.png" white "$title_area")" -gt 0 ]; }
counted_on() { e2e_shot "$1.b.png"; [ "$(e2e_diff_crop "$1" "$1.b.png" "$title_area")" -gt 0 ]; }

# kind | does a picture of this kind give the error box (1) or silence (0)
cases="
empty        1
truncated    1
wrong-type   1
huge-header  1
sparse-1GiB  1
folder       0
fifo         0
unreadable   1
symlink-loop 0
"
while read -r kind box; do
  [ -n "$kind" ] || continue
  rm -rf "$app"/yearmark.* "$app"/0.* "$work"/0.avi "$store" "$store".*
  damage "$kind" "$good/s.reg" "$store" || echo "($kind: no such damage for the settings store)"
  damage "$kind" "$good/p.jpg" "$app/yearmark.jpg"
  damage "$kind" "$good/v.avi" "$work/0.avi"
  damage "$kind" "$good/p.jpg" "$app/0.jpg"
  [ -f "$good/h.chm" ] && damage "$kind" "$good/h.chm" "$app/yearmark.chm"
  # Where "0.avi" beside the program is no file at all, the zero moment looks past it.
  [ "$box" = 0 ] && damage "$kind" "$good/v.avi" "$app/0.avi"
  run=("$exe")
  if [ "$kind" = unreadable ]; then
    if ! id nobody >/dev/null 2>&1; then echo "skip: unreadable (no user without privileges)"; continue; fi
    mkdir -p "$E2E_DIR/home"; chmod 777 "$E2E_DIR/home"
    # The clock library keeps a semaphore named after the process id; the one this root shell
    # made must go before the same process continues as the other user, and setpriv itself
    # runs without the library.
    # The media framework's plugin list, so that the other user's first video is not held up
    # by a fresh scan of every plugin.
    cp "${XDG_CACHE_HOME:-$HOME/.cache}"/gstreamer-1.0/registry.*.bin "$E2E_DIR/home/registry.bin" 2>/dev/null
    chmod 644 "$E2E_DIR/home/registry.bin" 2>/dev/null
    cat >"$E2E_DIR/as-nobody" <<SCRIPT
#!/bin/sh
rm -f /dev/shm/sem.faketime_sem_\$\$ /dev/shm/faketime_shm_\$\$
preload=\$LD_PRELOAD
unset LD_PRELOAD
exec setpriv --reuid=nobody --regid=nogroup --clear-groups env LD_PRELOAD="\$preload" HOME="$E2E_DIR/home" \\
  GST_REGISTRY="$E2E_DIR/home/registry.bin" GST_REGISTRY_UPDATE=no "$exe"
SCRIPT
    chmod 755 "$E2E_DIR/as-nobody"
    run=("$E2E_DIR/as-nobody")
  fi
  e2e_set_clock "2026-12-31 20:00:00"
  e2e_launch "${run[0]}" || { e2e_fail "$kind: start"; e2e_stop; continue; }
  e2e_wait_for 2 title_shown
  a="$E2E_DIR/$kind-a.png"
  e2e_shot "$a"
  expect_boxes "$kind: settings store and background picture" "$box"
  e2e_check "$kind: the count goes on" e2e_wait_for 2 counted_on "$a"
  close_boxes
  # A damaged help file shows an empty viewer or nothing, and never a box.
  if [ -f "$good/h.chm" ]; then
    e2e_key F1
    expect_boxes "$kind: the help file by F1" 0
    e2e_check "$kind: still running after F1" kill -0 "$E2E_APP_PID"
    xdotool search --onlyvisible --name '^Happy New Year$' windowactivate --sync >/dev/null 2>&1
  fi
  # F9 reads "0.avi" in the working folder, the zero moment the zero-moment files. Where no
  # box comes to show it, F2 after them shows that the program still answers.
  e2e_key F9
  e2e_set_clock "2027-01-01 00:00:00"
  [ "$box" = 0 ] && xdotool key F2
  expect_boxes "$kind: 0.avi by F9 and the zero-moment picture" "$box"
  [ "$box" = 0 ] && e2e_check "$kind: still answers keys (F2 opens the settings)" \
    e2e_wait_for 2 xdotool search --onlyvisible --name '^Einstellungen$'
  kill -TERM "$E2E_APP_PID"; e2e_wait_exit 10
  e2e_check "$kind: ends normally (status $E2E_STATUS)" test "$E2E_STATUS" = 0
done <<<"$cases"

e2e_finish
