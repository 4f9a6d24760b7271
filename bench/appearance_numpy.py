"""CIECAM02 / CAM16 / CIECAM16 forward over 1 000 000 colours: tintvale.Appearance against NumPy.

The NumPy side is a plain vectorised implementation of the same published formulas (CIE 159:2004,
Li et al. 2017, CIE 248:2022), written here so that both compute the same thing; the two must agree
to 1e-9 before anything is timed. tintvale.Appearance must be at least LIMIT times faster (best of
several repetitions). Run through `make bench`, or directly:

    PYTHONPATH=build/python python3 bench/appearance_numpy.py [--count N] [--model CAM16]
"""
import argparse
import sys
import time

import numpy as np

LIMIT = 5.0

CAT02 = np.array([[0.7328, 0.4296, -0.1624], [-0.7036, 1.6975, 0.0061], [0.0030, 0.0136, 0.9834]])
CAT16 = np.array([[0.401288, 0.650173, -0.051461], [-0.250268, 1.204414, 0.045854],
                  [-0.002079, 0.048952, 0.953127]])
HPE = np.array([[0.38971, 0.68898, -0.07868], [-0.22981, 1.18340, 0.04641], [0.0, 0.0, 1.0]])
SURROUNDS = {"average": (1.0, 0.69, 1.0), "dim": (0.9, 0.59, 0.9), "dark": (0.8, 0.525, 0.8)}
HUE_H = np.array([20.14, 90.0, 164.25, 237.53, 380.14])
HUE_E = np.array([0.8, 0.7, 1.0, 1.2, 0.8])
HUE_Q = np.array([0.0, 100.0, 200.0, 300.0, 400.0])


def _f(q, fl):
    p = (fl * q / 100.0) ** 0.42
    return 400.0 * p / (p + 27.13)


def _compress(x, fl, model):
    if model == "CIECAM16":
        q_l, q_u = 0.26, 150.0
        u = fl * q_u / 100.0
        slope = 1.68 * 27.13 * fl * u ** -0.58 / (u ** 0.42 + 27.13) ** 2  # f'(q_U), as colour-science's d_f_q
        middle = _f(np.clip(x, q_l, q_u), fl)
        return np.where(x < q_l, _f(q_l, fl) * x / q_l,
                        np.where(x > q_u, _f(q_u, fl) + slope * (x - q_u), middle)) + 0.1
    return np.sign(x) * _f(np.abs(x), fl) + 0.1


def forward(model, xyz, white, la, yb, surround="average", degree=None, discount=False):
    """The seven correlates of xyz (N, 3) as a dict of arrays."""
    f, c, nc = SURROUNDS[surround] if isinstance(surround, str) else surround
    white = np.asarray(white, dtype=float)
    m = CAT02 if model == "CIECAM02" else CAT16
    cone = HPE @ np.linalg.inv(CAT02) if model == "CIECAM02" else np.eye(3)
    if discount:
        d = 1.0
    elif degree is not None:
        d = degree
    else:
        d = np.clip(f * (1.0 - (1.0 / 3.6) * np.exp((-la - 42.0) / 92.0)), 0.0, 1.0)
    k = 1.0 / (5.0 * la + 1.0)
    fl = 0.2 * k ** 4 * (5.0 * la) + 0.1 * (1.0 - k ** 4) ** 2 * (5.0 * la) ** (1.0 / 3.0)
    n = yb / white[1]
    nbb = 0.725 * n ** -0.2
    z = 1.48 + np.sqrt(n)
    rgb_w = m @ white
    d_rgb = d * (100.0 if model == "CIECAM16" else white[1]) / rgb_w + 1.0 - d
    rgba_w = _compress(cone @ (d_rgb * rgb_w), fl, model)
    a_w = (2.0 * rgba_w[0] + rgba_w[1] + rgba_w[2] / 20.0 - 0.305) * nbb

    rgba = _compress((np.asarray(xyz, dtype=float) @ m.T * d_rgb) @ cone.T, fl, model)
    r, g, b_ = rgba[:, 0], rgba[:, 1], rgba[:, 2]
    a = r - 12.0 * g / 11.0 + b_ / 11.0
    b = (r + g - 2.0 * b_) / 9.0
    h = np.degrees(np.arctan2(b, a)) % 360.0
    j = 100.0 * (((2.0 * r + g + b_ / 20.0 - 0.305) * nbb) / a_w) ** (c * z)
    q = (4.0 / c) * np.sqrt(j / 100.0) * (a_w + 4.0) * fl ** 0.25
    et = (np.cos(np.radians(h) + 2.0) + 3.8) / 4.0
    t = (50000.0 / 13.0) * nc * nbb * et * np.hypot(a, b) / (r + g + 21.0 / 20.0 * b_)
    chroma = t ** 0.9 * np.sqrt(j / 100.0) * (1.64 - 0.29 ** n) ** 0.73
    colourfulness = chroma * fl ** 0.25
    hp = np.where(h < HUE_H[0], h + 360.0, h)
    i = np.clip(np.searchsorted(HUE_H, hp, side="right") - 1, 0, 3)
    below = (hp - HUE_H[i]) / HUE_E[i]
    above = (HUE_H[i + 1] - hp) / HUE_E[i + 1]
    quadrature = HUE_Q[i] + 100.0 * below / (below + above)
    return {"J": j, "C": chroma, "h": h, "Q": q, "M": colourfulness,
            "s": 100.0 * np.sqrt(colourfulness / q), "H": quadrature}


def best_of(fn, repeats):
    """The shortest wall-clock time and the shortest processor time (all threads) of repeats runs."""
    wall = cpu = float("inf")
    for _ in range(repeats):
        start, start_cpu = time.perf_counter(), time.process_time()
        fn()
        wall = min(wall, time.perf_counter() - start)
        cpu = min(cpu, time.process_time() - start_cpu)
    return wall, cpu


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--count", type=int, default=1_000_000)
    parser.add_argument("--model", default="CAM16", choices=["CIECAM02", "CAM16", "CIECAM16"])
    parser.add_argument("--repeats", type=int, default=5)
    args = parser.parse_args()
    import tintvale as tv  # the NumPy model above stands without it

    # Colours of the sRGB gamut (IEC 61966-2-1 primaries, D65): real ones, inside the models' domain.
    rng = np.random.default_rng(48)
    srgb = np.array([[0.4124, 0.3576, 0.1805], [0.2126, 0.7152, 0.0722], [0.0193, 0.1192, 0.9505]])
    xyz = 100.0 * rng.uniform(0.01, 1.0, size=(args.count, 3)) @ srgb.T
    white = (95.047, 100.0, 108.883)
    model = tv.Appearance(model=args.model, white=white, adapting_luminance=64.0, background=20.0,
                          surround="dim")
    ours = model.from_xyz(xyz)
    theirs = forward(args.model, xyz, white, 64.0, 20.0, "dim")
    worst = max(float(np.max(np.abs(ours[k] - theirs[k]))) for k in "JChQMsH")
    if not worst < 1e-9:
        print(f"tintvale and NumPy disagree by {worst:g}", file=sys.stderr)
        return 1

    t_ours, cpu_ours = best_of(lambda: model.from_xyz(xyz), args.repeats)
    t_numpy, cpu_numpy = best_of(lambda: forward(args.model, xyz, white, 64.0, 20.0, "dim"), args.repeats)
    ratio = t_numpy / t_ours
    # Processor time as well: on a loaded machine the wall clock measures the queue as much as the work.
    print(f"{args.model} forward, {args.count} colours: tintvale {t_ours * 1e3:.1f} ms "
          f"(processor {cpu_ours * 1e3:.1f} ms), NumPy {t_numpy * 1e3:.1f} ms (processor {cpu_numpy * 1e3:.1f} ms), "
          f"{ratio:.1f}x (target {LIMIT:.0f}x); agreement {worst:.1e}")
    return 0 if ratio >= LIMIT else 1


if __name__ == "__main__":
    sys.exit(main())
