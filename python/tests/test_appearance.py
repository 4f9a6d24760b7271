# tintvale.Appearance over arrays, the `appearance` command and the appearance-space formulas of
# `compare`: peer values, shapes and broadcasting, round trips, refused input and pickling (the
# models themselves are tested in C++).
import json
import pickle

import numpy as np
import pytest
from conftest import lab_chart, needs_tool, refuses, run

import tintvale as tv

WHITE = (95.05, 100.0, 108.88)


def test_cam16_against_colour_science_in_any_shape():
    # colour-science/colour, colour/appearance/tests/fixtures/cam16.csv (commit
    # 24499f6e71d5707f43799564bc6fd15d1edf604c), row 2 (its other rows: the C++ tests).
    expected = {"J": 65.428280687118487, "C": 49.679564197569391, "h": 17.486592427576902, "Q": 152.06985267941533,
                "M": 42.624733207401754, "s": 52.943088676264715}
    m = tv.Appearance("CAM16", WHITE, adapting_luminance=31.83, background=20.0)
    out = m.from_xyz(np.broadcast_to([57.06, 43.06, 31.96], (2, 3, 3)))
    assert set(out) == set("JChQMsH") and all(v.shape == (2, 3) for v in out.values())
    for key, value in expected.items():
        np.testing.assert_allclose(out[key], value, rtol=1e-10, err_msg=key)


@pytest.mark.parametrize("model", ["CIECAM02", "CAM16", "CIECAM16"])
def test_every_correlate_set_inverts_broadcast(model, factory):
    # XYZ of smooth random reflectances under D50: real surface colours.
    rng = np.random.default_rng(48)
    x = (tv.WAVELENGTHS - 380.0) / 350.0
    reflectances = 0.5 + rng.uniform(0.05, 0.45, (50, 1)) * np.sin(2 * np.pi * rng.uniform(0.5, 3.0, (50, 1)) * x)
    xyz = tv.xyz(reflectances, factory["CIE Illuminant D50"])
    m = tv.Appearance(model, (96.42, 100.0, 82.52), 200.0, 18.0, surround=(0.9, 0.59, 0.9))
    c = m.from_xyz(xyz)
    for lightness in "JQ":
        for chroma in "CMs":
            for hue in "hH":
                back = m.to_xyz(**{lightness: c[lightness], chroma: c[chroma], hue: c[hue]})
                np.testing.assert_allclose(back, xyz, rtol=1e-10, atol=1e-11)
    # One lightness against a row of hues: broadcast to the longer.
    assert m.to_xyz(J=50.0, C=20.0, h=np.arange(0.0, 360.0, 45.0)).shape == (8, 3)


def test_uniform_spaces_against_colour_science():
    # colour-science/colour, colour/models/tests/test_cam02_ucs.py (commit
    # 046fb8e601594914a258cb3a52b6f00d53e1c6d8): CAM02-UCS of XYZ 19.01, 20.00, 21.78 (LCD and SCD: the C++
    # tests; each space's name reaches its K_L below).
    m = tv.Appearance("CIECAM02", WHITE, 318.31, 20.0)
    np.testing.assert_allclose(m.ucs([19.01, 20.0, 21.78]), [54.90433134, -0.08442362, -0.06848314], atol=1e-8)
    a, b = [19.01, 20.0, 21.78], [[30.0, 20.0, 21.78], [19.01, 25.0, 21.78]]
    for space, k_l in (("UCS", 1.0), ("LCD", 0.77), ("SCD", 1.24)):
        ja, jb = m.ucs(a, space), m.ucs(b, space)
        d = jb - ja
        np.testing.assert_allclose(m.delta_e(a, b, space), np.sqrt((d[:, 0] / k_l) ** 2 + d[:, 1] ** 2 + d[:, 2] ** 2))


def test_outside_the_domain_is_refused_or_nan_as_asked():
    m = tv.Appearance("CAM16", WHITE, 64.0)
    xyz = [[20.0, 20.0, 20.0], [20.0, np.nan, 20.0], [20.0, np.inf, 20.0]]
    out = m.from_xyz(xyz, on_invalid="nan")
    assert np.isfinite(out["J"][0]) and np.isnan([out[k][1:] for k in out]).all()
    assert np.isnan(m.to_xyz(J=0.0, C=10.0, H=30.0, on_invalid="nan")).all()
    assert np.isnan(m.delta_e(xyz[0], xyz[1:], on_invalid="nan")).all()
    for call, error, why in ((lambda: m.from_xyz(xyz), ValueError, "2 of 3 colours.*index 1"),
                             (lambda: m.to_xyz(J=[50.0, -5.0], M=10.0, h=30.0), ValueError, "outside the model's domain"),
                             (lambda: m.delta_e(xyz[0], xyz[1]), ValueError, None),
                             (lambda: m.to_xyz(J=50.0, Q=90.0, C=10.0, h=30.0), ValueError, "one lightness"),
                             (lambda: m.to_xyz(J=50.0, h=30.0), ValueError, "missing"),
                             (lambda: m.to_xyz(J=50.0, C=10.0, h=30.0, L=1.0), TypeError, None)):
        refuses(error, call, match=why)
    for bad in (dict(white=(95.0, 0.0, 108.0)), dict(adapting_luminance=-1.0), dict(surround="bright"),
                dict(degree_of_adaptation=1.5), dict(model="CAM97")):
        refuses(ValueError, lambda: tv.Appearance(**bad))


def test_pickling_and_what_the_conditions_derive():
    m = tv.Appearance("CIECAM16", (109.85, 100.0, 35.58), 40.0, 16.0, "dark", degree_of_adaptation=0.7)
    twin = pickle.loads(pickle.dumps(m))
    assert (twin.model, twin.white, twin.surround, twin.degree_of_adaptation) == ("CIECAM16", m.white, (0.8, 0.525, 0.8), 0.7)
    np.testing.assert_array_equal(twin.ucs([[30.0, 20.0, 10.0]]), m.ucs([[30.0, 20.0, 10.0]]))
    # D computed for L_A 200, F 1: 1 - exp(-242 / 92) / 3.6 (CIE 159:2004); discounting gives 1.
    assert tv.Appearance(adapting_luminance=200.0).degree_of_adaptation == pytest.approx(1 - np.exp(-242 / 92) / 3.6)
    assert tv.Appearance(adapting_luminance=5.0, discount_illuminant=True).degree_of_adaptation == 1.0


@needs_tool
def test_appearance_command(tmp_path):
    chart = lab_chart(tmp_path / "lab.txt", [("paper", 100, 0, 0), ("red", 48, 62, 40), ("cyan", 56, -30, -45)])
    result = run("appearance", chart, "--model", "cam16", "--la", 64, "--yb", 20, "--surround", "dim", "--format", "json")
    assert result.returncode == 0, result.stderr
    report = json.loads(result.stdout)
    rows, conditions = report["appearance"], report["conditions"]
    assert conditions["model"] == "CAM16" and conditions["viewing"] == "L_A 64 cd/m2, Y_b 20, dim surround"
    # The paper is the white: J 100 whatever the model; the rest as Python gives them for the white used.
    assert rows[0]["J"] == pytest.approx(100.0, abs=1e-4)
    white = [conditions[f"white_{k}"] for k in "XYZ"]
    m = tv.Appearance("CAM16", white, 64.0, 20.0, "dim")
    lab = tv.LabSpace(white)
    expected = m.from_xyz(lab.to_xyz([[48.0, 62.0, 40.0], [56.0, -30.0, -45.0]]))
    for i, row in enumerate(rows[1:]):
        for key in "JChQMsH":
            assert row[key] == pytest.approx(expected[key][i], abs=2e-4), key
    other = run("appearance", chart, "--white", "96.42,100,82.52", "--format", "csv")
    assert other.returncode == 0 and other.stdout.startswith("sample,J,C,h,Q,M,s,H\n")
    assert run("appearance", chart, "--surround", "bright").returncode == 2


@needs_tool
def test_compare_by_appearance_formulas(tmp_path):
    reference = lab_chart(tmp_path / "ref.txt", [("a", 50, 10, 10), ("b", 70, -20, 30)])
    sample = lab_chart(tmp_path / "smp.txt", [("a", 51, 12, 9), ("b", 69, -18, 33)])
    result = run("compare", reference, sample, "--formula", "CAM16-UCS", "--la", 40, "--surround", "dark",
                 "--format", "json")
    assert result.returncode == 0, result.stderr
    report = json.loads(result.stdout)
    summary = report["summary"]
    assert summary["formula"] == "cam16-ucs" and summary["viewing"] == "L_A 40 cd/m2, Y_b 20, dark surround"
    # The white the tool takes for the file's D50, as `appearance` states it.
    appearance = run("appearance", reference, "--format", "json")
    white = [json.loads(appearance.stdout)["conditions"][f"white_{k}"] for k in "XYZ"]
    lab = tv.LabSpace(white)
    m = tv.Appearance("CAM16", white, 40.0, 20.0, "dark")
    expected = m.delta_e(lab.to_xyz([[51, 12, 9], [69, -18, 33]]), lab.to_xyz([[50, 10, 10], [70, -20, 30]]))
    np.testing.assert_allclose([row["dE"] for row in report["samples"]], expected, atol=6e-3)
    # Python's compare takes the same formulas and conditions (white as stated to four decimals).
    result = tv.compare(reference, sample, formula="cam16-ucs", la=40.0, surround="dark")
    assert result["summary"]["viewing"] == summary["viewing"]
    np.testing.assert_allclose(result["de"], expected, atol=1e-4)
    assert run("compare", reference, sample, "--formula", "cam97-ucs").returncode == 2
    page = tmp_path / "page.html"
    assert run("report", reference, sample, "--formula", "cam02-lcd", "--yb", 18, "-o", page).returncode == 0
    assert "cam02-lcd (L_A 64 cd/m2, Y_b 18, average surround)" in page.read_text()
