#!/usr/bin/env bash
# Key recordings in a real window (Xvfb, openbox, xdotool): a replay file's F8
# saves a screenshot and its F10 ends QUAV with no key pressed on the host;
# --record writes the F10 that a person presses, then QUAV ends.
set -u
for tool in Xvfb xdotool openbox; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
tmp=$(mktemp -d); pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$tmp"' EXIT
cd "$tmp" || exit 1
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>display 2>xvfb.log & pids+=($!)
for _ in $(seq 100); do [ -s display ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 display)"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "SKIP: Xvfb did not start"; exit 77; }
openbox >openbox.log 2>&1 & pids+=($!)
# A window that opens while the window manager is still starting may never be
# mapped: wait until openbox has announced itself.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
  sleep 0.1
done
sleep 0.5

quav() {  # starts QUAV in the window with the given options; its pid in $quav
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" SDL_AUDIODRIVER=dummy \
    "$QUAV_BIN" --windowed "$@" >quav.out 2>&1 & quav=$!
  pids+=($quav)
}
ended() {  # waits up to $1 seconds for QUAV to end by itself; 0 when it ended with status 0
  for _ in $(seq $(($1 * 10))); do kill -0 $quav 2>/dev/null || break; sleep 0.1; done
  kill -0 $quav 2>/dev/null && { kill $quav; wait $quav; return 1; }
  wait $quav
}

printf '20 F8 down\n21 F8 up\n40 F10 down\n' >play.txt
for attempt in 1 2 3; do
  rm -f quav_*.bmp
  quav --replay play.txt
  ended 30 && rc=0 && break
  rc=1
  echo "attempt $attempt: QUAV did not end: $(cat quav.out)"
done
check "the replay's F10 ends QUAV with status 0" '[ $rc -eq 0 ] || { cat quav.out; false; }'
check "the replay's F8 saved a screenshot" '[ "$(stat -c %s quav_0000.bmp 2>/dev/null)" = 186680 ]'

for attempt in 1 2 3; do
  rm -f rec.txt
  quav --record rec.txt
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^QUAV$' 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.1
  done
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
  sleep 1
  xdotool keydown F10; sleep 0.2; xdotool keyup F10
  ended 10 && grep -Eq "^[0-9]+ F10 down$" rec.txt && break
  echo "attempt $attempt: $(cat quav.out; cat rec.txt 2>/dev/null)"
done
check "the recording holds the F10 that ended QUAV" 'grep -Eq "^[0-9]+ F10 down$" rec.txt'
exit $fail
