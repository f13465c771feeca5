#!/usr/bin/env bash
# Makes the damaged and unusual GIF samples of the GIF reader tests from make.sh's p87.gif (python3),
# checked with imagemagick and netpbm. Run once by hand after make.sh; the outputs are committed.
#
#   extension.gif   p87.gif with an extension of a label no GIF version defines (0x99) before the image:
#                   three sub-blocks whose bytes include image separators and trailers. ImageMagick and
#                   giftopnm pass over it block by block: the picture is p87.ppm.
#   notrailer.gif   p87.gif without its trailer byte: the whole picture still (p87.ppm, as ImageMagick
#                   reads it).
#   cut.gif         p87.gif cut in the middle of its image data: a picture whose data end early.
#   noimage.gif     p87.gif's header, screen descriptor and colour table, then the trailer: no image.
cd "$(dirname "$0")"
. ../sample_sources.sh
start_work

python3 - <<'PY'
data = open('p87.gif', 'rb').read()
flags = data[10]
table_end = 13 + (3 * (2 << (flags & 7)) if flags & 0x80 else 0)
assert data[table_end] == 0x2C, 'the image descriptor follows the table'
image = data[table_end:]
local = image[9]
data_start = table_end + 10 + (3 * (2 << (local & 7)) if local & 0x80 else 0) + 1
blocks = bytes([0x21, 0x99, 5, 0x2C, 0x3B, 0x21, 0xF9, 0]) + bytes([3, 0x3B, 0x2C, 0x3B]) + \
         bytes([200]) + bytes((i * 7 + 0x2C) % 256 for i in range(200)) + bytes([0])
open('extension.gif', 'wb').write(data[:table_end] + blocks + image)
assert data[-1] == 0x3B
open('notrailer.gif', 'wb').write(data[:-1])
open('cut.gif', 'wb').write(data[:(data_start + len(data)) // 2])
open('noimage.gif', 'wb').write(data[:table_end] + bytes([0x3B]))
PY
for f in extension notrailer; do
  convert $f.gif -depth 8 "$work/$f.ppm"
  cmp -s "$work/$f.ppm" p87.ppm || { echo "ImageMagick reads $f.gif otherwise"; exit 1; }
done
# (giftopnm looks for a second image after the first and fails at the missing trailer.)
giftopnm extension.gif 2>/dev/null | cmp -s - p87.ppm || { echo "giftopnm reads extension.gif otherwise"; exit 1; }
giftopnm cut.gif >/dev/null 2>&1 && { echo "giftopnm reads cut.gif"; exit 1; }
giftopnm noimage.gif >/dev/null 2>&1 && { echo "giftopnm finds an image in noimage.gif"; exit 1; }
ls -l extension.gif notrailer.gif cut.gif noimage.gif
