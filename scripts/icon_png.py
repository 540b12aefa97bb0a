#!/usr/bin/env python3
"""Writes the hicolor PNG sizes of a 16-colour XPM icon (standard library only).

Each target pixel averages the source pixels it covers, weighted by the area
they cover and by their opacity, so 16 and 24 px stay red, not muddy, and
whole multiples stay sharp.
Usage: icon_png.py ICON.xpm OUT_DIR SIZE...  (writes OUT_DIR/quenrow-SIZE.png)
"""
import re
import struct
import sys
import zlib


def read_xpm(path):
    rows = re.findall(r'"([^"]*)"', open(path).read())
    width, height, colours, per_pixel = map(int, rows[0].split()[:4])
    palette = {}
    for line in rows[1:1 + colours]:
        key, rest = line[:per_pixel], line[per_pixel:].split()
        colour = rest[rest.index("c") + 1]
        if colour.lower() == "none":
            palette[key] = (0, 0, 0, 0)
        else:
            palette[key] = (int(colour[1:3], 16), int(colour[3:5], 16), int(colour[5:7], 16), 255)
    pixels = [[palette[row[x * per_pixel:(x + 1) * per_pixel]] for x in range(width)]
              for row in rows[1 + colours:1 + colours + height]]
    return width, height, pixels


def coverage(size, source):
    """For each target index, the (source index, weight) pairs it covers."""
    scale = source / size
    spans = []
    for t in range(size):
        lo, hi = t * scale, (t + 1) * scale
        parts, s = [], int(lo)
        while s < hi and s < source:
            w = min(hi, s + 1) - max(lo, s)
            if w > 1e-9:
                parts.append((s, w))
            s += 1
        spans.append(parts)
    return spans


def scaled(width, height, pixels, size):
    xs, ys = coverage(size, width), coverage(size, height)
    out = []
    for ty in range(size):
        row = bytearray([0])  # PNG filter: none
        for tx in range(size):
            r = g = b = a = area = 0.0
            for sy, wy in ys[ty]:
                for sx, wx in xs[tx]:
                    w = wx * wy
                    pr, pg, pb, pa = pixels[sy][sx]
                    r += pr * pa * w
                    g += pg * pa * w
                    b += pb * pa * w
                    a += pa * w
                    area += w
            if a > 0:
                row += bytes((round(r / a), round(g / a), round(b / a), round(a / area)))
            else:
                row += bytes(4)
        out.append(bytes(row))
    return b"".join(out)


def write_png(path, size, raw):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main(xpm_path, out_dir, *sizes):
    width, height, pixels = read_xpm(xpm_path)
    for size in map(int, sizes):
        write_png(f"{out_dir}/quenrow-{size}.png", size, scaled(width, height, pixels, size))


if __name__ == "__main__":
    main(*sys.argv[1:])
