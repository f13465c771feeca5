#!/usr/bin/env bash
# Makes the metafiles that ask for far more painting than their size justifies, and lawful drawings of
# many shapes. Run once from this folder; the files are committed. Written by python3 from Microsoft's
# published descriptions of the formats ([MS-WMF], [MS-EMF]), with the helpers of metafile_records.py.
#
# floods/: small files that repeat one record painting the whole of a large picture (placeable WMFs at
# 96 units per inch, one unit a pixel, unless said otherwise):
# - hatched-ellipses-2000.wmf and -100.wmf: ellipses filling a 4096 x 4096 picture with a cross-hatched
#   brush on an opaque background (28 KB for 2000);
# - patblt-16384-1000.wmf and -20.wmf: PATBLT of 16384 x 16384 pixels with a black brush on a 16384 x
#   16384 picture (18 KB for 1000);
# - roundrects-2000.wmf, pies-2000.wmf, polygons-2000.wmf (a star of 16 points): filled shapes as large
#   as a 4096 x 4096 picture;
# - rotated-rectangles-2000.emf: an EMF whose world transform turns 30 degrees about the middle of its
#   4096 x 4096 picture, then rectangles larger than the picture;
# - stretched-bitmaps-2000.wmf: STRETCHDIB of a 2 x 2 bitmap on to the whole 4096 x 4096 picture;
# - wide-pens-2000.wmf: lines across the 4096 x 4096 picture drawn with a pen 1000 pixels wide;
# - and what costs Qt far more than its pixels: comb-polygons-16.wmf (polygons of 1024 teeth from top
#   to bottom of the picture, 2048 edges on every row), columns-20000.wmf (rectangles one pixel wide
#   and 4096 high), clipped-shapes-10000.wmf (a clipping cut into 1000 columns, then small
#   rectangles), clipped-text-2000.wmf (the same clipping, then text clipped to a rectangle of its own
#   and small rectangles by turns), dashed-lines-2000.wmf (lines across the picture drawn with a dashed
#   pen 2 pixels wide, every dash on the same rows), text-2000.wmf (rows of text 200 pixels high) and
#   squeezed-dotted-pens-100.emf (a rectangle outlined 100 times with a dotted pen 3 units wide under a
#   mapping that squeezes x 2^31 - 1 times and stretches y 333,333 times).
#
# lawful/: small-shapes-5000.wmf (5000 ellipses and rectangles of 8 x 8 pixels on a grid of 10-pixel
# cells over a 1000 x 500 picture, in five colours) and background-500.wmf (a yellow background over a
# 4096 x 4096 picture, then 500 blue ellipses of 160 x 160 pixels on a grid of 180-pixel cells).
set -euo pipefail
cd "$(dirname "$0")"
mkdir -p floods lawful

python3 - <<'PY'
import math
import struct
import sys

sys.path.insert(0, '.')
from metafile_records import *

def write(name, data):
    open(name, 'wb').write(data)

def flood(name, side, setup, record, count, objects=4):
    write('floods/' + name, wmf_file(setup + [record] * count, objects, (0, 0, side, side)))

NULL_PEN = [pen(5, 0, (0, 0, 0)), wmf_record(SELECT, 0)]
def filled(style=0, rgb=(255, 0, 0), hatch=0):
    return NULL_PEN + [brush(style, rgb, hatch), wmf_record(SELECT, 1)]

S = 4096
whole = (0, 0, S, S)
for count in (2000, 100):
    flood('hatched-ellipses-%d.wmf' % count, S, filled(2, (0, 0, 255), 5), rect(0x0418, *whole), count)
black = filled(0, (0, 0, 0))
for count in (1000, 20):
    # PATBLT: raster operation PATCOPY, height, width, y, x.
    flood('patblt-16384-%d.wmf' % count, 16384, black,
          wmf_record(0x061D, 0x0021, 0x00F0, 16384, 16384, 0, 0), count)
flood('roundrects-2000.wmf', S, filled(), rect(0x061C, *whole, 512, 512), 2000)
# PIE: end point, start point, box (words reversed): from the top round to the right.
flood('pies-2000.wmf', S, filled(), wmf_record(0x081A, S // 2, S, 0, S // 2, S, S, 0, 0), 2000)
star = []
for i in range(16):
    r = S / 2 if i % 2 == 0 else S / 5
    star.append((round(S / 2 + r * math.cos(math.pi * i / 8)), round(S / 2 + r * math.sin(math.pi * i / 8))))
flood('polygons-2000.wmf', S, filled(), wmf_record(0x0324, len(star), data=points(star)), 2000)
flood('stretched-bitmaps-2000.wmf', S, [],
      wmf_record(0x0F43, 0x0020, 0x00CC, 0, 2, 2, 0, 0, S, S, 0, 0,
                 data=dib24(2, 2, [[(255, 0, 0), (0, 255, 0)], [(0, 0, 255), (255, 255, 255)]])), 2000)
flood('wide-pens-2000.wmf', S, [pen(0, 1000, (0, 128, 0)), wmf_record(SELECT, 0)],
      wmf_record(0x0325, 2, data=points([(0, 0), (S, S)])), 2000)

angle = math.radians(30)
cos, sin = math.cos(angle), math.sin(angle)
turn = emf_record(35, struct.pack('<ffffff', cos, sin, -sin, cos,
                                  S / 2 - S / 2 * cos + S / 2 * sin, S / 2 - S / 2 * sin - S / 2 * cos))
write('floods/rotated-rectangles-2000.emf',
      emf_file([turn, logbrush(0, 0, (255, 0, 0)), select(0), select(0x80000008)] +
               [emf_record(43, box(-S // 4, -S // 4, S + S // 4, S + S // 4))] * 2000, 1, width=S, height=S))

teeth = []
for i in range(1024):
    teeth += [(i * 4, 0), (i * 4 + 2, S)]
flood('comb-polygons-16.wmf', S, filled(), wmf_record(0x0324, len(teeth), data=points(teeth)), 16)
write('floods/columns-20000.wmf',
      wmf_file(filled() + [rect(0x041B, i % 4096, 0, i % 4096 + 1, S) for i in range(20000)], 4, (0, 0, S, S)))
# EXCLUDECLIPRECT of 1000 columns two pixels wide, four apart, from top to bottom.
columns = [rect(0x0415, 2 + 4 * i, 0, 4 + 4 * i, S) for i in range(1000)]
write('floods/clipped-shapes-10000.wmf',
      wmf_file(filled() + columns + [rect(0x041B, i % 3000, i % 4000, i % 3000 + 4, i % 4000 + 4)
                                     for i in range(10000)], 4, (0, 0, S, S)))
# An anisotropic mapping that squeezes x 2^31 - 1 times and stretches y 333,333 times, a dotted pen 3
# units wide with round ends, and a rectangle of 32764 x 1000001 units outlined 100 times.
squeezed = [emf_record(17, struct.pack('<I', 8)), emf_record(32, struct.pack('<iiii', 2 ** 31 - 1, 1, 3, 1000000)),
            emf_record(38, struct.pack('<IIiiI', 1, 0x308, 3, 0, 0) + colorref(0, 0, 255)), select(1)]
write('floods/squeezed-dotted-pens-100.emf',
      emf_file(squeezed + [emf_record(43, box(3, -1, 32767, 1000000))] * 100, 2, width=92, height=92))
# The same clipping, then text clipped to a rectangle of its own and a small rectangle by turns: each
# hands the painter a clipping of its own.
text_and_shapes = []
for i in range(2000):
    x, y = i % 3000, i % 4000
    # EXTTEXTOUT: y, x, length, ETO_CLIPPED, the rectangle (left, top, right, bottom), the text.
    text_and_shapes += [wmf_record(0x0A32, y, x, 2, 4, x, y, x + 20, y + 20, data=b'Hi'),
                        rect(0x041B, x, y, x + 4, y + 4)]
write('floods/clipped-text-2000.wmf', wmf_file(filled() + columns + text_and_shapes, 4, (0, 0, S, S)))
write('floods/dashed-lines-2000.wmf',
      wmf_file([pen(1, 2, (0, 0, 0)), wmf_record(SELECT, 0)] +
               [wmf_record(0x0325, 2, data=points([(0, 10 + i % 4000), (S, 10 + i % 4000)])) for i in range(2000)],
               4, (0, 0, S, S)))
line = b'Orvanta merges a night of stars'
font = wmf_record(0x02FB, -200, 0, 0, 0, 400, 0, 0, 0, 0, data=b'Sans\0\0')
write('floods/text-2000.wmf',
      wmf_file([font, wmf_record(SELECT, 0)] +
               [wmf_record(0x0521, len(line), data=line + b'\0' + struct.pack('<hh', 200 * (i % 20), 0))
                for i in range(2000)], 4, (0, 0, S, S)))

# Lawful drawings: many small shapes in five colours, cell (column, row) coloured (column + row) % 5 and
# an ellipse where column + row is even, a rectangle where it is odd.
colours = [(255, 0, 0), (0, 160, 0), (0, 0, 255), (200, 160, 0), (128, 0, 128)]
records = NULL_PEN + [brush(0, c) for c in colours]
for i in range(5000):
    column, row = i % 100, i // 100
    kind = 0x0418 if (column + row) % 2 == 0 else 0x041B
    records += [wmf_record(SELECT, 1 + (column + row) % 5),
                rect(kind, 10 * column + 1, 10 * row + 1, 10 * column + 9, 10 * row + 9)]
write('lawful/small-shapes-5000.wmf', wmf_file(records, 8, (0, 0, 1000, 500)))
records = NULL_PEN + [brush(0, (255, 255, 0)), wmf_record(SELECT, 1), rect(0x041B, *whole),
                      brush(0, (0, 0, 255)), wmf_record(SELECT, 2)]
for i in range(500):
    column, row = i % 22, i // 22
    records.append(rect(0x0418, 180 * column + 10, 180 * row + 10, 180 * column + 170, 180 * row + 170))
write('lawful/background-500.wmf', wmf_file(records, 4, whole))
PY
