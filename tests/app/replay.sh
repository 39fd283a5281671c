#!/usr/bin/env bash
# --record writes the keys as the machine saw them, one line per change, and
# leaves the run's output as it was; --replay of that file (or of the same
# lines written by hand) gives the same screenshot, WAV and VGM bytes, which
# differ from a run without the keys (the WAV for a program that plays a
# tone). A replay file that is missing, a directory or damaged stops the run
# before its first frame: exit 1, one line naming the file, no output.
. "$QUAV_SOURCE_DIR/tests/support/script.sh"
echo_rom="$QUAV_TEST_ROM_DIR/input_echo.bin"
needs "$echo_rom"
run() {  # run NAME ARGS...: outputs NAME.bmp, NAME.wav, NAME.vgm
  local name=$1; shift
  "$QUAV_BIN" --headless --frames 200 /file "$echo_rom" --shot "$name.bmp" --wav "$name.wav" \
    --vgm "$name.vgm" "$@" >/dev/null 2>"$name.err"
}
same() { for x in bmp wav vgm; do cmp -s "$1.$x" "$2.$x" || return 1; done; }
keys=(--hold A@10-50 --hold LSHIFT@30-70 --hold F4@100-101 --hold UP@120-160 --hold F2@170-171)

run held "${keys[@]}"; rc_held=$?
run rec "${keys[@]}" --record keys.txt; rc=$?
check "the runs exit 0" '[ $rc_held -eq 0 ] && [ $rc -eq 0 ]'
check "recording leaves the output as it was" 'same held rec'
check "the recording holds each change" '[ "$(grep -v "^#" keys.txt)" = "$(printf "%s\n" \
  "10 A down" "30 LSHIFT down" "50 A up" "70 LSHIFT up" "100 F4 down" "101 F4 up" \
  "120 UP down" "160 UP up" "170 F2 down" "171 F2 up")" ]'
run play --replay keys.txt; rc=$?
check "the replay exits 0" '[ $rc -eq 0 ] && [ ! -s play.err ]'
check "the replay repeats the recorded run byte for byte" 'same rec play'
{ printf '# by hand\r\n\r\n'; sed 's/$/\r/' keys.txt; } >hand.txt
run hand --replay hand.txt
check "comments, blank lines and CRLF lines replay the same" 'same rec hand'
run none
check "the screenshot and the VGM log differ without the keys" '! cmp -s rec.bmp none.bmp && ! cmp -s rec.vgm none.vgm'

# A hard reset (F3) interrupts a steady tone: the replay has it in the same sample.
tone=(--headless --frames 100 "$QUAV_TEST_ROM_DIR/sound_tone.bin")
"$QUAV_BIN" "${tone[@]}" --wav tone_rec.wav --hold F3@50-51 --record tone.txt 2>/dev/null &&
  "$QUAV_BIN" "${tone[@]}" --wav tone_play.wav --replay tone.txt 2>/dev/null &&
  "$QUAV_BIN" "${tone[@]}" --wav tone_none.wav 2>/dev/null; rc=$?
check "the tone runs exit 0; the replayed WAV is the recorded one, unlike that without the keys" \
  '[ $rc -eq 0 ] && cmp -s tone_rec.wav tone_play.wav && ! cmp -s tone_rec.wav tone_none.wav'

mkdir adir
printf '10 A down\n20 A\n' >short.txt
printf '10 A down\n20 NOKEY up\n' >unknown.txt
printf '10 A up\n' >notdown.txt
printf '10 A down\n5 A up\n' >backwards.txt
printf '10 A sideways\n' >word.txt
printf 'ten A down\n' >frame.txt
cp "$echo_rom" binary.txt
for bad in missing.txt adir short.txt unknown.txt notdown.txt backwards.txt word.txt frame.txt binary.txt; do
  mkdir out && cd out || exit 1
  run bad --replay "../$bad"; rc=$?
  check "$bad: exit 1, one line naming it, nothing written" \
    '[ $rc -eq 1 ] && one_line bad.err "^quav: cannot replay ../$bad: " && [ "$(ls -A)" = bad.err ]'
  cd .. && rm -rf out
done
check "a line's fault is named" 'grep -q "line 2: unknown key .NOKEY." <(run x --replay unknown.txt; cat x.err)'

"$QUAV_BIN" --headless --replay keys.txt --hold A@1-2 >/dev/null 2>err.txt; rc=$?
check "--replay with --hold is a usage error" '[ $rc -eq 2 ] && one_line err.txt "^quav: "'
exit $fail
