#!/usr/bin/env bash
# Cartridge memory maps from the command line. Our test cartridges show their
# verdict as the backdrop colour (tests/roms/cart_*.asm): light green when
# they saw the map they were made for, medium red when they saw the flat map
# (or the Sega cartridge an error), dark blue when the RAM adapter is absent.
# Covers: a 128 KB bare path, --mapper sega and F3; a 4 MB image; a 48 KB bare
# path against "/file"; --mapper ram8k against none; bad names and an image
# over 4 MB.
set -u
fail=0
check() { if ! eval "$2"; then echo "FAIL: $1"; fail=1; fi; }
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
cd "$tmp" && export HOME="$tmp" && unset QUAV_ROMS XDG_DATA_HOME
roms="$QUAV_TEST_ROM_DIR"
[ -f "$roms/cart_sega_128k.bin" ] || { echo "SKIP: the test cartridges were not built"; exit 77; }
green=60e060; red=2020e0; blue=e02020
border() { python3 -c 'import sys; d=open(sys.argv[1], "rb").read(); o=d[10]|d[11]<<8
print(d[o:o+3].hex())' "$1"; }  # a BMP's first pixel
# verdict NAME ARGS...: runs 60 frames headless and prints the backdrop colour.
verdict() {
  local name=$1; shift
  "$QUAV_BIN" --headless --frames 60 --shot "$name.bmp" "$@" >/dev/null 2>"$name.err" || echo "exit $?"
  border "$name.bmp"
}

check "128 KB bare path: the Sega mapper" '[ "$(verdict sega "$roms/cart_sega_128k.bin")" = $green ]'
check "128 KB with --mapper sega" \
  '[ "$(verdict forced --mapper sega "$roms/cart_sega_128k.bin")" = $green ]'
check "F3: banks 0, 1, 2 again" \
  '[ "$(verdict f3 --hold F3@20-21 "$roms/cart_sega_128k.bin")" = $green ]'
check "the Sega runs say nothing" '[ ! -s sega.err ] && [ ! -s forced.err ] && [ ! -s f3.err ]'
check "128 KB through /file: the flat map" \
  '[ "$(verdict sega_file --mapper sega /file "$roms/cart_sega_128k.bin")" = $red ]'
for i in $(seq 32); do cat "$roms/cart_sega_128k.bin"; done >four_mb.sc  # bank k = bank k mod 8
check "a 4 MB image: 256 banks" '[ "$(verdict four_mb four_mb.sc)" = $green ]'
check "--mapper rom cuts a 128 KB image at 48 KB, in one line" \
  '[ "$(verdict cut --mapper rom "$roms/cart_sega_128k.bin")" = $red ] &&
   [ "$(wc -l <cut.err)" -eq 1 ] && grep -q "48 KB" cut.err'

check "48 KB bare path: ROM to 0xBFFF, RAM from 0xC000" \
  '[ "$(verdict rom48 "$roms/cart_rom48.bin")" = $green ]'
check "48 KB through /file: cut at 32 KB, RAM from 0x8000" \
  '[ "$(verdict rom48_file /file "$roms/cart_rom48.bin")" = $red ]'

check "--mapper ram8k: RAM at 0x2000-0x3FFF" \
  '[ "$(verdict ram8k --mapper ram8k "$roms/cart_ram8k.bin")" = $green ]'
check "without it: ROM there" '[ "$(verdict no_ram8k "$roms/cart_ram8k.bin")" = $blue ]'

"$QUAV_BIN" --mapper nosuch "$roms/cart_ram8k.bin" >out.txt 2>err.txt; rc=$?
check "--mapper nosuch exits 2 with one line" \
  '[ $rc -eq 2 ] && [ "$(wc -l <err.txt)" -eq 1 ] && grep -q "^quav: .*nosuch" err.txt'

head -c $((4 * 1024 * 1024 + 1)) /dev/zero >too_big.sc
check "over 4 MB: the logo runs on" '[ "$(verdict too_big too_big.sc)" = "$(verdict logo)" ]'
check "over 4 MB: one line" '[ "$(wc -l <too_big.err)" -eq 1 ] && grep -q "too_big.sc" too_big.err'
"$QUAV_BIN" --headless --frames 200 --shot logo_end.bmp too_big.sc >/dev/null 2>err.txt
check "over 4 MB: the logo time still ends with entry 12" 'grep -q "No image: star_jacker.sc" err.txt'

help=$("$QUAV_BIN" --help)
for word in --mapper rom sega ram8k auto IMAGE; do
  check "--help mentions $word" 'grep -q -- "$word" <<<"$help"'
done
exit $fail
