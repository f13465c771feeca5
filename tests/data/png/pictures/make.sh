#!/usr/bin/env bash
# Makes the whole PNG pictures of the cut-file tests. Run once by hand (needs imagemagick and netpbm);
# the outputs are committed. Written from ../../sample_sources.sh's source pictures (37 x 23), without
# gamma or colour chunks, so that their samples are their colours:
#
#   rgb.png          8-bit RGB, not interlaced
#   indexed_i.png    16 colours in an 8-bit palette, Adam7-interlaced
#
# References, rows top first, R G B: rgb.rgb and sixteen.rgb, each checked with netpbm's pngtopnm.
cd "$(dirname "$0")"
. ../../sample_sources.sh
start_work
make_sources "$work"
plain=(-define png:exclude-chunks=gAMA,cHRM,sRGB,bKGD,date,time,tIME,tEXt,zTXt,pHYs)
convert "$work/source.ppm" "${plain[@]}" -depth 8 PNG24:rgb.png
convert "$work/sixteen.ppm" "${plain[@]}" -interlace PNG -depth 8 PNG8:indexed_i.png
convert "$work/source.ppm" -depth 8 rgb:rgb.rgb
convert "$work/sixteen.ppm" -depth 8 rgb:sixteen.rgb
pngtopnm rgb.png | convert - -depth 8 rgb:- | cmp - rgb.rgb
pngtopnm indexed_i.png | convert - -depth 8 rgb:- | cmp - sixteen.rgb
