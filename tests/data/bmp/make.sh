#!/usr/bin/env bash
# Makes the BMP samples of the drawing-layer tests. Run once from this folder; the files are committed.
# Needs ImageMagick 6 (convert) and python3. The source patterns and the two hand-made RLE files come
# from the Python below; every other BMP is written by ImageMagick, and every *.ppm reference is
# ImageMagick's own decoding (or the source pattern itself).
set -euo pipefail
cd "$(dirname "$0")"

python3 - <<'PY'
import struct

# 37 x 23 (odd width: rows need padding), 16 colours in bands, with a sprinkle of the next colour.
colours = [(0,0,0),(255,255,255),(255,0,0),(0,255,0),(0,0,255),(255,255,0),(0,255,255),(255,0,255),
           (128,0,0),(0,128,0),(0,0,128),(128,128,0),(0,128,128),(128,0,128),(192,192,192),(128,128,128)]
w, h = 37, 23
out = bytearray(b'P6\n%d %d\n255\n' % (w, h))
for y in range(h):
    for x in range(w):
        out += bytes(colours[((x // 5) + (y // 3) * 3 + (1 if (x * x + y * y) % 11 == 0 else 0)) % 16])
open('src16.ppm', 'wb').write(out)

# Two colours only, for the 1-bit file.
out = bytearray(b'P6\n%d %d\n255\n' % (w, h))
for y in range(h):
    for x in range(w):
        out += bytes((255, 255, 0) if (x // 3 + y // 2) % 2 else (0, 0, 128))
open('src2.ppm', 'wb').write(out)

def bmp(width, height, bits, compression, palette, data):
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    off = 14 + 40 + len(table)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, compression, len(data), 2835, 2835,
                       len(palette), 0)
    return struct.pack('<2sIHHI', b'BM', off + len(data), 0, 0, off) + info + table + data

# RLE8, 10 x 6, bottom row first: encoded and absolute runs (one of odd length, padded), a row filled to
# its exact end, an early end of line, a delta that skips a whole row, and the end-of-bitmap escape.
rle8 = bytes([
    4, 1,  0, 3, 2, 3, 1, 0,  0, 0,          # row 0: 1 1 1 1 2 3 1 . . .
    10, 2,  0, 0,                             # row 1: ten 2s
    0, 2, 3, 1,                               # delta from x 0 of row 2 to x 3 of row 3
    2, 3,  0, 0,                              # row 3: x 3..4 = 3
    0, 4, 1, 2, 3, 1,  6, 2,  0, 0,           # row 4: 1 2 3 1 2 2 2 2 2 2
    10, 1,  0, 1])                            # row 5: ten 1s, end of bitmap
open('rle8-delta.bmp', 'wb').write(bmp(10, 6, 8, 1, [(0,0,0),(255,0,0),(0,255,0),(0,0,255)], rle8))

# RLE4, 9 x 5 with the 16 colours above: two-colour encoded runs, absolute runs (one padded), a delta.
rle4 = bytes([
    5, 0x12,  0, 3, 0x34, 0x50,  1, 0xF0,  0, 0,     # row 0: 1 2 1 2 1 3 4 5 15
    0, 5, 0x67, 0x89, 0xA0, 0,  4, 0xBB,  0, 0,      # row 1: 6 7 8 9 10 11 11 11 11
    0, 2, 4, 1,                                      # delta from x 0 of row 2 to x 4 of row 3
    3, 0xCD,  0, 0,                                  # row 3: x 4..6 = 12 13 12
    9, 0xEF,  0, 1])                                 # row 4: 14 15 14 15 14 15 14 15 14, end
open('rle4-delta.bmp', 'wb').write(bmp(9, 5, 4, 2, colours, rle4))

PY

# Files of other programs (ImageMagick), each with its reference.
convert src16.ppm -type Palette -compress RLE BMP3:rle8.bmp            # BI_RLE8, 40-byte header
convert src16.ppm -colors 16 -type Palette BMP3:pal4.bmp                # 4-bit, 16-entry table
convert src2.ppm -type Palette BMP3:pal1.bmp                            # 1-bit
convert src16.ppm -type Palette BMP2:os2-8.bmp                          # OS/2 core header, 3-byte table
convert src16.ppm -type TrueColor BMP2:os2-24.bmp                       # OS/2 core header, 24-bit
convert src16.ppm -define bmp:subtype=RGB565 BMP:bf565.bmp             # 124-byte header, 5-6-5 bitfields
convert src16.ppm -define bmp:subtype=RGB555 BMP:bf555.bmp             # 124-byte header, 5-5-5 bitfields
convert src16.ppm -alpha set -define bmp:subtype=ARGB4444 BMP:bf4444.bmp  # 16-bit 4-4-4-4 bitfields
convert src16.ppm -alpha set -define bmp:subtype=ARGB8888 BMP:bf8888.bmp  # 32-bit bitfields with alpha
# (No reference for bf4444.bmp: this ImageMagick reads 4-bit fields without repeating their bits, so 15
# reads 240; the tests compare that file with the source, allowing the 4-bit rounding.)
for f in bf565 bf555 pal1 rle8-delta rle4-delta; do
  convert "$f.bmp" -alpha off -depth 8 ppm:"$f.ppm"
done
rm src2.ppm
