#!/usr/bin/env bash
# The Debian package cut from this build tree, unpacked into a scratch root: what it holds and
# what lintian says of it, then the installed program started through a link as a user would,
# with a picture in the user's data folder. Also `cmake --install` with DESTDIR and a prefix.
source "$(dirname "$0")/lib.sh"

build=$(dirname "$E2E_BIN")
root=$E2E_DIR/root

# CPack on the existing tree: nothing is compiled again, the output goes to the test's folder.
if ! cpack --config "$build/CPackConfig.cmake" -B "$E2E_DIR/pkg" >"$E2E_DIR/cpack.log" 2>&1; then
  cat "$E2E_DIR/cpack.log"
  e2e_fail "the package is built"
  e2e_finish
fi
deb=$(ls "$E2E_DIR"/pkg/yearmark_*.deb)
dpkg -x "$deb" "$root"
dpkg-deb -c "$deb" | awk '{print $6}' >"$E2E_DIR/contents"

# Only the program's own files: nothing of the build tree, no test program.
stray=$(grep -vE '^\./($|opt/($|yearmark/($|yearmark$|yearmark-media\.so$|yearmark(\.en)?\.chm$|yearmark_en\.qm$))|usr/($|bin/($|yearmark$)|share/($|applications/($|yearmark\.desktop$)|icons/|doc/($|yearmark/)|man/|lintian/)))' \
  "$E2E_DIR/contents")
e2e_check "the package holds only the program's files${stray:+ (not: $stray)}" test -z "$stray"
e2e_check "the command is an absolute link to the program" \
  test "$(readlink "$root/usr/bin/yearmark")" = /opt/yearmark/yearmark
e2e_check "the manual page in English and in German" \
  test -s "$root/usr/share/man/man1/yearmark.1.gz" -a -s "$root/usr/share/man/de/man1/yearmark.1.gz"
e2e_check "the installed program finds its English catalogue" bash -c \
  "LANGUAGE= LC_ALL=en_GB.UTF-8 '$root/opt/yearmark/yearmark' --help | grep -q '^Usage: yearmark'"
e2e_check "the program and its media module are stripped" bash -c \
  "file '$root/opt/yearmark/yearmark' '$root/opt/yearmark/yearmark-media.so' | grep -c ', stripped' | grep -qx 2"

missing=$(for dep in libqt6widgets6 libjpeg62-turbo libxss1 libchm1 libgstreamer1.0-0 gstreamer1.0-plugins-good \
  gstreamer1.0-plugins-bad gstreamer1.0-libav; do dpkg-deb -f "$deb" Depends | grep -qw -- "$dep" || echo "$dep"; done)
e2e_check "Qt, libjpeg, the screen saver library, chmlib, GStreamer and its decoders are dependencies${missing:+ (not: $missing)}" test -z "$missing"

lintian --no-tag-display-limit "$deb" >"$E2E_DIR/lintian.log" 2>&1
errors=$(grep -c '^E:' "$E2E_DIR/lintian.log")
e2e_check "lintian reports no errors ($errors)" test "$errors" -eq 0
[ "$errors" -eq 0 ] || cat "$E2E_DIR/lintian.log"

e2e_check "the menu entry is valid" desktop-file-validate "$root/usr/share/applications/yearmark.desktop"
wrong=$(for size in 16 22 24 32 48 64 128 256; do
  [ "$(identify -format '%wx%h' "$root/usr/share/icons/hicolor/${size}x${size}/apps/yearmark.png")" = "${size}x${size}" ] || echo "$size"
done)
e2e_check "icons of 16 to 256 pixels and a scalable one${wrong:+ (not: $wrong)}" \
  test -z "$wrong" -a -s "$root/usr/share/icons/hicolor/scalable/apps/yearmark.svg"

# Started through a link of its own, with the user's data folder holding the background.
mkdir -p "$E2E_DIR/bin" "$E2E_DIR/data/Vemoral/yearmark"
ln -s "$root/opt/yearmark/yearmark" "$E2E_DIR/bin/yearmark"
e2e_picture "$E2E_DIR/data/Vemoral/yearmark/Yearmark.JPG" red 320x240
export XDG_DATA_HOME=$E2E_DIR/data
half() { echo "${E2E_WIDTH}x$((E2E_HEIGHT / 2))+0+$1"; }
red_on_top() { e2e_shot "$E2E_DIR/a.png" && test "$(E2E_FUZZ=12 e2e_count_colour "$E2E_DIR/a.png" red "$(half 0)")" -gt 100000; }
white_below() { e2e_shot "$E2E_DIR/a.png" && test "$(e2e_count_colour "$E2E_DIR/a.png" white "$(half $((E2E_HEIGHT / 2)))")" -gt 500; }
count_moved() { e2e_shot "$E2E_DIR/b.png" && test "$(e2e_diff "$E2E_DIR/a.png" "$E2E_DIR/b.png")" -gt 0; }
if e2e_launch "$E2E_DIR/bin/yearmark"; then
  e2e_check "the picture from the data folder is the background" e2e_wait_for 10 red_on_top
  e2e_check "the count shows below it" e2e_wait_for 5 white_below
  e2e_check "the count goes on" e2e_wait_for 5 count_moved
  # The media module is found beside the installed program. The clip lasts four seconds, so
  # that a screenshot taken while the machine is busy still finds it on screen.
  gst-launch-1.0 -q videotestsrc num-buffers=100 pattern=solid-color foreground-color=0xff00ff00 \
    ! video/x-raw,width=320,height=240,framerate=25/1 ! jpegenc ! avimux ! filesink location="$E2E_DIR/0.avi"
  lime_shown() { e2e_shot "$E2E_DIR/a.png" && test "$(E2E_FUZZ=12 e2e_count_colour "$E2E_DIR/a.png" lime)" -gt $((E2E_WIDTH * E2E_HEIGHT / 2)); }
  e2e_key F9
  e2e_check "F9 plays a video with the installed media module" e2e_wait_for 10 lime_shown
  e2e_check "then the count shows again" e2e_wait_for 10 white_below
  e2e_key F1
  e2e_check "F1 finds the installed help file" \
    e2e_wait_for 10 bash -c "xdotool search --onlyvisible --name '^Yearmark Hilfe$'"
  e2e_stop
else
  e2e_fail "the installed program starts"
fi

# A packager's install: another prefix, into a staging root.
DESTDIR=$E2E_DIR/stage cmake --install "$build" --prefix /usr/lib/yearmark >"$E2E_DIR/install.log" 2>&1
e2e_check "cmake --install honours DESTDIR and the prefix" test -x "$E2E_DIR/stage/usr/lib/yearmark/yearmark"
e2e_check "a link within /usr is relative" \
  test "$(readlink "$E2E_DIR/stage/usr/bin/yearmark")" = ../lib/yearmark/yearmark

e2e_finish
