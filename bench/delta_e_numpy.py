"""Delta E 2000 over 1 000 000 Lab pairs from NumPy against the plain C++ loop, in one run.

Both time the same pairs (best of several repetitions); the ratio Python / C++ must stay within
1.5. Run through `make bench`, or directly:

    PYTHONPATH=build-bench/python python3 bench/delta_e_numpy.py --loop build-bench/bench/delta_e_loop
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time

import numpy as np

import tintvale as tv

LIMIT = 1.5


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--loop", required=True, help="the delta_e_loop executable")
    parser.add_argument("--pairs", type=int, default=1_000_000)
    parser.add_argument("--repetitions", type=int, default=7)
    args = parser.parse_args()

    rng = np.random.default_rng(20050101)
    lab1 = np.column_stack([rng.uniform(0, 100, args.pairs), rng.uniform(-100, 100, (args.pairs, 2))])
    lab2 = lab1 + rng.uniform(-5, 5, lab1.shape)  # pairs at typical tolerance distances

    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "pairs.bin")
        with open(path, "wb") as f:
            f.write(np.int64(args.pairs).tobytes())
            f.write(lab1.tobytes())
            f.write(lab2.tobytes())
        run = subprocess.run([args.loop, path, str(args.repetitions)], capture_output=True, text=True, check=True)
    cpp_seconds, cpp_checksum = (float(v) for v in run.stdout.split())

    best = float("inf")
    for _ in range(args.repetitions):
        start = time.perf_counter()
        result = tv.delta_e(lab1, lab2, "Delta E 2000")
        best = min(best, time.perf_counter() - start)

    if not np.isclose(result.sum(), cpp_checksum, rtol=1e-12):
        print(f"results differ: sum {result.sum()!r} against {cpp_checksum!r}", file=sys.stderr)
        return 1
    ratio = best / cpp_seconds
    print(f"Delta E 2000, {args.pairs} pairs, best of {args.repetitions}:")
    print(f"  C++ loop       {cpp_seconds * 1e3:8.2f} ms  ({cpp_seconds / args.pairs * 1e9:.1f} ns/pair)")
    print(f"  tintvale NumPy {best * 1e3:8.2f} ms  ({best / args.pairs * 1e9:.1f} ns/pair)")
    print(f"  ratio {ratio:.3f} (limit {LIMIT})")
    return 0 if ratio <= LIMIT else 1


if __name__ == "__main__":
    sys.exit(main())
