#!/usr/bin/env bash
# A person's keys reach a program: F4 switches to keyboard mode, then letters,
# both Shifts, the 102nd key and an arrow reach our keyboard-echo program on
# their matrix lines; F4 again, and Left with S move joystick 1. Q held in
# joystick mode reaches nothing. The program reports each change of a row
# through the sound chip, which the VGM log records.
set -u
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
cd "$tmp" || exit 1
session="python3 $QUAV_SOURCE_DIR/tests/app/input_session.py"

"$QUAV_BIN" --headless --frames 110 --vgm log.vgm \
  --hold Q@2-4 --hold F4@12-13 --hold A@20-30 --hold S@40-45 --hold LSHIFT@50-53 \
  --hold RSHIFT@52-55 --hold OEM_102@60-65 --hold LEFT@70-75 --hold F4@80-81 \
  --hold LEFT@90-95 --hold S@90-95 "$QUAV_TEST_ROM_DIR/input_echo.bin" \
  || { echo "FAIL: the run exited $?"; exit 1; }
[ -s log.vgm ] || { echo "SKIP: no VGM log (the sound logger has not landed)"; exit 77; }
$session reports log.vgm >got.txt || exit 1
[ -s got.txt ] || { echo "SKIP: the echo program reported nothing (no Z80 core yet)"; exit 77; }

cat >want.txt <<'END'
7 FF 3F
0 FB FF
0 FF FF
1 FB FF
1 FF FF
6 FF F7
6 FF FF
3 DF FF
3 FF FF
5 DF FF
5 FF FF
7 DB 3F
7 FF 3F
END
if ! diff -u want.txt got.txt; then
  echo "FAIL: the echo program saw other keys than were held"
  exit 1
fi
