#!/usr/bin/env bash
# Makes the Photoshop samples of the Photoshop reader tests. Run once by hand (needs imagemagick,
# python3 and python3-pil); the outputs are committed. All pictures are 37 x 23 pixels (odd widths, so
# bitmap rows and packed 1-bit rows have padding), made from ../sample_sources.sh's sources.
#
# ImageMagick writes (raw, or PackBits with -compress RLE): rgb, rgb16, rgba, rgba16 (alpha in a fourth
# channel), gray, gray16, grayalpha (two channels), indexed, indexedalpha (two channels), bitmap (1 bit,
# white first), cmyk, cmyk16 and cmykalpha (five channels), as <name>_raw.psd or <name>_rle.psd.
# No free tool writes L*a*b* files: lab_psd.py writes lab_alpha_rle.psd (8 bits, four channels, PackBits)
# and lab16_raw.psd from the format's published description.
#
# References, rows top first, one byte a sample:
# - the sources' own pixels where the file holds them unchanged (source.rgb, alpha.rgba, gray.gray,
#   sixteen.rgb, two.gray);
# - for 16-bit files the sources' samples narrowed to 8 bits as sample x 255 div 65535 (source16.rgb,
#   alpha16.rgba, gray16.gray);
# - for CMYK files the colours the CMYK formula gives for the samples ImageMagick reads back from them
#   (cmyk.rgb, cmyk16.rgb, cmykalpha.rgb: 255 - (X + K - X K div 255); in 16 bits X + K - X K div 65535
#   scaled by 255 div 65535);
# - for L*a*b* files the colours lab_psd.py's copy of the L*a*b* formula gives for the samples
#   ImageMagick reads back (16-bit ones narrowed to (sample + 128) div 257);
# - for indexedalpha_raw.psd, Pillow's reading (see below).
# Every other file is read back by ImageMagick (or Pillow) and must give its reference.
cd "$(dirname "$0")"
. ../sample_sources.sh
start_work
make_sources "$work"
convert "$work/gray.pgm" \( +clone -fx 'j/h' \) -compose CopyOpacity -composite -depth 8 "$work/grayalpha.png"
convert "$work/sixteen.ppm" \( +clone -fx 'i/w' \) -compose CopyOpacity -composite "$work/sixteenalpha.png"

psd() { # source, output, options...
  local source=$1 output=$2
  shift 2
  convert "$work/$source" "$@" "psd:$output"
}
psd source.ppm rgb_raw.psd -compress None
psd source.ppm rgb_rle.psd -compress RLE
psd source16.ppm rgb16_rle.psd -depth 16 -compress RLE
psd alpha.png rgba_rle.psd -compress RLE
psd alpha16.png rgba16_raw.psd -depth 16 -compress None
psd gray.pgm gray_raw.psd -compress None
psd gray16.pgm gray16_raw.psd -depth 16 -compress None
psd gray16.pgm gray16_rle.psd -depth 16 -compress RLE
psd grayalpha.png grayalpha_rle.psd -compress RLE
psd sixteen.ppm indexed_rle.psd -type Palette -compress RLE
psd sixteenalpha.png indexedalpha_raw.psd -type PaletteAlpha -compress None
psd two.ppm bitmap_raw.psd -type Bilevel -depth 1 -compress None
psd two.ppm bitmap_rle.psd -type Bilevel -depth 1 -compress RLE
psd source.ppm cmyk_rle.psd -colorspace CMYK -compress RLE
psd source16.ppm cmyk16_raw.psd -colorspace CMYK -depth 16 -compress None
psd alpha.png cmykalpha_rle.psd -colorspace CMYK -compress RLE

convert "$work/source.ppm" -depth 8 rgb:source.rgb
convert "$work/alpha.png" -depth 8 rgba:alpha.rgba
convert "$work/gray.pgm" -depth 8 gray:gray.gray
convert "$work/sixteen.ppm" -depth 8 rgb:sixteen.rgb
convert "$work/two.ppm" -depth 8 gray:two.gray
narrow16 "$work/source16.ppm" rgb source16.rgb
narrow16 "$work/alpha16.png" rgba alpha16.rgba
narrow16 "$work/gray16.pgm" gray gray16.gray
cmyk() { # file, depth, reference
  convert "$1[0]" -depth "$2" -endian MSB "cmyk:$work/cmyk"
  /usr/bin/python3 -c '
import sys
data, depth = open(sys.argv[1], "rb").read(), int(sys.argv[2])
size = depth // 8
top = (1 << depth) - 1
samples = [int.from_bytes(data[i:i + size], "big") for i in range(0, len(data), size)]
out = bytearray()
for p in range(0, len(samples), 4):
    c, m, y, k = samples[p:p + 4]
    for x in (c, m, y):
        covered = x + k - x * k // top
        out.append(max(0, min(255, 255 - covered * 255 // top)))
open(sys.argv[3], "wb").write(out)
' "$work/cmyk" "$2" "$3"
}
cmyk cmyk_rle.psd 8 cmyk.rgb
cmyk cmyk16_raw.psd 16 cmyk16.rgb
cmyk cmykalpha_rle.psd 8 cmykalpha.rgb

/usr/bin/python3 lab_psd.py write source.rgb 37 23 lab_alpha_rle.psd 8 1 1
/usr/bin/python3 lab_psd.py write source.rgb 37 23 lab16_raw.psd 16 0 0
# ImageMagick reads the L*a*b* samples back (-set colorspace keeps them from being converted).
lab() { # file, depth, reference
  convert "$1[0]" -set colorspace sRGB -alpha off -depth "$2" -endian MSB "rgb:$work/lab"
  /usr/bin/python3 lab_psd.py reference "$work/lab" "$2" "$3"
}
lab lab_alpha_rle.psd 8 lab_alpha.rgb
lab lab16_raw.psd 16 lab16.rgb

# ImageMagick reads the merged image as the file's first picture ([0]); the layers follow it. It takes
# the merged colours of a picture with alpha as blended against white and unblends them, although it
# wrote them unblended (as the files hold them): for RGBA files the check reads the layer ([1]), which
# it writes from the same pixels.
check() { # file, ImageMagick raw format, reference, depth of the check
  local picture="$1[0]"
  [ "$2" = rgba ] && picture="$1[1]"
  if [ "$4" = 16 ]; then
    narrow16 "$picture" "$2" "$work/check"
  else
    convert "$picture" -depth 8 "$2:$work/check"
  fi
  cmp -s "$work/check" "$3" || { echo "$1 differs from $3"; exit 1; }
}
check rgb_raw.psd rgb source.rgb 8
check rgb_rle.psd rgb source.rgb 8
check rgb16_rle.psd rgb source16.rgb 16
check rgba_rle.psd rgba alpha.rgba 8
check rgba16_raw.psd rgba alpha16.rgba 16
check gray_raw.psd gray gray.gray 8
check gray16_raw.psd gray gray16.gray 16
check gray16_rle.psd gray gray16.gray 16
check grayalpha_rle.psd gray gray.gray 8
check bitmap_raw.psd gray two.gray 8
check bitmap_rle.psd gray two.gray 8
# ImageMagick cannot read the indexed files it writes: Pillow (python3-pil) reads them, the one with
# alpha once its header says one channel (its raw index plane comes first) and its layers are gone.
# ImageMagick chose that one's palette anew for the colours with alpha, so Pillow's reading is its
# reference (indexedalpha.rgb).
/usr/bin/python3 - <<'PY'
import io, struct, sys
from PIL import Image
for name in ("indexed_rle.psd", "indexedalpha_raw.psd"):
    data = bytearray(open(name, "rb").read())
    at = 26
    for _ in range(2):
        at += 4 + struct.unpack(">I", data[at:at + 4])[0]
    layers = struct.unpack(">I", data[at:at + 4])[0]
    data[at:at + 4 + layers] = bytes(4)
    colors = Image.open(io.BytesIO(data)).convert("RGB").tobytes() if name == "indexed_rle.psd" else None
    if name == "indexedalpha_raw.psd":
        data[12:14] = b"\x00\x01"
        open("indexedalpha.rgb", "wb").write(Image.open(io.BytesIO(data)).convert("RGB").tobytes())
    elif colors != open("sixteen.rgb", "rb").read():
        sys.exit(name + " differs from sixteen.rgb")
PY
ls -l
