#!/usr/bin/env bash
# Makes the metafile samples of the drawing-layer tests. Run once from this folder; the files are committed.
#
# beef.wmf and fish.wmf are clip art shipped by Debian's libreoffice-dev-doc (LibreOffice SDK examples,
# usr/lib/libreoffice/sdk/examples/basic/forms_and_controls), copied as they are.
#
# shapes.wmf, text.wmf, plain.wmf and shapes.emf are written below by python3 from Microsoft's
# published descriptions of the formats ([MS-WMF], [MS-EMF]), one record after another, so that each
# record kind the picture class draws appears: pens, brushes (solid, hatched, DIB pattern), polygons,
# polylines, poly-polygons, rectangles, rounded rectangles, ellipses, arcs, pies, chords, pixels,
# pattern fills, DIB blits, mapping modes, window and viewport origins and extents, saved and restored
# states, clipping, paths, Bezier curves, text.
#
# hostile/ holds a file for each record kind found read past its end by libUEMF or by the layout
# check: records cut short of their fixed part, or of the bitmap header or region data they announce,
# written as the file's last bytes.
#
# The references beef-ref.png and fish-ref.png are libwmf's rendering (wmf2gd, Debian libwmf-bin; its fonts come from
# fonts-urw-base35) at the size the picture class gives each file, laid on white. No free tool draws
# EMF files on Linux, and libwmf leaves some shapes of shapes.wmf unfilled, so the scripted files are
# checked at known points instead.
set -euo pipefail
cd "$(dirname "$0")"

python3 - <<'PY'
import struct
import sys

sys.path.insert(0, '.')
from metafile_records import *

shapes = [
    wmf_record(0x020B, 0, 0),                       # SETWINDOWORG
    wmf_record(0x020C, 150, 200),                   # SETWINDOWEXT
    wmf_record(0x0106, 1),                          # SETPOLYFILLMODE alternate
    brush(0, (255, 0, 0)), wmf_record(SELECT, 0),   # solid red brush, object 0
    pen(0, 1, (0, 0, 0)), wmf_record(SELECT, 1),    # black pen, object 1
    rect(0x041B, 10, 10, 60, 50),                   # RECTANGLE
    brush(0, (0, 0, 255)), wmf_record(SELECT, 2),
    rect(0x0418, 70, 10, 130, 50),                  # ELLIPSE
    brush(2, (0, 160, 0), 4), wmf_record(SELECT, 3), # hatched cross brush
    wmf_record(0x0102, 1),                          # SETBKMODE transparent
    wmf_record(0x0324, 3, data=points([(140, 50), (170, 10), (195, 50)])),   # POLYGON
    pen(0, 3, (255, 0, 255)), wmf_record(SELECT, 4),
    wmf_record(0x0325, 3, data=points([(10, 60), (60, 60), (60, 90)])),      # POLYLINE
    wmf_record(SELECT, 1),
    brush(0, (255, 255, 0)), wmf_record(SELECT, 5),
    wmf_record(0x0538, 2, 4, 4, data=points([(70, 60), (100, 60), (100, 90), (70, 90),
                                              (105, 60), (130, 60), (130, 90), (105, 90)])),  # POLYPOLYGON
    brush(0, (0, 255, 255)), wmf_record(SELECT, 6),
    rect(0x061C, 140, 60, 195, 90, 12, 12),         # ROUNDRECT corner 12 x 12
    wmf_record(0x0817, 122, 10, 122, 60, 145, 60, 100, 10),   # ARC: end (10,122), start (60,122), box
    wmf_record(0x081A, 100, 95, 122, 120, 145, 120, 100, 70), # PIE: end (95,100), start (120,122)
    wmf_record(0x0830, 145, 130, 100, 180, 145, 180, 100, 130),  # CHORD: end (130,145), start (180,100)
    wmf_record(0x001E),                             # SAVEDC
    wmf_record(0x020B, -5, -150),                   # SETWINDOWORG: drawing moves 150 right, 5 down
    brush(0, (128, 0, 128)), wmf_record(SELECT, 7),
    rect(0x041B, 0, 100, 30, 115),                  # RECTANGLE at (150..180, 105..120) on the picture
    wmf_record(0x0127, -1),                         # RESTOREDC
    # PATBLT PATCOPY of 8 x 8 at (185, 130): the brush selected at SAVEDC (cyan) is back.
    wmf_record(0x061D, 0x0021, 0x00F0, 8, 8, 130, 185),
]
dib = dib24(4, 4, [[(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255)]] * 2 +
                  [[(0, 0, 0), (255, 255, 0), (255, 0, 255), (0, 255, 255)]] * 2)
shapes += [
    # STRETCHDIB: all 4 x 4 pixels to (150, 125) at 40 x 20, SRCCOPY, DIB_RGB_COLORS.
    wmf_record(0x0F43, 0x0020, 0x00CC, 0, 4, 4, 0, 0, 20, 40, 125, 150, data=dib),
    wmf_record(0x041F, data=colorref(0, 128, 255) + struct.pack('<hh', 140, 5)),  # SETPIXEL (5, 140)
]
for i in range(8):
    shapes.append(wmf_record(DELETE, i))
open('shapes.wmf', 'wb').write(wmf_file(shapes, 8, (0, 0, 200, 150)))

text = [
    wmf_record(0x020B, 0, 0), wmf_record(0x020C, 60, 160),
    wmf_record(0x02FB, -24, 0, 0, 0, 700, data=bytes([0, 0, 0, 0, 0, 0, 0, 0]) + b'DejaVu Sans\0'),
    wmf_record(SELECT, 0),
    wmf_record(0x0209, data=colorref(200, 0, 0)),    # SETTEXTCOLOR
    wmf_record(0x0102, 1),                           # SETBKMODE transparent
    wmf_record(0x0521, 7, data=b'Orvanta\0' + struct.pack('<hh', 4, 8)),        # TEXTOUT at (8, 4)
    wmf_record(0x0201, data=colorref(0, 0, 255)),    # SETBKCOLOR blue
    # EXTTEXTOUT at (8, 32) with an opaque rectangle (100, 30)-(150, 55) and no text in it.
    wmf_record(0x0A32, 32, 8, 2, 2, data=struct.pack('<hhhh', 100, 30, 150, 55) + b'Hi'),
]
open('text.wmf', 'wb').write(wmf_file(text, 1, (0, 0, 160, 60)))

# A plain WMF: anisotropic mapping and a window in twips (1440 units per inch), so 2880 x 1440
# units make a 192 x 96 picture; the green rectangle covers its right half.
plain = [
    wmf_record(0x0103, 8),                           # SETMAPMODE anisotropic
    wmf_record(0x020B, 0, 0), wmf_record(0x020C, 1440, 2880),
    brush(0, (0, 200, 0)), wmf_record(SELECT, 0),
    pen(5, 0, (0, 0, 0)), wmf_record(SELECT, 1),     # null pen
    rect(0x041B, 1440, 0, 2880, 1440),
]
open('plain.wmf', 'wb').write(wmf_file(plain, 2))

dib2 = dib24(2, 2, [[(255, 0, 0), (0, 255, 0)], [(0, 0, 255), (255, 255, 255)]])
def logfont(index, height, face):
    name = face.encode('utf-16-le').ljust(64, b'\0')
    return emf_record(82, struct.pack('<IiiiiiBBBBBBBB', index, height, 0, 0, 0, 700, 0, 0, 0, 0, 0, 0, 0, 0) + name)

def exttextoutw(x, y, text):
    chars = text.encode('utf-16-le')
    chars += b'\0' * ((4 - len(chars) % 4) % 4)
    fixed = 8 + 16 + 12 + 8 + 12 + 16 + 4   # up to and with offDx
    return emf_record(84, bounds + struct.pack('<Iff', 1, 0, 0) + struct.pack('<iiIII', x, y, len(text), fixed, 0) +
                      box(0, 0, 0, 0) + struct.pack('<I', 0) + chars)
emf = [
    emf_record(17, struct.pack('<I', 8)),                 # SETMAPMODE anisotropic
    emf_record(9, struct.pack('<ii', 1920, 1440)),        # SETWINDOWEXTEX: ten logical units a pixel
    emf_record(11, struct.pack('<ii', 192, 144)),         # SETVIEWPORTEXTEX
    logbrush(1, 0, (255, 0, 0)), select(1),
    select(0x80000008),                                   # NULL_PEN
    emf_record(43, box(100, 100, 600, 500)),              # RECTANGLE (10,10)-(60,50)
    emf_record(33),                                       # SAVEDC
    emf_record(36, struct.pack('<ffffffI', 1, 0, 0, 1, 700, 0, 2)),  # MODIFYWORLDTRANSFORM: 70 px right
    logbrush(2, 0, (0, 0, 255)), select(2),
    emf_record(42, box(0, 100, 500, 500)),                # ELLIPSE at (70,10)-(120,50)
    emf_record(34, struct.pack('<i', -1)),                # RESTOREDC: red brush, no transform
    select(0x80000004),                                   # BLACK_BRUSH
    emf_record(86, bounds + struct.pack('<I', 3) + points([(1300, 500), (1550, 100), (1800, 500)])),  # POLYGON16
    logbrush(3, 0, (255, 255, 0)), select(3),
    emf_record(91, bounds + struct.pack('<II', 2, 8) + struct.pack('<II', 4, 4) +
               points([(100, 600), (400, 600), (400, 900), (100, 900),
                       (500, 600), (700, 600), (700, 900), (500, 900)])),  # POLYPOLYGON16
    # EXTCREATEPEN: geometric solid, 40 units (4 px) wide, magenta; POLYLINE16 across the picture.
    emf_record(95, struct.pack('<IIIII', 4, 0, 0, 0, 0) +
               struct.pack('<III', 0x10000, 40, 0) + colorref(255, 0, 255) + struct.pack('<II', 0, 0)),
    select(4),
    emf_record(87, bounds + struct.pack('<I', 2) + points([(800, 1000), (1800, 1000)])),
    select(0x80000008),
    logbrush(5, 0, (0, 160, 0)), select(5),
    emf_record(59),                                       # BEGINPATH
    emf_record(27, struct.pack('<ii', 100, 1100)),        # MOVETOEX
    emf_record(54, struct.pack('<ii', 600, 1100)),        # LINETO
    emf_record(54, struct.pack('<ii', 600, 1400)),
    emf_record(61),                                       # CLOSEFIGURE
    emf_record(60),                                       # ENDPATH
    emf_record(62, bounds),                               # FILLPATH: green triangle
    select(0x80000007),                                   # BLACK_PEN
    emf_record(88, bounds + struct.pack('<I', 3) + points([(1000, 1100), (1200, 1400), (1400, 1400)])),  # POLYBEZIERTO16
    # STRETCHDIBITS: the 2 x 2 DIB onto (150,60)-(190,100).
    emf_record(81, bounds + struct.pack('<iiiiii', 1500, 600, 0, 0, 2, 2) +
               struct.pack('<IIIIII', 80, 40, 120, 16, 0, 0x00CC0020) + struct.pack('<ii', 400, 400) +
               dib2[:40] + dib2[40:]),
    logfont(7, -200, 'DejaVu Sans'), select(7),          # 20 pixels high
    emf_record(24, colorref(200, 0, 0)),                  # SETTEXTCOLOR
    emf_record(18, struct.pack('<I', 1)),                 # SETBKMODE transparent
    exttextoutw(1250, 1050, 'EMF'),                       # text from (125, 105)
    emf_record(30, box(1000, 0, 1200, 1440)),             # INTERSECTCLIPRECT: x 100..120 only
    logbrush(6, 0, (0, 255, 255)), select(6), select(0x80000008),
    emf_record(43, box(0, 1200, 1920, 1300)),             # RECTANGLE clipped to (100..120, 120..130)
]
open('shapes.emf', 'wb').write(emf_file(emf, 8))

# Hostile files, one for each record kind whose fields libUEMF read past the record: a black frame,
# then the short record as the file's last bytes (no end-of-file record), so that any read past the
# record is a read past the file.
hostile = {
    # DIBBITBLT and DIBSTRETCHBLT whose BITMAPINFOHEADER is cut after 30 bytes.
    'dibbitblt.wmf': wmf_record(0x0940, 0, 0, 0x00CC, 0, 0, 10, 10, 20, 20, data=dib2[:30]),
    'dibstretchblt.wmf': wmf_record(0x0B41, 0, 0x00CC, 2, 2, 0, 0, 10, 10, 20, 20, data=dib2[:30]),
    # STRETCHDIB with 20 bytes of header.
    'stretchdib.wmf': wmf_record(0x0F43, 0, 0x00CC, 0, 2, 2, 0, 0, 10, 10, 20, 20, data=dib2[:20]),
    # DIBCREATEPATTERNBRUSH of style BS_PATTERN and nothing after its style and colour usage.
    'patternbrush.wmf': wmf_record(0x0142, 3, 0),
    # SETDIBTODEV of 22 bytes: its fixed part ends with the destination x at 22..24.
    'setdibtodev.wmf': wmf_record(0x0D33, 0, 2, 0, 0, 0, 2, 2, 10),
    # SETWINDOWEXT and SETWINDOWORG with no point.
    'windowext.wmf': wmf_record(0x020C),
    'windoworg.wmf': wmf_record(0x020B),
    # Region records without region data, and a region counting more rectangles than it holds.
    'extselectcliprgn.emf': emf_record(75, struct.pack('<II', 0, 1)),
    'invertrgn.emf': emf_record(73, bounds + struct.pack('<I', 0)),
    'paintrgn.emf': emf_record(74, bounds + struct.pack('<I', 0)),
    'fillrgn.emf': emf_record(71, bounds + struct.pack('<II', 0, 1)),
    'framergn.emf': emf_record(72, bounds + struct.pack('<IIii', 0, 1, 1, 1)),
    'regioncount.emf': emf_record(75, struct.pack('<II', 32, 1) +
                                  struct.pack('<IIII', 32, 1, 1000, 0) + box(0, 0, 10, 10)),
    # EXTTEXTOUTW of 56 bytes whose options promise a rectangle: the advances' offset lies at 72.
    'exttextout.emf': emf_record(84, bounds + struct.pack('<Iff', 1, 0, 0) + struct.pack('<iiIII', 0, 0, 1, 0, 0)),
}
frame = [pen(0, 1, (0, 0, 0)), wmf_record(SELECT, 0), brush(1, (0, 0, 0)), wmf_record(SELECT, 1),
         rect(0x041B, 2, 2, 98, 98)]
for name, record in hostile.items():
    if name.endswith('.wmf'):
        data = wmf_file(frame + [record], 2, bbox=(0, 0, 100, 100), eof=False)
    else:
        data = emf_file([select(0x80000007), select(0x80000005), emf_record(43, box(20, 20, 170, 120)), record],
                        1, eof=False)
    open('hostile/' + name, 'wb').write(data)
PY

for name in beef fish; do
  size=$(python3 -c "
import struct
d=open('$name.wmf','rb').read(); l,t,r,b,inch=struct.unpack_from('<hhhhH',d,6)
print(round(abs(r-l)*96/inch), round(abs(b-t)*96/inch))")
  set -- $size
  wmf2gd -t png --maxwidth="$1" --maxheight="$2" --maxsize -o "$name-tmp.png" "$name.wmf" >/dev/null 2>&1
  convert "$name-tmp.png" -background white -alpha remove -alpha off -depth 8 "png24:$name-ref.png"
  rm "$name-tmp.png"
done
