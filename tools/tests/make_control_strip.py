#!/usr/bin/env python3
"""Writes the control-strip-like test charts in tools/tests/data (run once; the files are committed).

control_strip_reference.txt: CMYK device values and reflectance spectra (380-730 nm, 10 nm) of paper,
four solids, four overprints, three CMY greys, tints of each channel and a black-only grey.
control_strip_sample.txt: the same chart printed with more dot gain and a warmer paper.

Every tint is an area mixture of paper and solid, R = (1 - a) R_paper + a R_solid, so by Murray and
Davies (J. Franklin Inst. 221, 1936) its tone value is exactly 100 a under any density filter:
the filter-weighted reflectance W is linear in R, and (1 - 10^-(Dt - Dp)) / (1 - 10^-(Ds - Dp)) =
(Wp - Wt) / (Wp - Ws) = a. The areas are listed in AREAS below.
"""
import math
import sys
from pathlib import Path

NM = list(range(380, 731, 10))


def smooth_step(nm, edge, width, low, high):
    return low + (high - low) / (1.0 + math.exp(-(nm - edge) / width))


def paper(warm):
    return [0.86 + 0.04 * (nm - 380) / 350 - (0.03 if warm and nm < 480 else 0.0) for nm in NM]


# Ink factors (transmittance squared, as the light crosses the ink twice).
INKS = {
    "C": [smooth_step(nm, 580, 12, 0.85, 0.04) for nm in NM],
    "M": [0.85 - 0.80 * math.exp(-((nm - 545) / 38) ** 2) for nm in NM],
    "Y": [smooth_step(nm, 495, 10, 0.05, 0.90) for nm in NM],
    "K": [0.025 for nm in NM],
}
CHANNELS = "CMYK"
# Effective areas of the tints (nominal percent -> area), reference and sample.
AREAS = {
    "reference": {25: 0.36, 50: 0.632, 75: 0.86},
    "sample": {25: 0.40, 50: 0.68, 75: 0.89},
}


def solid(base, inks):
    r = list(base)
    for ink in inks:
        r = [x * f for x, f in zip(r, INKS[ink])]
    return r


def mix(base, full, a):
    return [(1 - a) * p + a * s for p, s in zip(base, full)]


def chart(kind):
    base = paper(kind == "sample")
    rows = [("paper", (0, 0, 0, 0), base)]
    for ch in CHANNELS:
        rows.append((ch + "100", tuple(100 if c == ch else 0 for c in CHANNELS), solid(base, ch)))
    for inks in ("CM", "CY", "MY", "CMY"):
        rows.append((inks, tuple(100 if c in inks else 0 for c in CHANNELS), solid(base, inks)))
    for c, my, a in ((25, 19, 0.3), (50, 40, 0.55), (75, 64, 0.8)):
        neutral = mix(solid(base, "CMY"), base, 0.0)
        rows.append((f"grey{c}", (c, my, my, 0), mix(base, neutral, a)))
    for ch in CHANNELS:
        for nominal, a in AREAS[kind].items():
            rows.append((f"{ch}{nominal}", tuple(nominal if c == ch else 0 for c in CHANNELS),
                         mix(base, solid(base, ch), a)))
    return rows


def write(path, kind):
    rows = chart(kind)
    fields = ["SampleID", "CMYK_C", "CMYK_M", "CMYK_Y", "CMYK_K"] + [f"SPECTRAL_NM{nm}" for nm in NM]
    lines = ["CGATS.17", 'ORIGINATOR\t"tintvale tests"', f'FILE_DESCRIPTOR\t"control strip, {kind}"',
             'KEYWORD\t"SampleID"', f"NUMBER_OF_FIELDS\t{len(fields)}", "BEGIN_DATA_FORMAT", "\t".join(fields),
             "END_DATA_FORMAT", f"NUMBER_OF_SETS\t{len(rows)}", "BEGIN_DATA"]
    for name, device, spectrum in rows:
        lines.append("\t".join([name] + [str(v) for v in device] + [f"{v:.6f}" for v in spectrum]))
    lines.append("END_DATA")
    path.write_text("\n".join(lines) + "\n")


if __name__ == "__main__":
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).parent / "data"
    write(out / "control_strip_reference.txt", "reference")
    write(out / "control_strip_sample.txt", "sample")
