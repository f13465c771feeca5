#!/usr/bin/env bash
# Makes the Targa samples of a gray picture with alpha and of a colour map whose origin is not 0. Run once
# by hand after make.sh (needs python3-pil, imagemagick and netpbm); the outputs are committed.
#
#   gray_alpha.tga, gray_alpha_rle.tga  ../sample_sources.sh's alpha picture as Pillow writes a gray picture
#                      with alpha: 16 bits a pixel, gray then alpha (types 3 and 11), bottom row first.
#                      Reference gray_alpha.gray: Pillow's reading of it without the alpha, rows top first.
#   mapped_origin.tga  mapped.tga with its colour map starting at entry 100 (header bytes 3-4) and every
#                      pixel value raised by 100, so value v means map entry v - 100. Reference mapped.rgb:
#                      Pillow and netpbm's tgatoppm both read it so (ImageMagick 6 does not).
set -euo pipefail
cd "$(dirname "$0")"
. ../sample_sources.sh
start_work
make_sources "$work"

/usr/bin/python3 - "$work" <<'PY'
import struct, sys
from PIL import Image
work = sys.argv[1]
picture = Image.open(work + '/alpha.png').convert('LA')
picture.save('gray_alpha.tga')
picture.save('gray_alpha_rle.tga', rle=True)
for name in ('gray_alpha.tga', 'gray_alpha_rle.tga'):
    header = open(name, 'rb').read(18)
    assert header[2] in (3, 11) and header[16] == 16, name
    assert Image.open(name).convert('L').tobytes() == picture.convert('L').tobytes()
open('gray_alpha.gray', 'wb').write(picture.convert('L').tobytes())

data = bytearray(open('mapped.tga', 'rb').read())
assert data[1] == 1 and data[2] == 1 and data[7] == 24 and data[16] == 8
entries = struct.unpack_from('<H', data, 5)[0]
struct.pack_into('<H', data, 3, 100)
pixels = 18 + data[0] + entries * 3
for i in range(pixels, len(data)):
    data[i] += 100
open('mapped_origin.tga', 'wb').write(data)
rgb = open('mapped.rgb', 'rb').read()
assert Image.open('mapped_origin.tga').convert('RGB').tobytes() == rgb
PY
tgatoppm mapped_origin.tga 2>/dev/null | convert ppm:- -depth 8 rgb:"$work/origin.rgb"
cmp "$work/origin.rgb" mapped.rgb
