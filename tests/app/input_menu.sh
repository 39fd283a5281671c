#!/usr/bin/env bash
# Choosing a program from the menu: F2 opens it on the logo's entry, DOWN
# (after the toggle's key delay of 20 frames)
# moves to entry 1, and the screenshot shows the five rows; RETURN closes
# the menu and loads entry 1, which (from a ROM directory) is our
# keyboard-echo program: its first report shows that it runs.
set -u
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
cd "$tmp" || exit 1
session="python3 $QUAV_SOURCE_DIR/tests/app/input_session.py"
mkdir roms && cp "$QUAV_TEST_ROM_DIR/input_echo.bin" roms/sega_basic_lv3.sc
fail=0

"$QUAV_BIN" --headless --roms roms --frames 55 --shot menu.bmp \
  --hold F2@12-13 --hold DOWN@40-41; rc=$?
[ -s menu.bmp ] || { echo "FAIL: no screenshot"; exit 1; }
[ $rc -eq 0 ] || { echo "FAIL: the run exited $rc"; exit 1; }
$session texts menu.bmp "$QUAV_SOURCE_DIR" <<'END' || { echo "FAIL: the menu's rows"; fail=1; }
18 26 black dark|                
18 34 black dark|   QUAV Logo!   
18 42 black light| SEGA Basic Lv3 
18 50 black dark|   Borderline   
18 58 black dark|  Congo Bongo   
END

"$QUAV_BIN" --headless --roms roms --frames 90 --vgm log.vgm --shot after.bmp \
  --hold F2@12-13 --hold DOWN@40-41 --hold RETURN@60-61 || { echo "FAIL: the run exited $?"; exit 1; }
[ -s log.vgm ] || { echo "FAIL: no VGM log"; exit 1; }
$session reports log.vgm >got.txt || exit 1
grep -qx "7 FF 3F" got.txt || { echo "FAIL: the chosen program did not run"; cat got.txt; fail=1; }
if $session texts after.bmp "$QUAV_SOURCE_DIR" <<<"18 42 black light| SEGA Basic Lv3 " >/dev/null; then
  echo "FAIL: the menu is still drawn after RETURN"; fail=1
fi
exit $fail
