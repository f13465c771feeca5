"""TIFF files taken apart and put together byte by byte for make_odd_and_damaged.sh (imported by it, not
run alone): plain uncompressed files of any depth (which libtiff's tiffcp then rewrites), the strip lists
of a file, strips cut short or dropped, and the DOS EPS wrapper."""
import struct

SIZES = {1: 1, 2: 1, 3: 2, 4: 4, 5: 8, 6: 1, 7: 1, 8: 2, 9: 4, 10: 8, 11: 4, 12: 8}


def pack_samples(values, bits):
    """Samples packed one after another from the highest bit of the first byte on, the last byte filled
    up with 0 bits (one row)."""
    number, count = 0, 0
    for value in values:
        number = number << bits | value
        count += bits
    pad = -count % 8
    return (number << pad).to_bytes((count + pad) // 8, 'big')


def write_plain(path, width, height, bits, samples, photometric, rows, colormap=None, extra=()):
    """A little-endian, uncompressed, one-strip file; `rows` holds the packed rows, `colormap` the 16-bit
    red, green and blue planes one after another, `extra` further (tag, type, values) entries."""
    data = b''.join(rows)
    entries = [(256, 4, [width]), (257, 4, [height]), (258, 3, [bits] * samples), (259, 3, [1]),
               (262, 3, [photometric]), (273, 4, [0]), (277, 3, [samples]), (278, 4, [height]),
               (279, 4, [len(data)]), (284, 3, [1])] + list(extra)
    if colormap:
        entries.append((320, 3, list(colormap)))
    entries.sort()
    ifd = 8 + len(data) + len(data) % 2
    after = ifd + 2 + 12 * len(entries) + 4
    out = bytearray(b'II*\0' + struct.pack('<I', ifd) + data + bytes(len(data) % 2))
    out += struct.pack('<H', len(entries))
    blobs = bytearray()
    for tag, kind, values in entries:
        if tag == 273:
            values = [8]
        raw = b''.join(struct.pack('<' + {3: 'H', 4: 'I'}[kind], v) for v in values)
        if len(raw) <= 4:
            field = raw + bytes(4 - len(raw))
        else:
            field = struct.pack('<I', after + len(blobs))
            blobs += raw + bytes(len(raw) % 2)
        out += struct.pack('<HHI', tag, kind, len(values)) + field
    out += struct.pack('<I', 0) + blobs
    open(path, 'wb').write(out)


class Tiff:
    """The first directory of a file: its entries and the values of the strip lists."""

    def __init__(self, path):
        self.data = bytearray(open(path, 'rb').read())
        self.order = '<' if self.data[:2] == b'II' else '>'
        ifd = self.unpack('I', 4)[0]
        self.entries = {}
        for i in range(self.unpack('H', ifd)[0]):
            at = ifd + 2 + 12 * i
            tag, kind, count = self.unpack('HHI', at)
            self.entries[tag] = (at, kind, count)

    def unpack(self, fmt, at):
        return struct.unpack_from(self.order + fmt, self.data, at)

    def where(self, tag):
        at, kind, count = self.entries[tag]
        size = SIZES[kind] * count
        return at + 8 if size <= 4 else self.unpack('I', at + 8)[0]

    def values(self, tag):
        at, kind, count = self.entries[tag]
        fmt = {1: 'B', 3: 'H', 4: 'I'}[kind]
        return list(self.unpack(fmt * count, self.where(tag)))

    def set_values(self, tag, values):
        """Writes the values where the old ones stand (no more of them than before; a list that comes to
        fit the entry moves into it)."""
        at, kind, count = self.entries[tag]
        assert len(values) <= count
        start = self.where(tag)
        if SIZES[kind] * len(values) <= 4:
            start = at + 8
            self.data[start:start + 4] = bytes(4)
        fmt = {1: 'B', 3: 'H', 4: 'I'}[kind]
        struct.pack_into(self.order + fmt * len(values), self.data, start, *values)
        struct.pack_into(self.order + 'I', self.data, at + 4, len(values))
        self.entries[tag] = (at, kind, len(values))

    def save(self, path):
        open(path, 'wb').write(self.data)


def dos_eps(tiff, path, width, height):
    """A DOS EPS file: the 30-byte header, a small PostScript program and `tiff` as the preview."""
    ps = b'%%!PS-Adobe-3.0 EPSF-3.0\n%%%%BoundingBox: 0 0 %d %d\nnewpath 0 0 moveto %d %d lineto stroke\n' \
         b'%%%%EOF\n' % (width, height, width, height)
    header = struct.pack('<IIIIIIIH', 0xC6D3D0C5, 30, len(ps), 0, 0, 30 + len(ps), len(tiff), 0xFFFF)
    open(path, 'wb').write(header + ps + tiff)
