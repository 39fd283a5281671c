#!/usr/bin/env bash
# End to end: a headless run of 150 frames of a program that plays one tone
# writes a WAV of 50 delivered chunks (132,300 samples, 3 s) at the tone's
# pitch, 3,579,545 / (32 x 254) Hz.
set -u
if [ -z "${QUAV_BIN:-}" ] || [ -z "${QUAV_TEST_ROM_DIR:-}" ]; then
  echo "wav_tone: QUAV_BIN and QUAV_TEST_ROM_DIR must be set" >&2
  exit 77
fi
rom="$QUAV_TEST_ROM_DIR/sound_tone.bin"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

check() {
  python3 - "$1" <<'PY'
import sys, wave, struct
path = sys.argv[1]
with wave.open(path, "rb") as w:
    if (w.getnchannels(), w.getsampwidth(), w.getframerate()) != (1, 2, 44100):
        sys.exit("format is %d ch, %d bytes, %d Hz" % (w.getnchannels(), w.getsampwidth(), w.getframerate()))
    n = w.getnframes()
    s = struct.unpack("<%dh" % n, w.readframes(n))
if n != 132300:
    sys.exit("length %d samples, expected 132300" % n)
body = s[22050:-4410]
mean = sum(body) / len(body)
if max(body) - min(body) < 8000:
    sys.exit("no tone: samples span %d..%d" % (min(body), max(body)))
first = last = None
crossings = 0
for i in range(1, len(body)):
    a, b = body[i - 1] - mean, body[i] - mean
    if a < 0 <= b:
        t = i - 1 + a / (a - b)
        first = t if first is None else first
        last = t
        crossings += 1
pitch = (crossings - 1) * 44100 / (last - first)
expected = 3579545 / (32 * 254)
if abs(pitch - expected) > 0.5:
    sys.exit("pitch %.3f Hz, expected %.3f" % (pitch, expected))
print("wav_tone: %d samples, %.3f Hz" % (n, pitch))
PY
}

cd "$work" || exit 1
# The image named by "/file", then as a bare argument.
"$QUAV_BIN" --headless --frames 150 --wav out.wav /file "$rom" || { echo "wav_tone: quav failed" >&2; exit 1; }
check out.wav || exit 1
rm -f out.wav
"$QUAV_BIN" --headless --frames 150 --wav out.wav "$rom" || { echo "wav_tone: quav failed (bare path)" >&2; exit 1; }
check out.wav || exit 1
