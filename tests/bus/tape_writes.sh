#!/usr/bin/env bash
# Our writer program's output through port C bit 4, recorded with --tape-out
# on both machines, decodes by the format's documented rules to the bytes it
# wrote, at 2400 and 1200 Hz within 1 %; played back with --tape, our reader
# gets the same bytes on either machine and shows them.
exec python3 "$QUAV_SOURCE_DIR/tests/bus/tape_session.py" writes
