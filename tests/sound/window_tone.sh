#!/usr/bin/env bash
# A steady tone in a real window (Xvfb, openbox) played through SDL's disk
# audio driver, which stands in for a sound card: it writes what it takes to
# a file, at a rate of its own (a few per cent off ours; more on a busy
# host). One minute on the 50 Hz machine and one on the NTSC machine
# (QUAV_TONE_SECONDS sets the length); F10 quits. What reached the card must
# have no click, fade in at the start and out at the end, and between them
# be the machine's tone whole, at the machine's pitch: no gap, no dip, no
# half-period more than two samples off.
#
# A click fails at once. A gap is a fade to silence and back, which is what
# the sound does when the host cannot run the window's frames in time; on a
# host busy with other work that can happen, so a run with gaps (and no
# click) is reported and tried again, up to three times.
. "$QUAV_SOURCE_DIR/tests/support/script.sh"
tone="$QUAV_TEST_ROM_DIR/sound_tone.bin"
needs "$tone"
seconds=${QUAV_TONE_SECONDS:-60}
x_session

# listen MACHINE [FLAG]: one run in the current directory; 0 when whole, 2
# when the tone had gaps but no click, 1 otherwise.
listen() {
  local start end
  start=$(date +%s.%N)
  quav_audio=disk SDL_DISKAUDIOFILE="$PWD/card.raw" quav_window "${@:2}" "$tone"
  if ! find_window; then
    echo "FAIL: $1: QUAV opened no window: $(cat quav.out)"
    kill "$quav"
    return 1
  fi
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
  sleep "$seconds"
  xdotool keydown F10
  sleep 0.2
  xdotool keyup F10
  ended 5 || { echo "FAIL: $1: F10 did not end QUAV with status 0"; return 1; }
  end=$(date +%s.%N)
  PYTHONPATH="$QUAV_SOURCE_DIR/tests/support" python3 - "$1" "$seconds" "$start" "$end" <<'PY'
import sys
from outputs import raw_samples, tone_faults
machine, seconds, start, end = sys.argv[1], int(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4])
level = 10922  # one channel of the sound chip at full volume
half_period = 254 * 16 * 44100 / 3579545
s = raw_samples('card.raw')
f = tone_faults(s, level, half_period)
card = len(s) / (end - start) / 44100 - 1
print('%s: %d samples in %.1f s (the card about %+.1f %% off our clock)' % (machine, len(s), end - start, card * 100))
def at(samples):
    return ', '.join('%.3f' % (i / 44100) for i in samples[:8]) + (' ...' if len(samples) > 8 else '')
status = 0
if f['clicks']:
    print('FAIL: %s: %d clicks, at %s s' % (machine, len(f['clicks']), at(f['clicks'])))
    status = 1
if f['steady'] is None:
    print('FAIL: %s: no tone reached the card' % machine)
    sys.exit(1)
first, last = f['steady']
print('%s: the tone from %.2f s to %.2f s, half-periods of %d samples (%.3f on average)'
      % (machine, first / 44100, last / 44100, f['median'], f['mean']))
if first > 2 * 44100 or (last - first) / 44100 < seconds - 3:
    print('FAIL: %s: the tone came late or was cut short' % machine)
    status = 1
if abs(f['mean'] - half_period) > half_period * 0.005:
    print('FAIL: %s: the pitch is not the machine\'s' % machine)
    status = 1
if f['breaks']:
    print('%s: %d breaks in the tone (a gap, a dip or a jump), at %s s'
          % (machine, len(f['breaks']), at(f['breaks'])))
    status = status or 2
sys.exit(status)
PY
}

for machine in pal ntsc; do
  flags=()
  [ "$machine" = ntsc ] && flags=(--ntsc)
  for attempt in 1 2 3; do
    mkdir "$machine$attempt" && cd "$machine$attempt" || exit 1
    listen "$machine" "${flags[@]}"
    status=$?
    cd ..
    [ $status -eq 2 ] || break
    echo "$machine: attempt $attempt had gaps; the host's load: $(cut -d' ' -f1-3 /proc/loadavg)"
  done
  [ $status -eq 0 ] || check "$machine: the tone reached the card whole" false
done
exit $fail
