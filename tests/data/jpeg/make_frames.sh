#!/usr/bin/env bash
# Makes the frames of the tests that every road decodes a JPEG file to the same decision (frames/): whole
# frames from several writers, each with djpeg's decoding of it, and damaged frames made from them that
# no road may load. Run once by hand (needs libjpeg-turbo-progs, imagemagick, libvips-tools, and python3
# with PIL: Debian's python3-pil, hence /usr/bin/python3); the outputs are committed.
#
#   frames/whole/<writer>.jpg       96 x 64 pictures as each writer codes them (successive approximation,
#                                   restart markers, one scan per component, arithmetic coding, padding
#                                   before the end marker: padded-*), and three 192 x 128 ones (large-*) that the
#                                   damaged frames below come from
#   frames/whole/<writer>.ppm.gz    djpeg's decoding of each (default DCT), gzip-compressed
#   frames/refused/cut-<writer>-scan<k>.jpg    a multi-scan frame cut where scan k starts and closed with
#                                   an end-of-image marker, as a writer that died, or a tool that closes a
#                                   cut file, leaves it: every scan whole, but the picture's later scans
#                                   missing (djpeg says nothing)
#   frames/refused/scans-without-<n>.jpg       the one-scan-per-component frame without its scan n
#   frames/refused/badcode-<writer>-<n>.jpg    bytes changed, or 80 stuffed FF bytes put in, mid-scan where
#                                   djpeg's first warning is "bad Huffman code": a code no table holds
#   frames/refused/junk-<writer>-scan<k>.jpg   32 bytes of junk put before the marker that follows scan k
#   frames/refused/spliced-<a>-<b>.jpg         the header of one large frame and the scan data of another
#   frames/refused/png-named.jpg    a PNG picture
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
whole=frames/whole
refused=frames/refused
rm -rf frames
mkdir -p "$whole" "$refused"

convert -size 96x64 -seed 21 plasma:fractal -fill white -draw 'rectangle 8,8 30,20' -depth 8 "$work/small.ppm"
convert -size 192x128 -seed 23 plasma:fractal -depth 8 "$work/large.ppm"
convert -size 192x128 -seed 29 plasma:fractal -depth 8 "$work/other.ppm"

# Successive approximation down to bit 0 from bit 3 (luminance) and bit 2 (chrominance), spectral bands of
# their own, and the DC coefficients refined twice.
cat >"$work/approximation.scans" <<'SCANS'
0 1 2: 0 0 0 2;
0: 1 5 0 3;
2: 1 63 0 2;
1: 1 63 0 2;
0: 6 63 0 3;
0: 1 63 3 2;
0 1 2: 0 0 2 1;
0: 1 63 2 1;
1: 1 63 2 1;
2: 1 63 2 1;
0 1 2: 0 0 1 0;
0: 1 63 1 0;
1: 1 63 1 0;
2: 1 63 1 0;
SCANS
# A sequential frame of one scan per component.
printf '0;\n1;\n2;\n' >"$work/three.scans"

small=$work/small.ppm
cjpeg -quality 90 "$small" >"$whole/cjpeg-baseline.jpg"
cjpeg -quality 90 -optimize -sample 1x1 "$small" >"$whole/cjpeg-optimized-444.jpg"
cjpeg -quality 90 -sample 2x1 -restart 2B "$small" >"$whole/cjpeg-422-restart.jpg"
cjpeg -quality 90 -progressive "$small" >"$whole/cjpeg-progressive.jpg"
cjpeg -quality 90 -progressive -restart 1 "$small" >"$whole/cjpeg-progressive-restart.jpg"
cjpeg -quality 90 -grayscale -progressive "$small" >"$whole/cjpeg-gray-progressive.jpg"
cjpeg -quality 90 -arithmetic -progressive "$small" >"$whole/cjpeg-arithmetic-progressive.jpg"
cjpeg -quality 90 -scans "$work/three.scans" "$small" >"$whole/cjpeg-three-scans.jpg"
jpegtran -scans "$work/approximation.scans" "$whole/cjpeg-baseline.jpg" >"$whole/jpegtran-approximation.jpg"
jpegtran -scans "$work/approximation.scans" -restart 1 "$whole/cjpeg-baseline.jpg" \
  >"$whole/jpegtran-approximation-restart.jpg"
convert "$small" -quality 90 -interlace JPEG "$whole/imagemagick-progressive.jpg"
convert "$small" -quality 90 "$whole/imagemagick-baseline.jpg"
vips jpegsave "$small" "$whole/vips-progressive.jpg" --Q 90 --interlace
vips jpegsave "$small" "$whole/vips-restart.jpg" --Q 90 --optimize-coding --restart-interval 3
/usr/bin/python3 - "$small" "$whole" <<'PY'
import sys
from PIL import Image
picture = Image.open(sys.argv[1])
picture.save(sys.argv[2] + '/pil-progressive.jpg', quality=90, progressive=True, optimize=True)
picture.save(sys.argv[2] + '/pil-baseline.jpg', quality=90, subsampling=0)
PY
cjpeg -quality 90 "$work/large.ppm" >"$whole/large-baseline.jpg"
cjpeg -quality 90 -optimize "$work/large.ppm" >"$whole/large-optimized.jpg"
cjpeg -quality 90 -optimize "$work/other.ppm" >"$whole/large-other.jpg"

python3 - "$whole" "$refused" <<'PY'
import struct, subprocess, sys
whole, refused = sys.argv[1], sys.argv[2]

def read(name):
    return bytearray(open('%s/%s.jpg' % (whole, name), 'rb').read())

def write(name, data):
    open('%s/%s.jpg' % (refused, name), 'wb').write(data)

def markers(data):
    """(offset, code) of every marker outside the entropy-coded data, in order."""
    found, at = [], 2
    while at < len(data):
        assert data[at] == 0xFF, at
        code = data[at + 1]
        found.append((at, code))
        if code == 0xD9:
            break
        at += 2 + struct.unpack_from('>H', data, at + 2)[0]
        if code == 0xDA:  # the scan's data run to the next marker that is no stuffed byte or restart
            while not (data[at] == 0xFF and data[at + 1] not in (0x00, *range(0xD0, 0xD8))):
                at += 1
    return found

def scans(data):
    return [at for at, code in markers(data) if code == 0xDA]

def first_warning(data):
    open('check.jpg', 'wb').write(data)
    result = subprocess.run(['djpeg', '-pnm', 'check.jpg'], capture_output=True)
    return result.stderr.decode().strip()

# Where scan k would start (after the data of scan k - 1, so before any tables it needs), cut and closed.
for name in ('cjpeg-progressive', 'jpegtran-approximation', 'cjpeg-arithmetic-progressive',
             'imagemagick-progressive'):
    data = read(name)
    found = markers(data)
    for k in range(2, len(scans(data)) + 1):
        previous = [i for i, (at, code) in enumerate(found) if code == 0xDA][k - 2]
        write('cut-%s-scan%d' % (name, k), data[:found[previous + 1][0]] + b'\xff\xd9')

# Padding before the end marker, as some cameras write it, loses nothing.
data = read('cjpeg-progressive')
assert data[-2:] == b'\xff\xd9'
open(whole + '/padded-progressive.jpg', 'wb').write(data[:-2] + bytes(12) + data[-2:])

data = read('cjpeg-three-scans')
starts = scans(data)
assert len(starts) == 3
end = [at for at, code in markers(data) if code == 0xD9][0]
write('scans-without-3', data[:starts[2]] + b'\xff\xd9')
write('scans-without-2', data[:starts[1]] + data[starts[2]:])
write('scans-without-1', data[:starts[0]] + data[starts[1]:])

# Codes no table holds: the first four places, walking the first half of the scan data, where djpeg's
# first warning says so, for a changed byte and for 80 stuffed FF bytes put in.
for name in ('large-baseline', 'large-optimized'):
    data = read(name)
    start = scans(data)[0]
    start += 2 + struct.unpack_from('>H', data, start + 2)[0]
    end = [at for at, code in markers(data) if code == 0xD9][0]
    found = 0
    for at in range(start + 64, start + (end - start) // 2, 53):
        if found == 4:
            break
        for change in ('byte', 'stuffed'):
            if data[at - 1] == 0xFF or data[at] == 0xFF:
                continue
            damaged = bytearray(data)
            if change == 'byte':
                damaged[at] ^= 0xF0
                if damaged[at] == 0xFF:
                    continue
            else:
                damaged[at:at] = b'\xff\x00' * 80
            if first_warning(damaged).endswith('bad Huffman code'):
                found += 1
                write('badcode-%s-%d' % (name, found), damaged)
                break
    assert found == 4, name

# Junk after scan k, before the marker that follows it.
for name, after in (('cjpeg-progressive', 1), ('cjpeg-progressive', 5), ('cjpeg-three-scans', 1)):
    data = read(name)
    following = [at for at, code in markers(data) if at > scans(data)[after - 1]][0]
    damaged = data[:following] + bytes(range(0x41, 0x61)) + data[following:]
    assert 'extraneous bytes before marker' in first_warning(damaged), name
    write('junk-%s-scan%d' % (name, after), damaged)

def parts(data):
    start = scans(data)[0]
    start += 2 + struct.unpack_from('>H', data, start + 2)[0]
    return data[:start], data[start:]

header, data = parts(read('large-optimized'))
other_header, other_data = parts(read('large-other'))
for name, damaged in (('spliced-optimized-other', header + other_data),
                      ('spliced-other-optimized', other_header + data)):
    assert first_warning(damaged).startswith('Corrupt JPEG data'), name
    write(name, damaged)
PY
rm -f check.jpg
convert "$small" -define png:exclude-chunks=date,time png:"$refused/png-named.jpg"

for file in "$whole"/*.jpg; do
  # djpeg ends with 2 after a warning; only the padded frames may have one.
  status=0
  djpeg -pnm "$file" >"$work/picture.ppm" 2>"$work/warnings" || status=$?
  if [ "$status" -ne 0 ] && ! { [ "$status" -eq 2 ] && [[ $file == */padded-* ]]; }; then
    echo "djpeg warns about $file" >&2
    exit 1
  fi
  gzip -9n <"$work/picture.ppm" >"${file%.jpg}.ppm.gz"
done
