#!/usr/bin/env python3
"""Makes the Autodesk Animator samples of the Autodesk reader tests. Run once by hand (needs python3 and
imagemagick); the outputs are committed.

No free program writes or reads these files, so this script writes them itself, following the format's
public description: a 32-byte little-endian header (file id 0x9119, width, height, x and y offset, bits
per pixel 8, compression 0, size of the pixel data, 16 bytes reserved), a palette of 256 red, green,
blue triples of 6 bits each, then one byte per pixel, top row first.

  picture.cel   an ImageMagick drawing reduced to 200 colours, 37 x 23 pixels (the palette's remaining
                entries are spare colours, among them the largest value, 63)

Reference, rows top first: picture.rgb (R G B, each palette value times 4), the colours the script put
into the file.
"""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
from sample_tools import HEIGHT, WIDTH, drawing  # noqa: E402

os.chdir(os.path.dirname(os.path.abspath(__file__)))
rgb = drawing(colors=200)
pixels = [tuple(v >> 2 for v in rgb[i:i + 3]) for i in range(0, len(rgb), 3)]
colours = sorted(set(pixels))
assert len(colours) <= 256
palette = colours + [(i % 64, 63, 63 - i % 64) for i in range(len(colours), 256)]
indices = bytes(palette.index(p) for p in pixels)

header = struct.pack('<HHHHHBBI16x', 0x9119, WIDTH, HEIGHT, 0, 0, 8, 0, WIDTH * HEIGHT)
assert len(header) == 32
with open('picture.cel', 'wb') as f:
    f.write(header + bytes(v for colour in palette for v in colour) + indices)
with open('picture.rgb', 'wb') as f:
    f.write(bytes(4 * v for p in pixels for v in p))
