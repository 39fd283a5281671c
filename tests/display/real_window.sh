#!/usr/bin/env bash
# The emulator's picture on a real X display: a virtual X server of its own,
# quav --windowed (no window manager: the window sits centred, unscaled) and
# quav full-screen under openbox (the picture scaled twice, black bars above
# and below). Each time the X screen must show, in its place, the back buffer
# that a headless run of the same test card presents, within 2 per channel.
# The load display's digits (the host's load) are left out of the comparison.
set -u
for program in Xvfb openbox import convert xdotool python3; do
  if ! command -v "$program" >/dev/null; then
    echo "SKIP: $program is not installed"
    exit 77
  fi
done

here=$(cd "$(dirname "$0")" && pwd)
rom="$QUAV_TEST_ROM_DIR/display_card.bin"
screen_w=1280
screen_h=1024
tmp=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
fail=0
failed() { echo "FAIL: $*"; fail=1; }

# A display number of the server's own choosing, so parallel tests never meet.
Xvfb -displayfd 3 -screen 0 ${screen_w}x${screen_h}x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
if [ ! -s "$tmp/display" ]; then
  cat "$tmp/xvfb.log"
  echo "FAIL: the X server did not start"
  exit 1
fi
export DISPLAY=":$(head -n1 "$tmp/display")"
cd "$tmp" || exit 1

# The presented picture of a headless run, as raw RGB.
reference() {  # NAME ARGS...
  local name=$1
  shift
  if ! "$QUAV_BIN" --headless --frames 400 --show-load "$@" --present-shot "$name.bmp" \
      /file "$rom" >/dev/null 2>"$name.err"; then
    cat "$name.err"
    failed "the headless reference run $name"
    return 1
  fi
  convert "$name.bmp" -depth 8 "rgb:$name.rgb"
}

# Starts quav on the X display and waits until its window has the expected
# place and size (a window manager takes a moment to make it full-screen):
# sets wx, wy, ww, wh.
start_window() {  # LOG X Y W H ARGS...
  local log=$1 want="$2 $3 $4 $5" wid=
  shift 5
  "$QUAV_BIN" --show-load "$@" /file "$rom" >"$log" 2>&1 &
  quav=$!
  pids+=("$quav")
  # Polled rather than xdotool's --sync, which gives up when some window goes
  # away during its search.
  for _ in $(seq 150); do
    wid=$(xdotool search --onlyvisible --name '^QUAV$' 2>/dev/null | head -n1)
    if [ -n "$wid" ] && eval "$(xdotool getwindowgeometry --shell "$wid" 2>/dev/null)"; then
      wx=$X wy=$Y ww=$WIDTH wh=$HEIGHT
      [ "$wx $wy $ww $wh" = "$want" ] && return 0
    fi
    sleep 0.2
  done
  cat "$log"
  if [ -z "$wid" ]; then
    failed "no QUAV window appeared ($*)"
  else
    failed "the window is ${ww}x${wh} at ($wx, $wy), not $want ($*)"
  fi
  stop_window
  return 1
}

stop_window() {
  kill "$quav" 2>/dev/null
  wait "$quav" 2>/dev/null
}

# Takes screenshots until the picture matches or 60 seconds have passed (the
# about page and messages of the first seconds go away by themselves).
expect_picture() {  # WHAT REF COMPARE-ARGS...
  local what=$1 ref=$2
  shift 2
  local deadline=$((SECONDS + 60))
  while :; do
    import -window root "$tmp/root.png" 2>/dev/null &&
      convert "$tmp/root.png" -depth 8 "rgb:$tmp/root.rgb" &&
      python3 "$here/picture_compare.py" "$ref.rgb" 640 480 "$tmp/root.rgb" $screen_w $screen_h \
        "$@" >"$tmp/compare.out" && return 0
    if [ $SECONDS -ge $deadline ]; then
      cat "$tmp/compare.out"
      failed "$what"
      return 1
    fi
    sleep 1
  done
}

# The digits of "CPU%: 37.50" on the back buffer: columns 36-71 of rows 0-7.
digits=(36 0 36 8)

# Windowed, no window manager: a 640 x 480 window in the middle of the screen
# showing the back buffer pixel for pixel, in a filter mode and in a mode the
# renderer scales.
for blit in 3 4; do
  reference "ref$blit" --blit "$blit" || continue
  start_window "window$blit.log" $(((screen_w - 640) / 2)) $(((screen_h - 480) / 2)) 640 480 \
    --windowed --blit "$blit" || continue
  expect_picture "blit $blit: the window shows the presented picture" "ref$blit" \
    "$wx" "$wy" 640 480 0 0 1 "${digits[@]}"
  stop_window
done

# Full-screen under a window manager: the whole screen, the 640 x 480 back
# buffer scaled to 1280 x 960 between black bars of 32 rows.
openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
pids+=($!)
sleep 2
if reference ref0 --blit 0 && start_window fullscreen.log 0 0 $screen_w $screen_h --blit 0; then
  expect_picture "full screen: the picture scaled twice between black bars" ref0 \
    0 0 $screen_w $screen_h 0 32 2 "${digits[@]}"
  stop_window
fi

exit $fail
