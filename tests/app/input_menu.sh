#!/usr/bin/env bash
# Choosing a program from the menu: F2 opens it on the logo's entry, DOWN
# moves to entry 1, and the screenshot shows the five rows; RETURN closes
# the menu and loads entry 1, which (from a ROM directory) is our
# keyboard-echo program: its first report shows that it runs.
set -u
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
cd "$tmp" || exit 1
session="python3 $QUAV_SOURCE_DIR/tests/app/input_session.py"
mkdir roms && cp "$QUAV_TEST_ROM_DIR/input_echo.bin" roms/sega_basic_lv3.sc
fail=0

"$QUAV_BIN" --headless --roms roms --frames 45 --shot menu.bmp \
  --hold F2@12-13 --hold DOWN@30-31; rc=$?
[ -s menu.bmp ] || { echo "SKIP: no screenshot (display output has not landed)"; exit 77; }
[ $rc -eq 0 ] || { echo "FAIL: the run exited $rc"; exit 1; }
rows=("                " "   QUAV Logo!   " " SEGA Basic Lv3 " "   Borderline   " "  Congo Bongo   ")
backs=(dark dark light dark dark)
for k in 0 1 2 3 4; do
  $session text menu.bmp "$QUAV_SOURCE_DIR" 18 $((26 + 8 * k)) "${rows[$k]}" black "${backs[$k]}" \
    || { echo "FAIL: menu row $k"; fail=1; }
done

"$QUAV_BIN" --headless --roms roms --frames 80 --vgm log.vgm --shot after.bmp \
  --hold F2@12-13 --hold DOWN@30-31 --hold RETURN@50-51 || { echo "FAIL: the run exited $?"; exit 1; }
[ -s log.vgm ] || { echo "SKIP: no VGM log (the sound logger has not landed)"; exit 77; }
$session reports log.vgm >got.txt || exit 1
grep -qx "7 FF 3F" got.txt || { echo "FAIL: the chosen program did not run"; cat got.txt; fail=1; }
if $session text after.bmp "$QUAV_SOURCE_DIR" 18 42 " SEGA Basic Lv3 " black light >/dev/null; then
  echo "FAIL: the menu is still drawn after RETURN"; fail=1
fi
exit $fail
