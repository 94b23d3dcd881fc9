#!/usr/bin/env bash
# The fitted title with and without its shadow, and settings that survive a restart: the
# store written at SIGTERM holds all thirteen values, and a store prepared by hand shows its
# template and colours at the next start.
source "$(dirname "$0")/lib.sh"

exe=$(e2e_install yearmark)
store="$XDG_CONFIG_HOME/Vemoral/yearmark.reg"
title_area="${E2E_WIDTH}x$((E2E_HEIGHT / 2))+0+$((E2E_HEIGHT / 2))"

write_store() {  # template, background 0x00BBGGRR, text colour, shadow 0/1
  mkdir -p "$(dirname "$store")"
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\Vemoral\yearmark]' \
    "\"Label\"=\"$1\"" '"Stretch"=dword:00000000' "\"Fon\"=dword:$2" '"Font"="Arial"' \
    "\"FontC\"=dword:$3" '"FontB"=dword:00000001' '"FontI"=dword:00000000' \
    '"FontU"=dword:00000000' '"FontS"=dword:00000000' '"FontT"=dword:00000001' \
    '"IfSelectDate"=dword:00000000' '"SelectDate"=hex:00,00,00,00,00,00,00,00' \
    "\"Shadow\"=dword:0000000$4" >"$store"
}

# First run: no store; SIGTERM writes every value.
rm -rf "$XDG_CONFIG_HOME/Vemoral"
e2e_launch "$exe" || e2e_fail "start"
e2e_wait_for 5 e2e_shows white 2000
e2e_shot "$E2E_DIR/default.png"
read -r bw bh bx by < <(e2e_bbox "$E2E_DIR/default.png" white | tr 'x+' '   ')
e2e_check "the built-in title fills the width ($bw of $E2E_WIDTH)" test "$bw" -gt $((E2E_WIDTH * 85 / 100)) -a "$bw" -le "$E2E_WIDTH"
line2=$(e2e_bbox "$E2E_DIR/default.png" white "${E2E_WIDTH}x$((bh / 2))+0+$((by + bh / 2))" | cut -dx -f1)
e2e_check "its second line is the widest ($line2 wide)" test "$line2" -ge "$bw"
kill -TERM "$E2E_APP_PID"; e2e_wait_exit 10
missing=0
for v in Label Stretch Fon Font FontC FontB FontI FontU FontS FontT IfSelectDate SelectDate Shadow; do
  grep -q "^\"$v\"=" "$store" || { echo "missing $v"; missing=$((missing + 1)); }
done
e2e_check "SIGTERM wrote all thirteen values" test "$missing" -eq 0

# A store prepared by hand: blue background, green text, a fixed template, no shadow.
write_store "Frohes Fest" 00ff0000 0000ff00 0
e2e_launch "$exe" || e2e_fail "start (hand-made store)"
e2e_wait_for 5 e2e_shows lime 2000 "$title_area"
e2e_shot "$E2E_DIR/hand-a.png"; sleep 1.1; e2e_shot "$E2E_DIR/hand-b.png"
s="$E2E_DIR/hand-a.png"
e2e_check "the background is the stored blue" test "$(e2e_pixel "$s" 5 5)" = "0,0,255"
e2e_check "the text is the stored green" test "$(e2e_count_colour "$s" lime "$title_area")" -gt 2000
e2e_check "the stored template is shown (a fixed text)" test "$(e2e_diff "$s" "$E2E_DIR/hand-b.png")" -eq 0
e2e_check "without the shadow flag no shadow pixels" test "$(e2e_count_colour "$s" black "$title_area")" -eq 0
e2e_stop

# The same with the shadow flag: a black shadow beside the white text.
write_store "Frohes Fest" 00ff0000 00ffffff 1
e2e_launch "$exe" || e2e_fail "start (shadow)"
e2e_wait_for 5 e2e_shows black 1000 "$title_area"
e2e_shot "$E2E_DIR/shadow.png"
e2e_check "with the shadow flag black shadow pixels appear" test "$(e2e_count_colour "$E2E_DIR/shadow.png" black "$title_area")" -gt 1000
e2e_check "and the text stays white" test "$(e2e_count_colour "$E2E_DIR/shadow.png" white "$title_area")" -gt 2000
e2e_stop

e2e_finish
