#!/usr/bin/env bash
# Makes the JPEG-compressed TIFF samples of the TIFF-JPEG decoder tests and their references.
# Run once by hand (needs imagemagick, libtiff-tools, libjpeg-turbo-progs and python3); the outputs
# are committed.
#
#   ycbcr.tif  libtiff (tiffcp -c jpeg): photometric YCbCr, subsampling 2 x 2, shared JPEG tables
#   rgb.tif    ImageMagick (convert -compress JPEG): photometric RGB, shared JPEG tables
#   gray.tif   libtiff (tiffcp -c jpeg): photometric min-is-black, one sample
# All 40 x 40 pixels in strips of 16 rows (the last strip holds 8).
#
#   <name>.ref the picture as libjpeg's djpeg decodes each strip (the shared tables put in front of
#              the strip's data): rows top first, R G B bytes (gray: one byte) per pixel.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

convert -size 40x40 gradient:'#ff3000-#0040ff' -fill '#20c040' -draw 'circle 12,12 12,4' \
  -fill white -draw 'rectangle 26,4 34,30' "$work/source.png"
convert "$work/source.png" -depth 8 -type TrueColor -compress none "$work/rgb-plain.tif"
convert "$work/source.png" -colorspace gray -depth 8 -compress none "$work/gray-plain.tif"
tiffcp -c jpeg -r 16 "$work/rgb-plain.tif" ycbcr.tif
convert "$work/source.png" -compress JPEG -define tiff:rows-per-strip=16 rgb.tif
tiffcp -c jpeg -r 16 "$work/gray-plain.tif" gray.tif

python3 - "$work" ycbcr rgb gray <<'PY'
import struct, subprocess, sys
work, names = sys.argv[1], sys.argv[2:]
TYPE_SIZES = {1: 1, 2: 1, 3: 2, 4: 4, 5: 8, 7: 1}
for name in names:
    data = open(name + '.tif', 'rb').read()
    assert data[:4] == b'II*\0'
    tags = {}
    offset = struct.unpack_from('<I', data, 4)[0]
    for i in range(struct.unpack_from('<H', data, offset)[0]):
        tag, kind, count, value = struct.unpack_from('<HHII', data, offset + 2 + 12 * i)
        size = TYPE_SIZES[kind] * count
        raw = data[offset + 10 + 12 * i:offset + 14 + 12 * i] if size <= 4 else data[value:value + size]
        if kind == 3:
            tags[tag] = list(struct.unpack_from('<%dH' % count, raw))
        elif kind == 4:
            tags[tag] = list(struct.unpack_from('<%dI' % count, raw))
        else:
            tags[tag] = raw[:size]
    tables = tags.get(347, b'')
    reference = b''
    for strip, (start, length) in enumerate(zip(tags[273], tags[279])):
        jpeg = data[start:start + length]
        if tables:  # tables without their end marker, strip without its start marker
            jpeg = tables[:-2] + jpeg[2:]
        path = '%s/%s-%d.jpg' % (work, name, strip)
        open(path, 'wb').write(jpeg)
        pnm = subprocess.run(['djpeg', '-pnm', path], check=True, capture_output=True).stdout
        # Binary PNM: magic, width, height, maximum, then the samples after one whitespace byte.
        fields, position = [], 0
        while len(fields) < 4:
            while pnm[position:position + 1].isspace():
                position += 1
            end = position
            while not pnm[end:end + 1].isspace():
                end += 1
            fields.append(pnm[position:end])
            position = end
        reference += pnm[position + 1:]
    open(name + '.ref', 'wb').write(reference)
    print(name, len(tags[273]), 'strips,', len(tables), 'bytes of tables,', len(reference), 'reference bytes')
PY
