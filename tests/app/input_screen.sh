#!/usr/bin/env bash
# F8 writes quav_0000.bmp showing the start's about box, a second F8 quav_0001.bmp
# with "Screenshot saved!"; F1 shows the help box.
exec python3 "$QUAV_SOURCE_DIR/tests/app/input_session.py" screen
