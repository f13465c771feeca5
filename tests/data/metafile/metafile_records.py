# Records and files of the WMF and EMF formats as Microsoft's published descriptions give them
# ([MS-WMF], [MS-EMF]), for the scripts that write this folder's samples.
import struct

def wmf_record(function, *words, data=b''):
    body = b''.join(struct.pack('<h' if w < 0 else '<H', w) for w in words) + data
    if len(body) % 2:
        body += b'\0'
    return struct.pack('<IH', 3 + len(body) // 2, function) + body

def colorref(r, g, b):
    return struct.pack('<BBBB', r, g, b, 0)

def dib24(width, height, pixels):
    # BITMAPINFOHEADER and bottom-up rows of blue, green, red padded to 4 bytes; pixels top row first.
    rows = b''
    for y in reversed(range(height)):
        row = b''.join(struct.pack('<BBB', b, g, r) for (r, g, b) in pixels[y])
        rows += row + b'\0' * ((4 - len(row) % 4) % 4)
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(rows), 0, 0, 0, 0) + rows

def wmf_file(records, objects, bbox=None, inch=96, eof=True):
    records = records + [wmf_record(0x0000)] * eof
    body = b''.join(records)
    header = struct.pack('<HHHIHIH', 1, 9, 0x0300, 9 + len(body) // 2, objects,
                         max(len(r) for r in records) // 2, 0)
    if bbox is None:
        return header + body
    words = struct.pack('<IHhhhhHI', 0x9AC6CDD7, 0, *bbox, inch, 0)
    checksum = 0
    for (w,) in struct.iter_unpack('<H', words):
        checksum ^= w
    return words + struct.pack('<H', checksum) + header + body

def points(pts):
    return b''.join(struct.pack('<hh', x, y) for x, y in pts)

# Records take their rectangle as bottom, right, top, left and points as y, x, as the WMF stores them.
def rect(function, l, t, r, b, *before):
    return wmf_record(function, *before, b, r, t, l)

def brush(style, rgb, hatch=0):
    return wmf_record(0x02FC, data=struct.pack('<H', style) + colorref(*rgb) + struct.pack('<H', hatch))

def pen(style, width, rgb):
    return wmf_record(0x02FA, style, width, 0, data=colorref(*rgb))

SELECT, DELETE = 0x012D, 0x01F0

def emf_record(kind, data=b''):
    return struct.pack('<II', kind, 8 + len(data)) + data

def emf_file(records, handles, eof=True, width=192, height=144):
    records = records + [emf_record(14, struct.pack('<III', 0, 16, 20))] * eof
    body = b''.join(records)
    # width x height pixels at 96 dpi: the frame in hundredths of a millimetre, on a 960 x 480 pixel,
    # 254 x 127 mm device (192 x 144 pixels: 50.8 x 38.1 mm).
    header = struct.pack('<iiii', 0, 0, width - 1, height - 1)
    header += struct.pack('<iiii', 0, 0, width * 2540 // 96, height * 2540 // 96)
    header += struct.pack('<IIIIHHIII', 0x464D4520, 0x10000, 0, 0, handles, 0, 0, 0, 0)
    header += struct.pack('<iiii', 960, 480, 254, 127)
    head = emf_record(1, header)
    total = len(head) + len(body)
    head = head[:48] + struct.pack('<II', total, len(records) + 1) + head[56:]
    return head + body

def logbrush(index, style, rgb, hatch=0):
    return emf_record(39, struct.pack('<II', index, style) + colorref(*rgb) + struct.pack('<I', hatch))

def box(l, t, r, b):
    return struct.pack('<iiii', l, t, r, b)

select = lambda i: emf_record(37, struct.pack('<I', i))
bounds = box(0, 0, 0, 0)
