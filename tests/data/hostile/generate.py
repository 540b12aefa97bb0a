#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Rewrites the hostile corpus from the bundled hydrogen table. The corpus is
# committed; run this only to change it, then update README.md and
# tests/hostile_cases.h to match.
import pathlib
import random

HERE = pathlib.Path(__file__).resolve().parent
BASE = HERE.parents[2] / "quenrow-data" / "001-Hydrogen.ps"

lines = BASE.read_bytes().split(b"\r\n")[:138]
HEAD, ROWS = lines[:6], lines[6:]


def crlf(ls, end=b"\r\n"):
    return b"".join(line + end for line in ls)


def with_row(k, text):
    """The file with row k (1-based) replaced."""
    rows = list(ROWS)
    rows[k - 1] = text
    return crlf(HEAD + rows)


def with_field(k, f, text):
    """The file with field f (1-based) of row k replaced."""
    fields = ROWS[k - 1].split(b" ")
    fields[f - 1] = text
    return with_row(k, b" ".join(fields))


def with_line(n, text):
    ls = list(lines)
    ls[n - 1] = text
    return crlf(ls)


rng = random.Random(20240601)
mixed = b"".join(line + (b"\r\n", b"\n", b"\r")[i % 3] for i, line in enumerate(lines))
utf16 = b"\xff\xfe" + crlf(lines).decode("ascii").encode("utf-16-le")
split = ROWS[39].split(b" ")
reversed_rows = crlf(HEAD + ROWS[::-1])
extreme = [b" ".join([r.split(b" ")[0]] + [b"1.000E-300" if k % 2 else b"1.000E+300"] * 3
                     + r.split(b" ")[4:]) for k, r in enumerate(ROWS, start=1)]
german = [line.replace(b".", b",") for line in lines]
near = list(ROWS)
for k, energy in ((85, b"3.19099584516185E+01"), (86, b"3.1909958451618504E+01")):
    near[k - 1] = b" ".join([energy] + near[k - 1].split(b" ")[1:])
shifted = [b" ".join([b"%.3E" % (float(r.split(b" ")[0]) * 1000)] + e.split(b" ")[1:])
           for r, e in zip(ROWS, extreme)]

CASES = {
    "empty.ps": b"",
    "two-lines.ps": crlf(lines[:2]),
    "five-lines.ps": crlf(lines[:5]),
    "density-word.ps": with_line(3, b"unknown"),
    "density-empty.ps": with_line(3, b""),
    "density-with-unit.ps": with_line(3, b"8.3748E-05 g/cm3"),
    "density-negative.psp": with_line(3, b"-1"),
    "comma-decimal.psp": crlf(german),
    "binary-garbage.ps": bytes(rng.randrange(256) for _ in range(4096)),
    "nul-in-name.ps": with_line(2, b"HYDRO\0GEN"),
    "nul-in-row.ps": with_field(10, 2, b"1.0\x0020E+03"),
    "lf-only.ps": crlf(lines, b"\n"),
    "cr-only.ps": crlf(lines, b"\r"),
    "mixed-line-ends.psp": mixed,
    "utf8-bom.ps": b"\xef\xbb\xbf" + crlf(lines),
    "utf16le.psp": utf16,
    "rows-131.ps": crlf(HEAD + ROWS[:131]),
    "rows-133.ps": crlf(HEAD + ROWS + [b"2.000E+04 4.000E+00 1.000E-04 4.000E+00 5.000E+03 5.000E+03 1.0000"]),
    "trailing-garbage.ps": crlf(lines) + bytes(rng.randrange(256) for _ in range(512)),
    "no-final-line-end.ps": crlf(lines)[:-2],
    "trailing-blanks.ps": crlf([line + b" \t " for line in lines]),
    "tab-separated.psp": crlf(HEAD + [r.replace(b" ", b"\t") for r in ROWS]),
    "blank-line-in-table.ps": crlf(HEAD + ROWS[:10] + [b""] + ROWS[10:]),
    "eight-fields.ps": with_row(40, ROWS[39] + b" 0.9999"),
    "row-split.ps": crlf(HEAD + ROWS[:39] + [b" ".join(split[:4]), b" ".join(split[4:])] + ROWS[40:]),
    "one-field-a-line.ps": crlf(HEAD + [f for r in ROWS for f in r.split(b" ")]),
    "two-rows-a-line.ps": crlf(HEAD + ROWS[:69] + [ROWS[69] + b" " + ROWS[70]] + ROWS[71:]),
    "field-1e400.ps": with_field(60, 1, b"1e400"),
    "field-1e-400.ps": with_field(61, 5, b"1e-400"),
    "field-nan.ps": with_field(20, 4, b"NaN"),
    "field-inf.ps": with_field(21, 2, b"inf"),
    "field-minus-infinity.ps": with_field(22, 6, b"-Infinity"),
    "field-1.0.0.ps": with_field(23, 7, b"1.0.0"),
    "field-double-sign.ps": with_field(24, 1, b"+-2.250E-03"),
    "field-hex.ps": with_field(25, 3, b"0x1.8p-3"),
    "field-fortran-exponent.ps": with_field(26, 4, b"1.470D+03"),
    "field-plus-sign.ps": crlf(HEAD + [b"+" + r for r in ROWS]),
    "stopping-minus-zero.ps": with_field(100, 3, b"-0"),
    "range-minus-zero.ps": with_field(101, 5, b"-0"),
    "energy-zero.ps": with_field(1, 1, b"0.000E+00"),
    "energy-negative.ps": with_field(1, 1, b"-1.000E-03"),
    "energy-repeated.ps": with_field(70, 1, ROWS[68].split(b" ")[0]),
    "energies-descending.ps": reversed_rows,
    "energy-subnormal.ps": with_field(1, 1, b"4.9E-324"),
    "stopping-zero.ps": with_field(50, 4, b"0.000E+00"),
    "stopping-negative.ps": with_field(1, 2, b"-7.465E+02"),
    "stopping-extreme.psp": crlf(HEAD + extreme),
    "energies-equal-in-log.ps": crlf(HEAD + near),
    "extrapolated-extreme.psp": crlf(HEAD + shifted),
}

if __name__ == "__main__":
    for path in HERE.iterdir():
        if path.suffix in (".ps", ".psp"):
            path.unlink()
    for name, data in CASES.items():
        (HERE / name).write_bytes(data)
    print(len(CASES), "files,", sum(len(d) for d in CASES.values()), "bytes")
