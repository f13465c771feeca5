#!/usr/bin/env bash
# Makes the damaged and lying JPEG samples (damaged/) from the sound ones beside this script, the all-black
# 6000 x 4000 frames, and a JPEG-compressed TIFF whose second strip is cut inside its scan. Run once by hand
# after make.sh (needs libjpeg-turbo-progs, ImageMagick, python3); the outputs are committed.
#
#   half-closed-<kind>.jpg  the first half of the file and an end-of-image marker, as a tool that closes a
#                           cut file leaves it (kind: baseline, progressive, restart, arithmetic with restart
#                           markers)
#   flipped-<kind>.jpg      one bit of the scan data flipped, the length unchanged, where libjpeg notices it
#   resync-restart.jpg      a brighter, mirrored src.ppm with restart markers, the marker before the last
#                           row of MCUs renumbered (RST2 for RST1): found only once the rows above it were
#                           decoded, and those rows are not the other samples' rows
#   progression.jpg         the progressive file with one refinement scan's Ah and Al raised by one
#   extraneous.jpg          baseline.jpg with twelve zero bytes before its end marker, as some cameras pad
#                           their files; extraneous.ppm is djpeg's decoding of it
#   claims-<w>x<h>[-kind].jpg  16 x 16 pictures whose frame header claims the size named
#   black-<writer>.jpg.gz   6000 x 4000 black frames from cjpeg (baseline, progressive, arithmetic) and from
#                           ImageMagick (optimised Huffman tables), gzip-compressed; each decodes to zeros
#   ../tiffjpeg/strip2-eoi.tif  ycbcr.tif with an end-of-image marker written inside strip 2's scan
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cjpeg -quality 85 -arithmetic -restart 1 src.ppm >"$work/arithmetic.jpg"
convert src.ppm -flop -level 0,60% "$work/bright.ppm"
cjpeg -quality 85 -restart 1 "$work/bright.ppm" >"$work/bright-restart.jpg"
convert -size 16x16 -seed 3 plasma:fractal -depth 8 "$work/small.ppm"
cjpeg -quality 85 "$work/small.ppm" >"$work/small.jpg"
cjpeg -quality 85 -progressive "$work/small.ppm" >"$work/small-progressive.jpg"
cjpeg -quality 85 -arithmetic "$work/small.ppm" >"$work/small-arithmetic.jpg"

python3 - "$work" <<'PY'
import struct, sys
work = sys.argv[1]

def read(name):
    return bytearray(open(name, 'rb').read())

def write(name, data):
    open(name, 'wb').write(data)

def scan_start(data, nth=0):
    at = -1
    for _ in range(nth + 1):
        at = data.index(b'\xff\xda', at + 1)
    return at + 2 + struct.unpack_from('>H', data, at + 2)[0]

samples = {'baseline': read('baseline.jpg'), 'progressive': read('progressive.jpg'),
           'restart': read('restart.jpg'), 'arithmetic': read(work + '/arithmetic.jpg')}
for kind, data in samples.items():
    half = data[:len(data) // 2]
    assert half.index(b'\xff\xda') < len(half) - 16, kind
    write('damaged/half-closed-%s.jpg' % kind, half + b'\xff\xd9')

# (offset after the first scan header, bit) found by trying: libjpeg reports each of them.
for kind, (offset, bit) in {'baseline': (420, 0x01), 'progressive': (458, 0x01),
                            'restart': (382, 0x01)}.items():
    data = bytearray(samples[kind])
    data[scan_start(data) + offset] ^= bit
    write('damaged/flipped-%s.jpg' % kind, data)

data = read(work + '/bright-restart.jpg')
last = data.rindex(b'\xff\xd1')
data[last + 1] = 0xD2
write('damaged/resync-restart.jpg', data)

data = bytearray(samples['progressive'])
at = -1
while True:
    at = data.index(b'\xff\xda', at + 1)
    count = data[at + 4]
    approximation = at + 5 + 2 * count + 2
    if data[approximation] >> 4:  # a refinement scan
        data[approximation] += 0x11
        break
write('damaged/progression.jpg', data)

data = samples['baseline']
assert data[-2:] == b'\xff\xd9'
write('extraneous.jpg', data[:-2] + bytes(12) + data[-2:])

def claim(source, width, height, name):
    data = read(source)
    for marker in (b'\xff\xc0', b'\xff\xc2', b'\xff\xc9'):
        at = data.find(marker)
        if at >= 0:
            struct.pack_into('>HH', data, at + 5, height, width)
            write('damaged/%s' % name, data)
            return
    raise SystemExit('no frame header in ' + source)

claim(work + '/small.jpg', 37000, 37000, 'claims-37000x37000.jpg')
claim(work + '/small.jpg', 640, 480, 'claims-640x480.jpg')
claim(work + '/small-progressive.jpg', 20000, 20000, 'claims-20000x20000-progressive.jpg')
claim(work + '/small-arithmetic.jpg', 37000, 37000, 'claims-37000x37000-arithmetic.jpg')
PY

djpeg -pnm extraneous.jpg >extraneous.ppm 2>"$work/warnings" || [ $? -eq 2 ]
grep -q 'extraneous bytes before marker 0xd9' "$work/warnings"
for file in damaged/half-closed-*.jpg damaged/flipped-*.jpg damaged/resync-restart.jpg damaged/progression.jpg; do
  djpeg -pnm "$file" >/dev/null 2>"$work/warnings" || true
  grep -q -e 'Corrupt JPEG data' -e 'Inconsistent progression' -e 'Premature end' "$work/warnings" || {
    echo "libjpeg does not notice $file" >&2
    exit 1
  }
done

convert -size 6000x4000 xc:black -depth 8 "$work/black.ppm"
cjpeg -quality 90 "$work/black.ppm" | gzip -9n >black-baseline.jpg.gz
cjpeg -quality 90 -progressive "$work/black.ppm" | gzip -9n >black-progressive.jpg.gz
cjpeg -quality 90 -arithmetic "$work/black.ppm" | gzip -9n >black-arithmetic.jpg.gz
convert "$work/black.ppm" -type TrueColor -define jpeg:optimize-coding=true -quality 90 jpg:- | gzip -9n >black-imagemagick.jpg.gz
for file in black-*.jpg.gz; do
  gunzip -c "$file" | djpeg -pnm | python3 -c '
import sys
picture = sys.stdin.buffer.read()
head = b"P6\n6000 4000\n255\n"
assert picture.startswith(head) and picture.count(0) == len(picture) - len(head)'
done

python3 - <<'PY'
import struct
data = bytearray(open('../tiffjpeg/ycbcr.tif', 'rb').read())
offset = struct.unpack_from('<I', data, 4)[0]
tags = {}
for i in range(struct.unpack_from('<H', data, offset)[0]):
    tag, kind, count, value = struct.unpack_from('<HHII', data, offset + 2 + 12 * i)
    tags[tag] = (kind, count, value)
def values(tag):
    kind, count, value = tags[tag]
    if count == 1:
        return [value]
    return list(struct.unpack_from('<%d%s' % (count, 'H' if kind == 3 else 'I'), data, value))
start, size = values(273)[1], values(279)[1]
strip = data[start:start + size]
scan = strip.index(b'\xff\xda')
scan += 2 + struct.unpack_from('>H', strip, scan + 2)[0]
middle = start + (scan + size) // 2
data[middle:middle + 2] = b'\xff\xd9'
open('../tiffjpeg/strip2-eoi.tif', 'wb').write(data)
PY
