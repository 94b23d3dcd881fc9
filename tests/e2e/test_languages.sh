#!/usr/bin/env bash
# The texts' language follows the desktop's locale. One row per LANG, each with what a person
# reads: the count of a first start, the settings dialog's title and captions and the F1 help
# window (as the program tells a screen reader: its accessibility interface on a private
# accessibility bus), the pre-show check and --help (their output). The German rows are the
# texts as written, identical to the program's without its English catalogue; the English rows
# are English and identical to each other.
source "$(dirname "$0")/lib.sh"
E2E_LOCALE_DEFAULT=$LC_ALL
here=$(dirname "$(readlink -f "$0")")

exe=$(e2e_install yearmark)
app=$(dirname "$exe")
cp "$(dirname "$E2E_BIN")"/yearmark.chm "$(dirname "$E2E_BIN")"/yearmark.en.chm "$app/"
[ -s "$app/yearmark_en.qm" ] && [ -s "$app/yearmark.en.chm" ] ||
  { e2e_fail "the build made the English catalogue and help"; e2e_finish; }

e2e_start_x
dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$E2E_DIR/bus" \
  >"$E2E_DIR/dbus.log" 2>&1 &
E2E_PIDS+=($!)
e2e_wait_for 10 test -s "$E2E_DIR/bus" || { echo "e2e: no session bus"; exit 1; }
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$E2E_DIR/bus")
# The program tells the accessibility bus what it shows; the bus is started before it, as a
# desktop session does.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
  >/dev/null || { echo "e2e: no accessibility bus"; exit 1; }
# A count far from midnight, the same in every row.
export FAKE_TIME="2026-06-01 12:00:00"

# What the window of this title shows, into $E2E_DIR/now.
texts() { /usr/bin/python3 "$here/accessible_texts.py" Yearmark "$1" >"$E2E_DIR/now" 2>/dev/null; }
shows() { texts "$1" && grep -qP -- "$2" "$E2E_DIR/now"; }
window_id() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1; }
window_up() { [ -n "$(window_id "$1")" ]; }
# Whether two dumps are the same but for their digits, which the running count and the clock
# change between runs.
same() { [ -s "$1" ] && [ -s "$2" ] && cmp -s <(tr '0-9' '#' <"$1") <(tr '0-9' '#' <"$2"); }

# The count, the settings dialog and the help of the program started now, into $1.{count,…}.
windows() {
  local out=$1 title
  e2e_launch "$exe" || return 1
  # The count, once the title shows a year.
  e2e_wait_for 10 shows 'Happy New Year' $'^label\t[^\t]*[0-9]{4}' || return 1
  cp "$E2E_DIR/now" "$out.count"
  e2e_key F2
  e2e_wait_for 10 window_up '^(Einstellungen|Settings)$' || return 1
  title=$(xdotool getwindowname "$(window_id '^(Einstellungen|Settings)$')")
  e2e_wait_for 10 shows "$title" $'^push button\t' || return 1
  { echo "window title: $title"; cat "$E2E_DIR/now"; } >"$out.dialog"
  # Closed by the window manager, as its close box would.
  xdotool windowactivate --sync "$(window_id "^$title\$")" key --clearmodifiers alt+F4
  e2e_wait_for 10 eval "! window_up '^$title\$'" || return 1
  e2e_key F1
  e2e_wait_for 15 window_up '^Yearmark (Hilfe|Help)$' || return 1
  title=$(xdotool getwindowname "$(window_id '^Yearmark (Hilfe|Help)$')")
  e2e_wait_for 10 shows "$title" $'^page tab\t' || return 1
  { echo "window title: $title"; cat "$E2E_DIR/now"; } >"$out.help"
}

# Everything one LANG shows, into $E2E_DIR/<name>.{count,dialog,help,check,usage}. The settings
# file is removed first: a first start. The regional forms are the same in every row.
run_row() {  # name, LANG
  local status
  rm -rf "$XDG_CONFIG_HOME/Vemoral"
  export LC_ALL= LANG=$2 LC_TIME=de_DE.UTF-8
  "$exe" --help >"$E2E_DIR/$1.usage" 2>&1
  "$exe" --check >"$E2E_DIR/$1.check" 2>&1
  windows "$E2E_DIR/$1"
  status=$?
  e2e_stop
  export LC_ALL=$E2E_LOCALE_DEFAULT LANG=$E2E_LOCALE_DEFAULT
  unset LC_TIME
  return $status
}

# The texts as written: the program without its English catalogue, in an English locale.
mv "$app/yearmark_en.qm" "$E2E_DIR/"
run_row written en_US.UTF-8 || e2e_fail "the program without its catalogue shows its windows"
mv "$E2E_DIR/yearmark_en.qm" "$app/"
e2e_check "without its catalogue the program is German (Aufruf:)" grep -q '^Aufruf: yearmark' "$E2E_DIR/written.usage"

# LANG | the language of its texts
rows="
de_DE.UTF-8|de
C|de
en_US.UTF-8|en
en_GB.UTF-8|en
fr_FR.UTF-8|en
"
first_english=
# The check counts on the real clock.
next=$(($(date +%Y) + 1))
while IFS='|' read -r lang language; do
  [ -n "$lang" ] || continue
  name=row-${lang%%.*}
  run_row "$name" "$lang" || e2e_fail "$lang: the program shows its count, dialog and help"
  out=$E2E_DIR/$name
  if [ "$language" = de ]; then
    for part in count dialog help check usage; do
      e2e_check "$lang: $part as written (German)" same "$out.$part" "$E2E_DIR/written.$part"
    done
  else
    e2e_check "$lang: the count of a first start in English" grep -qP \
      $'^label\tTime left until the year 2027:\\\\r\\\\n[0-9]+ day\\(s\\) [0-9]+ hour\\(s\\) [0-9]{2} minute\\(s\\) [0-9]{2} second\\(s\\)\t' "$out.count"
    e2e_check "$lang: the settings dialog's title is Settings" grep -qx 'window title: Settings' "$out.dialog"
    missing=$(for caption in 'Next New Year 2027' 'Date: ' 'Time:' 'Title:' 'Examples:' ' Text ' 'Font' \
      'Shadow' ' Picture align ' 'Top' 'Bottom' 'Left' 'Right' 'Full' 'OK' 'Cancel'; do
      grep -qP "^[^\t]*\t\Q$caption\E\t" "$out.dialog" || echo "\"$caption\""; done)
    e2e_check "$lang: its captions are English${missing:+ (missing: $missing)}" test -z "$missing"
    e2e_check "$lang: its examples are English" grep -qF '%Y - Next year\n%T - Days' "$out.dialog"
    e2e_check "$lang: its template is the English one" \
      grep -qF 'Time left until the year %Y:\n%T day(s) %H hour(s) %M minute(s) %S second(s)' "$out.dialog"
    e2e_check "$lang: the help window is the English help" grep -qx 'window title: Yearmark Help' "$out.help"
    e2e_check "$lang: with English tabs and pages" bash -c \
      "grep -qP '\tContents\t' '$out.help' && grep -qF 'Yearmark turns the whole screen' '$out.help'"
    e2e_check "$lang: --help in English" grep -q '^Usage: yearmark \[options\]' "$out.usage"
    e2e_check "$lang: --check in English" bash -c \
      "grep -q '^ok      Target: New Year 2027 (2027-01-01 00:00:00), ' '$out.check' &&
       grep -q '^ok      Help: .*/yearmark\.en\.chm, ' '$out.check' &&
       grep -qE '^(ok|warning|error) +Settings: ' '$out.check'"
    # Nothing German is left in what an English row shows.
    german=$(grep -hoE 'Einstellungen|Abbrechen|Schatten|Schrift|Beispiele|Hintergrundbild|Bildschirm|Tage|Inhalt|Aufruf|Optionen|Warnung|Fehler|Datei|Nullpunkt|Hilfe|[äöüß]' \
      "$out".{count,dialog,check,usage} | sort -u | tr '\n' ' ')
    e2e_check "$lang: no German words${german:+ (found: $german)}" \
      test -s "$out.dialog" -a -s "$out.check" -a -z "$german"
    if [ -z "$first_english" ]; then
      first_english=$name
    else
      for part in count dialog help check usage; do
        e2e_check "$lang: $part the same as ${first_english#row-}'s" \
          same "$out.$part" "$E2E_DIR/$first_english.$part"
      done
    fi
  fi
done <<<"$rows"

# Stored once, the template stays: a German start after an English first start keeps it.
export LC_ALL= LANG=de_DE.UTF-8
e2e_launch "$exe" &&
  e2e_check "a German start keeps the English template that an English first start stored" \
    e2e_wait_for 10 shows 'Happy New Year' $'^label\tTime left until the year 2027:'
e2e_stop

e2e_finish
