#!/usr/bin/env python3
"""Makes the Dr. Halo samples of the CUT reader tests. Run once by hand (needs python3 and imagemagick);
the outputs are committed.

No free program writes CUT files, so this script writes them itself, following the format's public
description: a 6-byte little-endian header (width, height, 2 bytes not used), then per row a 16-bit
length and packets (a count byte c: c & 0x80 repeats the next byte c & 0x7F times, else c bytes follow
as they are) ended by a 0 byte. The palette file beside the picture has 512-byte blocks: a 40-byte header
("AH", version, size, file type 10, subtype, board, mode, highest index, the largest red, green and blue
value, and a name) and entries of three 16-bit words, none crossing a block.

  picture.cut, picture.pal   an ImageMagick drawing reduced to 256 colours, 37 x 23 pixels; the palette
                             holds 256 entries, so they continue in the second block
  gray.cut                   the same indices without a palette file

References, rows top first: picture.rgb (R G B), which ImageMagick's own CUT reader also gives for
picture.cut with picture.pal, and gray.gray (the indices, shown as gray levels).
"""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
from sample_tools import HEIGHT, WIDTH, drawing, run, runs  # noqa: E402


def pack(row):
    """Packets of one row, ended by a 0 byte, after its length."""
    out = b''.join(bytes([0x80 | length, value]) if length else bytes([len(value)]) + value
                   for length, value in runs(row, 127)) + b'\0'
    return struct.pack('<H', len(out)) + out


os.chdir(os.path.dirname(os.path.abspath(__file__)))
rgb = drawing(colors=200)
colours = sorted(set(rgb[i:i + 3] for i in range(0, len(rgb), 3)))
assert len(colours) <= 256
# Every index is used by a colour or stands for a spare colour, so the palette has 256 entries.
palette = colours + [bytes([i, 255 - i, 128]) for i in range(len(colours), 256)]
indices = bytes(palette.index(rgb[i:i + 3]) for i in range(0, len(rgb), 3))

cut = struct.pack('<HHH', WIDTH, HEIGHT, 0)
cut += b''.join(pack(indices[y * WIDTH:(y + 1) * WIDTH]) for y in range(HEIGHT))
for name in ('picture.cut', 'gray.cut'):
    with open(name, 'wb') as f:
        f.write(cut)

blocks = bytearray(b'AH' + struct.pack('<HHBBHHHHHH', 0x0A, 0, 10, 0, 0, 0, 255, 255, 255, 255))
blocks += b'Dr. Halo'.ljust(40 - len(blocks), b'\0')
for colour in palette:
    if len(blocks) % 512 > 506:
        blocks += bytes(512 - len(blocks) % 512)
    blocks += struct.pack('<3H', *colour)
blocks += bytes(-len(blocks) % 512)
with open('picture.pal', 'wb') as f:
    f.write(blocks)

with open('picture.rgb', 'wb') as f:
    f.write(rgb)
with open('gray.gray', 'wb') as f:
    f.write(indices)
assert run(['convert', 'picture.cut', '-depth', '8', 'rgb:-']) == rgb
