#!/usr/bin/env bash
# Makes the Targa samples of the Targa reader tests. Run once by hand (needs imagemagick and netpbm);
# the outputs are committed. All pictures are 37 x 23 pixels (odd rows, so bitmap rows have padding).
#
# Written from ../sample_sources.sh's source pictures. ImageMagick 6 writes the rows in the order it
# holds them and sets the top-first flag (descriptor bit 0x20) only for -orient TopLeft; bottom-first
# files are therefore written from the flipped picture.
#
#   rgb24.tga          true colour, raw (type 2), bottom row first
#   rgb24_rle.tga      true colour, run-length (type 10), bottom row first
#   rgb24_top_rle.tga  true colour, run-length, top row first
#   rgba32_rle.tga     32 bits with alpha, run-length, bottom row first
#   gray.tga           gray (type 3), top row first;  gray_rle.tga run-length (type 11), bottom first
#   mapped.tga         16 colours, 24-bit colour map (type 1), bottom first; mapped_rle.tga (type 9), top
#
# References, rows top first: rgb24.rgb (R G B), rgba32.rgba (R G B A), gray.gray (one byte),
# mapped.rgb (R G B). Every file is checked against its reference with netpbm's tgatoppm.
cd "$(dirname "$0")"
. ../sample_sources.sh
start_work
make_sources "$work"
convert "$work/source.ppm" -colors 16 -depth 8 "$work/sixteen.png"

convert "$work/source.ppm" -flip -type TrueColor -compress None rgb24.tga
convert "$work/source.ppm" -flip -type TrueColor -compress RLE rgb24_rle.tga
convert "$work/source.ppm" -orient TopLeft -type TrueColor -compress RLE rgb24_top_rle.tga
convert "$work/alpha.png" -flip -type TrueColorAlpha -compress RLE rgba32_rle.tga
convert "$work/source.ppm" -orient TopLeft -type Grayscale -compress None gray.tga
convert "$work/source.ppm" -flip -type Grayscale -compress RLE gray_rle.tga
convert "$work/sixteen.png" -flip -type Palette -compress None mapped.tga
convert "$work/sixteen.png" -orient TopLeft -type Palette -compress RLE mapped_rle.tga

# ImageMagick gives a top-first file's rows in display order.
convert rgb24_top_rle.tga -depth 8 rgb:rgb24.rgb
convert "$work/alpha.png" -depth 8 rgba:rgba32.rgba
convert gray.tga -depth 8 gray:gray.gray
convert mapped_rle.tga -depth 8 rgb:mapped.rgb

check() {
  tgatoppm "$1" 2>/dev/null | convert ppm:- -depth 8 "$2:$work/check"
  cmp -s "$work/check" "$3" || { echo "$1 differs from $3"; exit 1; }
}
for f in rgb24 rgb24_rle rgb24_top_rle; do check $f.tga rgb rgb24.rgb; done
for f in gray gray_rle; do check $f.tga gray gray.gray; done
for f in mapped mapped_rle; do check $f.tga rgb mapped.rgb; done
convert "$work/alpha.png" -alpha off -depth 8 rgb:"$work/alpha.rgb"
check rgba32_rle.tga rgb "$work/alpha.rgb"
ls -l
