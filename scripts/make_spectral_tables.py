#!/usr/bin/env python3
"""Writes Private/Source/tspectraltables_data.cpp from the reference tables of data/reference/.

The numbers are copied as the CSV files hold them (their published digits, no float round trip):
the CIE 1931 2 degree and CIE 1964 10 degree colour-matching functions and CIE D65 at 360, 361, ...,
830 nm, and the CIE daylight basis S0, S1, S2 at 300, 305, ..., 830 nm (data/reference/README.md
names their sources).

Usage: scripts/make_spectral_tables.py [reference directory] [output file]
"""
import csv
import os
import sys

FIRST, LAST = 360, 830


def read(path):
    with open(path, newline="") as f:
        rows = list(csv.reader(f))
    return rows[0], rows[1:]


def rows_in(rows, first, last):
    return [r for r in rows if first <= int(r[0]) <= last]


def block(values, indent="        "):
    lines = []
    for i in range(0, len(values), 8):
        lines.append(indent + ", ".join(values[i:i + 8]) + ",")
    return "\n".join(lines)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ref = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "reference")
    out = sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, "..", "Private", "Source",
                                                              "tspectraltables_data.cpp")
    text = ["// Written by scripts/make_spectral_tables.py from data/reference/*.csv; do not edit.",
            "// Sources: data/reference/README.md.",
            "#include <tintvale/tspectraltables.h>", "", "// clang-format off",
            "const double TSpectralTables::sObserver1nm[TSpectralTables::kNrObservers][3][TSpectralTables::kNrRows] = {"]
    for name in ("cie1931_2deg_1nm.csv", "cie1964_10deg_1nm.csv"):
        _, rows = read(os.path.join(ref, name))
        rows = rows_in(rows, FIRST, LAST)
        assert len(rows) == LAST - FIRST + 1
        text.append("    {")
        for c in range(1, 4):
            text.append("        {")
            text.append(block([r[c] for r in rows], "            "))
            text.append("        },")
        text.append("    },")
    text.append("};")
    _, rows = read(os.path.join(ref, "cie_d65_1nm.csv"))
    rows = rows_in(rows, FIRST, LAST)
    assert len(rows) == LAST - FIRST + 1
    text.append("")
    text.append("const double TSpectralTables::sD65[TSpectralTables::kNrRows] = {")
    text.append(block([r[1] for r in rows]))
    text.append("};")
    _, rows = read(os.path.join(ref, "cie_daylight_s0s1s2_5nm.csv"))
    assert len(rows) == 107 and rows[0][0] == "300"
    text.append("")
    text.append("const double TSpectralTables::sDaylightBasis[3][TSpectralTables::kNrBasisRows] = {")
    for c in range(1, 4):
        text.append("    {")
        text.append(block([r[c] for r in rows]))
        text.append("    },")
    text.append("};")
    text.append("// clang-format on")
    with open(out, "w") as f:
        f.write("\n".join(text) + "\n")


if __name__ == "__main__":
    main()
