# The module and the command-line tool, two hosts of the same C++ code, agree on the shipped charts.
import numpy as np
from conftest import needs_tool, run_json

import tintvale as tv


@needs_tool
def test_compare_agrees(charts, d50):
    compared = run_json("compare", *charts)["samples"]
    ref, smp = (tv.Cgats(chart) for chart in charts)
    assert [r["sample"] for r in compared] == ref.sample_names()
    lab_ref, lab_smp = (tv.xyz_to_lab(tv.xyz(tv.to_grid(c.wavelengths(), c.spectra()), d50), tv.white_point(d50))
                        for c in (ref, smp))
    np.testing.assert_allclose(lab_ref, [[r["ref_L"], r["ref_a"], r["ref_b"]] for r in compared], rtol=1e-12, atol=1e-12)
    np.testing.assert_allclose(lab_smp, [[r["L"], r["a"], r["b"]] for r in compared], rtol=1e-12, atol=1e-12)
    np.testing.assert_allclose(tv.delta_e(lab_smp, lab_ref), [r["dE"] for r in compared], rtol=1e-12)
