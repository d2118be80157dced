#!/usr/bin/env python3
"""Prints, for every metafile in a folder that has a reference render beside
it, the mean grey difference between the played file and the reference, as
tests/scene/pictures/grey_compare.h measures it: both grey, shrunk to 96
pixels wide by box averaging, mean absolute difference from 0 to 255.

usage: metafile_grey.py PROBE DIR [WITHIN]
  PROBE   the prismcase-probe program (its `picture` command plays the file
          and reads the PNG onto white)
  DIR     NAME.emf / NAME.wmf / NAME.svm ... with NAME.png beside them
  WITHIN  grey levels counted as a match in the summary (default 10)

e.g. python3 bench/metafile_grey.py build/prismcase-probe tests/data/metafiles/office
"""
import os
import struct
import subprocess
import sys
import tempfile

SIDE = 96


def read_bmp_grey(path):
    data = open(path, "rb").read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    if bits != 24:
        raise ValueError(f"{path}: {bits}-bit BMP")
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        row = data[offset + y * stride: offset + y * stride + width * 3]
        rows.append([(row[i] + row[i + 1] + row[i + 2]) / 3.0 for i in range(0, width * 3, 3)])
    if height > 0:
        rows.reverse()
    return width, abs(height), rows


def shrink(img, w, h):
    sw, sh, rows = img
    out = []
    for y in range(h):
        y0 = y * sh // h
        y1 = max(y0 + 1, (y + 1) * sh // h)
        cols = [sum(rows[sy][sx] for sy in range(y0, y1)) for sx in range(sw)]
        line = []
        for x in range(w):
            x0 = x * sw // w
            x1 = max(x0 + 1, (x + 1) * sw // w)
            line.append(sum(cols[x0:x1]) / ((y1 - y0) * (x1 - x0)))
        out.append(line)
    return out


def play(probe, src, tmp):
    out = os.path.join(tmp, "out.bmp")
    r = subprocess.run([probe, "picture", src, out], capture_output=True, text=True)
    if r.returncode != 0:
        raise RuntimeError(r.stderr.strip() or f"exit {r.returncode}")
    return read_bmp_grey(out)


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    probe, folder = sys.argv[1], sys.argv[2]
    within = float(sys.argv[3]) if len(sys.argv) == 4 else 10.0
    tried = matched = 0
    with tempfile.TemporaryDirectory() as tmp:
        for name in sorted(os.listdir(folder)):
            stem, ext = os.path.splitext(name)
            ref = os.path.join(folder, stem + ".png")
            if ext.lower() not in (".emf", ".wmf") or not os.path.exists(ref):
                continue
            tried += 1
            try:
                want = play(probe, ref, tmp)
                h = max(1, int(want[1] * SIDE / want[0] + 0.5))
                a = shrink(want, SIDE, h)
                b = shrink(play(probe, os.path.join(folder, name), tmp), SIDE, h)
                diff = sum(abs(p - q) for ra, rb in zip(a, b) for p, q in zip(ra, rb)) / (SIDE * h)
            except (RuntimeError, ValueError) as e:
                print(f"{name}\trefused: {e}")
                continue
            matched += diff <= within
            print(f"{name}\t{diff:.2f}")
    print(f"tried {tried}, within {within:g} grey levels {matched}")


if __name__ == "__main__":
    main()
