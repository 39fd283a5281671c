#!/usr/bin/env bash
# Cartridge memory maps from the command line. Our test cartridges show their
# verdict as the backdrop colour (tests/roms/cart_*.asm): light green when
# they saw the map they were made for, medium red when they saw the flat map
# (or the Sega cartridge an error), dark blue when the RAM adapter is absent.
# Covers: a 128 KB bare path, --mapper sega and F3; a 4 MB image; a 48 KB bare
# path against "/file"; --mapper ram8k against none; an image over 4 MB.
. "$QUAV_SOURCE_DIR/tests/support/script.sh"
roms="$QUAV_TEST_ROM_DIR"
sega="$roms/cart_sega_128k.bin"
needs "$sega" "$roms/cart_rom48.bin" "$roms/cart_ram8k.bin"
green=60e060; red=2020e0; blue=e02020
# verdict NAME ARGS...: runs 60 frames headless and prints the backdrop colour.
verdict() {
  local name=$1; shift
  "$QUAV_BIN" --headless --frames 60 --shot "$name.bmp" "$@" >/dev/null 2>"$name.err" || echo "exit $?"
  border "$name.bmp"
}

for i in $(seq 32); do cat "$sega"; done >four_mb.sc  # bank k = bank k mod 8
head -c $((4 * 1024 * 1024 + 1)) /dev/zero >too_big.sc
n=0  # each run: its verdict, and one line of stderr matching SAID or none
while IFS='|' read -r want what said args; do
  n=$((n + 1))
  # shellcheck disable=SC2086
  check "$what" '[ "$(verdict $n $args)" = "${!want}" ] && { [ -z "$said" ] && [ ! -s $n.err ] || one_line $n.err "$said"; }'
done <<EOT
green|128 KB bare path: the Sega mapper||$sega
green|128 KB with --mapper sega||--mapper sega $sega
green|F3: banks 0, 1, 2 again||--hold F3@20-21 $sega
red|128 KB through /file: the flat map||--mapper sega /file $sega
green|a 4 MB image: 256 banks||four_mb.sc
red|--mapper rom cuts a 128 KB image at 48 KB, in one line|48 KB|--mapper rom $sega
green|48 KB bare path: ROM to 0xBFFF, RAM from 0xC000||$roms/cart_rom48.bin
red|48 KB through /file: cut at 32 KB, RAM from 0x8000||/file $roms/cart_rom48.bin
green|--mapper ram8k: RAM at 0x2000-0x3FFF||--mapper ram8k $roms/cart_ram8k.bin
blue|without it: ROM there||$roms/cart_ram8k.bin
EOT

check "over 4 MB: one line, and the logo runs on" \
  '[ "$(verdict too_big too_big.sc)" = "$(verdict logo)" ] && one_line too_big.err "too_big.sc"'
"$QUAV_BIN" --headless --frames 200 too_big.sc >/dev/null 2>err.txt
check "over 4 MB: the logo time still ends with entry 12" 'grep -q "No image: star_jacker.sc" err.txt'
exit $fail
