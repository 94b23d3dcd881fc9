#!/usr/bin/env bash
# Midnight on time whatever the machine is doing: one row per hard condition (slow or stalling
# files, a cold media library, a sound server that never answers, a picture that takes long to
# decode, help that stalls or takes long to lay out). In each row the title changes within
# MIDNIGHT_TOLERANCE_MS after each of the last seven true seconds and never before, is gone
# as soon after midnight, and SIGTERM then ends the program with status 0 and its settings
# saved unchanged.
here=$(cd "$(dirname "$0")" && pwd)
E2E_FRAME_BUFFER=1 E2E_OPENBOX_RC="$here/openbox_help_aside.xml"
source "$here/lib.sh"
source "$here/midnight.sh"
tolerance=${MIDNIGHT_TOLERANCE_MS:-50}
slow="$midnight_tools/slow_storage.so"
[ -f "$slow" ] && [ -x "$midnight_tools/frame_watch" ] || { e2e_fail "slow_storage.so and frame_watch beside the program"; e2e_finish; }

on_time() {  # milliseconds... → all within [0, tolerance]
  local ms
  for ms in "$@"; do
    LC_ALL=C awk -v m="$ms" -v t="$tolerance" 'BEGIN { exit !(m != "-" && m >= 0 && m <= t) }' || return 1
  done
}
gone_on_time() {  # "12.3 black": not the title any more, on time
  [ "${2:-title}" != title ] && on_time "$1"
}

# The same checks for every row, after its set-up (given as a function and arguments).
row() {
  local name=$1; shift
  echo "-- $name"
  rm -rf "$midnight_dir"/0.* "$midnight_dir"/yearmark.chm
  "$@" || { e2e_fail "$name: set-up"; return; }
  midnight_run "${row_env[@]}" || { e2e_fail "$name: the program started"; return; }
  # shellcheck disable=SC2086
  e2e_check "$name: each of the last seconds flips on time ($MIDNIGHT_FLIPS ms)" on_time $MIDNIGHT_FLIPS
  # shellcheck disable=SC2086
  e2e_check "$name: the title is gone at midnight on time ($MIDNIGHT_ZERO ms)" gone_on_time $MIDNIGHT_ZERO
  e2e_check "$name: SIGTERM ends it with status 0 (got $MIDNIGHT_STATUS)" test "$MIDNIGHT_STATUS" = 0
  e2e_check "$name: the settings are saved and intact" test "$MIDNIGHT_SAVED" = yes
  row_env=() MIDNIGHT_ACTION=
}
row_env=()

# --- the conditions ---

ready_clip() { midnight_clip "$midnight_dir/0.avi" 0xffff00ff 25; }
clip_without_index() {  # the demuxer walks three million chunks before the first frame
  midnight_unindexed_clip "$midnight_dir/0.avi" 0xffff00ff 3000000
}
clip_on_stalling_storage() {
  midnight_clip "$midnight_dir/0.avi" 0xffff00ff 25 &&
    row_env=(E2E_PRELOAD="$slow" SLOW_STORAGE_PATTERN="*/0.avi" SLOW_STORAGE_SECONDS=3)
}
stalling_data_folder() {
  row_env=(E2E_PRELOAD="$slow" SLOW_STORAGE_PATTERN="$midnight_dir*" SLOW_STORAGE_SECONDS=0.5)
}
fresh_media_registry() {
  midnight_clip "$midnight_dir/0.avi" 0xffff00ff 25 && row_env=(GST_REGISTRY="$E2E_DIR/registry-$RANDOM.bin")
}
silent_sound_server() {
  midnight_clip "$midnight_dir/0.avi" 0xffff00ff 25 audio || return
  rm -f "$E2E_DIR/pulse.sock"
  python3 "$here/silent_sound_server.py" "$E2E_DIR/pulse.sock" &
  E2E_PIDS+=($!)
  e2e_wait_for 5 test -S "$E2E_DIR/pulse.sock" && row_env=(PULSE_SERVER="unix:$E2E_DIR/pulse.sock")
}
progressive_jpeg_bomb() { midnight_jpeg_bomb "$midnight_dir/0.jpg" 4000x2500 956; }
press_f1() { e2e_key F1; }
help_on_stalling_storage() {
  cp "$midnight_tools/yearmark.chm" "$midnight_dir/" || return
  row_env=(E2E_PRELOAD="$slow" SLOW_STORAGE_PATTERN="*/yearmark.chm" SLOW_STORAGE_SECONDS=3)
  MIDNIGHT_ACTION=press_f1
}
help_with_nested_tables() {  # a page of tables in tables, compiled here
  local d="$E2E_DIR/help"
  rm -rf "$d" && mkdir -p "$d"
  python3 - "$d" "${MIDNIGHT_TABLE_DEPTH:-40}" <<'PY'
import sys
d, depth = sys.argv[1], int(sys.argv[2])
def write(name, text):
    open(f"{d}/{name}", "w").write(text)
write("yearmark.hhp", "[OPTIONS]\nCompiled file=yearmark.chm\nContents file=inhalt.hhc\n"
      "Default topic=start.htm\nLanguage=0x407 Deutsch (Deutschland)\nTitle=Yearmark Hilfe\n"
      "\n[FILES]\nstart.htm\n")
write("inhalt.hhc", '<HTML><BODY><UL><LI><OBJECT type="text/sitemap">'
      '<param name="Name" value="Start"><param name="Local" value="start.htm"></OBJECT></UL>'
      "</BODY></HTML>\n")
cell = "<table border=1><tr><td>a</td><td>"
write("start.htm", "<HTML><BODY>" + cell * depth + "b" + "</td></tr></table>" * depth + "</BODY></HTML>\n")
PY
  (cd "$d" && chmcmd --no-html-scan --verbosity 0 yearmark.hhp >/dev/null) && cp "$d/yearmark.chm" "$midnight_dir/" &&
    MIDNIGHT_ACTION=press_f1
}

for r in ${MIDNIGHT_ROWS:-ready_clip clip_without_index clip_on_stalling_storage stalling_data_folder \
  fresh_media_registry silent_sound_server progressive_jpeg_bomb help_on_stalling_storage \
  help_with_nested_tables}; do
  row "${r//_/ }" "$r"
done

e2e_finish
