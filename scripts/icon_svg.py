#!/usr/bin/env python3
"""Writes a scalable SVG of a 16-colour XPM icon: one square per pixel run."""
import re
import sys


def main(xpm_path, svg_path):
    rows = re.findall(r'"([^"]*)"', open(xpm_path).read())
    width, height, colours, per_pixel = map(int, rows[0].split()[:4])
    palette = {}
    for line in rows[1:1 + colours]:
        key, rest = line[:per_pixel], line[per_pixel:].split()
        palette[key] = rest[rest.index("c") + 1]
    out = [f'<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 {width} {height}" '
           f'width="{width * 4}" height="{height * 4}" shape-rendering="crispEdges">']
    for y, row in enumerate(rows[1 + colours:1 + colours + height]):
        x = 0
        while x < width:
            key = row[x * per_pixel:(x + 1) * per_pixel]
            run = 1
            while x + run < width and row[(x + run) * per_pixel:(x + run + 1) * per_pixel] == key:
                run += 1
            colour = palette[key]
            if colour.lower() != "none":
                out.append(f'<rect x="{x}" y="{y}" width="{run}" height="1" fill="{colour}"/>')
            x += run
    out.append("</svg>")
    open(svg_path, "w").write("\n".join(out) + "\n")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
