#!/usr/bin/env bash
# The emulator's picture on a virtual X display of its own: the X screen must
# show, in its place, the back buffer a headless run of the same test card
# presents, within 2 per channel; the load display's digits are left out.
. "$QUAV_SOURCE_DIR/tests/support/script.sh"
for program in Xvfb openbox xprop import xdotool python3; do
  command -v "$program" >/dev/null || { echo "SKIP: $program is not installed"; exit 77; }
done
py=/usr/bin/python3  # Debian's Pillow belongs to the system's interpreter
[ -x $py ] || py=python3
$py -c 'import PIL' 2>/dev/null || { echo "SKIP: $py has no Pillow (Debian python3-pil)"; exit 77; }
rom="$QUAV_TEST_ROM_DIR/display_card.bin"
failed() { echo "FAIL: $*"; fail=1; }

# A display number of the server's own choosing, so parallel tests never meet.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>display 2>xvfb.log & pids+=($!)
for _ in $(seq 100); do [ -s display ] && break; sleep 0.1; done
[ -s display ] || { cat xvfb.log; echo "FAIL: the X server did not start"; exit 1; }
export DISPLAY=":$(head -n1 display)"

# compare.py REF SHOT RX RY RW RH PX PY SCALE: the screen region (RX, RY, RW x RH)
# shows REF scaled SCALE times at (PX, PY), black around it.
cat >compare.py <<'EOF'
import sys
from PIL import Image, ImageChops
ref, shot = Image.open(sys.argv[1]).convert("RGB"), Image.open(sys.argv[2]).convert("RGB")
rx, ry, rw, rh, px, py, s = (int(v) for v in sys.argv[3:10])
want = Image.new("RGB", (rw, rh))
want.paste(ref.resize((ref.width * s, ref.height * s), Image.NEAREST), (px, py))
got = shot.crop((rx, ry, rx + rw, ry + rh))
for image in (want, got):  # the digits of "CPU%: 37.50": columns 36-71 of rows 0-7
    image.paste((0, 0, 0), (px + 36 * s, py, px + 72 * s, py + 8 * s))
bad = [(i % rw, i // rw) for i, p in enumerate(ImageChops.difference(got, want).getdata()) if max(p) > 2]
print(len(bad), "pixels differ, the first at", bad[:5])
sys.exit(1 if bad else 0)
EOF

reference() {  # NAME ARGS...: the picture a headless run presents, NAME.bmp
  local name=$1; shift
  "$QUAV_BIN" --headless --frames 400 --show-load "$@" --present-shot "$name.bmp" /file "$rom" >/dev/null ||
    { failed "the headless reference run $name"; return 1; }
}

# Starts quav on the X display and waits until its window has the place and
# size X Y W H (a window manager takes a moment to make it full-screen).
start_window() {  # X Y W H ARGS...
  local want="$1 $2 $3 $4" got= wid
  shift 4
  "$QUAV_BIN" --show-load "$@" /file "$rom" >quav.log 2>&1 &
  quav=$!
  pids+=("$quav")
  for _ in $(seq 150); do  # polled: xdotool's --sync gives up when a window goes away during its search
    wid=$(xdotool search --onlyvisible --name '^QUAV$' 2>/dev/null | head -n1)
    [ -n "$wid" ] && eval "$(xdotool getwindowgeometry --shell "$wid" 2>/dev/null)" && got="$X $Y $WIDTH $HEIGHT"
    [ "$got" = "$want" ] && return 0
    sleep 0.2
  done
  cat quav.log
  failed "the QUAV window is at '${got:-nowhere}', not $want ($*)"
  kill "$quav"
  return 1
}

# Takes screenshots until the picture matches or 60 seconds have passed (the
# about page and messages of the first seconds go away by themselves).
expect_picture() {  # WHAT REF RX RY RW RH PX PY SCALE
  local what=$1 ref=$2 deadline=$((SECONDS + 60))
  shift 2
  until import -window root root.png 2>/dev/null && $py compare.py "$ref.bmp" root.png "$@" >compare.out; do
    [ $SECONDS -ge $deadline ] && { cat compare.out; failed "$what"; break; }
    sleep 1
  done
  kill "$quav"
  wait "$quav" 2>/dev/null
}

# Windowed, no window manager: a 640 x 480 window centred, pixel for pixel, in
# a filter mode and in a mode the renderer scales.
for blit in 3 4; do
  reference "ref$blit" --blit "$blit" && start_window 320 272 640 480 --windowed --blit "$blit" &&
    expect_picture "blit $blit: the window shows the presented picture" "ref$blit" 320 272 640 480 0 0 1
done

# Full-screen under a window manager: scaled to 1280 x 960 between black bars of 32 rows.
openbox --sm-disable >openbox.log 2>&1 & pids+=($!)
wm_ready || failed "openbox did not start: $(cat openbox.log)"
reference ref0 --blit 0 && start_window 0 0 1280 1024 --blit 0 &&
  expect_picture "full screen: the picture scaled twice between black bars" ref0 0 0 1280 1024 0 32 2
exit $fail
