"""`typing_session.py`: --type, --type-file and --type-at, checked through our
keyboard-echo program, which reports each change of a matrix row through the
sound chip (tests/roms/input_echo.asm). Every character the keyboard has is
typed, shifted ones with Shift and only they, whatever the joystick mode."""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from input_session import ECHO, check, failures, reports  # noqa: E402

# The keyboard's legends by matrix row and line, read off its key tops: the
# key's own character and the one Shift gives (' ' for none).
KEYS = {
    (0, 0): '1!', (0, 1): 'Q ', (0, 2): 'A ', (0, 3): 'Z ', (0, 5): ',<', (0, 6): 'K ',
    (0, 7): 'I ', (0, 8): '8(', (1, 0): '2"', (1, 1): 'W ', (1, 2): 'S ', (1, 3): 'X ',
    (1, 4): '  ', (1, 5): '.>', (1, 6): 'L ', (1, 7): 'O ', (1, 8): '9)', (2, 0): '3#',
    (2, 1): 'E ', (2, 2): 'D ', (2, 3): 'C ', (2, 5): '/?', (2, 6): ';+', (2, 7): 'P ',
    (2, 8): '0 ', (3, 0): '4$', (3, 1): 'R ', (3, 2): 'F ', (3, 3): 'V ', (3, 5): 'π_',
    (3, 6): ':*', (3, 7): '@`', (3, 8): '-=', (4, 0): '5%', (4, 1): 'T ', (4, 2): 'G ',
    (4, 3): 'B ', (4, 6): ']}', (4, 7): '[{', (4, 8): '^~', (5, 0): '6&', (5, 1): 'Y ',
    (5, 2): 'H ', (5, 3): 'N ', (5, 6): '\n ', (5, 8): '¥|', (6, 0): "7'", (6, 1): 'U ',
    (6, 2): 'J ', (6, 3): 'M '}
SHIFT = (6, 11)


def report(held):
    """The echo program's reports for the matrix with `held` lines down, from
    all released: one per row that changed, in row order."""
    out = []
    for row in sorted({r for r, _ in held}):
        lines = sum(1 << line for r, line in held if r == row)
        out.append('%d %02X %02X' % (row, ~lines & 0xFF, ~lines >> 8 & 0xFF))
    return out


def release(held):
    return ['%d FF FF' % row for row in sorted({r for r, _ in held})]


def quav(*args):
    run = subprocess.run([os.environ['QUAV_BIN'], '--headless', ECHO, *args],
                         capture_output=True, text=True)
    check(run.returncode == 0, f'quav {" ".join(args)}: exit {run.returncode}')
    return run.stderr


def main():
    text, want = '', []
    for place, legends in KEYS.items():
        for shifted, char in enumerate(legends):
            if char == ' ' and (shifted or place != (1, 4)):
                continue
            held = {place, SHIFT} if shifted else {place}
            text += '\\n' if char == '\n' else char
            want += report(held) + release(held)
            if char.isalpha() and char.isascii():
                text += char.lower()
                want += report(held) + release(held)
    frames = 20 + 6 * len(want)
    # Joystick mode (the start): typed keys reach the matrix all the same.
    said = quav('--frames', str(frames), '--type-at', '10', '--type', text, '--vgm', 'all.vgm')
    check(said == '', f'typing every key said {said!r}')
    check((got := [r for r in reports('all.vgm') if not r.startswith('7 ')]) == want,
          f'every key typed: {got[:12]} ... against {want[:12]} ...')
    check(not [r for r in reports('all.vgm') if r.startswith('7 ') and r != '7 FF 3F'],
          'typing moved a joystick')

    # Keyboard mode: typing "a!" from frame 40 is holding A, then 1 with
    # Shift, three frames each, three apart.
    typed = quav('--frames', '60', '--hold', 'F4@12-13', '--type', 'a!', '--type-at', '40',
                 '--vgm', 'typed.vgm')
    quav('--frames', '60', '--hold', 'F4@12-13', '--hold', 'A@40-43', '--hold', '1@46-49',
         '--hold', 'LSHIFT@46-49', '--vgm', 'held.vgm')
    check(typed == '' and open('typed.vgm', 'rb').read() == open('held.vgm', 'rb').read(),
          'typing differs from holding the same keys')

    # A file's CR LF is one Return; --type follows it; a character that has
    # no key is named once with its count and skipped.
    open('listing.bas', 'wb').write(b'10 ?1\r\n\tA\t')
    said = quav('--frames', '150', '--type-file', 'listing.bas', '--type', 'B', '--vgm', 'file.vgm',
                '--type-at', '5')
    check(said == 'quav: the SC-3000 keyboard has no key for U+0009; skipped 2 times\n',
          f'the tab was reported as {said!r}')
    keys = [(0, 0), (2, 8), (1, 4), (2, 5), (0, 0), (5, 6), (0, 2), (4, 3)]
    shifted = {3}
    want = []
    for i, k in enumerate(keys):
        held = {k, SHIFT} if i in shifted else {k}
        want += report(held) + release(held)
    check((got := [r for r in reports('file.vgm') if not r.startswith('7 ')]) == want,
          f'the listing was typed as {got}')

    run = subprocess.run([os.environ['QUAV_BIN'], '--headless', ECHO, '--type-file', 'none.bas',
                          '--vgm', 'none.vgm'], capture_output=True, text=True)
    check((run.returncode, run.stderr) ==
          (1, 'quav: cannot type none.bas: No such file or directory\n') and
          not os.path.exists('none.vgm'), f'a missing file: {run.returncode} {run.stderr!r}')


if __name__ == '__main__':
    if not os.path.exists(ECHO):
        print(f'SKIP: {ECHO} was not built')
        sys.exit(77)
    with tempfile.TemporaryDirectory() as tmp:
        os.chdir(tmp)
        main()
    sys.exit(1 if failures else 0)
