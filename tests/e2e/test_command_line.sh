#!/usr/bin/env bash
# The command line of the real program, without any display: help and version print and end
# with 0, an unknown word is one line and 2, a display that cannot be reached is one line and 1
# (no abort, no core dump).
E2E_NO_X=1
source "$(dirname "$0")/lib.sh"
unset DISPLAY WAYLAND_DISPLAY
exe=$(e2e_install yearmark)

# name | arguments | environment | status | text on standard output | lines on standard error
cases="
help|--help||0|Aufruf: yearmark|0
short help|-h||0|--version|0
version|--version||0|yearmark 1.|0
unknown option|--rehearsal||2||1
stray word|now||2||1
no display at all|||1||1
a display that is not there|--|DISPLAY=:99|1||1
"
while IFS='|' read -r name args envs status out errlines; do
  [ -n "$name" ] || continue
  [ "$args" = -- ] && args=
  # shellcheck disable=SC2086
  env $envs "$exe" $args >"$E2E_DIR/out" 2>"$E2E_DIR/err"
  got=$?
  e2e_check "$name: status $status (got $got)" test "$got" = "$status"
  [ -z "$out" ] || e2e_check "$name: prints \"$out\"" grep -qF -- "$out" "$E2E_DIR/out"
  e2e_check "$name: $errlines line(s) on standard error" test "$(wc -l <"$E2E_DIR/err")" = "$errlines"
done <<<"$cases"

e2e_finish
