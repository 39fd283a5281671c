#!/usr/bin/env bash
# End to end, the NTSC machine's sound: 60 headless frames are one second,
# 44,100 samples in the WAV file and in the VGM log, whose waits come as 32
# runs of 22 samples and one of 31 per frame; and a tone keeps its pitch,
# 3,579,545 / (32 x 254) Hz, as on the 50 Hz machine.
set -u
[ -n "${QUAV_BIN:-}" ] && [ -n "${QUAV_TEST_ROM_DIR:-}" ] || { echo "ntsc_sound: QUAV_BIN and QUAV_TEST_ROM_DIR must be set" >&2; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$QUAV_BIN" --headless --ntsc --frames 60 --wav "$work/second.wav" --vgm "$work/second.vgm" "$QUAV_TEST_ROM_DIR/sound_tone.bin" \
  || { echo "ntsc_sound: quav failed" >&2; exit 1; }
"$QUAV_BIN" --headless --ntsc --frames 150 --wav "$work/tone.wav" "$QUAV_TEST_ROM_DIR/sound_tone.bin" \
  || { echo "ntsc_sound: quav failed" >&2; exit 1; }
python3 - "$work" <<'PY'
import sys, wave, struct
work = sys.argv[1]
def samples(path):
    with wave.open(path, "rb") as w:
        fmt, n = (w.getnchannels(), w.getsampwidth(), w.getframerate()), w.getnframes()
        return fmt, struct.unpack("<%dh" % n, w.readframes(n))
fmt, s = samples(work + "/second.wav")
if fmt != (1, 2, 44100) or len(s) != 44100:
    sys.exit("second.wav: format %s, %d samples; expected (1, 2, 44100), 44100" % (fmt, len(s)))
vgm = open(work + "/second.vgm", "rb").read()
total = struct.unpack_from("<I", vgm, 0x18)[0]
if total != 44100:
    sys.exit("second.vgm: %d samples in the header, expected 44100" % total)
waits, i = [], 0x40
while vgm[i] != 0x66:
    if vgm[i] == 0x50: i += 2
    elif vgm[i] == 0x61: waits.append(vgm[i + 1] | vgm[i + 2] << 8); i += 3
    else: sys.exit("second.vgm: unexpected command 0x%02X at 0x%X" % (vgm[i], i))
if waits != ([22] * 32 + [31]) * 60:
    sys.exit("second.vgm: waits %s... are not 32 x 22 + 31 per frame" % waits[:40])
fmt, s = samples(work + "/tone.wav")
if len(s) != 150 * 735:
    sys.exit("tone.wav: %d samples, expected %d" % (len(s), 150 * 735))
body = s[22050:-4410]
mean = sum(body) / len(body)
if max(body) - min(body) < 8000:
    sys.exit("no tone: samples span %d..%d" % (min(body), max(body)))
rises = [i - 1 + (body[i - 1] - mean) / (body[i - 1] - body[i]) for i in range(1, len(body)) if body[i - 1] < mean <= body[i]]
pitch = (len(rises) - 1) * 44100 / (rises[-1] - rises[0])
if abs(pitch - 3579545 / (32 * 254)) > 0.5:
    sys.exit("pitch %.3f Hz, expected %.3f" % (pitch, 3579545 / (32 * 254)))
print("ntsc_sound: 44100 samples a second in WAV and VGM; tone at %.3f Hz" % pitch)
PY
