#!/usr/bin/env bash
# A missing tape, a directory, a file that is not a WAV and a WAV cut inside
# its header: one line each, a headless run stops before its first frame
# with status 1 and writes nothing.
exec python3 "$QUAV_SOURCE_DIR/tests/bus/tape_session.py" damaged
