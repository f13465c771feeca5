# Helpers shared by the sample scripts (sourced by their make.sh, not run alone; needs imagemagick and
# python3).
#
# start_work: stops the script at the first failure and gives it a scratch folder, $work, that is
# removed when the script ends.
start_work() {
  set -euo pipefail
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
}

# The source pictures of the PCX, SGI, Photoshop, Paint Shop Pro and portable-map tests, all 37 x 23
# pixels. make_sources DIR writes into DIR:
#   source.ppm    a red-to-blue gradient with a green disc and a white bar (8 bits)
#   alpha.png     the same with alpha rising from left to right
#   gray.pgm      the same in gray
#   two.ppm       black and white (threshold 40 %)
#   four.ppm, eight.ppm, sixteen.ppm, many.ppm   at most 4, 8, 16 and 200 colours, undithered
#   source16.ppm, gray16.pgm, alpha16.png        16-bit pictures whose samples are not multiples of 257
#                                                (so that narrowing them to 8 bits shows)
make_sources() {
  local dir=$1
  convert -size 37x23 gradient:'#ff3000-#0040ff' -fill '#20c040' -draw 'circle 12,11 12,4' \
    -fill white -draw 'rectangle 24,3 32,19' -depth 8 "$dir/source.ppm"
  convert "$dir/source.ppm" \( +clone -fx 'i/w' \) -compose CopyOpacity -composite -depth 8 "$dir/alpha.png"
  convert "$dir/source.ppm" -colorspace Gray -depth 8 "$dir/gray.pgm"
  convert "$dir/source.ppm" -threshold 40% -depth 8 "$dir/two.ppm"
  local colors
  for colors in four:4 eight:8 sixteen:16 many:200; do
    convert "$dir/source.ppm" -colors "${colors#*:}" +dither -depth 8 "$dir/${colors%:*}.ppm"
  done
  convert -size 37x23 gradient:'#ff3401-#0347ff' -fill '#20c140' -draw 'circle 12,11 12,4' \
    -evaluate add 0.37% -depth 16 "$dir/source16.ppm"
  convert "$dir/source16.ppm" -colorspace Gray -depth 16 "$dir/gray16.pgm"
  convert "$dir/source16.ppm" \( +clone -fx 'i/w' \) -compose CopyOpacity -composite -depth 16 \
    "$dir/alpha16.png"
}

# narrow16 PICTURE FORMAT OUT: the picture's samples as ImageMagick's raw FORMAT (rgb, rgba, gray) at
# 16 bits, each narrowed to 8 bits as sample x 255 div 65535 (the colour manager's narrowing).
narrow16() {
  convert "$1" -depth 16 -endian MSB "$2:-" | python3 -c '
import sys
data = sys.stdin.buffer.read()
sys.stdout.buffer.write(bytes((data[i] << 8 | data[i + 1]) * 255 // 65535 for i in range(0, len(data), 2)))
' >"$3"
}
