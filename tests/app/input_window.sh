#!/usr/bin/env bash
# Real key events through SDL in a real window (Xvfb, openbox, xdotool):
# F2, Down and Return choose an entry from the menu that holds our
# keyboard-echo program; F7 starts a VGM log, F4 switches to keyboard mode,
# the program sees Shift, the 102nd key and the Application key; F7 writes
# quav.vgm; F8 takes screenshots; F10 quits.
set -u
for tool in Xvfb xdotool openbox; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
tmp=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
cd "$tmp" || exit 1
session="python3 $QUAV_SOURCE_DIR/tests/app/input_session.py"
# Entries 1-4 all hold the echo program, so that a Down held long enough to
# repeat still lands on it; entry 0, the logo, does not echo.
mkdir roms
for slug in sega_basic_lv3 borderline congo_bongo exerion; do
  cp "$QUAV_TEST_ROM_DIR/input_echo.bin" "roms/$slug.sc"
done

# A display of our own: Xvfb picks a free number and tells it.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>display 2>xvfb.log & pids+=($!)
for _ in $(seq 100); do [ -s display ] && break; sleep 0.1; done
[ -s display ] || { echo "SKIP: Xvfb did not start"; exit 77; }
export DISPLAY=":$(head -n1 display)"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "SKIP: Xvfb does not answer"; exit 77; }
openbox >openbox.log 2>&1 & pids+=($!)
sleep 0.5

# Keys are held as a person holds them: the emulator reads which keys are
# down at each pass of its loop, so a tap shorter than a pass can be missed,
# and on a busy host, where the frame pacing catches up in bursts, a toggle's
# key delay of 10 frames may run out under a key held for a moment only. So
# each toggle is checked on a screenshot (F8, which toggles nothing) and
# pressed again until its message shows the state wanted.
press() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; sleep 0.4; }

# Takes a screenshot with F8 and prints its name: the first file that F8
# wrote, which shows the frame before F8's own message.
shoot() {
  local before shot
  before=$(ls quav_*.bmp 2>/dev/null | wc -l)
  shot=$(printf 'quav_%04d.bmp' "$before")
  for _ in 1 2 3; do
    press F8 0.05
    for _ in $(seq 30); do [ -s "$shot" ] && { sleep 0.2; echo "$shot"; return 0; }; sleep 0.1; done
  done
  return 1
}

# Presses KEY until a screenshot shows TEXT ("X Y FG BG|TEXT").
until_shows() {
  local shot
  for _ in 1 2 3 4; do
    press "$1" 0.05
    shot=$(shoot) || return 1
    $session texts "$shot" "$QUAV_SOURCE_DIR" <<<"$2" >/dev/null && return 0
  done
  return 1
}

# One session in directory $1; its result is left in $1/result.
session_in() {
  mkdir -p "$1" && cd "$1" || return
  # Under the leak checker, the X and GL driver libraries that SDL unloads at
  # exit leave reports without symbols to suppress them by; our own code's
  # leaks are checked by the headless runs.
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" SDL_AUDIODRIVER=dummy \
    "$QUAV_BIN" --windowed --roms ../roms >quav.out 2>&1 & quav=$!
  pids+=($quav)
  window=""
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^QUAV$' 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.1
  done
  if [ -z "$window" ]; then echo "no QUAV window: $(cat quav.out)" >result; kill "$quav"; cd ..; return; fi
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
  sleep 4  # past the logo time, whose end loads entry 12 (absent here)
  : >result
  until_shows F2 "18 42 black light|   QUAV Logo!   " || echo "F2 did not open the menu" >>result
  press Down 0.05
  press Return 0.05
  until_shows F7 "18 208 black light|VGM logging ON!" || echo "F7 did not start the log" >>result
  until_shows F4 "18 208 black light|Keyboard Mode" || echo "F4 did not give keyboard mode" >>result
  press Shift_L 0.6
  press 94 0.6    # the 102nd key: X keycode 94 on a PC keyboard, whatever its symbol
  press Menu 0.6  # the Application key
  press F7 0.05
  sleep 0.5
  [ -s quav.vgm ] && cp quav.vgm keys.vgm  # before a second toggle could start a new log
  press F10 0.05
  for _ in $(seq 50); do kill -0 "$quav" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$quav" 2>/dev/null; then echo "F10 did not end QUAV" >>result; kill "$quav"; cd ..; return; fi
  wait "$quav"; rc=$?
  if [ $rc -ne 0 ]; then echo "QUAV exited $rc: $(cat quav.out)" >>result; cd ..; return; fi
  if [ ! -s keys.vgm ]; then echo "F7 wrote no quav.vgm" >>result; cd ..; return; fi
  $session reports keys.vgm >got.txt
  grep -qx "6 FF F7" got.txt || echo "the program did not see Shift" >>result
  grep -qx "3 DF FF" got.txt || echo "the program did not see the 102nd key" >>result
  grep -qx "2 EF FF" got.txt || echo "the program did not see the Application key" >>result
  cd ..
}

for attempt in 1 2 3; do
  session_in "attempt$attempt"
  if [ ! -s "attempt$attempt/result" ]; then
    [ $attempt -gt 1 ] && echo "passed at attempt $attempt"
    exit 0
  fi
  sed "s/^/attempt $attempt: /" "attempt$attempt/result"
done
echo "FAIL: real key events did not reach QUAV in three sessions"
exit 1
