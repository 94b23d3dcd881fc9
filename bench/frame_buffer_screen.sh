# Sourced by the benchmarks that read what the X server shows: a scratch folder cleaned up on
# exit, a private Xvfb of the given size whose frame buffer lies in "$tmp/fb", and a copy of
# the program (with its media module) in "$tmp/app", so files beside it and its settings are
# the benchmark's own.
# Usage: bench_screen WIDTHxHEIGHT [FOLDER] (after `yearmark` is set); FOLDER (default "fb")
# under "$tmp" holds the frame buffer, so that several screens can run side by side.
tmp=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$tmp"; }
trap cleanup EXIT
export XDG_CONFIG_HOME="$tmp/config" LC_ALL=de_DE.UTF-8 LANGUAGE=
faketime_lib=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1

bench_screen() {
  local n=89 fb="$tmp/${2:-fb}" x
  mkdir -p "$fb" "$tmp/app"
  # Another run may take the same free number at the same moment: then our server ends at
  # once, and the next number is tried, rather than sharing (and later losing) theirs.
  while :; do
    n=$((n + 1))
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    [ "$n" -gt 300 ] && return 1
    Xvfb ":$n" -screen 0 "$1x24" -fbdir "$fb" -nolisten tcp >/dev/null 2>&1 &
    x=$!
    for _ in $(seq 100); do
      kill -0 "$x" 2>/dev/null || break
      DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && break
      sleep 0.05
    done
    kill -0 "$x" 2>/dev/null && break
  done
  pids+=("$x")
  export DISPLAY=":$n"
  cp "$yearmark" "$tmp/app/yearmark"
  # The media module the program loads from beside itself when a video is due.
  cp "$(dirname "$yearmark")/yearmark-media.so" "$tmp/app/"
}
