#!/usr/bin/env bash
# Tapes as tape tools make them (8 and 16 bits, mono and stereo, 9,600 to
# 48,000 Hz, some played off speed, a BASIC file) are read whole by our
# reader program from port B bit 7, on the 50 Hz and the NTSC machine.
exec python3 "$QUAV_SOURCE_DIR/tests/bus/tape_session.py" formats
