#!/usr/bin/env python3
"""Writes Private/Source/tlightsource_tables.cpp from the reference tables of data/reference/.

The reflectance factors of the CIE 13.3 test colour samples (cie133_tcs_5nm.csv, 360 ... 830 nm) and
of the CIE 224:2017 colour evaluation samples (cie224_ces_5nm.csv, 380 ... 780 nm), copied as the
CSV files hold them (data/reference/README.md names their sources).

Usage: scripts/make_lightsource_tables.py [reference directory] [output file]
"""
import csv
import os
import sys

HEAD = """// The sample reflectances of the colour-rendering indices, as published (factors 0 ... 1, 5 nm):
// the 14 test colour samples of CIE 13.3-1995 at 360 ... 830 nm and the 99 colour evaluation samples
// of CIE 224:2017 (the same as ANSI/IES TM-30) at 380 ... 780 nm. Written by
// scripts/make_lightsource_tables.py from data/reference/, whose README names the sources.
#include "tlightsource_tables.h"

namespace lightsource {

// clang-format off
"""
TAIL = """// clang-format on

} // namespace lightsource
"""


def columns(path, first, last):
    with open(path, newline="") as f:
        rows = list(csv.reader(f))
    nm = [int(r[0]) for r in rows[1:]]
    if nm[0] != first or nm[-1] != last or nm != list(range(first, last + 1, 5)):
        sys.exit(f"{path}: expected {first} ... {last} nm by 5")
    return [(rows[0][c], [r[c] for r in rows[1:]]) for c in range(1, len(rows[0]))]


def table(name, size, cols, first):
    out = [f"const double {name}[{size}] = {{"]
    for label, values in cols:
        out.append(f"    // {label}")
        out.append("    {")
        for i in range(0, len(values), 12):
            out.append("        " + ", ".join(values[i:i + 12]) + f",  // {first + 5 * i} nm")
        out.append("    },")
    out.append("};")
    return "\n".join(out) + "\n"


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    ref = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "data", "reference")
    target = sys.argv[2] if len(sys.argv) > 2 else os.path.join(root, "Private", "Source", "tlightsource_tables.cpp")
    tcs = columns(os.path.join(ref, "cie133_tcs_5nm.csv"), 360, 830)
    ces = columns(os.path.join(ref, "cie224_ces_5nm.csv"), 380, 780)
    text = (HEAD + table("kTestColourSamples[kNrTcs]", "kNrTcsRows", tcs, 360) + "\n"
            + table("kEvaluationSamples[kNrCes]", "kNrCesRows", ces, 380) + TAIL)
    with open(target, "w", newline="\n") as f:
        f.write(text)


if __name__ == "__main__":
    main()
