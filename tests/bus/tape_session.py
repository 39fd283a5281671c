"""`tape_session.py NAME`: headless runs of our tape programs (tests/roms/
tape_write.asm and tape_read.asm), checked against the cassette format as
tests/support/tape_format.py writes and decodes it from its documentation.
The reader's results are taken from the RAM of a saved state."""
import os
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'support'))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'app'))
import tape_format as tf  # noqa: E402
from outputs import wav_samples  # noqa: E402
from input_session import check, failures  # noqa: E402

ENV = os.environ
ROMS = ENV.get('QUAV_TEST_ROM_DIR', '')
WRITER, READER = f'{ROMS}/tape_write.bin', f'{ROMS}/tape_read.bin'
WRITTEN_NAME, WRITTEN_ADDRESS = 'QUAV TAPE TEST', 0x9800
WRITTEN = bytes((i * 37 + 5) & 0xFF for i in range(256))


def quav(*args):
    run = subprocess.run([ENV['QUAV_BIN'], '--headless', *args], capture_output=True, text=True)
    check(run.returncode == 0, f'quav {" ".join(args)} failed: {run.stderr}')
    return run


def memory(state):
    """The 64 KB of RAM and ROM in a saved state."""
    data = open(state, 'rb').read()
    at = data.index(b'MEM ')
    return data[at + 8:at + 8 + struct.unpack_from('<I', data, at + 4)[0]]


def read_back(tape, frames, *machine):
    """What the reader kept of `tape`: the header and data blocks, its verdicts."""
    quav(READER, '--tape', tape, '--frames', str(frames), '--save-state', 'read.state', *machine)
    m = memory('read.state')
    done, header, data = m[0xF000], *struct.unpack_from('<HH', m, 0xF002)
    return {'done': done, 'header': m[0x8000:0x8000 + header], 'data': m[0x8100:0x8100 + data],
            'verdicts': tuple(m[0xF008:0xF00B])}


def frames_for(seconds, machine):
    return int(seconds * (60 if machine else 50)) + 60


def edges(recorded, level=24576):
    """The times of a recording's edges, in seconds: the output's samples are
    its mean level over each sample's span, so a sample between the two
    levels says where in it the edge fell."""
    out = []
    for i in range(1, len(recorded)):
        v = recorded[i]
        if abs(v) < level:
            rising = recorded[i - 1] < 0
            out.append((i + (1 - v / level if rising else 1 + v / level) / 2) / 44100)
        elif v != recorded[i - 1] and abs(recorded[i - 1]) == level:
            out.append(i / 44100)
    return out


def formats():
    """Tapes as tape tools make them, every format and rate, some played off
    speed, are read whole on both machines; so are headers that give the
    length high byte first and leave the start address out of their sum."""
    program = bytes((i * 91 + 17) & 0xFF for i in range(300))
    header = tf.header_block('TOOL TAPE', len(program), 0x9800)
    data = tf.data_block(program)
    tool_header = tf.header_block('TOOL TAPE', len(program), 0x9800, big_endian_length=True,
                                  sum_address=False)
    basic = bytes(range(40))
    basic_header = tf.header_block('LISTING', len(basic), big_endian_length=True)
    tapes = [('9600 Hz 8-bit', dict(rate=9600, bits=8), header, data),
             ('9600 Hz 8-bit, length high byte first, address not summed', dict(rate=9600, bits=8),
              tool_header, data),
             ('9600 Hz 8-bit BASIC', dict(rate=9600, bits=8), basic_header,
              tf.data_block(basic, machine_language=False)),
             ('11025 Hz 16-bit stereo', dict(rate=11025, bits=16, channels=2), header, data),
             ('22050 Hz 8-bit stereo, 10% fast', dict(rate=22050, bits=8, channels=2, speed=1.1),
              header, data),
             ('44100 Hz 16-bit', dict(rate=44100, bits=16), header, data),
             ('48000 Hz 16-bit, 10% slow', dict(rate=48000, bits=16, speed=0.9), header, data),
             ('9600 Hz 8-bit, 8% slow', dict(rate=9600, bits=8, speed=0.92), header, data)]
    for what, how, head, body in tapes:
        tf.tape_wav('tape.wav', [head, body], gap_seconds=0.3, **how)
        seconds = tf.levels([head, body], 0.3, how.get('speed', 1.0))[1]
        for machine in ((), ('--ntsc',)):
            got = read_back('tape.wav', frames_for(seconds, machine), *machine)
            check(got == {'done': 1, 'header': head, 'data': body, 'verdicts': (1, 1, 1)},
                  f'{what} {machine}: read {got["header"].hex()} and {len(got["data"])} bytes, '
                  f'verdicts {got["verdicts"]}')


def writes():
    """What the writer puts out through port C bit 4 under --tape-out is the
    format with its timing, as the documented decoder reads it, on both
    machines; played back, the reader gets the same bytes on either."""
    header = tf.header_block(WRITTEN_NAME, len(WRITTEN), WRITTEN_ADDRESS)
    data = tf.data_block(WRITTEN)
    for machine in ((), ('--ntsc',)):
        name = f'written{"-ntsc" if machine else ""}.wav'
        quav(WRITER, '--frames', str(frames_for(11.5, machine)), '--tape-out', name, *machine)
        recorded = wav_samples(name)
        blocks = tf.decode(recorded, 44100)
        check([b for b, _ in blocks] == [header, data], f'{name} decodes to {blocks and blocks[0][0]}')
        halves = [b - a for a, b in zip(edges(recorded), edges(recorded)[1:]) if b - a < 0.01]
        short = [h for h in halves if h < 1.5 / 4800]
        long = [h for h in halves if h >= 1.5 / 4800]
        check(short and long and max(abs(h * 4800 - 1) for h in short) < 0.002 and
              max(abs(h * 2400 - 1) for h in long) < 0.002,
              f'{name}: half-cycles off 2400/1200 Hz by more than 0.2 %')
    for written in ('written.wav', 'written-ntsc.wav'):
        for machine in ((), ('--ntsc',)):
            got = read_back(written, frames_for(11.5, machine), *machine)
            check(got == {'done': 1, 'header': header, 'data': data, 'verdicts': (1, 1, 1)},
                  f'{written} read back {machine}: {got["header"].hex()}, {len(got["data"])} bytes')


def damaged():
    """A tape that cannot be read: one line, exit 1 before the first frame,
    nothing written."""
    tf.tape_wav('good.wav', [tf.data_block(b'x')], rate=9600)
    whole = open('good.wav', 'rb').read()
    open('text.wav', 'w').write('not a tape\n')
    open('cut.wav', 'wb').write(whole[:30])
    os.mkdir('folder.wav')
    for tape, reason in (('missing.wav', 'No such file or directory'), ('folder.wav', 'Is a directory'),
                         ('text.wav', 'not a WAV file'), ('cut.wav', 'cut short inside its header')):
        outputs = ['shot.bmp', 'out.wav', 'sound.wav', 'log.vgm', 'end.state', 'keys.txt']
        run = subprocess.run([ENV['QUAV_BIN'], '--headless', READER, '--tape', tape, '--shot',
                              outputs[0], '--tape-out', outputs[1], '--wav', outputs[2], '--vgm',
                              outputs[3], '--save-state', outputs[4], '--record', outputs[5]],
                             capture_output=True, text=True)
        check(run.returncode == 1 and run.stderr == f'quav: cannot play the tape {tape}: {reason}\n',
              f'{tape}: exit {run.returncode}, said {run.stderr!r}')
        check(not [f for f in os.listdir() if f.startswith(tuple(outputs))],
              f'{tape}: something was written: {os.listdir()}')


if __name__ == '__main__':
    for rom in (WRITER, READER):
        if not os.path.exists(rom):
            print(f'SKIP: {rom} was not built')
            sys.exit(77)
    with tempfile.TemporaryDirectory() as tmp:
        os.chdir(tmp)
        globals()[sys.argv[1]]()
    sys.exit(1 if failures else 0)
