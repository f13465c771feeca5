#!/usr/bin/env bash
# Makes the GIF samples of the GIF reader tests and their references. Run once by hand (needs
# imagemagick, netpbm, gifsicle and python3); the outputs are committed.
#
#   p87.gif          netpbm (pamtogif): GIF87a, 61 x 37, 256-colour global table
#   interlaced.gif   netpbm (pamtogif -interlace): the same picture, interlaced rows
#   four.gif         netpbm: four colours, minimum code size 2
#   noclear.gif      netpbm (pamtogif -noclear): 128 x 96 of noise in 256 colours without clear codes,
#                    so the code table fills and the rest is coded with it frozen
#   nolzw.gif        netpbm (pamtogif -nolzw): codes that never use the table, cleared often
#   m89.gif          ImageMagick: GIF89a with a comment, a graphic control extension with a
#                    transparent colour, and a looping animation of two frames (application extension)
#   offset.gif       gifsicle: a 31 x 17 first frame at 4,3 on an 80 x 60 logical screen, a second frame
#   local.gif        four.gif rewritten (python): the first image carries the colours in an 8-entry local
#                    table (size code 2) while the global table holds 256 wrong ones
#
#   <name>.ppm       the first image as netpbm's giftopnm decodes it (binary PPM, 8 bits)
cd "$(dirname "$0")"
. ../sample_sources.sh
start_work

convert -size 61x37 gradient:'#ff3000-#0040ff' -fill '#20c040' -draw 'circle 14,17 14,6' \
  -fill white -draw 'rectangle 40,5 52,30' -depth 8 "$work/source.ppm"
pnmquant 256 "$work/source.ppm" >"$work/q256.ppm" 2>/dev/null
pnmquant 4 "$work/source.ppm" >"$work/q4.ppm" 2>/dev/null
python3 - "$work/noise.ppm" <<'PY'
import random, sys
random.seed(8)
palette = [(random.randrange(256), random.randrange(256), random.randrange(256)) for _ in range(256)]
width, height = 128, 96
pixels = bytearray()
for _ in range(width * height):
    pixels += bytes(palette[random.randrange(256)])
open(sys.argv[1], 'wb').write(b'P6 %d %d 255\n' % (width, height) + bytes(pixels))
PY

pamtogif "$work/q256.ppm" >p87.gif 2>/dev/null
pamtogif -interlace "$work/q256.ppm" >interlaced.gif 2>/dev/null
pamtogif "$work/q4.ppm" >four.gif 2>/dev/null
pamtogif -noclear "$work/noise.ppm" >noclear.gif 2>/dev/null
pamtogif -nolzw "$work/q256.ppm" >nolzw.gif 2>/dev/null
convert "$work/q256.ppm" -set comment 'first frame' -transparent white "$work/frame1.gif"
convert "$work/q4.ppm" "$work/frame2.gif"
convert -delay 20 "$work/frame1.gif" "$work/frame2.gif" -loop 0 m89.gif
convert "$work/q256.ppm" -crop 31x17+10+10 +repage "$work/small.gif"
gifsicle --logical-screen 80x60 --position 4,3 "$work/small.gif" --position 0,0 "$work/frame2.gif" >offset.gif

python3 - four.gif local.gif <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
flags = data[10]
assert flags & 0x80, 'four.gif has a global table'
entries = 2 << (flags & 7)
table = data[13:13 + 3 * entries]
rest = data[13 + 3 * entries:]
assert rest[0] == 0x2C, 'the image descriptor follows the table'
# Local table of 8 entries (size code 2): the colours, then black.
local = (table + bytes(24))[:24]
descriptor = bytearray(rest[:10])
descriptor[9] = (descriptor[9] & 0x40) | 0x80 | 2
screen = bytearray(data[6:13])
screen[4] = (flags & 0x70) | 0x80 | 7
wrong = bytes([250, 10, 200]) * 256
open(sys.argv[2], 'wb').write(data[:6] + bytes(screen) + wrong + bytes(descriptor) + local + rest[10:])
PY

for f in p87 interlaced four noclear nolzw m89 offset local; do
  giftopnm "$f.gif" 2>/dev/null | ppmtoppm >"$f.ppm"
done
cmp -s p87.ppm interlaced.ppm && cmp -s p87.ppm nolzw.ppm && cmp -s four.ppm local.ppm ||
  { echo "references disagree"; exit 1; }
rm interlaced.ppm nolzw.ppm local.ppm
head -c 6 p87.gif; echo; head -c 6 m89.gif; echo
ls -l
