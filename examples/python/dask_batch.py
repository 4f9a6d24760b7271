"""Batch quality control on a Dask cluster: every sample file compared against one reference with
tintvale.compare, one CSV row per file in the order given (file, patches, mean, p95, max, verdict).

    python3 dask_batch.py REFERENCE SAMPLE... [--workers N | --scheduler ADDRESS] [--max TOL]

Without --scheduler a distributed.LocalCluster of N single-threaded worker processes is started on
this machine. With --scheduler the workers of that cluster read the sample files themselves, so the
paths must name the same files there (a shared file system). The reference is read here once and
sent to the workers as a pickled tintvale.Cgats. Exit status as `tintvale compare`: 2 if a file could
not be compared, else 1 if one exceeds the tolerance, else 0.
"""
import argparse
import csv
import os
import sys

import dask
import dask.bag
import distributed

import tintvale as tv

COLUMNS = ["file", "patches", "mean", "p95", "max", "verdict"]


def row(sample, reference, formula, tolerance):
    """The CSV row of one sample file; a file that cannot be compared is a row of its own."""
    try:
        summary = tv.compare(reference, sample, formula=formula, max=tolerance)["summary"]
    except (OSError, ValueError) as error:
        return {"file": sample, "patches": "", "mean": "", "p95": "", "max": "", "verdict": "error",
                "error": str(error)}
    verdict = "none" if tolerance is None else "fail" if summary["over_tolerance"] else "pass"
    # Two decimals, as the tool's table and CSV show them.
    return {"file": sample, "patches": summary["samples"], "mean": f"{summary['mean']:.2f}",
            "p95": f"{summary['p95']:.2f}", "max": f"{summary['max']:.2f}", "verdict": verdict}


def compare_all(client, reference, samples, formula, tolerance):
    workers = max(1, len(client.scheduler_info()["workers"]))
    # A few partitions per worker: enough to balance, few enough that scheduling stays cheap.
    bag = dask.bag.from_sequence(samples, npartitions=min(len(samples), 4 * workers))
    rows = bag.map(row, reference=dask.delayed(reference), formula=formula, tolerance=tolerance)
    return rows.compute()


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("reference")
    parser.add_argument("samples", nargs="+", metavar="sample")
    where = parser.add_mutually_exclusive_group()
    where.add_argument("--workers", type=int, default=os.cpu_count() or 1, help="local worker processes")
    where.add_argument("--scheduler", help="address of a running Dask scheduler (tcp://host:8786)")
    parser.add_argument("--formula", default="Delta E 2000")
    parser.add_argument("--max", type=float, default=None, help="tolerance")
    args = parser.parse_args(argv)

    reference = tv.Cgats(args.reference)
    if args.scheduler:
        client = distributed.Client(args.scheduler)
        cluster = None
    else:
        cluster = distributed.LocalCluster(n_workers=args.workers, threads_per_worker=1, processes=True,
                                           dashboard_address=None)
        client = distributed.Client(cluster)
    try:
        rows = compare_all(client, reference, args.samples, args.formula, args.max)
    finally:
        client.close()
        if cluster is not None:
            cluster.close()

    writer = csv.DictWriter(sys.stdout, COLUMNS, extrasaction="ignore", lineterminator="\n")
    writer.writeheader()
    writer.writerows(rows)
    for r in rows:
        if r["verdict"] == "error":
            print(f"dask_batch: {r['error']}", file=sys.stderr)
    if any(r["verdict"] == "error" for r in rows):
        return 2
    return 1 if any(r["verdict"] == "fail" for r in rows) else 0


if __name__ == "__main__":
    sys.exit(main())
