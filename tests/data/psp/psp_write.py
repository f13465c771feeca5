#!/usr/bin/env python3
"""Writes Paint Shop Pro pictures, which no free tool writes, following Jasc's published description of
the file format (major versions 3, for Paint Shop Pro 5, and 4 and later).

The file: a 32-byte signature ("Paint Shop Pro Image File\\n\\x1a" padded with zeros), the major and minor
version (16 bits each), then blocks. Every number is little-endian. A block header is "~BK\\0", the
block id (16 bits), for major version 3 the length of the block's initial data (32 bits), and the
block's total length after its header (32 bits). From major version 4 on, each chunk of fixed fields
starts with its own size (32 bits, counting itself).

Blocks written: general image attributes (id 0: width, height, resolution as a double, its unit, the
compression, bit depth, plane count, colour count, greyscale flag, image size, active layer, layer
count, and from version 4 the graphic contents); colour palette (id 2: entry count, then blue, green,
red, reserved for each entry); layer bank (id 3) holding layer blocks (id 4: layer information with the
name (256 bytes in version 3, length and text later) and the layer attributes, the first of which is the
layer type; bitmap information: bitmap count and channel count; then one channel block (id 5) per
channel: compressed length, uncompressed length, bitmap type, channel type, then the channel's rows,
stored as they are, run-length coded (a byte below 128 copies that many bytes, 128 + n repeats the next
byte n times) or deflated with zlib).

usage: psp_write.py OUT.psp LAYOUT.json
LAYOUT: {"version": 3|4|5, "width": W, "height": H, "depth": 1|4|8|24, "compression": 0|1|2,
       "gray": bool, "resolution": [value, unit], "palette": "before"|"after"|null,
       "colors": FILE (R G B rows for the picture), "alpha": FILE or null (one byte a pixel),
       "layers": [layer type, ...] (one picture layer per entry; a layer of another type than the first
       used one holds the picture turned upside down, so that showing it would be seen)}
"""
import json
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from sample_tools import runs  # noqa: E402

SIGNATURE = b"Paint Shop Pro Image File\n\x1a".ljust(32, b"\0")


def chunk(version, fields):
    """Fixed fields, with their size in front from version 4 on."""
    if version == 3:
        return fields
    return struct.pack("<I", 4 + len(fields)) + fields


def with_header(version, block_id, initial, rest=b""):
    body = initial + rest
    if version == 3:
        header = b"~BK\0" + struct.pack("<HII", block_id, len(initial), len(body))
    else:
        header = b"~BK\0" + struct.pack("<HI", block_id, len(body))
    return header + body


def run_length(data):
    return b"".join(bytes([128 + length, value]) if length else bytes([len(value)]) + value
                    for length, value in runs(data, 127))


def pack_rows(pixels, width, height, bits):
    """Rows of `bits`-bit indices, first pixel in the high bits, each row as long as its pixels need."""
    if bits == 8:
        return bytes(pixels)
    out = bytearray()
    per_byte = 8 // bits
    for y in range(height):
        row = pixels[y * width:(y + 1) * width]
        for x in range(0, width, per_byte):
            value = 0
            for k in range(per_byte):
                index = row[x + k] if x + k < width else 0
                value |= index << (8 - bits * (k + 1))
            out.append(value)
    return bytes(out)


def channel_block(version, compression, data, bitmap_type, channel_type):
    stored = {0: lambda d: d, 1: run_length, 2: zlib.compress}[compression](data)
    info = chunk(version, struct.pack("<IIHH", len(stored), len(data), bitmap_type, channel_type))
    return with_header(version, 5, info, stored)


def layer_block(version, layer_type, width, height, channels):
    attributes = struct.pack("<B4i4iBBBBB4i4iBBBH20s20s", layer_type, 0, 0, width, height, 0, 0, width,
                             height, 255, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, b"\0" * 20,
                             b"\0" * 20)
    assert len(attributes) == 115
    name = b"Layer"
    if version == 3:
        information = name.ljust(256, b"\0") + attributes
    else:
        information = chunk(version, struct.pack("<H", len(name)) + name + attributes)
    bitmap_information = chunk(version, struct.pack("<HH", 1 + (len(channels) > 3), len(channels)))
    return with_header(version, 4, information + bitmap_information, b"".join(channels))


def main():
    out, layout_file = sys.argv[1:]
    layout = json.load(open(layout_file))
    version, width, height, depth = layout["version"], layout["width"], layout["height"], layout["depth"]
    compression = layout["compression"]
    colors = open(layout["colors"], "rb").read()
    count = width * height
    pixels = [tuple(colors[3 * i:3 * i + 3]) for i in range(count)]

    palette = []
    if depth == 24:
        planes = [bytes(p[c] for p in pixels) for c in range(3)]
    elif layout["gray"]:
        palette = [(v, v, v) for v in range(256)]
        planes = [bytes(p[0] for p in pixels)]
    else:
        for p in pixels:
            if p not in palette:
                palette.append(p)
        assert len(palette) <= 1 << depth
        planes = [pack_rows([palette.index(p) for p in pixels], width, height, depth)]

    def upside_down(plane):
        row = len(plane) // height
        return b"".join(plane[(height - 1 - y) * row:(height - y) * row] for y in range(height))

    def channels_of(plane_list):
        blocks = []
        if depth == 24:
            blocks = [channel_block(version, compression, plane, 0, c + 1) for c, plane in enumerate(plane_list)]
        else:
            blocks = [channel_block(version, compression, plane_list[0], 0, 0)]
        if layout.get("alpha"):
            alpha = open(layout["alpha"], "rb").read()
            blocks.append(channel_block(version, compression, alpha, 1, 0))
        return blocks

    layers = b""
    shown = False
    for layer_type in layout["layers"]:
        used = layer_type == 0 if version == 3 else layer_type < 2
        plane_list = planes if used and not shown else [upside_down(p) for p in planes]
        shown = shown or used
        layers += layer_block(version, layer_type, width, height, channels_of(plane_list))

    resolution, unit = layout["resolution"]
    attributes = struct.pack("<iidBHHHIBIiH", width, height, resolution, unit, compression, depth,
                             3 if depth == 24 else 1, len(palette) or 1 << 24, layout["gray"], 0, 0,
                             len(layout["layers"]))
    if version > 3:
        attributes += struct.pack("<I", 1)
    palette_block = b""
    if layout["palette"]:
        entries = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
        palette_block = with_header(version, 2, chunk(version, struct.pack("<I", len(palette))), entries)

    data = SIGNATURE + struct.pack("<HH", version, 0)
    data += with_header(version, 0, chunk(version, attributes))
    if layout["palette"] == "before":
        data += palette_block
    data += with_header(version, 1, chunk(version, b"\0" * 8))  # a creator block, passed over
    data += with_header(version, 3, b"", layers)
    if layout["palette"] == "after":
        data += palette_block
    open(out, "wb").write(data)


main()
