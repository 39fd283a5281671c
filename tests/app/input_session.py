"""`input_session.py NAME`: a person's headless session, checked by its VGM logs (our
keyboard-echo program reports each change of a row through the sound chip) and by the
text in its screenshots, drawn from our font. `shows` and `reports` serve input_window.sh."""
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'support'))
from outputs import vgm  # noqa: E402

COLOURS = {'black': (0, 0, 0), 'light': (96, 224, 96), 'dark': (32, 128, 32)}  # 1, 3, 12
SHOT_TOP_ROW = 13  # a screenshot shows frame rows 13-228
SAMPLES_PER_FRAME = 882
ENV = os.environ
ECHO = f"{ENV.get('QUAV_TEST_ROM_DIR')}/input_echo.bin"
failures = []


def check(ok, message):
    if not ok:
        print('FAIL:', message)
        failures.append(message)
    return ok


def samples(path):
    return vgm(path)[0]


def reports(path):
    """The echo program's reports in the PSG writes: 'ROW PORTA PORTB' and 'nmi'."""
    w, out, i = [byte for _, byte in vgm(path)[1]], [], 0
    while i < len(w):
        if 0xE0 <= w[i] <= 0xE7 and i + 2 < len(w):
            out.append('%d %02X %02X' % (w[i] - 0xE0, w[i + 1], w[i + 2]))
            i += 3
        else:
            out += ['nmi'] if w[i] == 0xD0 else []
            i += 1
    return out


def shows(path, y, lines, bg='light', width=42):
    """Whether the lines (None: not checked) show in colour 1 on bg at x = 18 from
    frame row y on, 8 rows apart."""
    glyphs = {}
    for line in open(f"{ENV['QUAV_SOURCE_DIR']}/display/font.cpp"):
        m = re.match(r'\s*((?:0x[0-9A-F]{2},\s*){8})\s*// 0x([0-9A-F]{2})', line)
        if m:
            glyphs[int(m.group(2), 16)] = [int(b, 16) for b in re.findall(r'0x(..)', m.group(1))]
    assert len(glyphs) == 224
    data = open(path, 'rb').read()
    width_px, height = struct.unpack_from('<ii', data, 18)
    offset = struct.unpack_from('<I', data, 10)[0]

    def pixel(x, y):  # bottom-up, BGR
        p = offset + ((height - 1 - y + SHOT_TOP_ROW) * width_px + x) * 3
        return data[p + 2], data[p + 1], data[p]
    return all(pixel(18 + 6 * n + c, y + 8 * i + r) == COLOURS[(bg, 'black')[g[r] >> 7 - c & 1]]
               for i, t in enumerate(lines) if t is not None
               for n, g in enumerate(glyphs[ord(ch)] for ch in t.ljust(width))
               for r in range(8) for c in range(6))


def quav(*args):
    return check(subprocess.run([ENV['QUAV_BIN'], '--headless', *args]).returncode == 0,
                 f'quav {" ".join(args)} failed')


def hold(*keys):
    return [a for k in keys for a in ('--hold', k)]


def keys():
    quav('--frames', '110', '--vgm', 'log.vgm', *hold(
        'Q@2-4', 'F4@12-13', 'A@20-30', 'S@40-45', 'LSHIFT@50-53', 'RSHIFT@52-55', 'OEM_102@60-65',
        'LEFT@70-75', 'F4@80-81', 'LEFT@90-95', 'S@90-95'), ECHO)
    want = ['7 FF 3F', '0 FB FF', '0 FF FF', '1 FB FF', '1 FF FF', '6 FF F7', '6 FF FF',
            '3 DF FF', '3 FF FF', '5 DF FF', '5 FF FF', '7 DB 3F', '7 FF 3F']
    check((got := reports('log.vgm')) == want, f'the echo program saw other keys: {got}')


def menu():
    os.mkdir('roms')
    shutil.copy(ECHO, 'roms/sega_basic_lv3.sc')
    keys = hold('F2@12-13', 'DOWN@40-41')
    quav('--roms', 'roms', '--frames', '55', '--shot', 'menu.bmp', *keys)
    rows = ['', '   QUAV Logo!', None, '   Borderline', '  Congo Bongo']
    check(shows('menu.bmp', 26, rows, 'dark', 16)
          and shows('menu.bmp', 42, [' SEGA Basic Lv3'], width=16), "the menu's rows")
    quav('--roms', 'roms', '--frames', '90', '--vgm', 'log.vgm', '--shot', 'after.bmp', *keys,
         *hold('RETURN@60-61'))
    check('7 FF 3F' in reports('log.vgm'), 'the chosen program did not run')
    check(not shows('after.bmp', 42, [' SEGA Basic Lv3'], width=16), 'the menu is still drawn')


def screen():
    quav('--frames', '50', *hold('F8@20-21', 'F8@40-41'))
    shots = sorted(f for f in os.listdir() if f.startswith('quav_'))
    check(shots == ['quav_0000.bmp', 'quav_0001.bmp'], f'F8 wrote {shots}')
    about = ['', None, '', None, '', '    press F1 for HELP and F2 for MENU', '']
    check(shows('quav_0000.bmp', 160, about),
          'the about page in the first screenshot')
    check(shows('quav_0001.bmp', 208, ['Screenshot saved!'], width=0), 'the second screenshot')
    quav('--frames', '30', '--shot', 'help.bmp', *hold('F1@20-21'))
    check(shows('help.bmp', 176, ['F1  HELP        F2 MENU      F3 HARD RESET',
                                  'F4  JOY/KEYB    F5 BLITMODE  F6 SPR LIMIT',
                                  'F7  VGM ON/OFF  F8 SCRNSHOT  F9 RES SWITCH',
                                  'F10 QUIT        F11 VID/SYS  F12 ABOUT',
                                  'INS SW RESET    ESC MENU OFF']), 'the help page')


def vgm_nmi_quit():
    quav('--frames', '60', *hold('F7@12-13', 'LEFT@20-25', 'INSERT@30-35', 'F7@40-41'), ECHO)
    shutil.move('quav.vgm', 'f7.vgm')
    check(reports('f7.vgm') == ['7 FB 3F', '7 FF 3F'] + ['nmi'] * 5, 'the log between the two F7')
    check(samples('f7.vgm') == 28 * SAMPLES_PER_FRAME, 'the log is not 28 frames long')
    quav('--frames', '300', *hold('F7@12-13', 'F10@30-31'), ECHO)
    # Logging ran from frame 12 through frame 30, in which F10 was read.
    check(samples('quav.vgm') == 19 * SAMPLES_PER_FRAME, 'the run did not end at F10')


if __name__ == '__main__':
    if sys.argv[1] == 'shows':  # shows BMP Y TEXT
        sys.exit(0 if shows(sys.argv[2], int(sys.argv[3]), [sys.argv[4]], width=0) else 1)
    if sys.argv[1] == 'reports':  # reports VGM
        print(*reports(sys.argv[2]), sep='\n')
        sys.exit(0)
    with tempfile.TemporaryDirectory() as tmp:
        os.chdir(tmp)
        globals()[sys.argv[1]]()
    sys.exit(1 if failures else 0)
