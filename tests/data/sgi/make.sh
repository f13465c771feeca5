#!/usr/bin/env bash
# Makes the SGI samples of the SGI reader tests. Run once by hand (needs imagemagick, netpbm and
# python3); the outputs are committed. All pictures are 37 x 23 pixels (odd widths, so bitmap rows have
# padding), written from source pictures (../sample_sources.sh) whose pixels are the reference.
#
# netpbm's pnmtosgi:  rgb_rle.sgi (run-length), rgb_raw.sgi (-verbatim), gray_rle.bw, and from 16-bit
#                     sources rgb16_rle.sgi and gray16_rle.bw (run-length rows of 16-bit samples)
# ImageMagick:        im_rgba_rle.sgi (four channels), im_rgba16_raw.sgi and im_gray16_raw.sgi (16-bit,
#                     which it always writes unpacked), im_gray_raw.bw
#
# References, rows top first, one byte a sample: source.rgb, gray.gray, alpha.rgba for the 8-bit files;
# source16.rgb, gray16.gray and alpha16.rgba for the 16-bit ones, whose samples are narrowed to 8 bits
# as sample x 255 div 65535. Each file is read back by sgitopnm (netpbm's files) or ImageMagick and
# must give its source's samples.
cd "$(dirname "$0")"
. ../sample_sources.sh
start_work
make_sources "$work"

pnmtosgi "$work/source.ppm" >rgb_rle.sgi
pnmtosgi -verbatim "$work/source.ppm" >rgb_raw.sgi
pnmtosgi "$work/gray.pgm" >gray_rle.bw
pnmtosgi "$work/source16.ppm" >rgb16_rle.sgi
pnmtosgi "$work/gray16.pgm" >gray16_rle.bw
convert "$work/alpha.png" -compress RLE sgi:im_rgba_rle.sgi
convert "$work/alpha16.png" -depth 16 sgi:im_rgba16_raw.sgi
convert "$work/gray16.pgm" -depth 16 sgi:im_gray16_raw.sgi
convert "$work/gray.pgm" -compress None sgi:im_gray_raw.bw

convert "$work/source.ppm" -depth 8 rgb:source.rgb
convert "$work/gray.pgm" -depth 8 gray:gray.gray
convert "$work/alpha.png" -depth 8 rgba:alpha.rgba
narrow16 "$work/source16.ppm" rgb source16.rgb
narrow16 "$work/gray16.pgm" gray gray16.gray
narrow16 "$work/alpha16.png" rgba alpha16.rgba

# Each file against its 16- or 8-bit source.
check() { # file, ImageMagick raw format, source, depth
  if [ "${1#im_}" = "$1" ]; then
    sgitopnm "$1" 2>/dev/null | convert pnm:- -depth "$4" "$2:$work/check"
  else
    convert "$1" -depth "$4" "$2:$work/check"
  fi
  convert "$work/$3" -depth "$4" "$2:$work/expected"
  cmp -s "$work/check" "$work/expected" || { echo "$1 differs from its source"; exit 1; }
}
check rgb_rle.sgi rgb source.ppm 8
check rgb_raw.sgi rgb source.ppm 8
check gray_rle.bw gray gray.pgm 8
check rgb16_rle.sgi rgb source16.ppm 16
check gray16_rle.bw gray gray16.pgm 16
check im_rgba_rle.sgi rgba alpha.png 8
check im_rgba16_raw.sgi rgba alpha16.png 16
check im_gray16_raw.sgi gray gray16.pgm 16
check im_gray_raw.bw gray gray.pgm 8
ls -l
