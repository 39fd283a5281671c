#!/usr/bin/env bash
# The PPI as each way of loading meets it, through our own program that never
# writes the PPI and shows the 16 bits it reads at 0xDC and 0xDD as a row of
# cells (tests/roms/ppi_power_on.asm). A bare path gives the 8255 as it powers
# on, so the program reads joystick 1 (row 7), whatever the map or machine;
# "/file" keeps the machine's own PPI, on row 0 of the keyboard.
. "$QUAV_SOURCE_DIR/tests/support/script.sh"
rom="$QUAV_TEST_ROM_DIR/ppi_power_on.bin"
needs "$rom"
# seen NAME ARGS...: 40 frames headless; the two bytes the cells show, in hex.
seen() {
  local name=$1; shift
  "$QUAV_BIN" --headless --frames 40 --shot "$name.bmp" "$@" >/dev/null 2>&1 || echo "exit $?"
  python3 - "$name.bmp" <<'PY'
import sys
d = open(sys.argv[1], 'rb').read()
at, width, height = d[10] | d[11] << 8, 288, 216
row = (width * 3 + 3) & ~3
def white(x, y):
    i = at + (height - 1 - y) * row + x * 3
    return d[i:i + 3] == b'\xe0\xe0\xe0'
bits = [white(16 + (8 + i) * 8 + 4, 111) for i in range(16)]
print('%04X' % sum(b << (15 - i) for i, b in enumerate(bits)))
PY
}

while IFS='|' read -r want what args; do
  # shellcheck disable=SC2086
  check "$what" '[ "$(seen "${what// /_}" $args)" = "$want" ]'
done <<EOT
EE3F|bare path: joystick 1 up and button 1|--hold UP@0-40 --hold A@0-40 $rom
FF3F|bare path: nothing held|$rom
D73F|bare path, NTSC: right and button 2|--ntsc --hold RIGHT@0-40 --hold S@0-40 $rom
EE3F|bare path under the Sega mapper|--mapper sega --hold UP@0-40 --hold A@0-40 $rom
FF3F|bare path, keyboard mode: the joysticks read released|--hold F4@20-21 --hold 1@25-40 $rom
FFFF|/file: row 0, no joystick|--hold UP@0-40 --hold A@0-40 /file $rom
FEFF|/file, keyboard mode: row 0 shows key 1|--hold F4@20-21 --hold 1@25-40 /file $rom
EOT
exit $fail
