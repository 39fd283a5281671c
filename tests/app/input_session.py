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


def read_bmp(path):
    data = open(path, 'rb').read()
    width, height = struct.unpack_from('<ii', data, 18)
    offset = struct.unpack_from('<I', data, 10)[0]
    rows = []
    for r in range(height):
        base = offset + (height - 1 - r) * width * 3
        rows.append([(data[base + 3 * x + 2], data[base + 3 * x + 1], data[base + 3 * x])
                     for x in range(width)])
    return rows


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


def pixel(img, x, frame_y):
    return img[frame_y - SHOT_TOP_ROW][x]


if __name__ == '__main__':
    cmd = sys.argv[1]
    if cmd == 'text':  # text BMP SOURCE_DIR X Y TEXT [fg bg as colour names]
        bmp, src, x, y, text = sys.argv[2:7]
        colours = {'black': BLACK, 'light': LIGHT_GREEN, 'dark': DARK_GREEN}
        fg = colours[sys.argv[7]] if len(sys.argv) > 7 else BLACK
        bg = colours[sys.argv[8]] if len(sys.argv) > 8 else LIGHT_GREEN
        bad = text_mismatches(read_bmp(bmp), font(src), int(x), int(y), text, fg, bg)
        print(f'{bad} pixels differ from "{text}" at ({x},{y})')
        sys.exit(1 if bad else 0)
    if cmd == 'pixel':  # pixel BMP X Y -> r g b
        print(*pixel(read_bmp(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])))
    elif cmd == 'reports':  # reports VGM
        for r in echo_reports(sys.argv[2]):
            print(r if r == 'nmi' else '%d %02X %02X' % r)
    elif cmd == 'samples':
        print(total_samples(sys.argv[2]))
