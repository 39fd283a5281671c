"""The SC-3000's cassette format, written from its documentation and not from
QUAV's code: tapes made from bytes, and tapes decoded back to bytes.

A bit "1" is two cycles of 2400 Hz, a bit "0" one cycle of 1200 Hz; a byte
is a start bit 0, its bits from bit 0 up and two stop bits 1. A file is two
blocks, each after a stretch of silence and a leader of 3600 bits "1": the
header (key code, 16-character name, length, for machine language a start
address, parity, two dummy bytes) and the data (key code, the bytes, parity,
two dummy bytes); the parity byte is the two's complement of the sum.

`tape_wav(...)` makes a WAV file of such blocks at any rate, 8 or 16 bits,
mono or stereo, as square waves (the way tape tools make them; silence is
the zero level); `decode(samples, rate)` finds the blocks in a recording by
its zero crossings and gives their bytes and the lengths of its half-cycles.
"""
import struct

BIT_SECONDS = 1 / 1200
LEADER_BITS = 3600


def parity(data):
    return -sum(data) & 0xFF


def header_block(name, length, address=None, big_endian_length=False, sum_address=True):
    """A header block: key 26h (machine language, with an address) or 16h."""
    name = name.encode('ascii').ljust(16)[:16]
    pack = '>H' if big_endian_length else '<H'
    fields = name + struct.pack(pack, length)
    summed = fields
    if address is not None:
        fields += struct.pack('<H', address)
        summed = fields if sum_address else summed
    key = 0x26 if address is not None else 0x16
    return bytes([key]) + fields + bytes([parity(summed), 0, 0])


def data_block(program, machine_language=True):
    return bytes([0x27 if machine_language else 0x17]) + bytes(program) + \
        bytes([parity(program), 0, 0])


def bits_of(block):
    """A block's bits, leader included."""
    bits = [1] * LEADER_BITS
    for byte in block:
        bits += [0] + [byte >> i & 1 for i in range(8)] + [1, 1]
    return bits


def levels(blocks, gap_seconds=1.0, speed=1.0):
    """The tape as (seconds, level) steps: level +1, -1 or 0 (silence)."""
    steps, t = [], 0.0
    bit = BIT_SECONDS / speed
    for block in blocks:
        steps.append((t, 0))
        t += gap_seconds / speed
        for b in bits_of(block):
            quarters = (1, -1, 1, -1) if b else (1, 1, -1, -1)
            for q in quarters:
                steps.append((t, q))
                t += bit / 4
    steps.append((t, 0))
    return steps, t + 0.05


def tape_wav(path, blocks, rate=9600, bits=8, channels=1, speed=1.0, gap_seconds=1.0):
    """Writes the blocks as a WAV tape; `speed` > 1 plays them faster."""
    steps, end = levels(blocks, gap_seconds, speed)
    count = int(end * rate)
    amplitude = 127 if bits == 8 else 24000
    frames = bytearray()
    s = 0
    for i in range(count):
        t = (i + 0.5) / rate
        while s + 1 < len(steps) and steps[s + 1][0] <= t:
            s += 1
        v = steps[s][1] * amplitude
        sample = bytes([128 + v]) if bits == 8 else struct.pack('<h', v)
        other = bytes([128]) if bits == 8 else b'\0\0'   # the other channels hold silence
        frames += sample + other * (channels - 1)
    block = channels * bits // 8
    header = b'RIFF' + struct.pack('<I', 36 + len(frames)) + b'WAVEfmt ' + \
        struct.pack('<IHHIIHH', 16, 1, channels, rate, rate * block, block, bits) + \
        b'data' + struct.pack('<I', len(frames))
    open(path, 'wb').write(header + frames)


def crossings(samples):
    """Zero crossings, in samples, interpolated between the samples' centres."""
    out = []
    for i in range(1, len(samples)):
        a, b = samples[i - 1], samples[i]
        if (a < 0) != (b < 0):
            out.append(i - 0.5 + a / (a - b))
    return out


def decode(samples, rate):
    """The blocks in a recording, as (bytes, half-cycle lengths in seconds)."""
    xs = crossings(samples)
    halves = [(xs[i + 1] - xs[i]) / rate for i in range(len(xs) - 1)]
    blocks, i = [], 0
    while i < len(halves):
        # A leader: 64 half-cycles in a row near 1/4800 s.
        if not all(abs(h * 4800 - 1) < 0.3 for h in halves[i:i + 64]):
            i += 1
            continue
        short = sorted(halves[i:i + 64])[32]
        data, used, i = bytearray(), [], i + 64

        def take(n):
            nonlocal i
            got = halves[i:i + n]
            i += n
            used.extend(got)
            return got if len(got) == n else None
        while True:
            # The start bit: the first long half-cycle after the stop bits.
            skipped = 0
            while i < len(halves) and halves[i] < 1.5 * short and (not data or skipped <= 40):
                used.append(halves[i])
                i += 1
                skipped += 1
            if i >= len(halves) or halves[i] > 4 * short or skipped > 40 and data:
                break
            if take(2) is None:
                break
            byte = 0
            for bit in range(8):
                cycle = take(2)
                if cycle is None:
                    break
                if sum(cycle) < 3 * short:
                    if take(2) is None:
                        break
                    byte |= 1 << bit
            data.append(byte)
        blocks.append((bytes(data), used))
    return blocks
