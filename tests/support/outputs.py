"""Readers of QUAV's output files for the end-to-end scripts. Run as a program:
`outputs.py writes VGM FROM` prints the sound chip writes of a VGM log from
sample FROM on, one 'SAMPLE BYTE' a line, SAMPLE counted from FROM."""
import struct
import sys
import wave


def wav_samples(path):
    """A WAV file's samples; it must be mono, 16-bit, 44,100 Hz."""
    with wave.open(path, 'rb') as w:
        form = (w.getnchannels(), w.getsampwidth(), w.getframerate())
        assert form == (1, 2, 44100), f'{path}: format {form}'
        return struct.unpack('<%dh' % w.getnframes(), w.readframes(w.getnframes()))


def vgm(path):
    """A VGM log's sample count from its header, its sound chip writes as
    (sample, byte) and its waits in order."""
    data, writes, waits, at, now = open(path, 'rb').read(), [], [], 0x40, 0
    assert data[:4] == b'Vgm ', f'{path}: not a VGM file'
    while data[at] != 0x66:
        op = data[at]
        if op == 0x50:
            writes.append((now, data[at + 1]))
            at += 2
            continue
        wait = {0x61: data[at + 1] | data[at + 2] << 8, 0x62: 735, 0x63: 882}.get(op)
        wait = (op & 15) + 1 if 0x70 <= op <= 0x7F else wait
        assert wait is not None, f'{path}: command {op:#x} at {at:#x}'
        waits.append(wait)
        now += wait
        at += 3 if op == 0x61 else 1
    return struct.unpack_from('<I', data, 0x18)[0], writes, waits


def pitch(samples):
    """A tone's frequency from its interpolated rising crossings of the mean; 0 for no tone."""
    mean = sum(samples) / len(samples)
    if max(samples) - min(samples) < 8000:
        return 0
    rises = [i - 1 + (samples[i - 1] - mean) / (samples[i - 1] - samples[i])
             for i in range(1, len(samples)) if samples[i - 1] < mean <= samples[i]]
    return (len(rises) - 1) * 44100 / (rises[-1] - rises[0])


if __name__ == '__main__' and sys.argv[1] == 'writes':
    start = int(sys.argv[3])
    for when, byte in vgm(sys.argv[2])[1]:
        if when >= start:
            print(when - start, '%02X' % byte)
