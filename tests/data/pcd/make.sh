#!/usr/bin/env bash
# Makes the Photo-CD samples of the Photo-CD reader tests. Run once by hand (needs imagemagick); the
# outputs are committed.
#
#   landscape.pcd.gz   an image pack written by ImageMagick from a 768 x 512 drawing (landscape, so the
#                      orientation byte is 0), gzip-compressed: the pack holds 786,432 bytes of picture
#                      data, most of them alike.
#   landscape.ycc.gz   the reference: the pack's base image as ImageMagick reads it, before it turns
#                      PhotoYCC into RGB (-set colorspace only relabels): for every pixel, rows top first,
#                      luma, chroma 1 and chroma 2, the chroma planes enlarged to the full size by
#                      ImageMagick; gzip-compressed.
#
# ImageMagick's portrait packs are not used: it stores a portrait picture's rows in landscape rows
# without turning it, so the tests set the orientation byte of the landscape pack instead.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

convert -size 768x512 gradient:'#ff3000-#0040ff' -fill '#20c040' -draw 'circle 200,250 200,100' \
  -fill white -draw 'rectangle 500,50 700,450' -fill black -draw 'rectangle 10,10 60,60' \
  -fill '#8040c0' -draw 'polygon 300,480 420,380 540,500' -depth 8 "$work/source.png"
convert "$work/source.png" "$work/landscape.pcd"
convert "$work/landscape.pcd" -set colorspace sRGB -depth 8 "rgb:$work/landscape.ycc"
gzip -9 -n -c "$work/landscape.pcd" >landscape.pcd.gz
gzip -9 -n -c "$work/landscape.ycc" >landscape.ycc.gz
ls -l
