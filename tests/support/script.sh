# Sourced by the end-to-end scripts: strict variables, a scratch working
# directory removed at exit with the background processes listed in `pids`,
# and `check NAME CONDITION`, which notes a failure and goes on (a script
# ends with `exit $fail`).
set -u
fail=0
pids=()
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
tmp=$(mktemp -d)
trap '[ ${#pids[@]} -eq 0 ] || { kill "${pids[@]}"; wait; } 2>/dev/null; rm -rf "$tmp"' EXIT
cd "$tmp" || exit 1
# needs FILE...: skips the script unless each test program was built.
needs() { for f; do [ -f "$f" ] || { echo "SKIP: $f was not built"; exit 77; }; done; }
# one_line FILE PATTERN: FILE holds exactly one line, and it matches PATTERN.
one_line() { [ "$(wc -l <"$1")" -eq 1 ] && grep -q -- "$2" "$1"; }
# border BMP: a screenshot's first pixel (the border) as hex BGR.
border() { python3 -c 'import sys; d = open(sys.argv[1], "rb").read(); o = d[10] | d[11] << 8
print(d[o:o + 3].hex())' "$1"; }

# x_session: an X server of its own choosing (Xvfb, 1024 x 768) with the
# openbox window manager running, or a skip. `quav_window ARGS` starts QUAV
# windowed (its pid in $quav, its output in quav.out), with SDL's audio
# driver $quav_audio (default dummy: no sound); `find_window` waits up
# to 10 s for its window (the id in $window); `ended SECONDS` is 0 when QUAV
# ended by itself with status 0 within that time, and stops it otherwise.
x_session() {
  for tool in Xvfb xdotool xprop openbox; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
  done
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>display 2>xvfb.log & pids+=($!)
  for _ in $(seq 100); do [ -s display ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 display)"
  for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
  xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "SKIP: Xvfb did not start"; exit 77; }
  openbox >openbox.log 2>&1 & pids+=($!)
  wm_ready
  sleep 0.5
}
# wm_ready: waits (up to 30 s on a busy host) until the window manager has
# announced itself on the root window; 1 if it never does. A window that
# opens while the window manager is still starting may never be mapped, or
# stays where it opened instead of going full-screen.
wm_ready() {
  for _ in $(seq 300); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return 0
    sleep 0.1
  done
  return 1
}
quav_window() {
  # The X and GL libraries that SDL unloads at exit leave leak reports without symbols.
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" SDL_AUDIODRIVER="${quav_audio:-dummy}" \
    "$QUAV_BIN" --windowed "$@" >quav.out 2>&1 & quav=$!
  pids+=($quav)
}
find_window() {
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^QUAV$' 2>/dev/null | head -1)
    [ -n "$window" ] && return 0
    sleep 0.1
  done
  return 1
}
ended() {
  for _ in $(seq $(($1 * 10))); do kill -0 $quav 2>/dev/null || break; sleep 0.1; done
  kill -0 $quav 2>/dev/null && { kill $quav; wait $quav; return 1; }
  wait $quav
}
