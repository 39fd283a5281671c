#!/usr/bin/env bash
# What the message block shows in screenshots: F8 writes quav_0000.bmp with
# "Screenshot saved!" at the bottom of the picture; F1 shows the help box;
# the about page is on screen at start.
set -u
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
cd "$tmp" || exit 1
session="python3 $QUAV_SOURCE_DIR/tests/app/input_session.py"
fail=0

"$QUAV_BIN" --headless --frames 30 --hold F8@20-21 || { echo "FAIL: the run exited $?"; exit 1; }
[ -s quav_0000.bmp ] || { echo "SKIP: no screenshot (display output has not landed)"; exit 77; }
[ "$(ls quav_*.bmp)" = quav_0000.bmp ] || { echo "FAIL: F8 wrote $(ls quav_*.bmp)"; fail=1; }
$session text quav_0000.bmp "$QUAV_SOURCE_DIR" 18 208 "Screenshot saved!" \
  || { echo "FAIL: the message block"; fail=1; }

"$QUAV_BIN" --headless --frames 30 --shot help.bmp --hold F1@20-21 || { echo "FAIL: the run exited $?"; exit 1; }
help=("F1  HELP        F2 MENU      F3 HARD RESET" "F4  JOY/KEYB    F5 BLITMODE  F6 SPR LIMIT "
      "F7  VGM ON/OFF  F8 SCRNSHOT  F9 RES SWITCH" "F10 QUIT        F11 VID/SYS  F12 ABOUT    "
      "INS SW RESET    ESC MENU OFF              ")
for i in 0 1 2 3 4; do
  $session text help.bmp "$QUAV_SOURCE_DIR" 18 $((176 + 8 * i)) "${help[$i]}" \
    || { echo "FAIL: help line $i"; fail=1; }
done

"$QUAV_BIN" --headless --frames 10 --shot about.bmp || { echo "FAIL: the run exited $?"; exit 1; }
blank="                                          "
for i in 0 2 4 6; do
  $session text about.bmp "$QUAV_SOURCE_DIR" 18 $((160 + 8 * i)) "$blank" \
    || { echo "FAIL: about line $i"; fail=1; }
done
$session text about.bmp "$QUAV_SOURCE_DIR" 18 200 "    press F1 for HELP and F2 for MENU     " \
  || { echo "FAIL: about line 5"; fail=1; }
exit $fail
