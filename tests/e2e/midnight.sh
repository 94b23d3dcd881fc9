# The last seconds before midnight as the screen shows them, for the table of conditions
# (test_midnight_on_time.sh) and its benchmark (bench/bench_midnight.sh). Sourced after lib.sh
# started with E2E_FRAME_BUFFER=1; frame_watch and slow_storage.so lie beside the program.
#
# midnight_run [VAR=VALUE...] starts the program with its clock a whole number of seconds ahead
# of the real one, so that the program's seconds begin with the real ones, MIDNIGHT_LEAD
# seconds before its midnight, and watches the lower part of the screen (where the title is)
# every millisecond until MIDNIGHT_AFTER seconds after it. The variables are given to the
# program; MIDNIGHT_ACTION (a function) runs nine seconds before midnight. Then SIGTERM ends
# the program. It leaves:
#   MIDNIGHT_FLIPS   the milliseconds from each of the last MIDNIGHT_SECONDS true seconds before
#                    midnight to the first change of the screen from 50 ms before it to
#                    950 ms after ("-" for none);
#                    negative when the change came before the second, "12.3(black)" when it
#                    showed something else than the title
#   MIDNIGHT_ZERO    the milliseconds from midnight to the first look without the title, with
#                    what it showed ("12.3 black"), or "-"
#   midnight_first COLOUR   prints the milliseconds from midnight to the first look at COLOUR
#   MIDNIGHT_STATUS  the exit status after SIGTERM; MIDNIGHT_SAVED yes when the settings file
#                    exists after it and, if there was one before, has the same content.

midnight_tools=$(dirname "$E2E_BIN")
midnight_exe=$(e2e_install yearmark)
midnight_dir=$(dirname "$midnight_exe")
midnight_settings="$XDG_CONFIG_HOME/Vemoral/yearmark.reg"
MIDNIGHT_LEAD=${MIDNIGHT_LEAD:-12}
MIDNIGHT_AFTER=${MIDNIGHT_AFTER:-1.5}
MIDNIGHT_SECONDS=${MIDNIGHT_SECONDS:-7}
MIDNIGHT_COLOURS=${MIDNIGHT_COLOURS:-}
# The program's midnight, in seconds since 1970 of its own clock.
midnight_target=$(date -d "2027-01-01 00:00:00" +%s)
# Where the title is: the lower part of the screen, below where the help window is put.
midnight_area="0 $((E2E_HEIGHT * 45 / 100)) $E2E_WIDTH $((E2E_HEIGHT - E2E_HEIGHT * 45 / 100))"

# A motion-JPEG clip of one colour (0xAARRGGBB): file, colour, frames[, audio]. With "audio"
# it also has a sound track.
midnight_clip() {
  local video="videotestsrc num-buffers=$3 pattern=solid-color foreground-color=$2
    ! video/x-raw,width=320,height=240,framerate=25/1 ! jpegenc ! avimux name=mux ! filesink location=$1"
  if [ "${4:-}" = audio ]; then
    gst-launch-1.0 -q $video audiotestsrc num-buffers=$(($3 * 2)) samplesperbuffer=882 \
      ! audio/x-raw,format=S16LE,rate=44100,channels=2 ! mux.
  else
    gst-launch-1.0 -q $video
  fi
}

# A clip whose index is lost and whose first frame lies behind COUNT small chunks.
midnight_unindexed_clip() {  # file, colour, count
  midnight_clip "$1.tmp" "$2" 25 && python3 "$midnight_here/unindexed_avi.py" "$1.tmp" "$1" "$3"
  rm -f "$1.tmp"
}

# A progressive JPEG of noise, WIDTHxHEIGHT, with the given number of scans.
midnight_jpeg_bomb() {  # file, size, scans
  convert -size "$2" xc: +noise Random -depth 8 "$1.ppm" &&
    python3 "$midnight_here/progressive_bomb.py" "$1.ppm" "$1" "$3"
  rm -f "$1.ppm"
}

midnight_run() {
  local names=() a z ms watch
  for a in "$@"; do names+=("${a%%=*}"); export "${a?}"; done
  [ -f "$midnight_settings" ] && cp "$midnight_settings" "$E2E_DIR/settings.before" || rm -f "$E2E_DIR/settings.before"
  z=$(( $(date +%s) + MIDNIGHT_LEAD ))
  MIDNIGHT_FLIPS=- MIDNIGHT_ZERO=- MIDNIGHT_STATUS=- MIDNIGHT_SAVED=no
  : >"$E2E_DIR/changes"
  E2E_FAKETIME="+$((midnight_target - z))" E2E_WORKDIR="$midnight_dir" e2e_launch "$midnight_exe"
  local launched=$?
  for a in "${names[@]}"; do unset "$a"; done
  [ "$launched" = 0 ] || return 1
  ms=$(LC_ALL=C awk -v z="$z" -v after="$MIDNIGHT_AFTER" -v n="$(date +%s.%N)" 'BEGIN { printf "%d", (z + after - n) * 1000 }')
  # shellcheck disable=SC2086
  "$midnight_tools/frame_watch" "$E2E_DIR/Xvfb_screen0" "$ms" changes $midnight_area $MIDNIGHT_COLOURS \
    >"$E2E_DIR/changes" &
  watch=$!
  if [ -n "${MIDNIGHT_ACTION:-}" ]; then
    sleep "$(LC_ALL=C awk -v z="$z" -v n="$(date +%s.%N)" 'BEGIN { d = z - 9 - n; printf "%.3f", (d > 0 ? d : 0) }')"
    "$MIDNIGHT_ACTION"
  fi
  wait "$watch"
  midnight_z=$z
  MIDNIGHT_FLIPS=$(LC_ALL=C awk -v z="$z" -v k="$MIDNIGHT_SECONDS" '
    { t[NR] = $1; what[NR] = $2 }
    END { for (s = z - k; s < z; s++) {
            ms = "-"
            for (i = 1; i <= NR; i++) if (t[i] >= s - 0.05 && t[i] < s + 0.95) {
              ms = sprintf("%.1f%s", (t[i] - s) * 1000, what[i] == "title" ? "" : "(" what[i] ")"); break }
            printf "%s%s", (s > z - k ? " " : ""), ms } }' "$E2E_DIR/changes")
  # The first look without the title since the last seconds began; negative if it came early.
  MIDNIGHT_ZERO=$(LC_ALL=C awk -v z="$z" -v k="$MIDNIGHT_SECONDS" \
    '$1 >= z - k - 0.5 && $2 != "title" { printf "%.1f %s", ($1 - z) * 1000, $2; exit }' "$E2E_DIR/changes")
  MIDNIGHT_ZERO=${MIDNIGHT_ZERO:--}
  rm -f "$midnight_settings"
  kill -TERM "$E2E_APP_PID" 2>/dev/null
  e2e_wait_exit 10 || { kill -9 "$E2E_APP_PID" 2>/dev/null; E2E_APP_PID=; }
  MIDNIGHT_STATUS=$E2E_STATUS
  if [ -s "$midnight_settings" ] && { [ ! -f "$E2E_DIR/settings.before" ] || cmp -s "$E2E_DIR/settings.before" "$midnight_settings"; }; then
    MIDNIGHT_SAVED=yes
  fi
  return 0
}

midnight_first() {  # colour → milliseconds from midnight to the first look at it, or "-"
  LC_ALL=C awk -v z="$midnight_z" -v k="$MIDNIGHT_SECONDS" -v c="$1" '$1 >= z - k - 0.5 && $2 == c { printf "%.1f", ($1 - z) * 1000; f = 1; exit }
    END { if (!f) print "-" }' "$E2E_DIR/changes"
}

# --- the conditions: each puts its files beside the program and leaves in midnight_env what
# the program's environment needs, in MIDNIGHT_ACTION what to do before the last seconds ---

midnight_cases="ready_clip clip_without_index clip_on_stalling_storage stalling_data_folder
  fresh_media_registry silent_sound_server progressive_jpeg_bomb help_on_stalling_storage
  help_with_nested_tables"
midnight_env=()
midnight_slow="$midnight_tools/slow_storage.so"
midnight_here=$(dirname "${BASH_SOURCE[0]}")

midnight_clear() {
  rm -rf "$midnight_dir"/0.* "$midnight_dir"/yearmark.chm
  midnight_env=() MIDNIGHT_ACTION=
}

ready_clip() { midnight_clip "$midnight_dir/0.avi" 0xffff00ff 25; }
clip_without_index() {  # the demuxer walks six million chunks (60 MB) before the first frame
  midnight_unindexed_clip "$midnight_dir/0.avi" 0xffff00ff 6000000
}
clip_on_stalling_storage() {
  midnight_clip "$midnight_dir/0.avi" 0xffff00ff 25 &&
    midnight_env=(E2E_PRELOAD="$midnight_slow" SLOW_STORAGE_PATTERN="*/0.avi" SLOW_STORAGE_SECONDS=3)
}
stalling_data_folder() {
  midnight_env=(E2E_PRELOAD="$midnight_slow" SLOW_STORAGE_PATTERN="$midnight_dir*" SLOW_STORAGE_SECONDS=0.5)
}
fresh_media_registry() {
  midnight_clip "$midnight_dir/0.avi" 0xffff00ff 25 && midnight_env=(GST_REGISTRY="$E2E_DIR/registry-$RANDOM.bin")
}
silent_sound_server() {
  midnight_clip "$midnight_dir/0.avi" 0xffff00ff 25 audio || return
  rm -f "$E2E_DIR/pulse.sock"
  python3 "$midnight_here/silent_sound_server.py" "$E2E_DIR/pulse.sock" &
  E2E_PIDS+=($!)
  e2e_wait_for 5 test -S "$E2E_DIR/pulse.sock" && midnight_env=(PULSE_SERVER="unix:$E2E_DIR/pulse.sock")
}
progressive_jpeg_bomb() { midnight_jpeg_bomb "$midnight_dir/0.jpg" 4000x2500 956; }
press_f1() { e2e_key F1; }
help_on_stalling_storage() {
  cp "$midnight_tools/yearmark.chm" "$midnight_dir/" || return
  midnight_env=(E2E_PRELOAD="$midnight_slow" SLOW_STORAGE_PATTERN="*/yearmark.chm" SLOW_STORAGE_SECONDS=3)
  MIDNIGHT_ACTION=press_f1
}
help_with_nested_tables() {  # a page of tables in tables, compiled here
  local d="$E2E_DIR/help"
  rm -rf "$d" && mkdir -p "$d"
  python3 - "$d" "${MIDNIGHT_TABLE_DEPTH:-17}" <<'PY'
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
  (cd "$d" && chmcmd --no-html-scan --verbosity 0 yearmark.hhp >/dev/null 2>&1) && cp "$d/yearmark.chm" "$midnight_dir/" &&
    MIDNIGHT_ACTION=press_f1
}
