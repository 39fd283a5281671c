#!/usr/bin/env bash
# A steady tone in a real window (Xvfb, openbox) played through SDL's disk
# audio driver, which stands in for a sound card: it writes what it takes to
# a file, at a rate of its own (a few per cent off ours; more on a busy
# host). One minute on the 50 Hz machine and one on the NTSC machine
# (QUAV_TONE_SECONDS sets the length); F10 quits. What reached the card must
# have no click, fade in at the start and out at the end, and between them
# be the machine's tone whole: no gap, no dip, no half-period more than two
# samples off, the pitch of the machine's own output.
. "$QUAV_SOURCE_DIR/tests/support/script.sh"
tone="$QUAV_TEST_ROM_DIR/sound_tone.bin"
needs "$tone"
seconds=${QUAV_TONE_SECONDS:-60}
x_session
for machine in pal ntsc; do
  mkdir "$machine" && cd "$machine" || exit 1
  flags=()
  [ "$machine" = ntsc ] && flags=(--ntsc)
  start=$(date +%s.%N)
  quav_audio=disk SDL_DISKAUDIOFILE="$PWD/card.raw" quav_window "${flags[@]}" "$tone"
  if find_window; then
    sleep "$seconds"
    xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
    xdotool keydown F10
    sleep 0.2
    xdotool keyup F10
    ended 5 || check "$machine: F10 ends QUAV with status 0" false
  else
    check "$machine: QUAV opens its window ($(cat quav.out))" false
    kill "$quav"
  fi
  end=$(date +%s.%N)
  PYTHONPATH="$QUAV_SOURCE_DIR/tests/support" python3 - "$machine" "$seconds" "$start" "$end" <<'PY' || fail=1
import sys
from outputs import raw_samples, tone_faults
machine, seconds, start, end = sys.argv[1], int(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4])
level = 10922  # one channel of the sound chip at full volume
half_period = 254 * 16 * 44100 / 3579545
s = raw_samples('card.raw')
f = tone_faults(s, level, half_period)
card = len(s) / (end - start) / 44100 - 1
print('%s: %d samples in %.1f s (the card about %+.1f %% off our clock)' % (machine, len(s), end - start, card * 100))
problems = []
if f['clicks']:
    problems.append('%d clicks, at %s s' % (len(f['clicks']), ', '.join('%.3f' % (i / 44100) for i in f['clicks'][:8])))
if f['steady'] is None:
    problems.append('no tone reached the card')
else:
    first, last = f['steady']
    print('%s: the tone from %.2f s to %.2f s, half-periods of %d samples (%.3f on average)'
          % (machine, first / 44100, last / 44100, f['median'], f['mean']))
    if f['breaks']:
        problems.append('%d breaks in the tone (a gap, a dip or a jump), at %s s'
                        % (len(f['breaks']), ', '.join('%.3f' % (i / 44100) for i in f['breaks'][:8])))
    if first > 2 * 44100 or (last - first) / 44100 < seconds - 3:
        problems.append('the tone came late or was cut short')
    if abs(f['mean'] - half_period) > half_period * 0.005:
        problems.append('the pitch is not the machine\'s')
for p in problems:
    print('FAIL: %s: %s' % (machine, p))
sys.exit(1 if problems else 0)
PY
  cd ..
done
exit $fail
