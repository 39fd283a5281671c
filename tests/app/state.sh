#!/usr/bin/env bash
# Save states end to end. 200 frames and a save, then a load and 200 more
# (held keys counted from each run's own frame 0), give the screenshot and
# the WAV samples of one 400-frame run. A state that cannot be loaded stops
# the run before its first frame with one line and no output; a save that
# cannot be written exits 1 with one line. The slots (Shift/Ctrl+F1-F4) and
# Pause/Break work through held keys.
set -u
[ -n "${QUAV_BIN:-}" ] && [ -n "${QUAV_TEST_ROM_DIR:-}" ] || { echo "state: QUAV_BIN and QUAV_TEST_ROM_DIR must be set" >&2; exit 77; }
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
cd "$tmp" || exit 1
export XDG_STATE_HOME="$tmp/xdg"
q() { "$QUAV_BIN" --headless "$@"; }
samples() { tail -c +45 "$1"; }  # a WAV's samples, after its 44-byte header
bytes_per_frame=$((882 * 2))
# The sound chip writes of a VGM log from sample FROM on, one per line.
vgm_from() {
  python3 - "$1" "$2" <<'PY'
import sys
data, start = open(sys.argv[1], "rb").read(), int(sys.argv[2])
at, now, out = 0x40, 0, []
while at < len(data) and data[at] != 0x66:
    op = data[at]
    if op == 0x50:
        if now >= start: out.append("%d %02X" % (now - start, data[at + 1]))
        at += 2
    elif op == 0x61:
        now += data[at + 1] | data[at + 2] << 8
        at += 3
    else:
        now += 735 if op == 0x62 else 882
        at += 1
print("\n".join(out))
PY
}

# ---- N + M frames -------------------------------------------------------
for rom in input_echo sound_tone; do
  image="$QUAV_TEST_ROM_DIR/$rom.bin"
  first=(--hold A@150-250 --hold RETURN@190-205 --hold F4@330-331 --hold UP@340-380 --hold F6@350-351)
  second=(--hold A@0-50 --hold RETURN@0-5 --hold F4@130-131 --hold UP@140-180 --hold F6@150-151)
  q --frames 400 --shot one.bmp --wav one.wav --vgm one.vgm "${first[@]}" "$image" ||
    check "$rom: one run" false
  q --frames 200 --shot a.bmp --wav a.wav --save-state "$rom.state" "${first[@]}" "$image" ||
    check "$rom: the saving run" false
  q --frames 200 --shot b.bmp --wav b.wav --vgm b.vgm --load-state "$rom.state" "${second[@]}" ||
    check "$rom: the loading run" false
  check "$rom: the screenshot after 200 + 200 frames is that of 400" 'cmp -s one.bmp b.bmp'
  check "$rom: the two WAVs together are the one run's" \
    'cmp -s <(samples one.wav) <(samples a.wav; samples b.wav)'
  check "$rom: the second WAV is the one run's from frame 200 on" \
    'cmp -s <(samples one.wav | tail -c +$((200 * bytes_per_frame + 1))) <(samples b.wav)'
  check "$rom: the saving run's WAV holds all of its 200 frames" \
    '[ "$(samples a.wav | wc -c)" -eq $((200 * bytes_per_frame)) ]'
  # input_echo reports every key change to the sound chip's port: the second
  # run's log is the one run's from frame 200 on, and differs without keys.
  check "$rom: the second run's sound chip writes are the one run's from frame 200 on" \
    '[ "$(vgm_from one.vgm $((200 * 882)))" = "$(vgm_from b.vgm 0)" ]'
  check "$rom: the keys reach the program" \
    '[ "$rom" != input_echo ] ||
     { q --frames 400 --vgm plain.vgm "$image" && [ "$(vgm_from plain.vgm 0)" != "$(vgm_from one.vgm 0)" ]; }'
done
check "the tone is heard" '[ "$(samples one.wav | tr -d "\000" | wc -c)" -gt 100000 ]'

# ---- states that cannot be loaded, saves that cannot be written ----------
good=sound_tone.state
head -c 5000 "$good" >cut.state
python3 -c "import sys; b = bytearray(open('$good', 'rb').read()); b[len(b) // 2] ^= 1; open('flip.state', 'wb').write(b)"
echo "QUAV save state, honestly" >text.state
mkdir folder.state
for bad in cut.state flip.state text.state missing.state folder.state; do
  q --frames 10 --shot x.bmp --wav x.wav --vgm x.vgm --load-state "$bad" >out.txt 2>err.txt; rc=$?
  check "--load-state $bad exits 1" '[ $rc -eq 1 ]'
  check "--load-state $bad says why in one line naming it" \
    '[ "$(wc -l <err.txt)" -eq 1 ] && grep -q "^quav: .*$bad: " err.txt'
  check "--load-state $bad writes no output" '[ ! -e x.bmp ] && [ ! -e x.wav ] && [ ! -e x.vgm ]'
done
for bad in no/such/folder/s.state folder.state; do
  q --frames 5 --save-state "$bad" >out.txt 2>err.txt; rc=$?
  check "--save-state $bad exits 1" '[ $rc -eq 1 ]'
  check "--save-state $bad says why in one line" '[ "$(wc -l <err.txt)" -eq 1 ] && grep -q "$bad" err.txt'
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
