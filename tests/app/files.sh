#!/usr/bin/env bash
# Every file QUAV writes goes through a temporary file renamed over it, and
# every failure is one line naming the file: outputs into a missing folder or
# onto a directory exit 1; a write cut short (a file size limit) leaves the
# old file whole and no temporary file behind; "/file" on a directory or a
# missing file says so in one line and the logo runs on unchanged.
. "$QUAV_SOURCE_DIR/tests/support/script.sh"
mkdir adir
run() { "$QUAV_BIN" --headless --frames 40 "$@" >out.txt 2>err.txt; }

for opt in --vgm --wav --shot --present-shot --record; do
  run $opt nodir/out.bin; rc=$?
  check "$opt into a missing folder exits 1 in one line naming it" \
    '[ $rc -eq 1 ] && one_line err.txt "^quav: .*nodir/out.bin: No such file"'
  run $opt adir; rc=$?
  check "$opt onto a directory exits 1 in one line" '[ $rc -eq 1 ] && one_line err.txt "^quav: .*adir: Is a directory"'
done
check "nothing was written" '[ -z "$(ls -A adir)" ] && [ ! -e nodir ]'

# The writes fail past 100 KB: the screenshot (186,680 bytes), the F8 screenshot
# and the WAV (88 KB a second); the VGM log stays small and is written.
for f in s.bmp w.wav; do echo old >$f; done
(trap '' XFSZ; ulimit -f 100; run --shot s.bmp --wav w.wav --vgm v.vgm --frames 200 --hold F8@10-11); rc=$?
check "a write cut short exits 1" '[ $rc -eq 1 ]'
check "each failed file is named once" \
  '[ "$(grep -c "File too large" err.txt)" -eq 3 ] && grep -q "s.bmp: " err.txt && grep -q "w.wav: " err.txt && grep -q "quav_0000.bmp: " err.txt'
check "the old files are whole" '[ "$(cat s.bmp w.wav)" = "$(printf "old\nold")" ]'
check "the VGM log was written" '[ "$(head -c 4 v.vgm)" = "Vgm " ]'
check "no temporary file or empty screenshot is left" '[ "$(ls -A | sort | tr "\n" " ")" = "adir err.txt out.txt s.bmp v.vgm w.wav " ]'
run --shot s.bmp --wav w.wav; rc=$?
check "a later run replaces them" '[ $rc -eq 0 ] && [ "$(stat -c %s s.bmp)" -eq 186680 ] && [ "$(head -c 4 w.wav)" = RIFF ]'

# "/file" that cannot be read changes nothing: the logo runs as without it.
run --shot logo.bmp
for bad in adir missing.sc; do
  run /file "$bad" --shot bad.bmp; rc=$?
  check "/file $bad: one line naming it, exit 0, the logo runs on" \
    '[ $rc -eq 0 ] && one_line err.txt "^quav: .*$bad: " && cmp -s logo.bmp bad.bmp'
done
exit $fail
