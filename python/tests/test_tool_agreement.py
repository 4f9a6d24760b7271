# The module and the library's command-line tool, two hosts of the same C++ code, agree on the
# shipped sample charts.
import json
import os
import subprocess

import numpy as np
import pytest

import tintvale as tv

TOOL = os.environ.get("TINTVALE_TOOL")
pytestmark = pytest.mark.skipif(not TOOL, reason="the command-line tool is not built")


def run(*args):
    return json.loads(subprocess.run([TOOL, "--format", "json", *args], capture_output=True, text=True, check=True).stdout)


def grid_spectra(chart):
    return tv.to_grid(chart.wavelengths(), chart.spectra())


@pytest.fixture(scope="module")
def charts(root):
    samples = root / "data" / "samples"
    return samples / "chart_reference.txt", samples / "chart_measured.txt"


def test_compare_agrees(charts, factory):
    reference, measured = charts
    report = run("compare", str(reference), str(measured))["samples"]
    ref, smp = tv.Cgats(reference), tv.Cgats(measured)
    assert [r["sample"] for r in report] == ref.sample_names()
    d50 = factory["CIE Illuminant D50"]
    white = tv.white_point(d50)
    lab_ref = tv.xyz_to_lab(tv.xyz(grid_spectra(ref), d50), white)
    lab_smp = tv.xyz_to_lab(tv.xyz(grid_spectra(smp), d50), white)
    np.testing.assert_allclose(lab_ref, [[r["ref_L"], r["ref_a"], r["ref_b"]] for r in report], rtol=1e-12, atol=1e-12)
    np.testing.assert_allclose(lab_smp, [[r["L"], r["a"], r["b"]] for r in report], rtol=1e-12, atol=1e-12)
    np.testing.assert_allclose(tv.delta_e(lab_smp, lab_ref, "Delta E 2000"), [r["dE"] for r in report], rtol=1e-12)


def test_density_agrees(charts):
    reference, _ = charts
    report = run("density", str(reference))["densities"]
    d, dominant = tv.densities(grid_spectra(tv.Cgats(reference)), "ISO Status T")
    np.testing.assert_allclose(d, [[r["C"], r["M"], r["Y"], r["V"]] for r in report], rtol=1e-12)
    assert ["CMYV"[k] for k in dominant] == [r["dominant"] for r in report]
