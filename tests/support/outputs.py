"""Readers of QUAV's output files for the end-to-end scripts, and a listener
for a steady tone. Run as a program: `outputs.py writes VGM FROM` prints the
sound chip writes of a VGM log from sample FROM on, one 'SAMPLE BYTE' a line,
SAMPLE counted from FROM."""
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


def raw_samples(path):
    """16-bit little-endian mono samples without a header (SDL's disk audio driver)."""
    data = open(path, 'rb').read()
    return struct.unpack('<%dh' % (len(data) // 2), data[:len(data) // 2 * 2])


def tone_faults(samples, level, half_period):
    """What is wrong with a square wave between 0 and `level` whose halves are
    `half_period` samples long, as it starts, plays and stops:
    - clicks: the wave's edges are the only steps of more than half its level
      (over two samples) that a fade leaves. An edge comes one half-period
      after the last; after the wave has stayed under half its level for two
      half-periods (a fade, a silence), the next edge comes anywhere but is
      smaller than three quarters of the level (it is fading in). Every other
      such step is a click, listed by its sample;
    - steady: from the end of the first fade-in to the start of the last
      fade-out, the first and last sample of the part of the tone at full
      level; in it, every half-period (between crossings of half the level)
      within 2 samples of their median and every high half at 90 % of the
      level, else `breaks` lists where (a gap, a dip, a jump in phase)."""
    clicks, low, last_edge, faded = [], 0, None, True
    for i in range(2, len(samples)):
        low = low + 1 if samples[i] < level // 2 else 0
        if low >= 2 * half_period:
            faded = True
        step = abs(samples[i] - samples[i - 2])
        if step <= level // 2 or (last_edge is not None and i - last_edge <= 2):
            continue
        if step >= level * 3 // 4 if faded else abs(i - last_edge - half_period) > 2.5:
            clicks.append(i)
        last_edge, faded = i, False
    half = level // 2
    crossings = [i for i in range(1, len(samples)) if (samples[i - 1] >= half) != (samples[i] >= half)]
    halves = [(a, b, max(samples[a:b]) if samples[a] >= half else None) for a, b in zip(crossings, crossings[1:])]
    full = [a for a, b, peak in halves if peak is not None and peak >= 0.9 * level]
    if not full:
        return {'clicks': clicks, 'steady': None, 'breaks': [], 'median': 0}
    start, end = full[0], full[-1]
    steady = [(a, b, peak) for a, b, peak in halves if start <= a and b <= end]
    lengths = sorted(b - a for a, b, _ in steady)
    median = lengths[len(lengths) // 2]
    breaks = [a for a, b, peak in steady if abs(b - a - median) > 2 or (peak is not None and peak < 0.9 * level)]
    whole = [b - a for a, b, _ in steady if abs(b - a - median) <= 2]
    return {'clicks': clicks, 'steady': (start, end), 'breaks': breaks, 'median': median,
            'mean': sum(whole) / len(whole)}


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
