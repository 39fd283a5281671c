#!/usr/bin/env bash
# --type presses and releases every key of the SC-3000 keyboard, Shift held
# only for the characters that need it, in joystick mode too, and exactly as
# holding the same keys would; --type-file types a listing (CR LF is one
# Return), names a character without a key, and stops the run when missing.
exec python3 "$QUAV_SOURCE_DIR/tests/app/typing_session.py"
