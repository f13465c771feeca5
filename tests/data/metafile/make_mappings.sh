#!/usr/bin/env bash
# Makes the metafiles whose mappings grow past what can be drawn. Run once from this folder; the files
# are committed. Written by python3 from Microsoft's published descriptions of the formats ([MS-WMF],
# [MS-EMF]), with the helpers of metafile_records.py.
#
# mapping/viewport-scaled-NN.emf (12 files): an anisotropic mapping whose viewport extent is scaled 33
# times, by 2^31 - 1 along one axis and by a half then 1 along the other, then a three-point path made
# the clipping and the picture filled black through it, then an ellipse, a rectangle and a bitmap. The
# pictures' sizes and the triangles' points vary; the last scaling leaves a unit some 10^307 pixels long,
# so that an edge of the path is flatter than a double's slope can tell.
#
# Their kin, each followed by the same drawing: mapping/window-shrunk.emf (the window extent scaled by
# 1 / (2^31 - 1), 33 times); mapping/world-multiplied.emf and mapping/world-shrunk.emf (the world
# transform multiplied 40 times by a scaling of 1000, or of 1/1000); mapping/world-no-number.emf (world
# transforms of infinities and of no number, set and multiplied); mapping/viewport-far.emf (a window
# origin of -(2^31 - 1), units of 2^20 pixels and a viewport origin 2^31 - 1 pixels away, then the
# viewport extent scaled by 2^31 - 1 four times); mapping/device-far.emf (a reference device of one
# pixel over 2^31 - 1 millimetres, every unit some 8 x 10^9 pixels long); mapping/viewport-scaled.wmf and
# mapping/window-shrunk.wmf (a WMF's viewport extent scaled by 32767, or its window extent by 1/32767,
# 20 times).
set -euo pipefail
cd "$(dirname "$0")"
mkdir -p mapping

python3 - <<'PY'
import struct
import sys

sys.path.insert(0, '.')
from metafile_records import *

def write(name, data):
    open(name, 'wb').write(data)

def ints(*values):
    return struct.pack('<%di' % len(values), *values)

def polygon(points):
    return emf_record(3, bounds + struct.pack('<I', len(points)) + b''.join(ints(x, y) for x, y in points))

# A 2 x 2 bitmap: red, green over blue, white.
bits = dib24(2, 2, [[(255, 0, 0), (0, 255, 0)], [(0, 0, 255), (255, 255, 255)]])
def stretchdibits(x, y, width, height):
    return emf_record(81, bounds + ints(x, y, 0, 0, 2, 2) +
                      struct.pack('<IIIIII', 80, 40, 120, len(bits) - 40, 0, 0x00CC0020) + ints(width, height) + bits)

def text(x, y, string):
    chars = string.encode('utf-16-le')
    chars += b'\0' * ((4 - len(chars) % 4) % 4)
    return emf_record(84, bounds + struct.pack('<Iff', 1, 0, 0) + struct.pack('<iiIII', x, y, len(string), 76, 0) +
                      box(0, 0, 0, 0) + struct.pack('<I', 0) + chars)

# After the mapping: the triangle made the clipping (RGN_COPY) and the picture filled black through it;
# then the clipping dropped (EXTSELECTCLIPRGN of no region), a red ellipse, a blue rectangle's outline
# of a wide pen, the bitmap and a text.
def drawing(points, width, height):
    return [emf_record(59), polygon(points), emf_record(60), emf_record(67, struct.pack('<I', 5)),
            select(0x80000004), select(0x80000008), emf_record(43, box(0, 0, width, height)),
            emf_record(75, struct.pack('<II', 0, 5)),
            logbrush(0, 0, (255, 0, 0)), select(0), emf_record(42, box(1, 1, width // 2, height // 2)),
            emf_record(38, struct.pack('<IIiiI', 1, 0, 3, 0, 0) + colorref(0, 0, 255)), select(1), select(0x80000005),
            emf_record(43, box(width // 3, height // 3, width - 2, height - 2)),
            stretchdibits(width // 2, 0, width // 4 + 1, height // 4 + 1), text(2, height // 2, 'Orvanta')]

def scale(kind, x_num, x_denom, y_num, y_denom):
    return emf_record(kind, ints(x_num, x_denom, y_num, y_denom))

ANISOTROPIC = emf_record(17, struct.pack('<I', 8))
BIG = 2 ** 31 - 1

sizes = [(24, 24), (24, 24), (30, 20), (48, 24), (17, 31), (100, 100), (16, 16), (24, 72), (12, 12),
         (200, 30), (30, 200), (64, 64)]
triangles = [[(-1, 1), (1, 2), (0, 9)], [(-1, 3), (1, 4), (0, 40)], [(1, 1), (-1, 2), (0, 15)],
             [(-1, 5), (1, 6), (0, 1)], [(1, 7), (-1, 8), (0, 30)], [(-1, 1), (1, 2), (0, 9)],
             [(-1, 1), (1, 4), (1, 9)], [(1, 11), (-1, 12), (0, 60)], [(0, 1), (1, 2), (-1, 3)],
             [(-1, 9), (1, 10), (0, 2)], [(1, 1), (-1, 2), (0, 199)], [(-1, 31), (1, 32), (0, 63)]]
for i, ((width, height), corners) in enumerate(zip(sizes, triangles)):
    # Even files grow along x and halve y once; odd ones the other way round (points turned to match).
    if i % 2 == 0:
        scalings = [scale(31, BIG, 1, 1, 2)] + [scale(31, BIG, 1, 1, 1)] * 32
    else:
        scalings = [scale(31, 1, 2, BIG, 1)] + [scale(31, 1, 1, BIG, 1)] * 32
        corners = [(y, x) for x, y in corners]
    write('mapping/viewport-scaled-%02d.emf' % (i + 1),
          emf_file([ANISOTROPIC] + scalings + drawing(corners, width, height), 2, width=width, height=height))

triangle = [(-1, 1), (1, 2), (0, 9)]
def kin(name, mapping, width=48, height=48):
    write('mapping/' + name, emf_file(mapping + drawing(triangle, width, height), 2, width=width, height=height))

kin('window-shrunk.emf', [ANISOTROPIC] + [scale(32, 1, BIG, 1, 1)] * 33)
def xform(*values, mode=None):
    data = struct.pack('<6f', *values)
    return emf_record(35, data) if mode is None else emf_record(36, data + struct.pack('<I', mode))
kin('world-multiplied.emf', [xform(1000, 0, 0, 1000, 0, 0, mode=3)] * 40)
kin('world-shrunk.emf', [xform(0.001, 0, 0, 0.001, 0, 0, mode=3)] * 40)
inf, nan = float('inf'), float('nan')
kin('world-no-number.emf', [xform(inf, 0, 0, 1, 0, 0), xform(nan, 0, 0, 1, 0, 0),
                            xform(1, 0, 0, 1, inf, 0, mode=2), xform(0, nan, 0, 1, 0, 0, mode=3),
                            xform(1e38, 0, 0, 1e38, 0, 0, mode=3), xform(1e38, 0, 0, 1e38, 0, 0, mode=3)])
kin('viewport-far.emf', [ANISOTROPIC, emf_record(10, ints(-BIG, BIG)), emf_record(11, ints(2 ** 20, 2 ** 20)),
                         emf_record(12, ints(BIG, -BIG))] + [scale(31, BIG, 1, BIG, 1)] * 4)
# The reference device's size in pixels and in millimetres, at bytes 72 to 87 of the header.
far = emf_file([ANISOTROPIC] + drawing(triangle, 48, 48), 2, width=48, height=48)
write('mapping/device-far.emf', far[:72] + ints(1, 1, BIG, BIG) + far[88:])

# The WMF kin: a placeable 48 x 48 picture, anisotropic, its viewport extent scaled up (words: y
# denominator, y numerator, x denominator, x numerator) or its window extent down, then a red
# triangle, clipping to a rectangle, a blue ellipse and the bitmap.
def wmf_drawing():
    return [brush(0, (255, 0, 0)), wmf_record(SELECT, 0),
            wmf_record(0x0324, 3, data=points([(-1, 1), (1, 2), (0, 9)])),
            rect(0x0416, 2, 2, 40, 40),
            brush(0, (0, 0, 255)), wmf_record(SELECT, 1), rect(0x0418, 4, 4, 30, 30),
            wmf_record(0x0F43, 0x0020, 0x00CC, 0, 2, 2, 0, 0, 10, 10, 30, 30, data=bits)]
wmf_anisotropic = wmf_record(0x0103, 8)
write('mapping/viewport-scaled.wmf',
      wmf_file([wmf_anisotropic] + [wmf_record(0x0412, 1, 1, 1, 32767)] * 20 + wmf_drawing(), 2, (0, 0, 48, 48)))
write('mapping/window-shrunk.wmf',
      wmf_file([wmf_anisotropic] + [wmf_record(0x0410, 32767, 1, 32767, 1)] * 20 + wmf_drawing(), 2, (0, 0, 48, 48)))
PY
