#!/usr/bin/env python3
"""Writes the shipped illuminant files of data/illuminants/ from data/cie_illuminants_5nm.csv.

The CSV holds the CIE standard illuminants A, C, D50, D55, D65, D75, E and F1 to F12 at 380, 385,
..., 780 nm as published in CIE 15:2004, Tables T.1 and T.6.1 (E: 100 everywhere). Each illuminant
becomes one file of the text variant of the illuminant file format: "ORVI", "TEXT", the name on
the first line, then the point count, the wavelengths and the values.

Daylight, A, C and E are written exactly as published, at 5 nm. The fluorescent lamps F1 to F12 are
band-weighted onto 380, 390, ..., 780 nm first: each 10-nm value is 0.25 S(l - 5) + 0.5 S(l) +
0.25 S(l + 5), the triangular bandpass of ASTM E308 for 5-nm data, with the missing neighbour at
380 and 780 nm taken equal to the end value. The library integrates on the 10-nm grid and reads
only the 10-nm points of a file; sampled there, a lamp would lose the mercury lines, which the
5-nm tables hold at 405, 435 and 545 nm, between the 10-nm points, and its white would be off by up
to 0.03 in x, y. The band-weighted values carry the energy of the lines (see data/README.md).

Every illuminant is written under its full CIE name ("CIE Illuminant D65"); the daylight
illuminants are also written under their short names ("D65"), which the look-up by correlated
colour temperature forms.

Usage: scripts/make_illuminants.py [csv] [output directory]
"""
import csv
import os
import sys
from decimal import Decimal

MAX_FILE_SIZE = 2048
DAYLIGHT = ("D50", "D55", "D65", "D75")
TRIANGLE = (Decimal("0.25"), Decimal("0.5"), Decimal("0.25"))


def band_weighted(wavelengths, values):
    """The 10-nm points of 5-nm data under the triangle (0.25, 0.5, 0.25), exact in decimal."""
    s = [Decimal(v) for v in values]
    last = len(s) - 1
    grid, weighted = [], []
    for i in range(0, len(s), 2):
        neighbours = (s[max(i - 1, 0)], s[i], s[min(i + 1, last)])
        total = sum(w * v for w, v in zip(TRIANGLE, neighbours))
        grid.append(wavelengths[i])
        weighted.append(text(total))
    return grid, weighted


def text(value):
    """Shortest plain decimal: 12.5 rather than 12.5000, 3 rather than 3.00."""
    digits = format(value.normalize(), "f")
    return digits if digits != "-0" else "0"


def file_text(name, wavelengths, values):
    lines = [str(len(wavelengths))]
    for start in range(0, len(wavelengths), 9):
        lines.append(" ".join(wavelengths[start:start + 9]))
    for start in range(0, len(values), 9):
        lines.append(" ".join(values[start:start + 9]))
    return b"ORVI" + b"TEXT" + name.encode("ascii") + b"\n" + "\n".join(lines).encode("ascii") + b"\n"


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    source = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "data", "cie_illuminants_5nm.csv")
    target = sys.argv[2] if len(sys.argv) > 2 else os.path.join(root, "data", "illuminants")
    with open(source, newline="") as f:
        rows = list(csv.DictReader(f))
    wavelengths = [row["nm"] for row in rows]
    if wavelengths != [str(380 + 5 * i) for i in range(81)]:
        sys.exit("expected 380, 385, ..., 780 nm")
    os.makedirs(target, exist_ok=True)
    for column in rows[0].keys():
        if column == "nm":
            continue
        values = [row[column] for row in rows]
        points = wavelengths
        if column.startswith("F"):
            points, values = band_weighted(wavelengths, values)
        names = [("CIE Illuminant " + column, "CIE_Illuminant_" + column + ".ill")]
        if column in DAYLIGHT:
            names.append((column, column + ".ill"))
        for name, file_name in names:
            data = file_text(name, points, values)
            if len(data) > MAX_FILE_SIZE:
                sys.exit(file_name + " would exceed 2048 bytes")
            with open(os.path.join(target, file_name), "wb") as out:
                out.write(data)


if __name__ == "__main__":
    main()
