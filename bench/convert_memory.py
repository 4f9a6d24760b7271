"""Two costs that must not grow with the count of something: `tintvale convert --to cgats` of a file of
many one-sample spectral tables against `--to argyll` (the renaming once took time in the square of the
tables), and the peak memory of `tintvale compare --jobs 64` against `--jobs 1` for a large spectral
reference and small sample files (each thread once held a copy of the reference).

Fails when the CGATS.17 conversion takes over 3 times the ArgyllCMS one, or the 64-thread peak is over
3 times the one-thread peak. Run through `make bench` (target bench_convert_memory), or directly:

    python3 bench/convert_memory.py --tool build/tools/tintvale
"""
import argparse
import os
import pathlib
import subprocess
import sys
import tempfile
import time

LIMIT = 3.0
WAVELENGTHS = range(380, 731, 10)


def spectrum(seed):
    return "\t".join(f"{0.05 + 0.9 * ((seed * 7 + k * 13) % 97) / 97:.4f}" for k, _ in enumerate(WAVELENGTHS))


def tables_file(path, tables):
    format_ = "SampleID\t" + "\t".join(f"nm{w}" for w in WAVELENGTHS)
    with path.open("w") as out:
        out.write('CGATS.17\nKEYWORD "SampleID"\n')
        for t in range(tables):
            out.write(f"NUMBER_OF_FIELDS {len(WAVELENGTHS) + 1}\nBEGIN_DATA_FORMAT\n{format_}\nEND_DATA_FORMAT\n"
                      f"NUMBER_OF_SETS 1\nBEGIN_DATA\nS{t}\t{spectrum(t)}\nEND_DATA\n")
    return path


def chart_file(path, patch_counts, shift):
    """One spectral table of each count of patches."""
    format_ = "SampleID\t" + "\t".join(f"nm{w}" for w in WAVELENGTHS)
    text = 'CGATS.17\nKEYWORD "SampleID"\n'
    for patches in patch_counts:
        rows = "".join(f"P{s}\t{spectrum(s + shift)}\n" for s in range(patches))
        text += (f"NUMBER_OF_FIELDS {len(WAVELENGTHS) + 1}\nBEGIN_DATA_FORMAT\n{format_}\nEND_DATA_FORMAT\n"
                 f"NUMBER_OF_SETS {patches}\nBEGIN_DATA\n{rows}END_DATA\n")
    path.write_text(text)
    return path


def run(command):
    """Wall time in seconds and peak resident memory in MB of one run; fails on a bad status."""
    start = time.perf_counter()
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    seconds = time.perf_counter() - start
    code = os.waitstatus_to_exitcode(status)
    assert code in (0, 1), f"{command[1]} failed with status {code}"
    return seconds, usage.ru_maxrss / 1024


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tool", required=True, help="the tintvale executable")
    parser.add_argument("--tables", type=int, default=4000)
    parser.add_argument("--patches", type=int, default=20000)
    parser.add_argument("--samples", type=int, default=128, help="sample files for the --jobs runs")
    args = parser.parse_args()
    failed = False
    with tempfile.TemporaryDirectory() as work:
        work = pathlib.Path(work)
        tables = tables_file(work / "tables.txt", args.tables)
        out = work / "out.txt"
        cgats, _ = run([args.tool, "convert", str(tables), "--to", "cgats", "-o", str(out)])
        argyll, _ = run([args.tool, "convert", str(tables), "--to", "argyll", "-o", str(out)])
        ratio = cgats / argyll
        print(f"convert {args.tables} one-sample tables ({tables.stat().st_size / 1e6:.1f} MB): --to cgats "
              f"{cgats:.2f} s, --to argyll {argyll:.2f} s, ratio {ratio:.2f} (limit {LIMIT})")
        failed |= ratio > LIMIT

        # The chart compared is the reference's first table, of 24 patches, so that the sample files
        # are small and what could grow with the threads is what each holds of the reference: its
        # second table of 20 000 spectra.
        reference = chart_file(work / "reference.txt", (24, args.patches), 0)
        samples = [str(chart_file(work / f"s{i}.txt", (24,), i + 1)) for i in range(args.samples)]
        peaks = {}
        for jobs in (1, 64):
            seconds, peaks[jobs] = run([args.tool, "compare", str(reference), *samples, "--jobs", str(jobs),
                                        "--format", "csv"])
            print(f"compare of {len(samples)} files against {args.patches} spectral patches "
                  f"({reference.stat().st_size / 1e6:.1f} MB), --jobs {jobs}: {seconds:.1f} s, "
                  f"peak {peaks[jobs]:.0f} MB")
        growth = peaks[64] / peaks[1]
        print(f"peak memory --jobs 64 / --jobs 1: {growth:.2f} (limit {LIMIT})")
        failed |= growth > LIMIT
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
