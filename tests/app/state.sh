#!/usr/bin/env bash
# Save states end to end. 200 frames and a save, then a load and 200 more
# (held keys counted from each run's own frame 0), give the screenshot, the
# WAV samples and the sound chip writes of one 400-frame run. A state that
# cannot be loaded stops the run before its first frame with one line and no
# output; a save that cannot be written exits 1 with one line. The slots
# (Shift/Ctrl+F1-F4) and Pause/Break work through held keys.
. "$QUAV_SOURCE_DIR/tests/support/script.sh"
export XDG_STATE_HOME="$tmp/xdg"
q() { "$QUAV_BIN" --headless "$@"; }
samples() { tail -c +45 "$1"; }  # a WAV's samples, after its 44-byte header
writes() { python3 "$QUAV_SOURCE_DIR/tests/support/outputs.py" writes "$@"; }

# ---- N + M frames -------------------------------------------------------
for rom in input_echo sound_tone; do
  image="$QUAV_TEST_ROM_DIR/$rom.bin"
  first=(--hold A@150-250 --hold RETURN@190-205 --hold F4@330-331 --hold UP@340-380 --hold F6@350-351)
  second=(--hold A@0-50 --hold RETURN@0-5 --hold F4@130-131 --hold UP@140-180 --hold F6@150-151)
  q --frames 400 --shot one.bmp --wav one.wav --vgm one.vgm "${first[@]}" "$image" &&
    q --frames 200 --shot a.bmp --wav a.wav --save-state "$rom.state" "${first[@]}" "$image" &&
    q --frames 200 --shot b.bmp --wav b.wav --vgm b.vgm --load-state "$rom.state" "${second[@]}" ||
    check "$rom: the runs" false
  check "$rom: the screenshot after 200 + 200 frames is that of 400" 'cmp -s one.bmp b.bmp'
  check "$rom: the saving run's WAV holds its 200 frames, the two WAVs the one run's" \
    '[ "$(samples a.wav | wc -c)" -eq $((200 * 882 * 2)) ] && cmp -s <(samples one.wav) <(samples a.wav; samples b.wav)'
  # input_echo reports every key change to the sound chip.
  check "$rom: the second run's sound chip writes are the one run's from frame 200 on" \
    '[ "$(writes one.vgm $((200 * 882)))" = "$(writes b.vgm 0)" ]'
  [ $rom = sound_tone ] || check "the keys reach input_echo" \
    'q --frames 400 --vgm plain.vgm "$image" && [ "$(writes plain.vgm 0)" != "$(writes one.vgm 0)" ]'
done
check "the tone is heard" '[ "$(samples one.wav | tr -d "\000" | wc -c)" -gt 100000 ]'

# ---- states that cannot be loaded, saves that cannot be written ----------
good=sound_tone.state
head -c 5000 "$good" >cut.state
python3 -c "import sys; b = bytearray(open('$good', 'rb').read()); b[len(b) // 2] ^= 1; open('flip.state', 'wb').write(b)"
echo "QUAV save state, honestly" >text.state
mkdir folder.state
for bad in cut.state flip.state text.state missing.state folder.state; do
  q --frames 10 --shot x.bmp --wav x.wav --vgm x.vgm --load-state "$bad" 2>err.txt; rc=$?
  check "--load-state $bad: exit 1, one line naming it, no output" \
    '[ $rc -eq 1 ] && one_line err.txt "^quav: .*$bad: " && [ ! -e x.bmp ] && [ ! -e x.wav ] && [ ! -e x.vgm ]'
done
for bad in no/such/folder/s.state folder.state; do
  q --frames 5 --save-state "$bad" 2>err.txt; rc=$?
  check "--save-state $bad: exit 1, one line" '[ $rc -eq 1 ] && one_line err.txt "$bad"'
done
check "a good state is written whole, with no file beside it" \
  '[ -z "$(ls -A | grep -v -e "\.state$" -e "\.bmp$" -e "\.wav$" -e "\.vgm$" -e "\.txt$" -e "^xdg$")" ]'

# ---- slots and pause through held keys ----------------------------------
tone="$QUAV_TEST_ROM_DIR/sound_tone.bin"
q --frames 200 --shot saved.bmp --hold LSHIFT@50-51 --hold F1@50-51 "$tone"
check "Shift+F1 saves slot 1 under the image's name" '[ -s "$XDG_STATE_HOME/quav/sound_tone-1.state" ]'
q --frames 160 --shot loaded.bmp --hold LCONTROL@10-11 --hold F1@10-11 "$tone"
check "Ctrl+F1 at frame 10 goes on from frame 50" 'cmp -s saved.bmp loaded.bmp'
q --frames 240 --shot paused.bmp --wav paused.wav --hold PAUSE@20-21 --hold PAUSE@60-61 "$tone"
q --frames 200 --shot plain.bmp --wav plain.wav "$tone"
check "40 paused frames run no frame and make no sound" \
  'cmp -s paused.bmp plain.bmp && cmp -s paused.wav plain.wav'
exit $fail
