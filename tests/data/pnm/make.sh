#!/usr/bin/env bash
# Makes the portable-map samples of the portable-map reader tests. Run once by hand (needs imagemagick
# and netpbm); the outputs are committed. Every picture is 37 x 23 pixels (a width that is no multiple
# of 8, so bitmap rows end in a partial byte and bitmap rows have padding).
#
# Written by netpbm from one ImageMagick drawing (../sample_sources.sh's source.ppm):
#   p6.ppm, p3.ppm        pixel map, binary and plain (pamtopnm of a PAM; pnmtoplainpnm)
#   p6-16.ppm             maximum 65535, two bytes per sample (pamdepth)
#   p6-1000.ppm           maximum 1000, two bytes per sample
#   p3-4095.ppm           plain, maximum 4095
#   p5.pgm, p2.pgm        gray map, binary and plain (ppmtopgm)
#   p5-100.pgm            maximum 100, one byte per sample
#   p4.pbm, p1.pbm        bitmap, binary and plain (pamditherbw, pamtopnm)
#   p7.pam                a PAM file (P7), which the reader refuses
#
# References, rows top first, as netpbm decodes the files with every maximum brought to 255 (pamdepth,
# which rounds v x 255 / maximum to the nearest): <name>.rgb (R G B bytes, gray and bitmaps repeated
# into all three).
cd "$(dirname "$0")"
. ../sample_sources.sh
start_work
make_sources "$work"
convert "$work/source.ppm" -depth 8 pam:"$work/source.pam"

pamtopnm "$work/source.pam" >p6.ppm
pnmtoplainpnm p6.ppm >p3.ppm
pamdepth 65535 p6.ppm >p6-16.ppm
pamdepth 1000 p6.ppm >p6-1000.ppm
pamdepth 4095 p6.ppm | pnmtoplainpnm >p3-4095.ppm
ppmtopgm p6.ppm >p5.pgm
pnmtoplainpnm p5.pgm >p2.pgm
pamdepth 100 p5.pgm >p5-100.pgm
pamditherbw -threshold p5.pgm | pamtopnm >p4.pbm
pnmtoplainpnm p4.pbm >p1.pbm
cp "$work/source.pam" p7.pam

reference() {
  pamdepth 255 "$1" | pnmtopnm | convert ppm:- -depth 8 -type TrueColor rgb:"$2"
}
for f in p6.ppm p3.ppm p6-16.ppm p6-1000.ppm p3-4095.ppm p5.pgm p2.pgm p5-100.pgm p4.pbm p1.pbm; do
  reference "$f" "${f%.*}.rgb"
done
ls -l
