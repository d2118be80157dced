#!/usr/bin/env python3
"""frame_png.py PAGE.png NAME.emf OUT.png: soffice's PNG of a page (8-bit RGB
or RGBA, 96 pixels an inch) cut to the frame of the page's EMF. The EMF's
frame (its header's rclFrame, in 0.01 mm) is the page less its margins, and
its drawing is placed from the frame's corner, so the cut keeps the middle
of the page, as wide and high as the frame, with equal margins each side."""
import struct, sys, zlib

def read(path):
    d = open(path, 'rb').read()
    pos, idat, hdr = 8, b'', None
    while pos < len(d):
        n, = struct.unpack_from('>I', d, pos); t = d[pos + 4:pos + 8]; body = d[pos + 8:pos + 8 + n]
        if t == b'IHDR': hdr = struct.unpack('>IIBBBBB', body)
        elif t == b'IDAT': idat += body
        pos += 12 + n
    w, h, depth, ctype, _, _, interlace = hdr
    assert depth == 8 and ctype in (2, 6) and not interlace, hdr
    bpp = 4 if ctype == 6 else 3
    raw = zlib.decompress(idat); stride = w * bpp
    rows, prev = [], bytearray(stride)
    for y in range(h):
        f = raw[y * (stride + 1)]; line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0; b = prev[i]; c = prev[i - bpp] if i >= bpp else 0
            if f == 1: line[i] = (line[i] + a) & 255
            elif f == 2: line[i] = (line[i] + b) & 255
            elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c; pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line)); prev = line
    return w, h, ctype, bpp, rows

def write(path, w, h, ctype, rows):
    def chunk(t, b): return struct.pack('>I', len(b)) + t + b + struct.pack('>I', zlib.crc32(t + b) & 0xffffffff)
    data = zlib.compress(b''.join(b'\0' + r for r in rows), 9)
    open(path, 'wb').write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, ctype, 0, 0, 0)) + chunk(b'IDAT', data) + chunk(b'IEND', b''))


w, h, ctype, bpp, rows = read(sys.argv[1])
emf = open(sys.argv[2], 'rb').read()
assert struct.unpack_from('<I', emf, 0)[0] == 1 and emf[40:44] == b' EMF', 'not an EMF'
left, top, right, bottom = struct.unpack_from('<4i', emf, 24)
fw, fh = round((right - left) * 96 / 2540), round((bottom - top) * 96 / 2540)
x0, y0 = max(0, (w - fw) // 2), max(0, (h - fh) // 2)
x1, y1 = min(w, x0 + fw), min(h, y0 + fh)
write(sys.argv[3], x1 - x0, y1 - y0, ctype, [r[x0 * bpp:x1 * bpp] for r in rows[y0:y1]])
print(f'{sys.argv[3]}: {x1 - x0} x {y1 - y0} from ({x0}, {y0}) of {w} x {h}')
