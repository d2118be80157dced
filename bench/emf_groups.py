#!/usr/bin/env python3
"""Writes an EMF of 1000 x 1000 pixels made of many small groups of shapes,
the kind of file a chart or a map export gives, to time the metafile player.

usage: emf_groups.py SCALE COUNT [OUT]
  SCALE  size of the shapes (1.0: a 60 x 40 rectangle, an 80 x 80 ellipse)
  COUNT  groups of 11 records: brush, pen, two selects, rectangle, ellipse,
         an 8-point polyline, two selects of stock objects, two deletes
  OUT    file to write (default emf_COUNT_groups.emf)

e.g. python3 bench/emf_groups.py 1.0 3000 && prismcase-probe picture emf_3000_groups.emf out.bmp
"""
import struct
import sys

SIDE = 1000  # pixels, at 96 pixels an inch
FRAME = round(SIDE * 2540 / 96)  # the same in 0.01 mm

EMR_HEADER, EMR_EOF = 1, 14
EMR_SELECTOBJECT, EMR_CREATEPEN, EMR_CREATEBRUSHINDIRECT, EMR_DELETEOBJECT = 37, 38, 39, 40
EMR_ELLIPSE, EMR_RECTANGLE, EMR_POLYLINE16 = 42, 43, 87
WHITE_BRUSH, BLACK_PEN = 0x80000000, 0x80000007


def record(kind, payload):
    return struct.pack("<II", kind, 8 + len(payload)) + payload


def box(l, t, r, b):
    return struct.pack("<4i", l, t, r, b)


def group(scale, rand):
    x, y = rand() % (SIDE - 100), rand() % (SIDE - 100)
    colour = rand() & 0xFFFFFF
    s = lambda v: int(round(v * scale))
    pts = [(x + s(12 * k), y + s(30 if k % 2 else 70)) for k in range(8)]
    xs, ys = [p[0] for p in pts], [p[1] for p in pts]
    return b"".join([
        record(EMR_CREATEBRUSHINDIRECT, struct.pack("<4I", 1, 0, colour, 0)),
        record(EMR_CREATEPEN, struct.pack("<2I2iI", 2, 0, 1, 0, colour ^ 0x808080)),
        record(EMR_SELECTOBJECT, struct.pack("<I", 1)),
        record(EMR_SELECTOBJECT, struct.pack("<I", 2)),
        record(EMR_RECTANGLE, box(x, y, x + s(60), y + s(40))),
        record(EMR_ELLIPSE, box(x + s(10), y + s(10), x + s(90), y + s(90))),
        record(EMR_POLYLINE16, box(min(xs), min(ys), max(xs), max(ys)) + struct.pack("<I", 8)
               + b"".join(struct.pack("<2h", px, py) for px, py in pts)),
        record(EMR_SELECTOBJECT, struct.pack("<I", WHITE_BRUSH)),
        record(EMR_SELECTOBJECT, struct.pack("<I", BLACK_PEN)),
        record(EMR_DELETEOBJECT, struct.pack("<I", 1)),
        record(EMR_DELETEOBJECT, struct.pack("<I", 2)),
    ])


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    scale, count = float(sys.argv[1]), int(sys.argv[2])
    out = sys.argv[3] if len(sys.argv) == 4 else "emf_%d_groups.emf" % count
    seed = [12345]

    def rand():  # a fixed sequence, so every run writes the same file
        seed[0] = (seed[0] * 1103515245 + 12345) & 0x7FFFFFFF
        return seed[0] >> 4

    body = b"".join(group(scale, rand) for _ in range(count))
    eof = record(EMR_EOF, struct.pack("<3I", 0, 16, 20))
    header_size = 88
    records = 2 + 11 * count
    total = header_size + len(body) + len(eof)
    header = record(EMR_HEADER, box(0, 0, SIDE - 1, SIDE - 1) + box(0, 0, FRAME, FRAME)
                    + struct.pack("<4I2H", 0x464D4520, 0x10000, total, records, 3, 0)
                    + struct.pack("<3I", 0, 0, 0)
                    + struct.pack("<4i", SIDE, SIDE, round(SIDE * 25.4 / 96), round(SIDE * 25.4 / 96)))
    assert len(header) == header_size
    with open(out, "wb") as f:
        f.write(header + body + eof)


if __name__ == "__main__":
    main()
