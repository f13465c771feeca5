#!/usr/bin/env bash
# Makes the metafiles that test the reader's limits and its reading of lawful but unusual records. Run
# once from this folder; the files are committed. Written by python3 from Microsoft's published
# descriptions of the formats ([MS-WMF], [MS-EMF]), with the helpers of metafile_records.py.
#
# costly/: small files that ask for much memory or work. A 64-byte WMF of a 16384 x 16384 picture; run-length
# DIBs of 4096 x 4096 pixels that hold nothing but their end code (a few bytes for 16 million pixels), blitted
# and made pattern brushes hundreds of times; clipping paths of thousands of ellipses and rectangles and of a
# million-point polygon; a hundred thousand rotated clipping rectangles on a 4096 x 4096 picture, and as
# many excluded ones on a 2184 x 2184 picture.
#
# lawful/: records that the formats allow and a reader easily refuses: an EMF SMALLTEXTOUT without its
# clipping rectangle (its flags say so), an EMF BITBLT whose bitmap has the 12-byte BITMAPCOREHEADER, and
# the smallest placeable WMF (header, two SAVEDC, EOF: 58 bytes).
#
# cut/: shapes.wmf and shapes.emf cut after a record, as a copy that stops early leaves them: no
# end-of-file record, and a header whose size (and for the EMF, record count) is larger than the file.
set -euo pipefail
cd "$(dirname "$0")"
mkdir -p costly lawful cut

python3 - <<'PY'
import math
import struct
import sys

sys.path.insert(0, '.')
from metafile_records import *

def write(name, data):
    open(name, 'wb').write(data)

def rle8_dib(width, height, colours, data):
    # BITMAPINFOHEADER of an RLE8 bitmap, its colour table, then the run-length data.
    table = b''.join(colorref(0, 0, 0) if i % 2 == 0 else colorref(255, 255, 255) for i in range(colours))
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 1, len(data), 0, 0, colours, 0) + table + data

# 4096 x 4096 pixels in 50 bytes: two colours and the end-of-bitmap code alone.
sparse = rle8_dib(4096, 4096, 2, b'\x00\x01')
# The same in 64 bytes: four colours, three end-of-line codes and the end of the bitmap.
sparse64 = rle8_dib(4096, 4096, 4, b'\x00\x00' * 3 + b'\x00\x01')
assert len(sparse) == 50 and len(sparse64) == 64

# A 16384 x 16384 picture (16384 units at 96 per inch) painted black by one PATBLT: 64 bytes.
write('costly/canvas-16384.wmf',
      wmf_file([wmf_record(0x061D, 0x0042, 0x0000, 16384, 16384, 0, 0)], 0, (0, 0, 16384, 16384)))

# STRETCHDIB of the sparse DIB onto a 100 x 100 picture: once (124 bytes), then 1000 times.
stretchdib = wmf_record(0x0F43, 0x0020, 0x00CC, 0, 4096, 4096, 0, 0, 100, 100, 0, 0, data=sparse)
write('costly/sparse-dib.wmf', wmf_file([stretchdib], 0, (0, 0, 100, 100)))
write('costly/sparse-dib-1000.wmf', wmf_file([stretchdib] * 1000, 0, (0, 0, 100, 100)))

# EMF STRETCHDIBITS of the sparse DIB, 100 times: header and table at 80, the code at 128.
stretchdibits = emf_record(81, bounds + struct.pack('<iiiiii', 0, 0, 0, 0, 4096, 4096) +
                           struct.pack('<IIIIII', 80, 48, 128, 2, 0, 0x00CC0020) +
                           struct.pack('<ii', 100, 100) + sparse + b'\0\0')
write('costly/sparse-dib-100.emf', emf_file([stretchdibits] * 100, 1, width=100, height=100))

# DIBCREATEPATTERNBRUSH (BS_DIBPATTERN, DIB_RGB_COLORS) of the sparse DIB: 100 brushes of the 50-byte
# DIB, 200 of the 64-byte one; then the first brush fills the picture.
def brushes(dib, count):
    records = [wmf_record(0x0142, 5, 0, data=dib)] * count
    return records + [wmf_record(SELECT, 0), rect(0x041B, 0, 0, 100, 100)]
write('costly/patternbrush-100.wmf', wmf_file(brushes(sparse, 100), 200, (0, 0, 100, 100)))
write('costly/patternbrush-200.wmf', wmf_file(brushes(sparse64, 200), 200, (0, 0, 100, 100)))

# Clipping to a path, then the 100 x 100 picture filled black through it.
def clipped_by_path(figures, width=100, height=100):
    records = [emf_record(59)] + figures + [emf_record(60), emf_record(67, struct.pack('<I', 5)),
                                            select(0x80000004), select(0x80000008),
                                            emf_record(43, box(0, 0, width, height))]
    return emf_file(records, 1, width=width, height=height)

def ellipse(i):
    # Ellipses of 50 x 30 pixels, each at its own place on a 50 x 70 grid.
    left, top = i % 50, i // 50 % 70
    return emf_record(42, box(left, top, left + 50, top + 30))
for count in (1000, 10000, 30000):
    write('costly/clippath-ellipses-%d.emf' % count, clipped_by_path([ellipse(i) for i in range(count)]))

# Rectangles of 3 x 3 pixels on a 2-pixel grid, 100,000 of them.
squares = [emf_record(43, box(2 * (i % 48), 2 * (i // 48 % 48), 2 * (i % 48) + 3, 2 * (i // 48 % 48) + 3))
           for i in range(100000)]
write('costly/clippath-rectangles-100000.emf', clipped_by_path(squares))

# One POLYGON of a million points spread over the picture by a linear congruential sequence.
seed, corners = 12345, []
for _ in range(1000000):
    seed = (seed * 1103515245 + 12345) % 2 ** 31
    corners.append((seed % 101, (seed >> 8) % 101))
polygon = emf_record(3, bounds + struct.pack('<I', len(corners)) +
                     b''.join(struct.pack('<ii', x, y) for x, y in corners))
write('costly/clippath-polygon-1000000.emf', clipped_by_path([polygon]))

# A world transform turning 30 degrees about the centre of a 4096 x 4096 picture, then the same
# rectangle intersected with the clipping 100,000 times, then the picture filled black.
angle = math.radians(30)
cos, sin = math.cos(angle), math.sin(angle)
turn = emf_record(35, struct.pack('<ffffff', cos, sin, -sin, cos,
                                  2048 - 2048 * cos + 2048 * sin, 2048 - 2048 * sin - 2048 * cos))
intersect = emf_record(30, box(512, 512, 3584, 3584))
write('costly/intersectcliprect-rotated-100000.emf',
      emf_file([turn] + [intersect] * 100000 +
               [select(0x80000004), select(0x80000008), emf_record(43, box(0, 0, 4096, 4096))],
               1, width=4096, height=4096))

# 100,000 rectangles of 1 x 1 unit excluded on a 2-unit grid of 1000 x 100 cells, then the 2184 x 2184
# picture filled black.
exclusions = [rect(0x0415, 5 + 2 * (i % 1000), 5 + 2 * (i // 1000), 6 + 2 * (i % 1000), 6 + 2 * (i // 1000))
              for i in range(100000)]
write('costly/excludecliprect-100000.wmf',
      wmf_file(exclusions + [brush(0, (0, 0, 0)), wmf_record(SELECT, 0), rect(0x041B, 0, 0, 2184, 2184)],
               1, (0, 0, 2184, 2184)))

# SMALLTEXTOUT, first record of a 100 x 60 EMF: "Orvanta" in 8-bit characters (ETO_SMALL_CHARS) at
# (4, 4) without a rectangle (ETO_NO_RECT); then, on a blue background, "Hi" in 16-bit characters at
# (62, 32) with the opaque rectangle (60, 30)-(96, 56).
def smalltextout(x, y, options, text, rectangle=None):
    chars = text.encode('latin-1' if options & 0x200 else 'utf-16-le')
    chars += b'\0' * ((4 - len(chars) % 4) % 4)
    fixed = struct.pack('<iiIIIff', x, y, len(text), options, 1, 0, 0)
    return emf_record(108, fixed + (box(*rectangle) if rectangle else b'') + chars)
write('lawful/smalltextout.emf',
      emf_file([smalltextout(4, 4, 0x100 | 0x200, 'Orvanta'),
                emf_record(25, colorref(0, 0, 255)),  # SETBKCOLOR
                smalltextout(62, 32, 0x2, 'Hi', (60, 30, 96, 56))], 1, width=100, height=60))

# BITBLT of a 4 x 2 bitmap of 24 bits whose header is a BITMAPCOREHEADER, to (10, 10) of a 20 x 20 EMF:
# top row red, green, blue, white; bottom row black, yellow, magenta, cyan.
rows = [[(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255)],
        [(0, 0, 0), (255, 255, 0), (255, 0, 255), (0, 255, 255)]]
bits = b''.join(b''.join(struct.pack('<BBB', b, g, r) for r, g, b in row) for row in reversed(rows))
core = struct.pack('<IHHHH', 12, 4, 2, 1, 24)
bitblt = emf_record(76, bounds + struct.pack('<iiii', 10, 10, 4, 2) + struct.pack('<Iii', 0x00CC0020, 0, 0) +
                    struct.pack('<ffffff', 1, 0, 0, 1, 0, 0) + colorref(0, 0, 0) +
                    struct.pack('<IIIII', 0, 100, len(core), 100 + len(core), len(bits)) + core + bits)
write('lawful/bitblt-core.emf', emf_file([bitblt], 1, width=20, height=20))

# A placeable WMF of 40 x 30 pixels that draws nothing: the header, two SAVEDC and EOF, 58 bytes.
write('lawful/placeable-58.wmf', wmf_file([wmf_record(0x001E)] * 2, 0, (0, 0, 40, 30)))

# The samples cut after a record in their middle, as a copy stopped early leaves them.
def cut_after(data, at, records, size_of):
    for _ in range(records):
        at += size_of(data, at)
    return data[:at]
write('cut/shapes-cut.wmf', cut_after(open('shapes.wmf', 'rb').read(), 40, 20,
                                      lambda data, at: struct.unpack_from('<I', data, at)[0] * 2))
write('cut/shapes-cut.emf', cut_after(open('shapes.emf', 'rb').read(), 88, 20,
                                      lambda data, at: struct.unpack_from('<I', data, at + 4)[0]))
PY
