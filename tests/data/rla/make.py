#!/usr/bin/env python3
"""Makes the Wavefront RLA samples of the RLA reader tests. Run once by hand (needs python3 and
imagemagick); the outputs are committed.

No free program writes RLA files, so this script writes them itself, following the format's public
description: a 740-byte big-endian header, a table of one 32-bit offset per stored row, and rows whose
channels each hold a 16-bit packed length and run-length bytes (a signed count byte: n >= 0 repeats the
next byte n + 1 times, n < 0 copies -n bytes). The pictures are ImageMagick drawings, 37 x 23 pixels.

  rgb.rla          three colour channels, no matte, stored bottom row first (active bottom 0, top 22)
  rgba.rla         one matte channel, stored top row first (bottom 22, top 0), active window at x 5..41
  two_mattes.rla   two matte channels and one auxiliary channel; rows placed in the file in reverse
                   order, so only the offset table finds them

References, rows top first: the drawings the files were made from, rgb.rgb (R G B, for rgb.rla) and
rgba.rgba (R G B A, for rgba.rla and two_mattes.rla, whose second matte is never shown). The RLA readers
at hand could not serve as references: netpbm 11.1's rlatopam gives no colour channels for any file and
ImageMagick 6.9.11 calls every file corrupt, down to a 2 x 2 picture of single runs.
"""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
from sample_tools import HEIGHT, WIDTH, drawing, runs  # noqa: E402


def pack(channel):
    """Run-length bytes of one channel."""
    return b''.join(bytes([length - 1, value]) if length else struct.pack('b', -len(value)) + value
                    for length, value in runs(channel, 128))


def text(value, size):
    return value.encode().ljust(size, b'\0')


def write_rla(name, pixels, samples, mattes, aux, top_first, left, reverse_rows):
    bottom, top = (HEIGHT - 1, 0) if top_first else (0, HEIGHT - 1)
    header = struct.pack('>4h4h6h', 0, WIDTH - 1 + left, 0, HEIGHT - 1, left, WIDTH - 1 + left, bottom, top,
                         1, 0, 3, mattes, aux, -2)
    header += text('1.0', 16) + text('0.670 0.330', 24) + text('0.210 0.710', 24) + text('0.140 0.080', 24)
    header += text('0.310 0.316', 24) + struct.pack('>i', 7)
    header += text(name, 128) + text('sample', 128) + text('make.py', 64) + text('debian', 32)
    header += text('orvanta', 32) + text('Jan  1 00:00 2024', 20) + text('', 24) + text('1.0', 8)
    header += text('rgb', 32) + struct.pack('>h', 0) + text('', 12) + text('box', 32)
    header += struct.pack('>5h', 8, 0, 8, 0, 8) + text('', 32) + text('', 36) + struct.pack('>i', 0)
    assert len(header) == 740

    # Stored row y is picture row y from the top when stored top first, else from the bottom.
    rows = []
    for stored in range(HEIGHT):
        y = stored if top_first else HEIGHT - 1 - stored
        line = pixels[y * WIDTH * samples:(y + 1) * WIDTH * samples]
        channels = [line[c::samples] for c in range(3)]
        if mattes:
            channels.append(line[3::samples])
        channels += [bytes(255 - v for v in line[3::samples])] * (mattes - 1)
        channels += [bytes((x * 7) & 0xFF for x in range(WIDTH))] * aux
        rows.append(b''.join(struct.pack('>H', len(p)) + p for p in map(pack, channels)))

    data = bytearray()
    offsets = [0] * HEIGHT
    start = 740 + 4 * HEIGHT
    for stored in (reversed(range(HEIGHT)) if reverse_rows else range(HEIGHT)):
        offsets[stored] = start + len(data)
        data += rows[stored]
    with open(name, 'wb') as f:
        f.write(header + struct.pack(f'>{HEIGHT}i', *offsets) + data)


os.chdir(os.path.dirname(os.path.abspath(__file__)))
opaque = drawing(False)
clear = drawing(True)
write_rla('rgb.rla', opaque, 3, 0, 0, False, 0, False)
write_rla('rgba.rla', clear, 4, 1, 0, True, 5, False)
write_rla('two_mattes.rla', clear, 4, 2, 1, False, 0, True)
with open('rgb.rgb', 'wb') as f:
    f.write(opaque)
with open('rgba.rgba', 'wb') as f:
    f.write(clear)
