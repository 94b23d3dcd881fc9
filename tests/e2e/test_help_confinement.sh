#!/usr/bin/env bash
# A help file from anywhere reaches nothing but itself: its page names the endless device and
# pictures and a style of the local disk, its first contents entry a local file, its links a
# script and a web page. F1 shows the page without anything of the disk, the program stays
# small, nothing goes to the desktop by itself, and of the links clicked only the web page does.
source "$(dirname "$0")/lib.sh"

exe=$(e2e_install yearmark)
# The desktop's URL handler records what it is asked to open; the program's memory is bounded,
# so that reading the endless device fails here instead of taking the machine's memory.
mkdir -p "$E2E_DIR/bin" "$E2E_DIR/help"
printf '#!/bin/sh\necho "$*" >> "%s/opened"\n' "$E2E_DIR" >"$E2E_DIR/bin/xdg-open"
printf '#!/bin/sh\nulimit -v 4000000\nexec "%s"\n' "$exe" >"$E2E_DIR/limited"
chmod +x "$E2E_DIR/bin/xdg-open" "$E2E_DIR/limited"
export PATH="$E2E_DIR/bin:$PATH"
: >"$E2E_DIR/opened"
handed() { grep -c . "$E2E_DIR/opened"; }

# Red on the local disk (also in the working folder, under the name of a damaged picture of the
# file), and the help file compiled here.
e2e_picture "$E2E_DIR/rot.png" red 200x200
cp "$E2E_DIR/rot.png" "$E2E_DIR/kaputt.png"
echo 'p { color: #ff0000; font-size: 40px }' >"$E2E_DIR/rot.css"
cd "$E2E_DIR/help" || exit 1
echo "kein Bild" >kaputt.png
printf '[OPTIONS]\nCompiled file=fremd.chm\nContents file=inhalt.hhc\nTitle=Fremde Hilfe\n\n[FILES]\nstart.htm\nkaputt.png\n' >fremd.hhp
entry() { echo "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"$1\"><param name=\"Local\" value=\"$2\"></OBJECT>"; }
echo "<UL>$(entry Passwort file:///etc/passwd)$(entry Start start.htm)</UL>" >inhalt.hhc
link() { echo "<p><a href=\"$1\"><span style=\"font-size:40px; color:$2\">$3</span></a></p>"; }
cat >start.htm <<PAGE
<html><head><link rel="stylesheet" type="text/css" href="file://$E2E_DIR/rot.css"></head><body>
$(link 'javascript:alert(1)' '#ff00ff' SKRIPT)$(link 'https://vemoral.example/hilfe' '#00ffff' NETZ)
<p>Text</p><table background="file://$E2E_DIR/rot.png"><tr><td>Zelle</td></tr></table>
<img src="file:///dev/zero"><img src="file://$E2E_DIR/rot.png"><img src="$E2E_DIR/rot.png">
<img src="kaputt.png"><img src="/usr/share/pixmaps/debian-logo.png"></body></html>
PAGE
chmcmd --no-html-scan --verbosity 0 fremd.hhp >/dev/null 2>&1
cp fremd.chm "$(dirname "$exe")/yearmark.chm" || { e2e_fail "chmcmd compiled the help"; e2e_finish; }

e2e_launch "$E2E_DIR/limited" || { e2e_fail "start"; e2e_finish; }
e2e_key F1
e2e_check "F1 shows the help" e2e_wait_for 10 xdotool search --onlyvisible --name '^Fremde Hilfe$'
help_win=$(xdotool search --onlyvisible --name '^Fremde Hilfe$' | head -n1)
[ -n "$help_win" ] || { e2e_fail "a help window (program running: $(kill -0 "$E2E_APP_PID" && echo yes))"; e2e_finish; }
read -r HX HY < <(e2e_client_origin "$help_win")
area="960x768+$HX+$HY"
count() { E2E_FUZZ=10 e2e_count_colour "$E2E_DIR/help.png" "$1" "$area"; }
page_shown() { e2e_shot "$E2E_DIR/help.png"; [ "$(count '#ff00ff')" -gt 50 ]; }
e2e_check "the page inside the file is shown" e2e_wait_for 10 page_shown
e2e_check "nothing of the local disk is shown" test "$(count red)" -eq 0 -a "$(count '#A80030')" -eq 0
rss=$(awk '/^VmRSS/ {print $2}' "/proc/$E2E_APP_PID/status")
e2e_check "the program is still running and small (${rss:-no} kB)" test "${rss:-999999999}" -lt 400000
e2e_check "F1 handed nothing to the desktop" test "$(handed)" -eq 0

# link text colour | link | addresses handed to the desktop after the click
while read -r colour what lines; do
  read -r W H X Y < <(E2E_FUZZ=10 e2e_bbox "$E2E_DIR/help.png" "$colour" "$area" | tr 'x+' '  ')
  e2e_click $((HX + X + W / 2)) $((HY + Y + H / 2))
  [ "$lines" -gt 0 ] && e2e_wait_for 5 test "$(handed)" -ge "$lines"
  sleep 1 # a second hand-over would come within this time
  e2e_check "a click on the $what link: $lines address(es) handed on ($(xargs <"$E2E_DIR/opened"))" \
    test "$(handed)" -eq "$lines"
done <<<"#ff00ff script 0
#00ffff web 1"
e2e_check "the web page is the one handed on" grep -qx 'https://vemoral.example/hilfe' "$E2E_DIR/opened"
e2e_check "the program is still running" kill -0 "$E2E_APP_PID"
e2e_stop
e2e_finish
