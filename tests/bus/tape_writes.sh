#!/usr/bin/env bash
# Our writer program's output through port C bit 4, recorded with --tape-out
# on both machines, decodes by the format's documented rules to the bytes it
# wrote, every half-cycle at 2400 or 1200 Hz within 0.2 %; played back with
# --tape, our reader gets the same bytes on either machine.
exec python3 "$QUAV_SOURCE_DIR/tests/bus/tape_session.py" writes
