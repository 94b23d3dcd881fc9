#!/usr/bin/env bash
# The settings dialog on the real screen: F2 and a click on the title open it; Escape leaves
# it open; the count goes on behind it; a new template, a picture-alignment preview with
# "Abbrechen", and a picked moment that brings the zero moment all reach the main window.
source "$(dirname "$0")/lib.sh"

exe=$(e2e_install yearmark)
dir=$(dirname "$exe")
dialog_open() { xdotool search --onlyvisible --name '^Einstellungen$' >/dev/null 2>&1; }
dialog_closed() { ! dialog_open; }
origin() { read -r DX DY < <(e2e_client_origin "$(xdotool search --onlyvisible --name '^Einstellungen$' | head -n1)"); }
at() { xdotool mousemove $((DX + $1)) $((DY + $2)) click 1; sleep 0.25; }
ok_button() { at 236 297; }
cancel_button() { at 350 297; }
# Presses a key n times on the section of a picker under (x, 43).
spin() { at "$1" 43; xdotool key --delay 25 $(printf "$2 %.0s" $(seq "$3")); }
shot() { e2e_shot "$E2E_DIR/$1.png"; echo "$E2E_DIR/$1.png"; }

e2e_picture "$dir/yearmark.jpg" red 320x240
launched=$(date +%s%N)  # the program's clock is at most this far past 12:00:00
FAKE_TIME="2026-12-07 12:00:00" e2e_launch "$exe" || { e2e_fail "start"; e2e_finish; }
sleep 1

# F2 opens it; Escape does nothing; the countdown goes on behind it.
e2e_key F2
if e2e_wait_for 5 dialog_open; then e2e_pass "F2 opens Einstellungen"; else e2e_fail "F2 opens Einstellungen"; fi
origin
no_minimise() { [[ $(xprop -id "$(xdotool search --onlyvisible --name '^Einstellungen$' | head -n1)" _NET_WM_ALLOWED_ACTIONS) != *_MINIMIZE* ]]; }
e2e_check "the window manager offers no minimise for it" e2e_wait_for 5 no_minimise
xdotool key Escape
sleep 0.5
e2e_check "Escape leaves the dialog open" dialog_open
a=$(shot behind-a); sleep 1.1; b=$(shot behind-b)
e2e_check "the count goes on behind the open dialog" \
  test "$(e2e_diff_crop "$a" "$b" 1280x250+0+700)" -gt 0

# The alignment list previews at once; "Abbrechen" undoes it.
red_in() { E2E_FUZZ=12 e2e_count_colour "$1" red "$2"; }
at 330 228  # "Links"
s=$(shot links)
e2e_check "choosing Links moves the picture to the left half at once" \
  test "$(red_in "$s" 200x100+50+600)" -gt 10000 -a "$(red_in "$s" 80x200+890+50)" -eq 0
cancel_button
e2e_wait_for 5 dialog_closed || e2e_fail "Abbrechen closes the dialog"
sleep 0.3
s=$(shot cancelled)
e2e_check "Abbrechen brings the picture back to the top" \
  test "$(red_in "$s" 200x100+50+600)" -eq 0 -a "$(red_in "$s" 80x200+890+50)" -gt 10000

# A click on the title opens it too; a new template and OK change the title.
xdotool mousemove 640 850 click 1
if e2e_wait_for 5 dialog_open; then e2e_pass "a click on the title opens Einstellungen"; else e2e_fail "a click on the title opens Einstellungen"; fi
origin
at 100 120
xdotool key ctrl+a
xdotool type --delay 20 "Frohes Fest"
ok_button
e2e_wait_for 5 dialog_closed || e2e_fail "OK closes the dialog"
sleep 0.5
a=$(shot fest-a); sleep 1.1; b=$(shot fest-b)
e2e_check "the new template is on screen (white title, no longer changing)" \
  test "$(e2e_count_colour "$a" white)" -gt 2000 -a "$(e2e_diff "$a" "$b")" -eq 0

# "Datum: " with today at 12:00:30 and OK: the zero moment comes when the clock gets there.
e2e_key F2
e2e_wait_for 5 dialog_open || e2e_fail "F2 opens the dialog again"
origin
at 27 44            # "Datum: "
spin 118 Down 1     # year 2027 -> 2026
spin 95 Up 11       # month 1 -> 12
spin 80 Up 6        # day 1 -> 7
spin 206 Up 12      # hours 0 -> 12
spin 238 Up 30      # seconds 0 -> 30
at 100 120
xdotool key ctrl+a
xdotool type --delay 20 "%S"
ok_button
e2e_wait_for 5 dialog_closed || e2e_fail "OK closes the dialog"
elapsed_ms() { echo $(( ($(date +%s%N) - launched) / 1000000 )); }
title_shown() { e2e_shot "$E2E_DIR/t.png"; [ "$(e2e_count_colour "$E2E_DIR/t.png" white)" -gt 0 ]; }
title_gone() { ! title_shown; }
before=$(elapsed_ms)
e2e_check "before the picked moment the title is shown (at +${before} ms)" title_shown
while [ "$(elapsed_ms)" -lt 26500 ]; do sleep 0.2; done
e2e_check "two seconds before the picked moment the title is still shown" title_shown
while [ "$(elapsed_ms)" -lt 32500 ]; do sleep 0.2; done
e2e_check "one second after the picked moment the title is gone" title_gone
e2e_stop
e2e_finish
