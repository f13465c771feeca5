#!/usr/bin/env bash
# Makes the Paint Shop Pro samples of the Paint Shop Pro reader tests. Run once by hand (needs
# imagemagick and python3); the outputs are committed. No free tool writes Paint Shop Pro files:
# psp_write.py writes them from the format's published description (see its header), from source
# pictures made by ImageMagick (../sample_sources.sh) whose pixels are the references. All are 37 x 23
# pixels but one.
#
#   rgb_rle_v5.psp       24 bits, run-length channels, major version 5
#   rgb_lz77_v3.psp      24 bits, deflated channels, major version 3; its first layer is a floating
#                        selection (not shown), the second the picture
#   rgba_raw_v4.psp      24 bits with a transparency mask (a fourth channel), stored as they are
#   index8_lz77_v5.psp   256 colours at most, palette block before the layers, a transparency mask, and a
#                        second raster layer (not shown)
#   index4_rle_v3.psp    16 colours, 4-bit rows, the palette block after the layers
#   index4_even_v5.psp   16 colours, 4-bit rows, 36 pixels wide (rows of 18 bytes)
#   mono_rle_v5.psp      black and white, 1-bit rows
#   gray_raw_v4.psp      greyscale with a gray palette block, resolution given per centimetre
#   gray_nopalette_v5.psp greyscale without a palette block
#
# References (R G B rows top first; alpha.rgba R G B A): source.rgb, alpha.rgba, many.rgb,
# sixteen.rgb, sixteen36.rgb, two.rgb, gray.rgb.
cd "$(dirname "$0")"
. ../sample_sources.sh
start_work
make_sources "$work"
convert "$work/source.ppm" -depth 8 rgb:source.rgb
convert "$work/many.ppm" -depth 8 rgb:many.rgb
convert "$work/sixteen.ppm" -depth 8 rgb:sixteen.rgb
convert "$work/sixteen.ppm" -crop 36x23+0+0 -depth 8 rgb:sixteen36.rgb
convert "$work/two.ppm" -depth 8 rgb:two.rgb
convert "$work/gray.pgm" -depth 8 rgb:gray.rgb
convert -size 37x23 gradient:white-black -rotate 90 -resize '37x23!' -depth 8 gray:"$work/mask.gray"
python3 -c '
import sys
rgb, mask = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read()
open(sys.argv[3], "wb").write(b"".join(rgb[3 * i:3 * i + 3] + mask[i:i + 1] for i in range(len(mask))))
' source.rgb "$work/mask.gray" alpha.rgba

psp() { # output, version, depth, compression, colours, palette, layers, width, extra JSON
  cat >"$work/layout.json" <<JSON
{"version": $2, "width": ${8:-37}, "height": 23, "depth": $3, "compression": $4, "gray": false,
 "resolution": [72.0, 1], "palette": $6, "colors": "$5", "alpha": null, "layers": $7 ${9:-}}
JSON
  python3 psp_write.py "$1" "$work/layout.json"
}
psp rgb_rle_v5.psp 5 24 1 source.rgb null "[1]"
psp rgb_lz77_v3.psp 3 24 2 source.rgb null "[1, 0]"
psp rgba_raw_v4.psp 4 24 0 source.rgb null "[1]" 37 ", \"alpha\": \"$work/mask.gray\""
psp index8_lz77_v5.psp 5 8 2 many.rgb '"before"' "[1, 1]" 37 ", \"alpha\": \"$work/mask.gray\""
psp index4_rle_v3.psp 3 4 1 sixteen.rgb '"after"' "[0]"
psp index4_even_v5.psp 5 4 0 sixteen36.rgb '"before"' "[1]" 36
psp mono_rle_v5.psp 5 1 1 two.rgb '"before"' "[1]"
psp gray_raw_v4.psp 4 8 0 gray.rgb '"before"' "[1]" 37 ', "gray": true, "resolution": [118.0, 2]'
psp gray_nopalette_v5.psp 5 8 1 gray.rgb null "[1]" 37 ', "gray": true'
ls -l
