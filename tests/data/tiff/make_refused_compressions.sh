#!/usr/bin/env bash
# Makes the TIFF samples of compressions the reader does not decode and of a 16-bit palette. Run once by
# hand (needs libtiff-tools, jbigkit-bin, netpbm and python3); the outputs are committed in refused/, a
# folder of their own, since the tests take every sample of this folder for a whole picture.
#
#   zstd.tif, lzma.tif, webp.tif   rgb-none.tif compressed by libtiff's tiffcp with ZSTD (50000), LZMA2
#                                  (34925) and WebP (50001), in one strip
#   jbig.tif                       bw-none.tif's picture as one JBIG strip (34661): jbigkit's pbmtojbg
#                                  codes it (tiffcp cannot write JBIG row by row), python wraps it (fill
#                                  order 2, which libtiff's JBIG reading wants), and libtiff's tifftopnm
#                                  must decode it back to the same picture
# libtiff writes no JPEG 2000, so jpeg2000.tif is rgb-none.tif with its Compression tag made 34712 (python).
# pal16.tif.gz: a 16-bit palette picture (python, through tiff_bytes.py): 41 x 27 indices and the colour
# map of 3 x 65536 values that 16-bit indices need, gzip-compressed (the map alone is 384 KiB).
cd "$(dirname "$0")"
. ../sample_sources.sh
mkdir -p refused
start_work
export PYTHONPATH=$PWD PYTHONDONTWRITEBYTECODE=1

for scheme in zstd lzma webp; do
  tiffcp -r 10000 -c "$scheme" rgb-none.tif "refused/$scheme.tif"
done
tifftopnm bw-none.tif >"$work/bw.pbm" 2>/dev/null
pbmtojbg "$work/bw.pbm" "$work/bw.jbg"
tiffinfo refused/zstd.tif | grep -q 'Compression Scheme: ZSTD'
tiffinfo refused/lzma.tif | grep -q 'Compression Scheme: LZMA'
tiffinfo refused/webp.tif | grep -q 'Compression Scheme: WEBP'

python3 - "$work" <<'PY'
import struct, sys
from tiff_bytes import Tiff, write_plain
tiff = Tiff('rgb-none.tif')
at, kind, count = tiff.entries[259]
struct.pack_into(tiff.order + 'H', tiff.data, at + 8, 34712)
tiff.save('refused/jpeg2000.tif')

# JBIG: the whole picture in one strip; 1 is black in the coded picture as in PBM.
# libtiff reverses the bits of a JBIG strip unless the file says FillOrder 2.
write_plain('refused/jbig.tif', 41, 27, 1, 1, 0, [open(sys.argv[1] + '/bw.jbg', 'rb').read()], extra=[(266, 3, [2])])
jbig = Tiff('refused/jbig.tif')
at, kind, count = jbig.entries[259]
struct.pack_into(jbig.order + 'H', jbig.data, at + 8, 34661)
jbig.save('refused/jbig.tif')

w, h = 41, 27
rows = [b''.join(struct.pack('<H', (x * 1601 + y * 2399) & 0xFFFF) for x in range(w)) for y in range(h)]
# Red rises with the index's high byte and green falls; blue stays 0 (so that the map packs small).
colormap = [(i >> 8) * 257 for i in range(65536)] + [65535 - (i >> 8) * 257 for i in range(65536)] + [0] * 65536
write_plain(sys.argv[1] + '/pal16.tif', w, h, 16, 1, 3, rows, colormap)
PY
tiffinfo refused/jbig.tif | grep -q 'Compression Scheme: ISO JBIG'
tifftopnm refused/jbig.tif 2>/dev/null | cmp - "$work/bw.pbm"
tiffinfo refused/jpeg2000.tif 2>&1 | grep -q 'Compression Scheme: 34712'
tiffinfo "$work/pal16.tif" | grep -q 'Bits/Sample: 16'
tiffinfo "$work/pal16.tif" | grep -q 'Photometric Interpretation: palette color'
gzip -9 -n -c "$work/pal16.tif" >refused/pal16.tif.gz
