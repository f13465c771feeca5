#!/usr/bin/env bash
# Makes the JPEG sample files and their reference decodings. Needs ImageMagick (convert) for the
# source pictures and the CMYK file, and libjpeg-turbo-progs (cjpeg, djpeg) for the rest.
# References are djpeg's output with its default (accurate integer) DCT unless named otherwise.
set -euo pipefail
cd "$(dirname "$0")"

# Sources: a seeded plasma with a few hard edges, so every block holds detail.
convert -size 64x40 -seed 7 plasma:fractal -fill white -draw 'rectangle 5,5 20,12' \
  -fill black -draw 'circle 45,28 52,33' -depth 8 src.ppm
convert -size 101x51 -seed 11 plasma:fractal -depth 8 odd-src.ppm
trap "rm -f odd-src.ppm" EXIT

cjpeg -quality 85 src.ppm >baseline.jpg
djpeg -pnm baseline.jpg >baseline.ppm
djpeg -pnm -dct fast baseline.jpg >baseline-fast.ppm
djpeg -pnm -colors 236 baseline.jpg >baseline-236.ppm
djpeg -pnm -colors 236 -dct fast -dither ordered -onepass baseline.jpg >baseline-236-fast.ppm
djpeg -pnm -grayscale baseline.jpg >baseline-gray.pgm
# The file without its last 300 bytes, as djpeg decodes it (it ends the data with an EOI marker too).
head -c $(($(stat -c %s baseline.jpg) - 300)) baseline.jpg >cut.tmp
djpeg -pnm cut.tmp >baseline-cut300.ppm 2>/dev/null || [ $? -eq 2 ]  # 2: finished with a warning
rm cut.tmp

# Restart markers after every MCU row (it decodes to baseline.ppm, the same coefficients).
cjpeg -quality 85 -restart 1 src.ppm >restart.jpg

cjpeg -quality 85 -progressive src.ppm >progressive.jpg
djpeg -pnm progressive.jpg >progressive.ppm
djpeg -pnm -colors 236 progressive.jpg >progressive-236.ppm

cjpeg -quality 85 -grayscale src.ppm >gray.jpg
djpeg -pnm gray.jpg >gray.pgm

cjpeg -quality 85 odd-src.ppm >odd.jpg
djpeg -pnm odd.jpg >odd.ppm
djpeg -pnm -scale 1/2 odd.jpg >odd-half.ppm
djpeg -pnm -scale 1/8 odd.jpg >odd-eighth.ppm

# Adobe CMYK (inverted inks) as ImageMagick writes it, and ImageMagick's own RGB reading of it.
convert src.ppm -colorspace CMYK -quality 90 cmyk.jpg
convert cmyk.jpg -colorspace sRGB -depth 8 cmyk.ppm
