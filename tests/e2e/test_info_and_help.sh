#!/usr/bin/env bash
# F3 and F1 on the real screen: the information dialog above the main window, centred over it,
# not to be minimised, and its link handed to the desktop's URL handler; the help window in
# front of a main window that no longer stays on top, closed by Escape; no help file, no help;
# no chmlib, one warning at start.
source "$(dirname "$0")/lib.sh"

exe=$(e2e_install yearmark)
help_file="$(dirname "$E2E_BIN")/yearmark.chm"
[ -f "$help_file" ] || { e2e_fail "the build made $help_file"; e2e_finish; }
# The desktop's URL handler, replaced by one that records what it was asked to open.
mkdir -p "$E2E_DIR/bin"
printf '#!/bin/sh\necho "$1" >> "%s/opened"\n' "$E2E_DIR" > "$E2E_DIR/bin/xdg-open"
chmod +x "$E2E_DIR/bin/xdg-open"
export PATH="$E2E_DIR/bin:$PATH"

visible() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
gone() { ! visible "$1"; }
shot() { e2e_shot "$E2E_DIR/$1.png"; echo "$E2E_DIR/$1.png"; }
on_top() { xprop -id "$E2E_WIN" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
not_on_top() { ! on_top; }

# F3: the dialog above the main window; Escape closes it; the link line opens the page.
e2e_launch "$exe" || { e2e_fail "start"; e2e_finish; }
e2e_key F3
e2e_check "F3 shows Information" e2e_wait_for 10 visible '^Information$'
read -r IX IY < <(e2e_client_origin "$(xdotool search --onlyvisible --name '^Information$' | head -n1)")
e2e_check "its silver face and blue link line are on screen above the main window" test \
  "$(e2e_count_colour "$(shot info)" '#C0C0C0' "256x200+$IX+$IY")" -gt 20000 -a \
  "$(e2e_count_colour "$E2E_DIR/info.png" blue "137x13+$((IX + 55))+$((IY + 181))")" -gt 30

# As the window manager sees it: closable but not minimisable, centred frame and all over the
# main window, and an iconify request for it taking nothing off the screen.
dlg=$(xdotool search --onlyvisible --name '^Information$' | head -n1)
closable_only() { local a; a=$(xprop -id "$dlg" _NET_WM_ALLOWED_ACTIONS); [[ $a == *_CLOSE* && $a != *_MINIMIZE* ]]; }
e2e_check "the window manager offers to close it, not to minimise it" closable_only
centre() {  # "X Y" of a window's centre, the manager's frame included
  read -r x y < <(e2e_client_origin "$1")
  read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | grep -o '[0-9].*' | tr -d , || echo 0 0 0 0)
  xwininfo -id "$1" | awk -v x="$x" -v y="$y" -v l="$l" -v r="$r" -v t="$t" -v b="$b" \
    '/Width:/ {w=$NF} /Height:/ {h=$NF} END {print x - l + (l + w + r) / 2, y - t + (t + h + b) / 2}'
}
centred() { read -r ax ay < <(centre "$dlg"); read -r bx by < <(centre "$E2E_WIN")
  awk -v d="$ax $ay $bx $by" 'BEGIN {split(d, c); exit !((c[1]-c[3])^2 <= 4 && (c[2]-c[4])^2 <= 4)}'; }
e2e_check "its centre is within 2 px of the main window's" e2e_wait_for 5 centred
xprop -spy -id "$E2E_WIN" WM_STATE >"$E2E_DIR/main-state" & spy=$!
e2e_wait_for 5 grep -q 'window state' "$E2E_DIR/main-state"
xdotool windowminimize "$dlg"
# The manager takes requests in turn: once the number of desktops asked for next has changed,
# the iconify request has been dealt with.
desktops=$(xdotool get_num_desktops)
xdotool set_num_desktops $((desktops + 1))
e2e_wait_for 5 test "$(xdotool get_num_desktops)" = $((desktops + 1))
kill "$spy"
viewable() { xwininfo -id "$1" | grep -q IsViewable; }
never_iconified() { ! grep -q Iconic "$E2E_DIR/main-state" && viewable "$E2E_WIN"; }
e2e_check "after an iconify request the countdown was never iconified and is on screen" never_iconified
e2e_check "and so is the dialog" e2e_wait_for 5 viewable "$dlg"
xdotool key Escape
e2e_check "Escape closes it" e2e_wait_for 10 gone '^Information$'
e2e_key F3
e2e_wait_for 10 visible '^Information$'
read -r IX IY < <(e2e_client_origin "$(xdotool search --onlyvisible --name '^Information$' | head -n1)")
e2e_click $((IX + 123)) $((IY + 187))
e2e_check "a click on the link line hands the contact page to the URL handler" \
  e2e_wait_for 10 grep -q '^https\?://' "$E2E_DIR/opened"
e2e_check "the dialog stays open" visible '^Information$'
xdotool key Escape
e2e_wait_for 10 gone '^Information$'

# F1 without a help file: nothing shows (F3 after it proves the key was handled).
e2e_key F1
e2e_key F3
e2e_wait_for 10 visible '^Information$'
e2e_check "without the help file F1 shows nothing" gone 'Hilfe$'
xdotool key Escape
e2e_stop

# F1 with the help file: the help window in front, the main window no longer on top.
cp "$help_file" "$(dirname "$exe")/yearmark.chm"
e2e_launch "$exe" || e2e_fail "start with help"
e2e_check "the main window starts on top" on_top
e2e_key F1
e2e_check "F1 shows the help window" e2e_wait_for 10 visible '^Yearmark Hilfe$'
help_win=$(xdotool search --onlyvisible --name '^Yearmark Hilfe$' | head -n1)
help_active() { [ "$(xdotool getactivewindow)" = "$help_win" ]; }
e2e_check "the help window is the active one, in front" e2e_wait_for 10 help_active
e2e_check "the main window no longer stays on top" e2e_wait_for 10 not_on_top
read -r HX HY < <(e2e_client_origin "$help_win")
e2e_check "contents and first topic are drawn (maroon heading)" \
  test "$(E2E_FUZZ=10 e2e_count_colour "$(shot help)" '#800000' "800x200+$HX+$HY")" -gt 100
xdotool windowactivate --sync "$help_win"
xdotool key Escape
e2e_check "Escape closes the help window" e2e_wait_for 10 gone '^Yearmark Hilfe$'
e2e_key F1
e2e_check "F1 again shows it again" e2e_wait_for 10 visible '^Yearmark Hilfe$'
e2e_check "after the help, the main window still does not stay on top" not_on_top
e2e_key alt+F4
e2e_wait_exit 10
e2e_check "closing the main window ends the program with the help open" test "$E2E_STATUS" = 0

# chmlib hidden from the loader: one warning at start, the count running behind it.
lib=$(readlink -f "$(ldconfig -p | awk '/libchm\.so\.1 / {print $NF; exit}')")
if [ -f "$lib" ] && unshare -m true 2>/dev/null; then
  printf '#!/bin/sh\nexec unshare -m sh -c '\''mount --bind /dev/null %s && exec "$0"'\'' %s\n' "$lib" "$exe" > "$E2E_DIR/nochm"
  chmod +x "$E2E_DIR/nochm"
  e2e_launch "$E2E_DIR/nochm" || e2e_fail "start without chmlib"
  e2e_check "the warning appears at start" e2e_wait_for 10 visible '^Warning!$'
  a=$(shot warn-a)
  counted() { [ "$(e2e_diff "$a" "$(shot warn-b)")" -gt 0 ]; }
  e2e_check "the count runs behind it" e2e_wait_for 5 counted
  xdotool windowactivate --sync "$(xdotool search --onlyvisible --name '^Warning!$' | head -n1)"
  xdotool key Return
  e2e_wait_for 10 gone '^Warning!$'
  e2e_key F1
  e2e_key F3
  e2e_wait_for 10 visible '^Information$'
  e2e_check "it appears only once, and F1 shows nothing" bash -c "! xdotool search --onlyvisible --name '^(Warning!|Yearmark Hilfe)$'"
  e2e_stop
else
  echo "skip: no mount namespace to hide chmlib in"
fi

e2e_finish
