"""Checks for the session scripts: the PSG writes of a VGM log, and the
on-screen text of a screenshot compared cell by cell with a reference drawn
from our font."""
import re
import struct
import sys

LIGHT_GREEN = (96, 224, 96)   # colour 3
DARK_GREEN = (32, 128, 32)    # colour 12
BLACK = (0, 0, 0)             # colour 1
SHOT_TOP_ROW = 13             # the screenshot shows frame rows 13-228


def psg_writes(path):
    """The bytes written to the sound chip, in order."""
    data = open(path, 'rb').read()
    if data[:4] != b'Vgm ':
        raise SystemExit(f'{path}: not a VGM file')
    out, i = [], 0x40
    while i < len(data):
        cmd = data[i]
        if cmd == 0x50:
            out.append(data[i + 1]); i += 2
        elif cmd == 0x61:
            i += 3
        elif cmd in (0x62, 0x63) or 0x70 <= cmd <= 0x7F:
            i += 1
        elif cmd == 0x66:
            break
        else:
            raise SystemExit(f'{path}: unexpected command {cmd:#x} at {i:#x}')
    return out


def total_samples(path):
    return struct.unpack_from('<I', open(path, 'rb').read(), 0x18)[0]


def echo_reports(path):
    """The keyboard-echo program's reports: (row, port A, port B) and 'nmi'."""
    w, out, i = psg_writes(path), [], 0
    while i < len(w):
        if 0xE0 <= w[i] <= 0xE7 and i + 2 < len(w):
            out.append((w[i] - 0xE0, w[i + 1], w[i + 2])); i += 3
        elif w[i] == 0xD0:
            out.append('nmi'); i += 1
        else:
            i += 1
    return out


def font(source_dir):
    glyphs = {}
    for line in open(f'{source_dir}/app/osd_font.cpp'):
        m = re.match(r'\s*((?:0x[0-9A-F]{2},\s*){8})\s*// 0x([0-9A-F]{2})', line)
        if m:
            glyphs[int(m.group(2), 16)] = [int(b, 16) for b in re.findall(r'0x([0-9A-F]{2})', m.group(1))]
    assert len(glyphs) == 224, len(glyphs)
    return glyphs


class Bmp:
    """A 24-bit bottom-up BMP; img[row][x] gives (r, g, b), row 0 the top."""

    def __init__(self, path):
        self.data = open(path, 'rb').read()
        self.width, self.height = struct.unpack_from('<ii', self.data, 18)
        self.offset = struct.unpack_from('<I', self.data, 10)[0]

    def __getitem__(self, row):
        base = self.offset + (self.height - 1 - row) * self.width * 3
        data = self.data

        class Row:
            def __getitem__(self, x):
                p = base + 3 * x
                return (data[p + 2], data[p + 1], data[p])
        return Row()


def read_bmp(path):
    return Bmp(path)


def text_mismatches(img, glyphs, x, frame_y, text, fg, bg):
    """Pixels of the text's cells that differ from the reference."""
    bad = 0
    for n, ch in enumerate(text):
        g = glyphs[ord(ch)]
        for r in range(8):
            for c in range(6):
                want = fg if g[r] & (0x80 >> c) else bg
                if img[frame_y + r - SHOT_TOP_ROW][x + 6 * n + c] != want:
                    bad += 1
    return bad


if __name__ == '__main__':
    cmd = sys.argv[1]
    if cmd == 'texts':
        # texts BMP SOURCE_DIR, then one line per text on stdin:
        #   X Y FOREGROUND BACKGROUND|TEXT   (colours: black, light, dark)
        # Exit status 1 when any text differs.
        img, glyphs = read_bmp(sys.argv[2]), font(sys.argv[3])
        colours = {'black': BLACK, 'light': LIGHT_GREEN, 'dark': DARK_GREEN}
        failed = False
        for request in sys.stdin.read().splitlines():
            head, text = request.split('|', 1)
            x, y, fg, bg = head.split()
            bad = text_mismatches(img, glyphs, int(x), int(y), text, colours[fg], colours[bg])
            if bad:
                print(f'FAIL: {bad} pixels differ from "{text}" at ({x},{y})')
                failed = True
        sys.exit(1 if failed else 0)
    if cmd == 'reports':  # reports VGM
        for r in echo_reports(sys.argv[2]):
            print(r if r == 'nmi' else '%d %02X %02X' % r)
    elif cmd == 'samples':
        print(total_samples(sys.argv[2]))
