#!/usr/bin/env bash
# A help file from anywhere reaches nothing but itself: its page names a device and pictures of
# the local disk, its first contents entry a local file, its links a script and a web page. F1
# shows the page without anything of the disk, the program stays small, nothing is handed to
# the desktop by itself, and of the links clicked only the web page is handed on, once.
source "$(dirname "$0")/lib.sh"

exe=$(e2e_install yearmark)
# The desktop's URL handler, replaced by one that records what it was asked to open.
mkdir -p "$E2E_DIR/bin"
printf '#!/bin/sh\necho "$*" >> "%s/opened"\n' "$E2E_DIR" >"$E2E_DIR/bin/xdg-open"
chmod +x "$E2E_DIR/bin/xdg-open"
export PATH="$E2E_DIR/bin:$PATH"
: >"$E2E_DIR/opened"
handed() { grep -c . "$E2E_DIR/opened"; }
# Bounded, so that a program that reads the endless device fails here instead of taking the
# machine's memory.
printf '#!/bin/sh\nulimit -v 4000000\nexec "%s"\n' "$exe" >"$E2E_DIR/limited"
chmod +x "$E2E_DIR/limited"

# A red picture on the local disk, and the help file compiled here.
e2e_picture "$E2E_DIR/rot.png" red 200x200
help="$E2E_DIR/help"
mkdir -p "$help"
printf '[OPTIONS]\nCompiled file=fremd.chm\nContents file=inhalt.hhc\nTitle=Fremde Hilfe\n\n[FILES]\nstart.htm\n' \
  >"$help/fremd.hhp"
entry() { printf '<LI><OBJECT type="text/sitemap"><param name="Name" value="%s"><param name="Local" value="%s"></OBJECT>\n' "$1" "$2"; }
{ echo "<UL>"; entry Passwort file:///etc/passwd; entry Start start.htm; echo "</UL>"; } >"$help/inhalt.hhc"
link() { printf '<p><a href="%s"><span style="font-size:40px; color:%s">%s</span></a></p>\n' "$1" "$2" "$3"; }
{
  echo "<html><body>"
  link 'javascript:alert(1)' '#ff00ff' SKRIPT
  link 'https://vemoral.example/hilfe' '#00ffff' NETZ
  for src in file:///dev/zero "file://$E2E_DIR/rot.png" "$E2E_DIR/rot.png" /usr/share/pixmaps/debian-logo.png; do
    printf '<img src="%s">\n' "$src"
  done
  echo "</body></html>"
} >"$help/start.htm"
(cd "$help" && chmcmd --no-html-scan --verbosity 0 fremd.hhp >/dev/null 2>&1)
cp "$help/fremd.chm" "$(dirname "$exe")/yearmark.chm" || { e2e_fail "chmcmd compiled the help"; e2e_finish; }

e2e_launch "$E2E_DIR/limited" || { e2e_fail "start"; e2e_finish; }
e2e_key F1
e2e_check "F1 shows the help" e2e_wait_for 10 xdotool search --onlyvisible --name '^Fremde Hilfe$'
help_win=$(xdotool search --onlyvisible --name '^Fremde Hilfe$' | head -n1)
[ -n "$help_win" ] || { e2e_fail "the help window is there to look at (program still running: $(kill -0 "$E2E_APP_PID" 2>/dev/null && echo yes || echo no))"; e2e_finish; }
read -r HX HY < <(e2e_client_origin "$help_win")
area="960x768+$HX+$HY"
page_shown() { e2e_shot "$E2E_DIR/help.png"; [ "$(E2E_FUZZ=10 e2e_count_colour "$E2E_DIR/help.png" '#ff00ff' "$area")" -gt 50 ]; }
e2e_check "the page inside the file is shown" e2e_wait_for 10 page_shown
e2e_check "nothing of the local pictures is shown" test \
  "$(E2E_FUZZ=10 e2e_count_colour "$E2E_DIR/help.png" red "$area")" -eq 0 -a \
  "$(E2E_FUZZ=10 e2e_count_colour "$E2E_DIR/help.png" '#A80030' "$area")" -eq 0
rss=$(awk '/^VmRSS/ {print $2}' "/proc/$E2E_APP_PID/status" 2>/dev/null)
e2e_check "the program is still running and small (${rss:-no} kB)" test "${rss:-999999999}" -lt 400000
e2e_check "F1 handed nothing to the desktop" test "$(handed)" -eq 0

# link text colour | what | lines handed to the desktop after the click
cases="
#ff00ff script     0
#00ffff web-page   1
"
while read -r colour what lines; do
  [ -n "$colour" ] || continue
  e2e_shot "$E2E_DIR/links.png"
  read -r W H X Y < <(E2E_FUZZ=10 e2e_bbox "$E2E_DIR/links.png" "$colour" "$area" | tr 'x+' '  ')
  e2e_click $((HX + X + W / 2)) $((HY + Y + H / 2))
  [ "$lines" -gt 0 ] && e2e_wait_for 5 test "$(handed)" -ge "$lines"
  sleep 1 # a second hand-over would come within this time
  e2e_check "a click on the $what link hands $lines address(es) to the desktop: $(tr '\n' ' ' <"$E2E_DIR/opened")" \
    test "$(handed)" -eq "$lines"
done <<<"$cases"
e2e_check "the web page is the one handed on" grep -qx 'https://vemoral.example/hilfe' "$E2E_DIR/opened"
e2e_check "the program is still running" kill -0 "$E2E_APP_PID"
e2e_stop

e2e_finish
