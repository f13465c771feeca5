#!/usr/bin/env bash
# Makes the TIFF and EPS samples of odd sample depths, of reversed fill order and of damaged strips, and
# their references. Run once by hand after make.sh (needs libtiff-tools, imagemagick, netpbm and
# python3); the outputs are committed. The pictures are make.sh's 41 x 27 rgb.ppm and gray.pgm, and its
# 2600 x 48 fax.pbm.
#
# Palette pictures of 3, 5, 6 and 7 bits (tiff_bytes.py writes them plain, tiffcp -r 5 rewrites them):
#   pal3-lzw.tif, pal5-packbits.tif, pal6-zip.tif, pal7-none.tif, and pal3.eps (DOS EPS, pal3-lzw.tif as
#   its preview); references pal3.ppm ... pal7.ppm as ImageMagick decodes them (the colours written).
# Gray and colour samples of depths the colour manager does not take:
#   gray3-lzw.tif (3 bits, tiff_bytes.py and tiffcp; reference gray3.pgm by ImageMagick, checked against
#   the levels written: tifftopnm reads 3-bit gray wrong too),
#   gray12-zip.tif, rgb2-zip.tif, rgb4-lzw.tif, rgb12-none.tif, cmyk4-lzw.tif (ImageMagick -depth);
#   references gray12.pgm, rgb2.ppm, rgb4.ppm, rgb12.ppm and cmyk4.ppm as ImageMagick reads them to 8 bits.
# Fill order 2 (lowest bit first), checked against rgb.ppm, bw.pbm and fax.pbm with tifftopnm:
#   rgb-lsb-{none,lzw,packbits,zip}.tif and bw-lsb-packbits.tif (tiffcp -f lsb2msb), rgb-raw2tiff.tif
#   (raw2tiff's default: PackBits, fill order 2), fax-lzw-lsb.tif (fax2tiff -z of raw group 3 rows).
# Damaged files (tiff_bytes.py over make.sh's files; every one must fail to load as a whole picture):
#   rgb-lzw-short.tif, rgb-packbits-short.tif, rgb-none-short.tif, rgb-zip-short.tif, fax-g3-short.tif,
#   jpeg-short.tif (../tiffjpeg/rgb.tif): the last strip's byte count halved, so its data end early;
#   rgb-none-fewer.tif: the last two strips left out of the lists; rgb-none-nodata.tif: every byte count
#   0; rgb-lzw-cut.tif: rgb-lzw.tif cut at 60 % (its directory, at the end, is lost); empty.tif: no bytes.
cd "$(dirname "$0")"
. ../sample_sources.sh
start_work
export PYTHONPATH=$PWD PYTHONDONTWRITEBYTECODE=1

pnmtotiff -truecolor rgb.ppm >"$work/rgb.tif" 2>/dev/null
pnmtotiff bw.pbm >"$work/bw.tif" 2>/dev/null
# fax2tiff writes min-is-white pictures: the raw rows come from one too.
pnmtotiff -miniswhite fax.pbm >"$work/fax.tif" 2>/dev/null
# (libtiff puts the bits of every compression in order itself; tifftopnm's -respectfillorder would
# reverse them again.)
ref() { tifftopnm -byrow "$1" 2>/dev/null; }
same() { ref "$1" | cmp -s - "$2" || { echo "$1 differs from $2"; exit 1; }; }

# Palette pictures: the drawing reduced to 2^bits colours, indices packed at that depth.
for bits in 3 5 6 7; do
  convert rgb.ppm +dither -colors $((1 << bits)) -depth 8 "$work/q$bits.rgb"
  python3 - "$work/q$bits.rgb" "$bits" "$work/pal$bits.tif" <<'PY'
import sys
from tiff_bytes import pack_samples, write_plain
pixels, bits, out = open(sys.argv[1], 'rb').read(), int(sys.argv[2]), sys.argv[3]
colors = sorted({pixels[i:i + 3] for i in range(0, len(pixels), 3)})
assert len(colors) <= 1 << bits
colors += [bytes(3)] * ((1 << bits) - len(colors))
index = {c: i for i, c in enumerate(colors)}
w, h = 41, 27
rows = [pack_samples([index[pixels[3 * (y * w + x):3 * (y * w + x) + 3]] for x in range(w)], bits)
        for y in range(h)]
colormap = [c[k] * 257 for k in range(3) for c in colors]
write_plain(out, w, h, bits, 1, 3, rows, colormap)
PY
done
tiffcp -c lzw -r 5 "$work/pal3.tif" pal3-lzw.tif
tiffcp -c packbits -r 5 "$work/pal5.tif" pal5-packbits.tif
tiffcp -c zip -r 5 "$work/pal6.tif" pal6-zip.tif
tiffcp -c none -r 5 "$work/pal7.tif" pal7-none.tif
# (tifftopnm reads a 3-bit palette picture wrong: the check is against the colours that were written.)
for f in pal3-lzw pal5-packbits pal6-zip pal7-none; do
  bits=${f:3:1}
  convert $f.tif -depth 8 pal$bits.ppm
  tail -c $((41 * 27 * 3)) pal$bits.ppm | cmp -s - "$work/q$bits.rgb" || { echo "$f differs"; exit 1; }
done
python3 -c 'import tiff_bytes as t; t.dos_eps(open("pal3-lzw.tif", "rb").read(), "pal3.eps", 41, 27)'

# Gray of 3 bits; gray and colour of 2, 4 and 12 bits.
python3 - gray.pgm "$work/gray3.tif" <<'PY'
import sys
from tiff_bytes import pack_samples, write_plain
levels = open(sys.argv[1], 'rb').read()[-41 * 27:]
write_plain(sys.argv[2], 41, 27, 3, 1, 1, [pack_samples([v >> 5 for v in levels[y * 41:y * 41 + 41]], 3)
                                          for y in range(27)])
PY
tiffcp -c lzw -r 7 "$work/gray3.tif" gray3-lzw.tif
convert gray3-lzw.tif -depth 8 gray3.pgm
python3 - gray.pgm gray3.pgm <<'PY'
import sys
levels = open(sys.argv[1], 'rb').read()[-41 * 27:]
assert open(sys.argv[2], 'rb').read()[-41 * 27:] == bytes((v >> 5) * 255 // 7 for v in levels), 'gray3 differs'
PY
convert gray.pgm -depth 12 -compress zip gray12-zip.tif
convert rgb.ppm -depth 2 -compress zip rgb2-zip.tif
convert rgb.ppm -depth 4 -compress lzw rgb4-lzw.tif
convert rgb.ppm -depth 12 -compress none rgb12-none.tif
convert rgb.ppm -colorspace CMYK -depth 4 -compress lzw cmyk4-lzw.tif
for f in gray12-zip:gray12.pgm rgb2-zip:rgb2.ppm rgb4-lzw:rgb4.ppm rgb12-none:rgb12.ppm; do
  convert ${f%:*}.tif -depth 8 ${f#*:}
done
convert cmyk4-lzw.tif -colorspace sRGB -depth 8 cmyk4.ppm
tiffinfo gray12-zip.tif rgb2-zip.tif rgb4-lzw.tif rgb12-none.tif cmyk4-lzw.tif 2>/dev/null |
  grep 'Bits/Sample' | tr -d ' ' | tr '\n' ' ' | grep -q '^Bits/Sample:12 Bits/Sample:2 Bits/Sample:4 Bits/Sample:12 Bits/Sample:4 $' ||
  { echo "unexpected depths"; exit 1; }

# Fill order 2.
for c in none lzw packbits zip; do
  tiffcp -f lsb2msb -c $c -r 7 "$work/rgb.tif" rgb-lsb-$c.tif
  same rgb-lsb-$c.tif rgb.ppm
done
tiffcp -f lsb2msb -c packbits "$work/bw.tif" bw-lsb-packbits.tif
same bw-lsb-packbits.tif bw.pbm
tail -c $((41 * 27 * 3)) rgb.ppm >"$work/rgb.raw"
raw2tiff -w 41 -l 27 -b 3 -p rgb "$work/rgb.raw" rgb-raw2tiff.tif
tiffinfo rgb-raw2tiff.tif | grep -q 'FillOrder: lsb-to-msb' || { echo "raw2tiff kept msb-to-lsb"; exit 1; }
same rgb-raw2tiff.tif rgb.ppm
tiffcp -c g3 -r 48 "$work/fax.tif" "$work/fax-one-strip.tif"
python3 - "$work/fax-one-strip.tif" "$work/fax.g3" <<'PY'
import sys
from tiff_bytes import Tiff
tiff = Tiff(sys.argv[1])
(offset,), (count,) = tiff.values(273), tiff.values(279)
open(sys.argv[2], 'wb').write(tiff.data[offset:offset + count])
PY
fax2tiff -M -z -X 2600 -o fax-lzw-lsb.tif "$work/fax.g3" 2>/dev/null
tiffinfo fax-lzw-lsb.tif | grep -q 'FillOrder: lsb-to-msb' || { echo "fax2tiff kept msb-to-lsb"; exit 1; }
same fax-lzw-lsb.tif fax.pbm

# Damaged strips.
python3 - <<'PY'
from tiff_bytes import Tiff
def halve_last(source, target):
    tiff = Tiff(source)
    counts = tiff.values(279)
    counts[-1] //= 2
    tiff.set_values(279, counts)
    tiff.save(target)
for name in ('rgb-lzw', 'rgb-packbits', 'rgb-none', 'rgb-zip-pred', 'fax-g3'):
    halve_last(name + '.tif', name.replace('-pred', '') + '-short.tif')
halve_last('../tiffjpeg/rgb.tif', 'jpeg-short.tif')
tiff = Tiff('rgb-none.tif')
tiff.set_values(273, tiff.values(273)[:-2])
tiff.set_values(279, tiff.values(279)[:-2])
tiff.save('rgb-none-fewer.tif')
tiff = Tiff('rgb-none.tif')
tiff.set_values(279, [0] * len(tiff.values(279)))
tiff.save('rgb-none-nodata.tif')
whole = open('rgb-lzw.tif', 'rb').read()
open('rgb-lzw-cut.tif', 'wb').write(whole[:len(whole) * 6 // 10])
open('empty.tif', 'wb').write(b'')
PY
ls -l pal* gray3* gray12* rgb2* rgb4* rgb12* cmyk4* *lsb* *raw2tiff* *-short* *-fewer* *-nodata* *-cut* empty.tif
