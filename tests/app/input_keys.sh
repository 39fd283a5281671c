#!/usr/bin/env bash
# F4 then letters, both Shifts, the 102nd key and an arrow reach our keyboard-echo
# program on their matrix lines; after F4 again Left with S move joystick 1 and
# Q held in joystick mode reaches nothing.
exec python3 "$QUAV_SOURCE_DIR/tests/app/input_session.py" keys
