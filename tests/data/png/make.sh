#!/usr/bin/env bash
# Reference decodings of PngSuite, as Debian's libsixel-examples installs it, made by ImageMagick
# (convert). Each is the file's stored samples as a 16-bit PPM: alpha ignored (-alpha off), no gamma
# applied (ImageMagick takes a file gamma of 1.0 for linear RGB and would convert it to sRGB on output;
# -set colorspace only relabels), gzip-compressed. The test scales them to 8 bits and applies the file gamma itself.
# Files that decode to the same samples share one reference; references.txt maps every valid suite
# file (folder/name.png) to its reference (ref/<name>.ppm.gz).
set -euo pipefail
cd "$(dirname "$0")"
suite=/usr/share/doc/libsixel-examples/examples/images/pngsuite

rm -rf ref references.txt
mkdir ref
declare -A seen
tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT
for file in $(cd "$suite" && find . -name '*.png' ! -path './corrupted/*' | sed 's|^\./||' | sort); do
  convert "$suite/$file" -set colorspace sRGB -alpha off -depth 16 "ppm:$tmp"
  sum=$(md5sum <"$tmp" | cut -d' ' -f1)
  name=${seen[$sum]:-}
  if [ -z "$name" ]; then
    name=$(basename "$file" .png)
    gzip -9 -n -c "$tmp" >"ref/$name.ppm.gz"
    seen[$sum]=$name
  fi
  echo "$file $name" >>references.txt
done
