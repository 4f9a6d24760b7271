"""`tintvale lab` against ArgyllCMS `spec2cie` on one large spectral file: CPU time (user + system) of
one run each.

The file has 100 000 reflectance spectra at 10 nm from 380 to 730 nm (the library's grid) in the
form both read (CTI3 with device values, SPEC_ fields in percent). `tintvale lab` must take at most a twentieth of
`spec2cie`'s CPU time, and its default integration (ASTM E308 weights for these 10-nm data) at most 1.5 times
the CPU time of `--integration grid` (the 36-sample grid). Run through `make bench`, or directly:

    python3 bench/lab_spec2cie.py --tool build-bench/tools/tintvale

CPU time rather than wall time: the figures hold on a machine that is busy with other work.
"""
import argparse
import math
import pathlib
import random
import resource
import shutil
import subprocess
import sys
import tempfile

LIMIT = 1.0 / 20.0
GRID_LIMIT = 1.5
WAVELENGTHS = list(range(380, 731, 10))


def spectral_file(path, rows, seed):
    """Smooth reflectances: a base level plus two Gaussian bands, in percent."""
    rng = random.Random(seed)
    head = ['CTI3', '', 'DESCRIPTOR "Argyll Calibration Target chart information 3"',
            'ORIGINATOR "tintvale bench"', 'KEYWORD "DEVICE_CLASS"', 'DEVICE_CLASS "OUTPUT"',
            'KEYWORD "SPECTRAL_BANDS"', f'SPECTRAL_BANDS "{len(WAVELENGTHS)}"',
            'KEYWORD "SPECTRAL_START_NM"', f'SPECTRAL_START_NM "{WAVELENGTHS[0]:.6f}"',
            'KEYWORD "SPECTRAL_END_NM"', f'SPECTRAL_END_NM "{WAVELENGTHS[-1]:.6f}"',
            'KEYWORD "SPECTRAL_NORM"', 'SPECTRAL_NORM "100.000000"', 'COLOR_REP "RGB_XYZ"', '',
            f'NUMBER_OF_FIELDS {4 + len(WAVELENGTHS)}', 'BEGIN_DATA_FORMAT',
            'SAMPLE_ID RGB_R RGB_G RGB_B ' + ' '.join(f'SPEC_{w}' for w in WAVELENGTHS), 'END_DATA_FORMAT', '',
            f'NUMBER_OF_SETS {rows}', 'BEGIN_DATA']
    with open(path, 'w') as out:
        out.write('\n'.join(head) + '\n')
        for r in range(rows):
            base = rng.uniform(3.0, 40.0)
            bands = [(rng.uniform(380, 730), rng.uniform(15, 80), rng.uniform(0.0, 55.0)) for _ in range(2)]
            values = (base + sum(h * math.exp(-((w - c) / s) ** 2) for c, s, h in bands) for w in WAVELENGTHS)
            rgb = ' '.join(f'{rng.uniform(0.0, 100.0):.2f}' for _ in range(3))
            out.write(f'{r + 1} {rgb} ' + ' '.join(f'{min(v, 100.0):.2f}' for v in values) + '\n')
        out.write('END_DATA\n')


def cpu_seconds(command):
    """User + system CPU time of one run of command, which must succeed."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    result = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if result.returncode != 0:
        sys.exit(f'{command[0]} failed ({result.returncode}): {result.stderr.strip()}')
    return (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--tool', required=True, help='the tintvale executable')
    parser.add_argument('--spec2cie', default=shutil.which('spec2cie'), help='ArgyllCMS spec2cie')
    parser.add_argument('--rows', type=int, default=100_000)
    parser.add_argument('--keep', help='keep the generated file here')
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as work:
        work = pathlib.Path(work)
        source = work / 'spectra.ti3'
        spectral_file(source, args.rows, 20261206)
        if args.keep:
            shutil.copy(source, args.keep)
        ours = cpu_seconds([args.tool, 'lab', str(source), '-o', str(work / 'tintvale.ti3')])
        grid = cpu_seconds([args.tool, 'lab', str(source), '--integration', 'grid', '-o', str(work / 'grid.ti3')])
        argyll = cpu_seconds([args.spec2cie, str(source), str(work / 'argyll.ti3')]) if args.spec2cie else None

    ok = ours <= GRID_LIMIT * grid
    print(f'{args.rows} spectra, CPU time (user + system): tintvale lab {ours:.3f} s (ASTM E308), '
          f'--integration grid {grid:.3f} s, ratio {ours / grid:.2f} (limit {GRID_LIMIT})')
    if argyll is None:
        print('spec2cie not installed: no comparison with it')
    else:
        ratio = ours / argyll
        print(f'spec2cie {argyll:.3f} s, tintvale lab / spec2cie 1/{1 / ratio:.1f} (limit 1/{1 / LIMIT:.0f})')
        ok = ok and ratio <= LIMIT
    return 0 if ok else 1


if __name__ == '__main__':
    sys.exit(main())
