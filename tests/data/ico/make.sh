#!/usr/bin/env bash
# Makes the icon samples of the drawing-layer tests. Run once from this folder; the files are committed.
# Needs ImageMagick 6 (convert) and python3: the Python below draws the source (32 x 32, 16 colours,
# a transparent 8 x 8 corner and a transparent 3 x 5 patch); ImageMagick writes the icons and the
# references, its own decoding of each 32 x 32 image laid on white.
set -euo pipefail
cd "$(dirname "$0")"

python3 - <<'PY'
colours = [(0,0,0),(255,255,255),(255,0,0),(0,255,0),(0,0,255),(255,255,0),(0,255,255),(255,0,255),
           (128,0,0),(0,128,0),(0,0,128),(128,128,0),(0,128,128),(128,0,128),(192,192,192),(128,128,128)]
out = bytearray()
for y in range(32):
    for x in range(32):
        r, g, b = colours[(x // 4 + y // 4) % 16]
        clear = (x < 8 and y < 8) or (20 <= x < 23 and 10 <= y < 15)
        out += bytes((r, g, b, 0 if clear else 255))
open('src-icon.rgba', 'wb').write(out)
PY

# 16 and 32 pixel images of 32 bits with alpha (and AND masks), and one 4-bit image with its AND mask.
convert -size 32x32 -depth 8 rgba:src-icon.rgba -define icon:auto-resize=16,32 alpha32.ico
convert -size 32x32 -depth 8 rgba:src-icon.rgba -type PaletteAlpha -define icon:auto-resize=32 mask4.ico
convert 'alpha32.ico[1]' -background white -alpha remove -alpha off -depth 8 ppm:alpha32-on-white.ppm
convert 'mask4.ico[0]' -background white -alpha remove -alpha off -depth 8 ppm:mask4-on-white.ppm
rm src-icon.rgba

# A 256-pixel image, which ImageMagick stores PNG-compressed, beside a 32-pixel BMP-style one: the
# source is a colour ramp with a transparent disc, and the reference is ImageMagick's decoding of the
# 256-pixel image laid on white.
python3 - <<'PY'
out = bytearray()
for y in range(256):
    for x in range(256):
        clear = (x - 160) ** 2 + (y - 96) ** 2 < 40 ** 2
        half = 128 if 16 <= x < 48 and 200 <= y < 232 else 255
        out += bytes((x, y, 255 - x, 0 if clear else half))
open('src-png.rgba', 'wb').write(out)
PY
convert -size 256x256 -depth 8 rgba:src-png.rgba -define icon:auto-resize=256,32 png256.ico
convert 'png256.ico[0]' -background white -alpha remove -alpha off -depth 8 png:png256-on-white.png
rm src-png.rgba
