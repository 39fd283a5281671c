#!/usr/bin/env bash
# A headless run is deterministic: the same arguments give byte-identical
# screenshots, VGM and WAV files, whatever the host's speed.
set -u
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
run() {
  mkdir -p "$tmp/$1" && cd "$tmp/$1" || exit 1
  "$QUAV_BIN" --headless --frames 180 --shot shot.bmp --present-shot present.bmp \
    --vgm log.vgm --wav audio.wav --hold F5@20-21 --hold F1@40-41 || { echo "FAIL: run $1 exited $?"; exit 1; }
}
run a
# The second run is slowed down by a competing process: the output must not change.
( while :; do :; done ) & burner=$!
run b
kill "$burner"
fail=0
for f in shot.bmp present.bmp log.vgm audio.wav; do
  if [ ! -s "$tmp/a/$f" ]; then echo "FAIL: $f was not written"; fail=1; continue; fi
  cmp -s "$tmp/a/$f" "$tmp/b/$f" || { echo "FAIL: $f differs between two runs"; fail=1; }
done
exit $fail
