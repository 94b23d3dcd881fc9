#!/usr/bin/env bash
# The pre-show check of the real program, one row per situation: its exit status and the status
# word of the lines that tell about it. As root the unwritable settings folder is a read-only
# RAM disk, in a mount namespace of the test's own so that it vanishes with it.
if [ "$(id -u)" = 0 ] && [ -z "${E2E_OWN_MOUNTS:-}" ] && command -v unshare >/dev/null; then
  E2E_OWN_MOUNTS=1 exec unshare --mount --propagation private bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"

exe=$(e2e_install yearmark)
app=$(dirname "$exe")
folder="$XDG_CONFIG_HOME/Vemoral"
media="$E2E_DIR/media"
mkdir -p "$media" "$folder"
gst-launch-1.0 -q videotestsrc num-buffers=10 ! video/x-raw,width=64,height=48,framerate=10/1 \
  ! jpegenc ! avimux ! filesink location="$media/good.avi" || { echo "e2e: no clip"; exit 1; }
# Cut before its first frame: the headers are whole, no frame ever comes.
movi=$(grep -obUa movi "$media/good.avi" | head -n1 | cut -d: -f1)
head -c "$((movi + 10))" "$media/good.avi" >"$media/damaged.avi"
settings() { printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vemoral\\yearmark]\n"Stretch"=dword:00000001\n' >"$folder/yearmark.reg"; }

good() {
  cp "$media/good.avi" "$app/0.avi"
  e2e_picture "$app/0.jpg" red
  e2e_picture "$app/yearmark.jpg" blue
  cp "$(dirname "$E2E_BIN")/yearmark.chm" "$app/"
  settings
}
damaged_video() { good; cp "$media/damaged.avi" "$app/0.avi"; }
damaged_picture() { good; head -c 2000 /dev/urandom >"$app/0.jpg"; }
no_help() { good; rm "$app/yearmark.chm"; }
unwritable_settings() {
  good
  if [ "$(id -u)" = 0 ]; then
    mount -t tmpfs -o size=16k tmpfs "$folder" && settings && mount -o remount,ro "$folder"
  else
    chmod 555 "$folder"
  fi
}
restore() { umount "$folder" 2>/dev/null; chmod 755 "$folder"; rm -f "$app"/0.* "$app"/yearmark.jpg "$app"/yearmark.chm; }

# name | preparation | environment | status | item=status word, …
cases="
good set of files|good||0|Video zum Nullpunkt=ok,Bild zum Nullpunkt=ok,Hintergrundbild=ok,Hilfe=ok,Einstellungen=ok,Bildschirme=ok
damaged video|damaged_video||1|Video zum Nullpunkt=Fehler
picture that does not decode|damaged_picture||1|Bild zum Nullpunkt=Fehler
missing help file|no_help||0|Hilfe=Warnung
unwritable settings folder|unwritable_settings||1|Einstellungen=Fehler
no display|good|-u DISPLAY|0|Bildschirme=Warnung,Video zum Nullpunkt=ok
"
while IFS='|' read -r name prepare envs status checks; do
  [ -n "$name" ] || continue
  restore
  "$prepare" || { echo "skipped: $name (could not be prepared)"; continue; }
  # shellcheck disable=SC2086
  env $envs "$exe" --check >"$E2E_DIR/out" 2>"$E2E_DIR/err"
  got=$?
  e2e_check "$name: status $status (got $got)" test "$got" = "$status"
  IFS=, read -ra pairs <<<"$checks"
  for pair in "${pairs[@]}"; do
    e2e_check "$name: ${pair#*=} for ${pair%%=*}" \
      grep -q "^$(printf '%-7s' "${pair#*=}") ${pair%%=*}: " "$E2E_DIR/out"
  done
  [ "$got" = "$status" ] || cat "$E2E_DIR/out" "$E2E_DIR/err"
done <<<"$cases"
restore

e2e_finish
