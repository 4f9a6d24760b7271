"""A spectral image cube to CIELAB on a Dask cluster: reflectances (H, W, 36) at tintvale.WAVELENGTHS
become L*, a*, b* (H, W, 3) block by block with dask.array.map_blocks, the spectral axis in one chunk.

    python3 dask_cube.py [CUBE.npy] [--size H W] [--chunk N] [--workers N | --scheduler ADDRESS]
                         [--illuminant NAME] [--observer 2|10] [--output LAB.npy]

Without CUBE.npy a synthetic cube of smooth reflectances varying across the image is made. The
illuminant goes to the workers as a pickled tintvale.Illuminant.
"""
import argparse
import os
import sys
import time

import dask.array
import distributed
import numpy as np

import tintvale as tv


def synthetic_cube(height, width):
    """Smooth reflectances in [0.1, 0.9]: hue turns across the width, contrast grows down the height."""
    phase = np.linspace(0.0, 2.0 * np.pi, width)[None, :, None]
    depth = np.linspace(0.05, 0.4, height)[:, None, None]
    wavelengths = (np.asarray(tv.WAVELENGTHS) - 380.0) / 350.0
    return 0.5 + depth * np.sin(2.0 * np.pi * wavelengths[None, None, :] + phase)


def to_lab(block, illuminant, observer, white):
    return tv.xyz_to_lab(tv.xyz(block, illuminant, observer), white)


def cube_to_lab(cube, chunk, illuminant, observer):
    white = tv.white_point(illuminant, observer)
    spectra = dask.array.from_array(cube, chunks=(chunk, chunk, -1))
    lab = spectra.map_blocks(to_lab, illuminant, observer, white, dtype=float,
                             chunks=spectra.chunks[:2] + ((3,),))
    return lab.compute()


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("cube", nargs="?", help="a .npy file of shape (H, W, 36)")
    parser.add_argument("--size", type=int, nargs=2, default=(512, 512), metavar=("H", "W"))
    parser.add_argument("--chunk", type=int, default=128, help="rows and columns per block")
    where = parser.add_mutually_exclusive_group()
    where.add_argument("--workers", type=int, default=os.cpu_count() or 1, help="local worker processes")
    where.add_argument("--scheduler", help="address of a running Dask scheduler (tcp://host:8786)")
    parser.add_argument("--illuminant", default="CIE Illuminant D50")
    parser.add_argument("--observer", default="2 degree", help="2 degree (or 2), 10 degree (or 10)")
    parser.add_argument("--output", help="write L*a*b* (H, W, 3) to this .npy file")
    args = parser.parse_args(argv)

    observer = args.observer if "degree" in args.observer else f"{args.observer} degree"
    cube = np.load(args.cube, mmap_mode="r") if args.cube else synthetic_cube(*args.size)
    if cube.ndim != 3 or cube.shape[2] != len(tv.WAVELENGTHS):
        parser.error(f"the cube must have shape (H, W, {len(tv.WAVELENGTHS)}), not {cube.shape}")
    illuminant = tv.IlluminantFactory.shipped()[args.illuminant]

    if args.scheduler:
        client, cluster = distributed.Client(args.scheduler), None
    else:
        cluster = distributed.LocalCluster(n_workers=args.workers, threads_per_worker=1, processes=True,
                                           dashboard_address=None)
        client = distributed.Client(cluster)
    try:
        start = time.perf_counter()
        lab = cube_to_lab(cube, args.chunk, illuminant, observer)
        seconds = time.perf_counter() - start
    finally:
        client.close()
        if cluster is not None:
            cluster.close()

    if args.output:
        np.save(args.output, lab)
    pixels = lab.shape[0] * lab.shape[1]
    mean = lab.reshape(-1, 3).mean(axis=0)
    print(f"{lab.shape[0]} x {lab.shape[1]} pixels in {seconds:.2f} s ({pixels / seconds:.0f} pixels/s); "
          f"mean L* {mean[0]:.2f}, a* {mean[1]:.2f}, b* {mean[2]:.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
