#!/usr/bin/env bash
# The library from the command line: "/list" writes gamelist.txt without a
# window, --list shows each entry's file found or missing, and a headless run
# loads star_jacker.sc from --roms DIR after the logo time, or keeps the logo
# and says "No image: star_jacker.sc" when DIR holds no such image.
. "$QUAV_SOURCE_DIR/tests/support/script.sh"
needs "$QUAV_TEST_ROM_DIR/star_jacker.bin"
mkdir roms empty
cp "$QUAV_TEST_ROM_DIR/star_jacker.bin" roms/Star_Jacker.SC

env -u DISPLAY -u WAYLAND_DISPLAY "$QUAV_BIN" /list >/dev/null 2>&1; rc=$?
check "/list exits 0 with no display, 34 lines" '[ $rc -eq 0 ] && [ "$(wc -l <gamelist.txt)" = 34 ]'
"$QUAV_BIN" --list --roms roms >list.txt 2>/dev/null; rc=$?
check "--list exits 0 naming the directory" '[ $rc -eq 0 ] && head -n 1 list.txt | grep -q roms'
check "--list: entry 12 found" \
  'grep -qE "^ 12 .*star_jacker\.sc +found: roms/Star_Jacker\.SC" list.txt'
check "--list: entry 23 missing" 'grep -qE "^ 23 .*hero\.sc +missing" list.txt'
check "--list: 32 missing" '[ "$(grep -cE "^ *[0-9]+  .* missing$" list.txt)" -eq 32 ]'

# Past the logo time (150 frames) star_jacker shows a coloured border; the
# logo's stays black.
"$QUAV_BIN" --headless --frames 200 --roms roms --shot star.bmp >/dev/null 2>star.err; rc=$?
check "the run with the image exits 0" '[ $rc -eq 0 ] && ! grep -q "No image" star.err'
"$QUAV_BIN" --headless --frames 200 --roms empty --shot logo.bmp >/dev/null 2>logo.err
check "the run without it names the file" 'grep -q "No image: star_jacker.sc" logo.err'
check "the logo's border is black" '[ "$(border logo.bmp)" = "000000" ]'
check "star_jacker's border is not" '[ "$(border star.bmp)" != "000000" ]'
exit $fail
