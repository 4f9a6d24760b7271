"""Batch QC: 5 000 small measurement files against one reference, in one `tintvale compare` call (on
--jobs threads) against a shell loop of one call per file, and through the Dask example.

The one call must take at most a tenth of the loop's time. Run through `make bench`, or directly:

    PYTHONPATH=build-bench/python python3 bench/batch_qc.py --tool build-bench/tools/tintvale

--loop-files times the loop over the first N files only and scales it to all of them (the loop is
slow by design: a process per file).
"""
import argparse
import os
import pathlib
import subprocess
import sys
import tempfile
import time

import numpy as np

LIMIT = 0.1
PATCHES = 24
EXAMPLE = pathlib.Path(__file__).resolve().parents[1] / "examples" / "python" / "dask_batch.py"


def lab_file(path, lab):
    rows = "".join(f"P{k + 1}\t{L:.2f}\t{a:.2f}\t{b:.2f}\n" for k, (L, a, b) in enumerate(lab))
    path.write_text(f'CGATS.17\nKEYWORD "SampleID"\nNUMBER_OF_FIELDS 4\nBEGIN_DATA_FORMAT\nSampleID\tLAB_L\tLAB_A\t'
                    f"LAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS {len(lab)}\nBEGIN_DATA\n{rows}END_DATA\n")
    return path


def timed(command, **kwargs):
    start = time.perf_counter()
    result = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kwargs)
    return time.perf_counter() - start, result.returncode


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tool", required=True, help="the tintvale executable")
    parser.add_argument("--files", type=int, default=5000)
    parser.add_argument("--loop-files", type=int, default=None, help="files the loop is timed over")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 1)
    parser.add_argument("--workers", type=int, default=os.cpu_count() or 1, help="Dask workers (0: skip Dask)")
    args = parser.parse_args()

    rng = np.random.default_rng(20261206)
    reference_lab = np.column_stack([rng.uniform(20, 95, PATCHES), rng.uniform(-60, 60, (PATCHES, 2))])
    with tempfile.TemporaryDirectory() as work:
        work = pathlib.Path(work)
        reference = lab_file(work / "reference.txt", reference_lab)
        samples = [lab_file(work / f"s{i:05d}.txt", reference_lab + rng.normal(0, 0.8, reference_lab.shape))
                   for i in range(args.files)]
        names = [str(s) for s in samples]

        one, status = timed([args.tool, "compare", str(reference), *names, "--jobs", str(args.jobs),
                             "--max", "3", "--format", "csv"])
        assert status in (0, 1), f"compare failed with status {status}"
        looped = samples[:args.loop_files or args.files]
        script = 'for f in "$@"; do "$T" compare "$R" "$f" --max 3 --format csv > /dev/null; done'
        loop, _ = timed(["bash", "-c", script, "loop", *map(str, looped)],
                        env={**os.environ, "T": args.tool, "R": str(reference)})
        loop *= args.files / len(looped)
        ratio = one / loop
        print(f"{args.files} files of {PATCHES} patches: one call on {args.jobs} threads {one:.2f} s "
              f"({args.files / one:.0f} files/s); loop of single calls {loop:.1f} s"
              f"{'' if len(looped) == args.files else f' (timed over {len(looped)}, scaled)'}; "
              f"ratio {ratio:.3f} (limit {LIMIT})")
        if args.workers > 0:
            dask, status = timed([sys.executable, str(EXAMPLE), str(reference), *names, "--workers", str(args.workers),
                                  "--max", "3"])
            assert status in (0, 1), f"the Dask example failed with status {status}"
            print(f"Dask example, {args.workers} local workers: {dask:.2f} s with the cluster's start "
                  f"({args.files / dask:.0f} files/s)")
        print(f"load average {os.getloadavg()[0]:.1f} on {os.cpu_count()} cores")
    return 0 if ratio <= LIMIT else 1


if __name__ == "__main__":
    sys.exit(main())
