#!/usr/bin/env bash
# F7 twice writes "quav.vgm" with what the sound chip received in between; INSERT
# held gives one NMI per frame; F10 ends the run through the shutdown, which
# finishes a running log.
exec python3 "$QUAV_SOURCE_DIR/tests/app/input_session.py" vgm_nmi_quit
