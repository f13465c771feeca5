#!/usr/bin/env bash
# Makes the PCX samples of the PCX reader tests. Run once by hand (needs imagemagick, netpbm and
# python3); the outputs are committed. All pictures are 37 x 23 pixels (odd widths, so rows have padding
# bytes), each written from a source picture (../sample_sources.sh) with no more colours than its layout
# holds, so the source's pixels are the reference.
#
# netpbm's ppmtopcx:
#   mono.pcx      one plane of 1 bit (black and white)
#   packed2.pcx   one plane of 2 bits (four colours, -packed)
#   packed4.pcx   one plane of 4 bits (up to sixteen colours, -packed)
#   planes2.pcx   two planes of 1 bit; planes3.pcx three; planes4.pcx four (a 16-colour picture)
#   index8.pcx    one plane of 8 bits with the trailing 256-colour palette (-8bit)
#   rgb24.pcx     three planes of 8 bits (-24bit)
# ImageMagick:
#   im_index8.pcx one plane of 8 bits;  im_rgb24.pcx three planes;  im_rgb24_raw.pcx the same stored
#   without run-length packing;  im_rgba32.pcx four planes of 8 bits (alpha in the fourth)
#
# References, rows top first, one per source: two, four, eight, sixteen, many (200 colours asked, fewer
# found) and source .rgb (R G B, one byte each); alpha.rgba (R G B A) for im_rgba32. Each file is
# also read back by a second decoder that must agree with its reference: netpbm's pcxtoppm, or
# ImageMagick where pcxtoppm cannot read the file (stored rows, four 8-bit planes).
cd "$(dirname "$0")"
. ../sample_sources.sh
start_work
make_sources "$work"

# Each file's reference is its source's pixels: <source>.rgb.
make() { # source name, output, writer...
  local source=$1 output=$2
  shift 2
  "$@" >"$output"
  reference[$output]=$source.rgb
}
declare -A reference
make two mono.pcx ppmtopcx "$work/two.ppm"
make four packed2.pcx ppmtopcx -packed "$work/four.ppm"
make sixteen packed4.pcx ppmtopcx -packed "$work/sixteen.ppm"
make four planes2.pcx ppmtopcx -planes 2 "$work/four.ppm"
make eight planes3.pcx ppmtopcx -planes 3 "$work/eight.ppm"
make sixteen planes4.pcx ppmtopcx -planes 4 "$work/sixteen.ppm"
make many index8.pcx ppmtopcx -8bit "$work/many.ppm"
make source rgb24.pcx ppmtopcx -24bit "$work/source.ppm"
make many im_index8.pcx convert "$work/many.ppm" -type Palette pcx:-
make source im_rgb24.pcx convert "$work/source.ppm" pcx:-
make source im_rgb24_raw.pcx convert "$work/source.ppm" -compress None pcx:-
make "$work/alpha" im_rgba32.pcx convert "$work/alpha.png" pcx:-
for source in two four eight sixteen many source; do convert "$work/$source.ppm" -depth 8 "rgb:$source.rgb"; done
convert "$work/alpha.png" -alpha off -depth 8 "rgb:$work/alpha.rgb"
convert "$work/alpha.png" -depth 8 rgba:alpha.rgba

for file in *.pcx; do
  name=${file%.pcx}
  case $name in
    im_rgb24_raw | im_rgba32) convert "$file" -alpha off -depth 8 "rgb:$work/check" ;;
    *) pcxtoppm "$file" 2>/dev/null | convert ppm:- -depth 8 "rgb:$work/check" ;;
  esac
  cmp -s "$work/check" "${reference[$file]}" || { echo "$file differs from its reference"; exit 1; }
done
convert im_rgba32.pcx -depth 8 "rgba:$work/check"
cmp -s "$work/check" alpha.rgba || { echo "im_rgba32.pcx differs from its reference"; exit 1; }
ls -l
