#!/usr/bin/env python3
"""Writes L*a*b* Photoshop files, which no free tool writes, following Adobe's published description
of the format: the 26-byte header (signature "8BPS", version 1, channels, rows, columns, depth, colour
mode 9), empty colour-mode, image-resource and layer sections, the compression value (0 raw, 1
PackBits) and the merged image: every channel's rows in turn, PackBits data preceded by a table of each
row's byte count. Also turns L*a*b* samples, as another program reads them back from such a file, into
the colours the reader's formula gives for them.

usage: lab_psd.py write SOURCE.rgb WIDTH HEIGHT OUT.psd DEPTH(8|16) PACKBITS(0|1) ALPHA(0|1)
       lab_psd.py reference SAMPLES DEPTH(8|16) OUT.rgb
       (SAMPLES: L, a and b of every pixel, 16-bit ones high byte first)

The L*a*b* samples come from the source's red, green and blue bytes by a made-up mapping that reaches
every part of the range (L from the mean, a and b from colour differences, offset by 128); 16-bit
samples repeat their byte (x 257) plus a small varying amount, so that the narrowing to 8 bits shows.
"""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from sample_tools import runs  # noqa: E402


def packbits(row):
    return b"".join(bytes([257 - length, value]) if length else bytes([len(value) - 1]) + value
                    for length, value in runs(row, 128))


def lab_to_rgb(l8, a8, b8):
    """The reader's formula: L scaled from 0..255 to 0..100, a and b offset by 128."""
    l = l8 / 2.55
    a = a8 - 128
    b = b8 - 128
    fy = (l + 16) / 116
    if l >= 7.9996:
        fx = fy + a / 500
        fz = fy - b / 200
        x, y, z = fx ** 3, fy ** 3, fz ** 3
    else:
        y = l / 903.3
        x = y + a / 3893.5
        z = y - b / 1557.4

    def clamp(value):
        value = 255 * value
        if not value > 0:
            return 0
        if value >= 255:
            return 255
        return round(value)

    return (clamp(2.998 * x - 1.458 * y - 0.541 * z), clamp(-0.952 * x + 1.893 * y + 0.059 * z),
            clamp(0.099 * x - 0.198 * y + 1.099 * z))


def write(source, width, height, out_psd, depth, packed, alpha):
    width, height, depth, packed, alpha = int(width), int(height), int(depth), packed == "1", alpha == "1"
    pixels = open(source, "rb").read()
    count = width * height
    planes = [bytearray(count) for _ in range(4 if alpha else 3)]
    for i in range(count):
        r, g, b = pixels[3 * i:3 * i + 3]
        planes[0][i] = (r + g + b) // 3
        planes[1][i] = max(0, min(255, 128 + (r - g) // 2))
        planes[2][i] = max(0, min(255, 128 + (g - b) // 2))
        if alpha:
            planes[3][i] = (i * 7) % 256

    def sample(plane, i):
        value = plane[i]
        if depth == 8:
            return bytes([value])
        wide = value * 257 + (i % 97) - 48  # stays within a rounding step of value x 257
        return struct.pack(">H", max(0, min(65535, wide)))

    rows = []
    for plane in planes:
        for y in range(height):
            rows.append(b"".join(sample(plane, y * width + x) for x in range(width)))
    data = bytearray()
    if packed:
        packed_rows = [packbits(row) for row in rows]
        data += b"".join(struct.pack(">H", len(row)) for row in packed_rows)
        data += b"".join(packed_rows)
    else:
        data += b"".join(rows)

    header = b"8BPS" + struct.pack(">H6xHIIHH", 1, len(planes), height, width, depth, 9)
    sections = struct.pack(">III", 0, 0, 0)
    with open(out_psd, "wb") as psd:
        psd.write(header + sections + struct.pack(">H", 1 if packed else 0) + data)


def reference(samples, depth, out_rgb):
    """The reader narrows 16-bit samples to (sample + 128) div 257 before the formula."""
    data, size = open(samples, "rb").read(), int(depth) // 8
    values = [int.from_bytes(data[i:i + size], "big") for i in range(0, len(data), size)]
    if size == 2:
        values = [(value + 128) // 257 for value in values]
    with open(out_rgb, "wb") as rgb:
        for p in range(0, len(values), 3):
            rgb.write(bytes(lab_to_rgb(*values[p:p + 3])))


if __name__ == "__main__":
    {"write": write, "reference": reference}[sys.argv[1]](*sys.argv[2:])
