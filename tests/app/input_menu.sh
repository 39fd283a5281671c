#!/usr/bin/env bash
# F2 opens the menu on the logo's entry, DOWN moves to entry 1 (the screenshot shows
# the five rows), RETURN closes it and loads our keyboard-echo program, which runs.
exec python3 "$QUAV_SOURCE_DIR/tests/app/input_session.py" menu
