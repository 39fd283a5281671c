#!/usr/bin/env bash
# End to end: 150 headless frames of a program playing one tone write a WAV of
# 50 delivered chunks (132,300 samples) at 3,579,545 / (32 x 254) Hz.
set -u
[ -n "${QUAV_BIN:-}" ] && [ -n "${QUAV_TEST_ROM_DIR:-}" ] || { echo "wav_tone: QUAV_BIN and QUAV_TEST_ROM_DIR must be set" >&2; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$QUAV_BIN" --headless --frames 150 --wav "$work/out.wav" "$QUAV_TEST_ROM_DIR/sound_tone.bin" || { echo "wav_tone: quav failed" >&2; exit 1; }
python3 - "$work/out.wav" <<'PY'
import sys, wave, struct
with wave.open(sys.argv[1], "rb") as w:
    fmt, n = (w.getnchannels(), w.getsampwidth(), w.getframerate()), w.getnframes()
    s = struct.unpack("<%dh" % n, w.readframes(n))
if fmt != (1, 2, 44100) or n != 132300:
    sys.exit("format %s, %d samples; expected (1, 2, 44100), 132300" % (fmt, n))
body = s[22050:-4410]
mean = sum(body) / len(body)
if max(body) - min(body) < 8000:
    sys.exit("no tone: samples span %d..%d" % (min(body), max(body)))
rises = [i - 1 + (body[i - 1] - mean) / (body[i - 1] - body[i]) for i in range(1, len(body)) if body[i - 1] < mean <= body[i]]
pitch = (len(rises) - 1) * 44100 / (rises[-1] - rises[0])
if abs(pitch - 3579545 / (32 * 254)) > 0.5:
    sys.exit("pitch %.3f Hz, expected %.3f" % (pitch, 3579545 / (32 * 254)))
print("wav_tone: %d samples, %.3f Hz" % (n, pitch))
PY
