#!/usr/bin/env bash
# A headless run is deterministic: the same arguments give byte-identical
# screenshots, VGM and WAV files, whatever the host's speed. Without
# --present-shot the frames are not presented; nothing else may change.
. "$QUAV_SOURCE_DIR/tests/support/script.sh"
run() {
  local name=$1; shift
  mkdir -p "$tmp/$name" && cd "$tmp/$name" || exit 1
  "$QUAV_BIN" --headless --frames 180 --shot shot.bmp --vgm log.vgm --wav audio.wav \
    --hold F5@20-21 --hold F1@40-41 "$@" || { echo "FAIL: run $name exited $?"; exit 1; }
}
run a --present-shot present.bmp
# The second run is slowed down by a competing process: the output must not change.
( while :; do :; done ) & pids+=($!)
run b --present-shot present.bmp
kill "${pids[@]}" && pids=()
run c
for f in shot.bmp present.bmp log.vgm audio.wav; do
  check "$f is written alike by two runs" '[ -s "$tmp/a/$f" ] && cmp -s "$tmp/a/$f" "$tmp/b/$f"'
done
for f in shot.bmp log.vgm audio.wav; do
  check "$f is the same without --present-shot" 'cmp -s "$tmp/a/$f" "$tmp/c/$f"'
done
check "present.bmp is not written without --present-shot" '[ ! -e "$tmp/c/present.bmp" ]'
exit $fail
