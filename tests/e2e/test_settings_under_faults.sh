#!/usr/bin/env bash
# The settings file of the real program under faults. Killed at random moments while it saves
# at exit, it leaves the file as it was or as the save meant it, never in between; a full disk
# and a read-only settings folder give the save error box at exit and keep the old file whole.
# As root the test runs in a mount namespace of its own, so that its RAM disks vanish with it.
if [ "$(id -u)" = 0 ] && [ -z "${E2E_OWN_MOUNTS:-}" ] && command -v unshare >/dev/null; then
  E2E_OWN_MOUNTS=1 exec unshare --mount --propagation private bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"

exe=$(e2e_install yearmark)
folder="$XDG_CONFIG_HOME/Vemoral"
settings="$folder/yearmark.reg"
error_box() { xdotool search --onlyvisible --name '^Yearmark$' >/dev/null; }

# A file in the older format: every save rewrites all of it in the newer one, so the file
# before a save and the file after it differ in every line.
old="$E2E_DIR/old.reg"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Vemoral\\yearmark]\n"Stretch"=dword:00000001\n' >"$old"
mkdir -p "$folder"
cp "$old" "$settings"
e2e_launch "$exe" || e2e_fail "first start"
e2e_stop
new="$E2E_DIR/new.reg"
cp "$settings" "$new"
e2e_check "a save rewrites the older format" test "$(head -c 8 "$new")" != REGEDIT4

for run in 1 2 3 4 5 6; do
  cp "$old" "$settings"
  e2e_launch "$exe" || { e2e_fail "start (kill $run)"; continue; }
  kill -TERM "$E2E_APP_PID"
  # The moment of the kill, somewhere in the save that SIGTERM starts.
  sleep "0.0$((RANDOM % 40))"
  kill -KILL "$E2E_APP_PID" 2>/dev/null
  e2e_wait_exit 10
  if cmp -s "$settings" "$old" || cmp -s "$settings" "$new"; then
    e2e_pass "kill $run during the save leaves the old or the new file whole"
  else
    e2e_fail "kill $run during the save left another file"
  fi
done

# A template set in the dialog is kept from OK on, whatever ends the program later; and a copy
# on another screen that shares the file and changed nothing does not undo it when it ends.
stored_template() { grep -q "^\"Label\"=\"$1\"" "$settings"; }
set_template() {  # the template through F2 and OK in the window E2E_WIN
  e2e_key F2
  e2e_wait_for 5 xdotool search --onlyvisible --name '^Einstellungen$' || return 1
  read -r dx dy < <(e2e_client_origin "$(xdotool search --onlyvisible --name '^Einstellungen$' | head -n1)")
  xdotool mousemove $((dx + 100)) $((dy + 120)) click 1
  xdotool key ctrl+a
  xdotool type --delay 20 "$1"
  xdotool mousemove $((dx + 236)) $((dy + 297)) click 1  # "OK"
  e2e_wait_for 5 bash -c "! xdotool search --onlyvisible --name '^Einstellungen\$'"
}
saved_after() {  # name, then how the program ends
  local name=$1; shift
  cp "$new" "$settings"
  e2e_launch "$exe" || { e2e_fail "start ($name)"; return; }
  set_template "Gesichert" || e2e_fail "$name: the dialog"
  "$@"
  e2e_wait_exit 10
  e2e_check "$name: the template set with OK is in the file" stored_template Gesichert
}
kill_program() { kill -KILL "$E2E_APP_PID"; }
kill_display() { kill -KILL "${E2E_PIDS[0]}"; }
saved_after "killed after OK" kill_program
saved_after "X server gone after OK" kill_display
e2e_start_x

cp "$new" "$settings"
if e2e_launch "$exe"; then
  other=$E2E_APP_PID
  e2e_launch "$exe"
  e2e_wait_for 10 xdotool search --all --pid "$E2E_APP_PID" --onlyvisible --name '^Happy New Year$'
  E2E_WIN=$(xdotool search --all --pid "$E2E_APP_PID" --onlyvisible --name '^Happy New Year$' | head -n1)
  set_template "Zweiter Schirm" || e2e_fail "two copies: the dialog"
  kill -TERM "$other"
  wait "$other"
  e2e_check "two copies: the one that changed nothing keeps the other's template" \
    stored_template "Zweiter Schirm"
  e2e_stop
  e2e_check "two copies: the one that changed it keeps it at its own end" stored_template "Zweiter Schirm"
else
  e2e_fail "two copies: start"
fi

# Faults of the place the file is in need a file system of their own: a small RAM disk.
fault_case() {  # name, then the commands that break the mounted folder
  local name=$1; shift
  if ! mount -t tmpfs -o size=16k tmpfs "$folder" 2>/dev/null; then
    echo "skipped: $name (mounting a RAM disk needs root)"
    return
  fi
  cp "$new" "$settings"
  "$@"
  e2e_launch "$exe" || { e2e_fail "start ($name)"; umount "$folder"; return; }
  e2e_key alt+F4
  if e2e_wait_for 10 error_box; then e2e_pass "$name: the save error box"; else e2e_fail "$name: no error box"; fi
  xdotool windowactivate --sync "$(xdotool search --onlyvisible --name '^Yearmark$' | head -n1)" 2>/dev/null
  xdotool key Return
  e2e_wait_exit 10
  e2e_check "$name: the program ends after the box" test "$E2E_STATUS" = 0
  e2e_check "$name: the old file is kept whole" cmp -s "$settings" "$new"
  umount "$folder"
}
fill_disk() { dd if=/dev/zero of="$folder/filler" bs=4k 2>/dev/null; true; }
read_only() { mount -o remount,ro "$folder"; }
fault_case "full disk" fill_disk
fault_case "read-only settings folder" read_only

e2e_finish
