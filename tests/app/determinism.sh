#!/usr/bin/env bash
# A headless run is deterministic: the same arguments give byte-identical
# screenshots, VGM and WAV files, whatever the host's speed. Without
# --present-shot the frames are not presented; nothing else may change.
set -u
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
run() {
  local name=$1; shift
  mkdir -p "$tmp/$name" && cd "$tmp/$name" || exit 1
  "$QUAV_BIN" --headless --frames 180 --shot shot.bmp --vgm log.vgm --wav audio.wav \
    --hold F5@20-21 --hold F1@40-41 "$@" || { echo "FAIL: run $name exited $?"; exit 1; }
}
run a --present-shot present.bmp
# The second run is slowed down by a competing process: the output must not change.
( while :; do :; done ) & burner=$!
run b --present-shot present.bmp
kill "$burner"
run c
fail=0
for f in shot.bmp present.bmp log.vgm audio.wav; do
  if [ ! -s "$tmp/a/$f" ]; then echo "FAIL: $f was not written"; fail=1; continue; fi
  cmp -s "$tmp/a/$f" "$tmp/b/$f" || { echo "FAIL: $f differs between two runs"; fail=1; }
done
for f in shot.bmp log.vgm audio.wav; do
  cmp -s "$tmp/a/$f" "$tmp/c/$f" || { echo "FAIL: $f differs without --present-shot"; fail=1; }
done
[ ! -e "$tmp/c/present.bmp" ] || { echo "FAIL: present.bmp written without --present-shot"; fail=1; }
exit $fail
