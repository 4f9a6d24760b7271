# The Dask examples on one 2-worker local cluster (started once, the examples connect to it): the
# batch CSV equals the tool's own rows (a broken file among good ones included, exit status alike),
# and the cube comes back block for block.
import csv
import io
import os
import pathlib
import subprocess
import sys

import distributed
import numpy as np
import pytest

import tintvale as tv

HERE = pathlib.Path(__file__).resolve().parent
ROOT = pathlib.Path(os.environ.get("TINTVALE_SOURCE_DIR", HERE.parents[1]))
TOOL = os.environ.get("TINTVALE_TOOL")
# Dask 2022.12 on tornado 6.2 warns of its own event-loop use.
pytestmark = pytest.mark.filterwarnings("ignore::DeprecationWarning")


@pytest.fixture(scope="module")
def scheduler():
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, dashboard_address=None) as cluster:
        yield cluster.scheduler_address


def example(name, *args):
    return subprocess.run([sys.executable, str(HERE / name), *map(str, args)], capture_output=True, text=True,
                          timeout=120)


@pytest.mark.skipif(not TOOL, reason="the command-line tool is not built")
def test_batch_rows_equal_the_tool(tmp_path, scheduler):
    charts = ROOT / "data" / "samples"
    broken = tmp_path / "broken.txt"
    broken.write_text("CGATS.17\nNUMBER_OF_FIELDS 2\nBEGIN_DATA_FORMAT\nSAMPLE_ID LAB_L\n")
    samples = [charts / "chart_measured.txt", broken, charts / "chart_reference.txt", charts / "chart_measured.txt"]
    reference = charts / "chart_reference.txt"
    dask = example("dask_batch.py", reference, *samples, "--scheduler", scheduler, "--max", 0.5)
    tool = subprocess.run([TOOL, "compare", reference, *samples, "--max", "0.5", "--format", "csv"],
                          capture_output=True, text=True)
    assert dask.returncode == tool.returncode == 2, dask.stderr
    rows = list(csv.DictReader(io.StringIO(dask.stdout)))
    expected = list(csv.DictReader(io.StringIO(tool.stdout)))
    columns = ["file", "patches", "mean", "p95", "max", "verdict"]
    assert [{c: r[c] for c in columns} for r in rows] == [{c: r[c] for c in columns} for r in expected]
    assert [r["verdict"] for r in rows] == ["fail", "error", "pass", "fail"]
    assert "broken.txt" in dask.stderr


def test_cube_to_lab_block_by_block(tmp_path, scheduler):
    cube = np.linspace(0.05, 0.95, 7 * 5 * 36).reshape(7, 5, 36)
    # A flat reflectance of ((50 + 16) / 116)^3 = 0.184187 has L* = 50, a* = b* = 0 under any
    # illuminant (CIE 15:2004, 8.2.1).
    cube[6, 4] = 0.18418651851244416
    np.save(tmp_path / "cube.npy", cube)
    run = example("dask_cube.py", tmp_path / "cube.npy", "--chunk", 3, "--scheduler", scheduler, "--illuminant",
                  "CIE Illuminant D65", "--observer", 10, "--output", tmp_path / "lab.npy")
    assert run.returncode == 0, run.stderr
    lab = np.load(tmp_path / "lab.npy")
    d65 = tv.IlluminantFactory.shipped()["CIE Illuminant D65"]
    expected = tv.xyz_to_lab(tv.xyz(cube, d65, 1), tv.white_point(d65, 1))
    assert lab.shape == (7, 5, 3) and np.array_equal(lab, expected)
    assert np.allclose(lab[6, 4], (50.0, 0.0, 0.0), atol=1e-9)
