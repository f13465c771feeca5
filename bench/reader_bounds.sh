#!/usr/bin/env bash
# The cost of loading by file size, for the readers of the picture-format library and the BMP reader
# (needs imagemagick): bench/reader_bounds.sh [BUILD_DIR, default build-rel, configured with
# -DORVANTA_BENCH=ON -DCMAKE_BUILD_TYPE=Release].
#
# 1. Each reader's sample with a header claiming 65535 x 65535 pixels, padded with zeros to 4 KB ...
#    16 MB: the time and peak memory of its refusal (or flagged load) stay small and flat.
# 2. Whole pictures of 256^2 to 2048^2 noise pixels in the formats ImageMagick writes: the time and peak
#    memory of a load grow with the file, linearly.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bench="${1:-$root/build-rel}/bench/bench_reader_bounds"
data="$root/tests/data"
measure() { /usr/bin/time -f "%M KiB peak" "$@" 2>&1 | tr '\n' '\t' | sed 's/\t$/\n/'; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for sample in targa/rgb24_rle.tga targa/rgb24.tga pcx/rgb24.pcx sgi/rgb_rle.sgi sgi/rgb_raw.sgi \
  psd/rgb_rle.psd psd/rgb_raw.psd psp/rgb_rle_v5.psp psp/index8_lz77_v5.psp rla/rgb.rla \
  autodesk/picture.cel cut/picture.cut png/pictures/rgb.png bmp/rle8-delta.bmp pnm/p6.ppm; do
  for size in 4096 65536 1048576 16777216; do
    "$bench" --huge "$data" "$size" "$sample" "$work/huge.${sample##*.}"
    measure "$bench" "$work/huge.${sample##*.}"
  done
done

for side in 256 512 1024 2048; do
  convert -size "${side}x${side}" xc: +noise Random -depth 8 "$work/noise$side.ppm"
  for format in "tga -compress RLE" "pcx" "sgi -compress RLE" "psd" "png"; do
    set -- $format
    convert "$work/noise$side.ppm" "${@:2}" "$work/noise$side.$1"
    measure "$bench" "$work/noise$side.$1" 3
  done
  measure "$bench" "$work/noise$side.ppm" 3
done
