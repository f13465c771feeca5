#!/usr/bin/env bash
# Makes the TIFF and EPS samples of the TIFF reader tests and their references. Run once by hand (needs
# libtiff-tools, netpbm, imagemagick and python3); the outputs are committed. Pictures are 41 x 27
# (odd sizes, so rows end inside bytes and bitmap rows have padding); the fax pictures are 2600 x 48,
# rows of random runs up to the longest run codes.
#
# Written by libtiff's tiffcp from netpbm's pnmtotiff output (strips of 5 to 8 rows where tiffcp -r says
# so, II order unless named mm):
#   rgb-{none,lzw,lzw-pred,zip-pred,packbits}.tif   8-bit RGB; -pred: horizontal differencing
#   rgb-mm-{none,lzw-pred}.tif                       the same, big-endian
#   rgb16-{none,lzw-pred}.tif, rgb16-mm-{none,zip-pred}.tif   16-bit RGB
#   gray-{lzw-pred,mm-none}.tif, gray16-{lzw-pred,mm-zip-pred}.tif
#   gray-minwhite.tif (photometric 0), gray4.tif, gray2.tif, bw-{none,packbits,lzw}.tif (1 bit)
#   pal8-lzw.tif, pal8-mm-packbits.tif, pal4-none.tif, pal2-zip.tif   palette pictures
#   fax-g3.tif (1-D, EOL before each row), fax-g3-fill.tif (byte-aligned EOLs), fax-g3-lsb.tif (fill
#   order 2), fax-mh.tif (compression 2) and fax-mhw.tif (32771): the modified Huffman files are the
#   rows of a one-strip fax-g3.tif without their end-of-line codes, byte- or word-aligned (python)
# Written by ImageMagick: rgba-lzw.tif (unassociated alpha), graya-lzw-pred.tif and graya16-zip.tif
# (gray and alpha), cmyk-lzw.tif and cmyk16-none.tif (separated), lab-none.tif (CIE L*a*b*),
# picture.eps: a DOS EPS file (python) whose TIFF preview is rgb-lzw-pred.tif.
# Refused pictures: fax-g3-2d.tif, fax-g4.tif, tiled.tif, planar.tif.
#
# References (binary PNM, as netpbm's tifftopnm -byrow decodes the files through libtiff): rgb.ppm,
# rgb16.ppm, gray.pgm (also of the gray and alpha files), gray16.pgm, gray4.pgm, gray2.pgm, bw.pbm,
# pal8.ppm, pal4.ppm, pal2.ppm, fax.pbm, rgba.ppm; cmyk.ppm and cmyk16.ppm as ImageMagick converts the
# CMYK files to RGB; no netpbm tool reads CIE L*a*b*, so lab.raw holds lab-none.tif's stored samples. The pictures of golang-golang-x-image-dev's
# TIFF set have theirs in golang/ (gzip-compressed).
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
golang=/usr/share/gocode/src/golang.org/x/image/testdata

python3 - "$work" <<'PY'
import random, sys
work = sys.argv[1]
random.seed(42)
w, h = 41, 27
def rgb(x, y):
    r = 255 * x // (w - 1)
    g = 255 * y // (h - 1)
    b = 255 - (r + g) // 2
    if (x - 12) ** 2 + (y - 13) ** 2 < 40:
        r, g, b = 32, 192, 64
    if 28 <= x <= 35 and 4 <= y <= 20:
        r, g, b = 255, 255, 255
    return r, g, b
pix8, pix16, gray8, gray16, gray4, gray2 = bytearray(), bytearray(), bytearray(), bytearray(), bytearray(), bytearray()
for y in range(h):
    for x in range(w):
        r, g, b = rgb(x, y)
        pix8 += bytes((r, g, b))
        for v in (r, g, b):
            v16 = v * 257 ^ random.randrange(256)   # the low byte matters to the predictor
            pix16 += bytes((v16 >> 8, v16 & 255))
        l = (r * 3 + g * 6 + b) // 10
        gray8.append(l)
        l16 = l * 257 ^ random.randrange(256)
        gray16 += bytes((l16 >> 8, l16 & 255))
        gray4.append(l >> 4)
        gray2.append(l >> 6)
def save(name, magic, maxval, data, width=w, height=h):
    open('%s/%s' % (work, name), 'wb').write(b'%s\n%d %d\n%d\n' % (magic, width, height, maxval) + bytes(data))
save('rgb.ppm', b'P6', 255, pix8)
save('rgb16.ppm', b'P6', 65535, pix16)
save('gray.pgm', b'P5', 255, gray8)
save('gray16.pgm', b'P5', 65535, gray16)
save('gray4.pgm', b'P5', 15, gray4)
save('gray2.pgm', b'P5', 3, gray2)
# Bilevel: the gray picture at a threshold, rows of P4.
bits = bytearray()
for y in range(h):
    row = [1 if gray8[y * w + x] < 128 else 0 for x in range(w)]
    row += [0] * (-w % 8)
    bits += bytes(sum(row[i + k] << (7 - k) for k in range(8)) for i in range(0, len(row), 8))
open(work + '/bw.pbm', 'wb').write(b'P4\n%d %d\n' % (w, h) + bytes(bits))
# Fax: 2600 x 48, runs of 1..2700 pixels (long ones a third of the time), colours alternating.
fw, fh = 2600, 48
bits = bytearray()
for y in range(fh):
    row, color = [], random.randrange(2)
    while len(row) < fw:
        run = random.randrange(1, 2700) if random.randrange(3) == 0 else random.randrange(1, 70)
        row += [color] * run
        color ^= 1
    row = row[:fw] + [0] * (-fw % 8)
    bits += bytes(sum(row[i + k] << (7 - k) for k in range(8)) for i in range(0, len(row), 8))
open(work + '/fax.pbm', 'wb').write(b'P4\n%d %d\n' % (fw, fh) + bytes(bits))
PY

cp "$work"/{rgb.ppm,rgb16.ppm,gray.pgm,gray16.pgm,gray4.pgm,gray2.pgm,bw.pbm,fax.pbm} .
pnmtotiff -truecolor "$work/rgb.ppm" >"$work/rgb.tif" 2>/dev/null
pnmtotiff -truecolor "$work/rgb16.ppm" >"$work/rgb16.tif" 2>/dev/null
pnmtotiff "$work/gray.pgm" >"$work/gray.tif" 2>/dev/null
pnmtotiff "$work/gray16.pgm" >"$work/gray16.tif" 2>/dev/null
pnmtotiff "$work/bw.pbm" >"$work/bw.tif" 2>/dev/null
pnmtotiff "$work/fax.pbm" >"$work/fax.tif" 2>/dev/null

tiffcp -c none -r 5 "$work/rgb.tif" rgb-none.tif
tiffcp -c lzw "$work/rgb.tif" rgb-lzw.tif
tiffcp -c lzw:2 -r 8 "$work/rgb.tif" rgb-lzw-pred.tif
tiffcp -c zip:2 -r 6 "$work/rgb.tif" rgb-zip-pred.tif
tiffcp -c packbits -r 7 "$work/rgb.tif" rgb-packbits.tif
tiffcp -B -c none -r 5 "$work/rgb.tif" rgb-mm-none.tif
tiffcp -B -c lzw:2 -r 8 "$work/rgb.tif" rgb-mm-lzw-pred.tif
tiffcp -c none "$work/rgb16.tif" rgb16-none.tif
tiffcp -c lzw:2 -r 8 "$work/rgb16.tif" rgb16-lzw-pred.tif
tiffcp -B -c none -r 5 "$work/rgb16.tif" rgb16-mm-none.tif
tiffcp -B -c zip:2 -r 8 "$work/rgb16.tif" rgb16-mm-zip-pred.tif
tiffcp -c lzw:2 -r 8 "$work/gray.tif" gray-lzw-pred.tif
tiffcp -B -c none "$work/gray.tif" gray-mm-none.tif
tiffcp -c lzw:2 -r 8 "$work/gray16.tif" gray16-lzw-pred.tif
tiffcp -B -c zip:2 -r 8 "$work/gray16.tif" gray16-mm-zip-pred.tif
pnmtotiff -miniswhite -rowsperstrip=9 "$work/gray.pgm" >gray-minwhite.tif 2>/dev/null
pnmtotiff -lzw "$work/gray4.pgm" >gray4.tif 2>/dev/null
pnmtotiff -none "$work/gray2.pgm" >gray2.tif 2>/dev/null
tiffcp -c none -r 8 "$work/bw.tif" bw-none.tif
tiffcp -c packbits "$work/bw.tif" bw-packbits.tif
tiffcp -c lzw -r 8 "$work/bw.tif" bw-lzw.tif

pnmquant 200 "$work/rgb.ppm" >"$work/q200.ppm" 2>/dev/null
pnmquant 16 "$work/rgb.ppm" >"$work/q16.ppm" 2>/dev/null
pnmquant 4 "$work/rgb.ppm" >"$work/q4.ppm" 2>/dev/null
pnmtotiff -indexbits=8 -lzw "$work/q200.ppm" >pal8-lzw.tif 2>/dev/null
pnmtotiff -indexbits=8 "$work/q200.ppm" >"$work/pal8.tif" 2>/dev/null
tiffcp -B -c packbits -r 4 "$work/pal8.tif" pal8-mm-packbits.tif
pnmtotiff -indexbits=4 -none "$work/q16.ppm" >pal4-none.tif 2>/dev/null
pnmtotiff -indexbits=2 -flate "$work/q4.ppm" >pal2-zip.tif 2>/dev/null

tiffcp -c g3 -r 16 "$work/fax.tif" fax-g3.tif
tiffcp -c g3:fill -r 48 "$work/fax.tif" fax-g3-fill.tif
tiffcp -c g3 -f lsb2msb -r 20 "$work/fax.tif" fax-g3-lsb.tif
tiffcp -c g3:2d "$work/fax.tif" fax-g3-2d.tif
tiffcp -c g4 "$work/fax.tif" fax-g4.tif
tiffcp -t -w 16 -l 16 "$work/rgb.tif" tiled.tif
tiffcp -p separate "$work/rgb.tif" planar.tif

tiffcp -c g3 -r 48 "$work/fax.tif" "$work/fax-g3-one-strip.tif"
python3 - "$work/fax-g3-one-strip.tif" <<'PY'
# Modified Huffman files from a group 3 file without fill bits: there each end-of-line code is exactly
# eleven 0 bits and a 1, so a row's codes run from the bit after one EOL to 12 bits before the end of
# the next. The rows are packed again, each starting on a fresh byte (or 16-bit word).
import struct, sys
data = bytearray(open(sys.argv[1], 'rb').read())
assert data[:4] == b'II*\0'
ifd = struct.unpack_from('<I', data, 4)[0]
count = struct.unpack_from('<H', data, ifd)[0]
entries = {}
for i in range(count):
    tag, kind, n, value = struct.unpack_from('<HHII', data, ifd + 2 + 12 * i)
    entries[tag] = (kind, n, value)
assert entries[273][1] == 1, 'one strip'
start, length = entries[273][2], entries[279][2]
bits = [byte >> (7 - k) & 1 for byte in data[start:start + length] for k in range(8)]
ends, zeros = [], 0
for i, bit in enumerate(bits):
    if bit and zeros >= 11:
        ends.append(i + 1)
    zeros = 0 if bit else zeros + 1
rows = [bits[a:b - 12] for a, b in zip(ends, ends[1:] + [len(bits) + 12])][:48]
assert len(rows) == 48, len(rows)
def write(name, compression, align):
    packed = bytearray()
    for row in rows:
        row = row + [0] * (-len(row) % 8)
        packed += bytes(sum(row[i + k] << (7 - k) for k in range(8)) for i in range(0, len(row), 8))
        packed += bytes(-len(packed) % align)
    out = bytearray(data[:start]) + packed
    out += bytes(-len(out) % 2)
    new_ifd = len(out)
    out += data[ifd:ifd + 2 + 12 * count + 4]
    struct.pack_into('<I', out, 4, new_ifd)
    for i in range(count):
        at = new_ifd + 2 + 12 * i
        tag, kind, n, value = struct.unpack_from('<HHII', out, at)
        if tag == 259: struct.pack_into('<HHII', out, at, 259, 3, 1, compression)
        if tag == 279: struct.pack_into('<HHII', out, at, 279, 4, 1, len(packed))
        # Values stored after the old strip move with the directory.
        size = {1: 1, 2: 1, 3: 2, 4: 4, 5: 8}.get(kind, 1) * n
        if size > 4 and value > start:
            struct.pack_into('<I', out, at + 8, len(out))
            out += data[value:value + size]
    open(name, 'wb').write(out)
write('fax-mh.tif', 2, 1)
write('fax-mhw.tif', 32771, 2)
PY

convert "$work/rgb.ppm" \( "$work/gray.pgm" -fx 'i/w' \) -alpha off -compose CopyOpacity -composite \
  -define tiff:alpha=unassociated -compress lzw rgba-lzw.tif
convert "$work/gray.pgm" \( +clone -fx 'j/h' \) -compose CopyOpacity -composite -type GrayscaleAlpha \
  -define tiff:predictor=2 -compress lzw graya-lzw-pred.tif
convert "$work/gray16.pgm" \( +clone -fx 'j/h' \) -compose CopyOpacity -composite -type GrayscaleAlpha \
  -depth 16 -compress zip graya16-zip.tif
convert "$work/rgb.ppm" -colorspace CMYK -compress lzw cmyk-lzw.tif
convert "$work/rgb16.ppm" -colorspace CMYK -depth 16 -compress none cmyk16-none.tif
convert "$work/rgb.ppm" -colorspace Lab -compress none lab-none.tif
# ImageMagick's security policy keeps it from writing EPS: the DOS EPS header is put together here,
# around a small PostScript program and rgb-lzw-pred.tif as the preview.
python3 - rgb-lzw-pred.tif picture.eps <<'PY'
import struct, sys
tiff = open(sys.argv[1], 'rb').read()
ps = b'%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 41 27\nnewpath 0 0 moveto 41 27 lineto stroke\n%%EOF\n'
header_size = 30
ps_offset, tiff_offset = header_size, header_size + len(ps)
header = struct.pack('<IIIIIIIH', 0xC6D3D0C5, ps_offset, len(ps), 0, 0, tiff_offset, len(tiff), 0xFFFF)
open(sys.argv[2], 'wb').write(header + ps + tiff)
PY

ref() { tifftopnm -byrow "$1" 2>/dev/null >"$2"; }
for f in rgb-none rgb-lzw rgb-lzw-pred rgb-zip-pred rgb-packbits rgb-mm-none rgb-mm-lzw-pred; do
  ref $f.tif "$work/check"; cmp -s "$work/check" rgb.ppm || { echo "$f differs"; exit 1; }
done
for f in rgb16-none rgb16-lzw-pred rgb16-mm-none rgb16-mm-zip-pred; do
  ref $f.tif "$work/check"; cmp -s "$work/check" rgb16.ppm || { echo "$f differs"; exit 1; }
done
for f in gray-lzw-pred gray-mm-none gray-minwhite; do
  ref $f.tif "$work/check"; cmp -s "$work/check" gray.pgm || { echo "$f differs"; exit 1; }
done
for f in gray16-lzw-pred gray16-mm-zip-pred; do
  ref $f.tif "$work/check"; cmp -s "$work/check" gray16.pgm || { echo "$f differs"; exit 1; }
done
ref gray4.tif "$work/check"; cmp -s "$work/check" gray4.pgm || { echo "gray4 differs"; exit 1; }
ref gray2.tif "$work/check"; cmp -s "$work/check" gray2.pgm || { echo "gray2 differs"; exit 1; }
for f in bw-none bw-packbits bw-lzw; do
  ref $f.tif "$work/check"; cmp -s "$work/check" bw.pbm || { echo "$f differs"; exit 1; }
done
# libtiff reads the word-aligned file with its own notion of the alignment; fax-mhw.tif is checked
# against fax.pbm, from which it is made, by the tests alone.
for f in fax-g3 fax-g3-fill fax-g3-lsb fax-mh; do
  ref $f.tif "$work/check"; cmp -s "$work/check" fax.pbm || { echo "$f differs"; exit 1; }
done
ref pal8-lzw.tif pal8.ppm
ref pal8-mm-packbits.tif "$work/check"; cmp -s "$work/check" pal8.ppm || { echo "pal8-mm differs"; exit 1; }
ref pal4-none.tif pal4.ppm
ref pal2-zip.tif pal2.ppm
ref rgba-lzw.tif rgba.ppm
# tifftopnm knows no gray with alpha: ImageMagick (through libtiff) checks that the gray samples are
# those of gray.pgm and gray16.pgm.
convert graya-lzw-pred.tif -alpha off -depth 8 gray:- | cmp -s - <(tail -c $((41 * 27)) gray.pgm) ||
  { echo "graya differs"; exit 1; }
convert graya16-zip.tif -alpha off -depth 16 -endian MSB gray:- | cmp -s - <(tail -c $((41 * 27 * 2)) gray16.pgm) ||
  { echo "graya16 differs"; exit 1; }
# netpbm's CMYK conversion is not the plain one; ImageMagick's (through libtiff) is.
convert cmyk-lzw.tif -colorspace sRGB -depth 8 ppm:cmyk.ppm
convert cmyk16-none.tif -colorspace sRGB -depth 16 ppm:cmyk16.ppm
python3 - lab-none.tif lab.raw <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
order = '<' if data[:2] == b'II' else '>'
ifd = struct.unpack_from(order + 'I', data, 4)[0]
tags = {}
for i in range(struct.unpack_from(order + 'H', data, ifd)[0]):
    tag, kind, n, value = struct.unpack_from(order + 'HHII', data, ifd + 2 + 12 * i)
    if kind == 3 and n == 1:
        value = struct.unpack_from(order + 'H', data, ifd + 10 + 12 * i)[0]
    tags[tag] = (kind, n, value)
def values(tag):
    kind, n, value = tags[tag]
    size = {3: 2, 4: 4}[kind]
    if size * n <= 4: return [value] if n == 1 else None
    return list(struct.unpack_from(order + ('H' if size == 2 else 'I') * n, data, value))
assert tags[262][2] == 8 and tags[259][2] == 1
raw = b''.join(data[o:o + c] for o, c in zip(values(273), values(279)))
open(sys.argv[2], 'wb').write(raw[:41 * 27 * 3])
PY

rm -rf golang
mkdir golang
for f in video-001-uncompressed video-001-gray video-001-paletted bw-uncompressed blue-purple-pink.lzwcompressed \
  no_compress; do
  tifftopnm -byrow "$golang/$f.tiff" 2>/dev/null | gzip -9 -n >golang/$f.pnm.gz
done
# The other files of the set share those pictures (the 16-bit ones are the 8-bit samples times 257).
same() {
  tifftopnm -byrow "$golang/$1.tiff" 2>/dev/null >"$work/check"
  zcat "golang/$2.pnm.gz" | cmp -s - "$work/check" || { echo "$1 differs from $2"; exit 1; }
}
same video-001 video-001-uncompressed
same video-001-strip-64 video-001-uncompressed
for f in bw-deflate bw-packbits bw-gopher_ccittGroup3; do same $f bw-uncompressed; done
same no_rps no_compress
ls -l
