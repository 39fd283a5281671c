#!/usr/bin/env bash
# What the message block shows in screenshots: F8 writes quav_0000.bmp with
# the about page of the start on it, a second F8 quav_0001.bmp with the first
# one's "Screenshot saved!" at the bottom of the picture; F1 shows the help
# box; the about page is a solid box.
set -u
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
cd "$tmp" || exit 1
session="python3 $QUAV_SOURCE_DIR/tests/app/input_session.py"
fail=0

"$QUAV_BIN" --headless --frames 50 --hold F8@20-21 --hold F8@40-41 \
  || { echo "FAIL: the run exited $?"; exit 1; }
[ -s quav_0000.bmp ] || { echo "FAIL: F8 wrote no quav_0000.bmp"; exit 1; }
[ "$(ls quav_*.bmp | xargs)" = "quav_0000.bmp quav_0001.bmp" ] || { echo "FAIL: F8 wrote $(ls quav_*.bmp)"; fail=1; }
$session texts quav_0000.bmp "$QUAV_SOURCE_DIR" \
  <<<"18 200 black light|    press F1 for HELP and F2 for MENU     " \
  || { echo "FAIL: the about page in the first screenshot"; fail=1; }
$session texts quav_0001.bmp "$QUAV_SOURCE_DIR" <<<"18 208 black light|Screenshot saved!" \
  || { echo "FAIL: the message block in the second screenshot"; fail=1; }

"$QUAV_BIN" --headless --frames 30 --shot help.bmp --hold F1@20-21 || { echo "FAIL: the run exited $?"; exit 1; }
$session texts help.bmp "$QUAV_SOURCE_DIR" <<'END' || { echo "FAIL: the help page"; fail=1; }
18 176 black light|F1  HELP        F2 MENU      F3 HARD RESET
18 184 black light|F4  JOY/KEYB    F5 BLITMODE  F6 SPR LIMIT 
18 192 black light|F7  VGM ON/OFF  F8 SCRNSHOT  F9 RES SWITCH
18 200 black light|F10 QUIT        F11 VID/SYS  F12 ABOUT    
18 208 black light|INS SW RESET    ESC MENU OFF              
END

"$QUAV_BIN" --headless --frames 10 --shot about.bmp || { echo "FAIL: the run exited $?"; exit 1; }
$session texts about.bmp "$QUAV_SOURCE_DIR" <<'END' || { echo "FAIL: the about page"; fail=1; }
18 160 black light|                                          
18 176 black light|                                          
18 192 black light|                                          
18 200 black light|    press F1 for HELP and F2 for MENU     
18 208 black light|                                          
END
exit $fail
