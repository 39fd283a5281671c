#!/usr/bin/env bash
# The command line as a user meets it: help, version, a short headless run,
# and usage errors that exit 2 with one line saying why.
. "$QUAV_SOURCE_DIR/tests/support/script.sh"
help=$("$QUAV_BIN" --help); rc=$?
check "--help exits 0" '[ $rc -eq 0 ]'
for opt in --help --version --windowed --roms --list --show-load --headless --frames --shot \
           --present-shot --vgm --wav --hold --res --blit --ntsc --mapper --save-state --load-state \
           --record --replay --tape --tape-out --type --type-file --type-at /list /file /game /blit /res \
           IMAGE; do
  check "--help mentions $opt" 'grep -q -- "$opt" <<<"$help"'
done

version=$("$QUAV_BIN" --version); rc=$?
check "--version exits 0" '[ $rc -eq 0 ] && grep -Eq "^quav [0-9]+\.[0-9]+" <<<"$version"'

"$QUAV_BIN" --headless --frames 10 >out.txt 2>err.txt; rc=$?
check "a short headless run exits 0" '[ $rc -eq 0 ]'
check "a headless run writes no files" '[ -z "$(ls -A | grep -v -e out.txt -e err.txt)" ]'

for bad in "--frames 0" "--frames ten" "--frames 12x" "--blit 9" "--res 640" "--res a 480" "--nonsense" \
           "--help=yes" "--shot" "--shot x.bmp" "--headless --roms=" "--headless --frames 99999999999" \
           "--headless --hold A@5" "--headless --hold NOKEY@1-2" "--headless --hold A@9-3" \
           "--mapper nosuch" "--ntsc=1" "--type-at -1" "--type-at x" "--type-file=" "--tape-out=" "--tape"; do
  # shellcheck disable=SC2086
  "$QUAV_BIN" $bad >out.txt 2>err.txt; rc=$?
  check "'$bad' exits 2 saying why in one line" '[ $rc -eq 2 ] && one_line err.txt "^quav: "'
done

exit $fail
