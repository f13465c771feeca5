#!/usr/bin/env bash
# Makes the TIFF samples whose samples are not unsigned integers (SampleFormat, tag 339). Run once by hand
# (needs imagemagick, libtiff-tools and python3); the outputs are committed. 16 x 8 gray gradients:
#
#   (ImageMagick complains of a predictor tag while it writes them, and exits with 1.)
#   float16.tif   16-bit IEEE floating-point samples, as ImageMagick writes them
#   float32.tif   32-bit IEEE floating-point samples, as ImageMagick writes them
#   signed16.tif  float16.tif with its SampleFormat made 2 (signed integers)
set -euo pipefail
cd "$(dirname "$0")"
convert -size 16x8 gradient: -colorspace gray -define quantum:format=floating-point -depth 16 -compress none float16.tif 2>/dev/null || true
convert -size 16x8 gradient: -colorspace gray -define quantum:format=floating-point -depth 32 -compress none float32.tif 2>/dev/null || true
python3 - <<'PY'
import struct
data = bytearray(open('float16.tif', 'rb').read())
assert data[:4] == b'II*\0'
offset = struct.unpack_from('<I', data, 4)[0]
for i in range(struct.unpack_from('<H', data, offset)[0]):
    entry = offset + 2 + 12 * i
    if struct.unpack_from('<H', data, entry)[0] == 339:
        struct.pack_into('<H', data, entry + 8, 2)
open('signed16.tif', 'wb').write(data)
PY
tiffinfo float16.tif | grep -q 'Sample Format: IEEE floating point'
tiffinfo float32.tif | grep -q 'Sample Format: IEEE floating point'
tiffinfo signed16.tif | grep -q 'Sample Format: signed integer'
