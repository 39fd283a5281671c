#!/usr/bin/env bash
# Real key events through SDL in a real window (Xvfb, openbox, xdotool):
# F2, Down and Return choose library entry 1 from the menu, which is our
# keyboard-echo program; F7 starts a VGM log, F4 switches to keyboard mode,
# the program sees Shift, the 102nd key and the Application key; F7 writes quav.vgm; F10 quits.
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
mkdir roms && cp "$QUAV_TEST_ROM_DIR/input_echo.bin" roms/sega_basic_lv3.sc

# A display number of our own.
display=""
for n in $(seq $((90 + RANDOM % 50)) 199); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { display=":$n"; break; }
done
[ -n "$display" ] || { echo "SKIP: no free X display number"; exit 77; }
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >xvfb.log 2>&1 & pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "SKIP: Xvfb did not start"; exit 77; }
openbox >openbox.log 2>&1 & pids+=($!)
sleep 0.5

SDL_AUDIODRIVER=dummy "$QUAV_BIN" --windowed --roms roms >quav.out 2>&1 & quav=$!
pids+=($quav)
window=$(timeout 10 xdotool search --sync --name QUAV | head -1)
[ -n "$window" ] || { echo "FAIL: no QUAV window"; cat quav.out; exit 1; }
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
sleep 1

press() { xdotool key --window "$window" --clearmodifiers "$1"; sleep "${2:-0.6}"; }
hold() { xdotool keydown "$1"; sleep 0.4; xdotool keyup "$1"; sleep 0.4; }
press F2
press Down
press Return 1.5
press F7
press F4
hold Shift_L
hold 94    # the 102nd key: X keycode 94 on a PC keyboard, whatever its symbol
hold Menu  # the Application key
press F7
press F10 0.2
for _ in $(seq 50); do kill -0 "$quav" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$quav" 2>/dev/null; then echo "FAIL: F10 did not end QUAV"; exit 1; fi
wait "$quav"; rc=$?
[ $rc -eq 0 ] || { echo "FAIL: QUAV exited $rc"; cat quav.out; exit 1; }
[ -s quav.vgm ] || { echo "SKIP: F7 wrote no quav.vgm (the sound logger has not landed)"; exit 77; }
$session reports quav.vgm >got.txt || exit 1
fail=0
grep -qx "6 FF F7" got.txt || { echo "FAIL: the program did not see Shift"; fail=1; }
grep -qx "3 DF FF" got.txt || { echo "FAIL: the program did not see the 102nd key"; fail=1; }
grep -qx "2 EF FF" got.txt || { echo "FAIL: the program did not see the Application key"; fail=1; }
[ $fail -eq 0 ] || cat got.txt
exit $fail
