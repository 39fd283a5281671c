#!/usr/bin/env bash
# F7 twice writes "quav.vgm" holding what the sound chip received in between;
# INSERT held gives one NMI per frame; F10 ends the run through the shutdown,
# which finishes a running VGM log.
set -u
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
cd "$tmp" || exit 1
session="python3 $QUAV_SOURCE_DIR/tests/app/input_session.py"
echo_bin="$QUAV_TEST_ROM_DIR/input_echo.bin"
samples_per_frame=882
fail=0

mkdir f7 && cd f7 || exit 1
"$QUAV_BIN" --headless --frames 60 --hold F7@12-13 --hold LEFT@20-25 --hold F7@40-41 \
  --hold INSERT@30-35 "$echo_bin" || { echo "FAIL: the run exited $?"; exit 1; }
[ -s quav.vgm ] || { echo "SKIP: F7 wrote no quav.vgm (the sound logger has not landed)"; exit 77; }
$session reports quav.vgm >got.txt || exit 1
[ -s got.txt ] || { echo "SKIP: the echo program reported nothing (no Z80 core yet)"; exit 77; }
printf '7 FB 3F\n7 FF 3F\nnmi\nnmi\nnmi\nnmi\nnmi\n' >want.txt
diff -u want.txt got.txt || { echo "FAIL: the log between the two F7"; fail=1; }
samples=$($session samples quav.vgm)
[ "$samples" -eq $((28 * samples_per_frame)) ] || { echo "FAIL: $samples samples logged, not 28 frames"; fail=1; }
cd ..

mkdir f10 && cd f10 || exit 1
"$QUAV_BIN" --headless --frames 300 --hold F7@12-13 --hold F10@30-31 "$echo_bin"; rc=$?
[ $rc -eq 0 ] || { echo "FAIL: F10 exit status $rc"; fail=1; }
[ -s quav.vgm ] || { echo "FAIL: the shutdown did not write quav.vgm"; exit 1; }
samples=$($session samples quav.vgm)
# Logging ran from frame 12 through frame 30, in which F10 was read.
[ "$samples" -eq $((19 * samples_per_frame)) ] || { echo "FAIL: $samples samples: the run did not end at F10"; fail=1; }
exit $fail
