#!/usr/bin/env bash
# End to end, a program playing one tone: 150 headless frames write a WAV of
# 150 frames' samples (882 a frame at 50 Hz, 735 with --ntsc) at
# 3,579,545 / (32 x 254) Hz on both machines. With --ntsc 60 frames are one
# second: 44,100 samples in the WAV and in the VGM log, whose waits come as
# 32 runs of 22 samples and one of 31 per frame.
. "$QUAV_SOURCE_DIR/tests/support/script.sh"
tone="$QUAV_TEST_ROM_DIR/sound_tone.bin"
needs "$tone"
for args in "--frames 150 --wav pal.wav" "--ntsc --frames 150 --wav ntsc.wav" \
            "--ntsc --frames 60 --wav second.wav --vgm second.vgm"; do
  # shellcheck disable=SC2086
  "$QUAV_BIN" --headless $args "$tone" || check "quav $args" false
done
PYTHONPATH="$QUAV_SOURCE_DIR/tests/support" python3 - <<'PY' || fail=1
import sys
from outputs import pitch, vgm, wav_samples
want = 3579545 / (32 * 254)
for name, per_frame in ('pal', 882), ('ntsc', 735):
    s = wav_samples(name + '.wav')
    if len(s) != 150 * per_frame or abs(pitch(s[22050:-4410]) - want) > 0.5:
        sys.exit('%s.wav: %d samples at %.3f Hz; expected %d at %.3f Hz'
                 % (name, len(s), pitch(s[22050:-4410]), 150 * per_frame, want))
header, writes, waits = vgm('second.vgm')
if len(wav_samples('second.wav')) != 44100 or header != 44100:
    sys.exit('--ntsc: a second is not 44,100 samples in the WAV and the VGM header')
if waits != ([22] * 32 + [31]) * 60:
    sys.exit('second.vgm: waits %s... are not 32 x 22 + 31 per frame' % waits[:40])
PY
exit $fail
