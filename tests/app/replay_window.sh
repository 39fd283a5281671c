#!/usr/bin/env bash
# Key recordings in a real window (Xvfb, openbox, xdotool): a replay file's F8
# saves a screenshot and its F10 ends QUAV with no key pressed on the host;
# --record writes the F10 that a person presses, then QUAV ends.
. "$QUAV_SOURCE_DIR/tests/support/script.sh"
x_session

printf '20 F8 down\n21 F8 up\n40 F10 down\n' >play.txt
for attempt in 1 2 3; do
  rm -f quav_*.bmp
  quav_window --replay play.txt
  ended 30 && rc=0 && break
  rc=1
  echo "attempt $attempt: QUAV did not end: $(cat quav.out)"
done
check "the replay's F10 ends QUAV with status 0" '[ $rc -eq 0 ] || { cat quav.out; false; }'
check "the replay's F8 saved a screenshot" '[ "$(stat -c %s quav_0000.bmp 2>/dev/null)" = 186680 ]'

for attempt in 1 2 3; do
  rm -f rec.txt
  quav_window --record rec.txt
  find_window
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
  sleep 1
  xdotool keydown F10; sleep 0.2; xdotool keyup F10
  ended 10 && grep -Eq "^[0-9]+ F10 down$" rec.txt && break
  echo "attempt $attempt: $(cat quav.out; cat rec.txt 2>/dev/null)"
done
check "the recording holds the F10 that ended QUAV" 'grep -Eq "^[0-9]+ F10 down$" rec.txt'
exit $fail
