# Batch QC: `compare REFERENCE SAMPLE...` one row per file equal to single compares, a broken file
# among good ones, exit statuses, pages per file; tintvale.compare equal to the tool's JSON; the
# package's own `tintvale` command; pickling of the objects workers receive.
import concurrent.futures
import json
import pickle
import subprocess
import sys

import numpy as np
import pytest
from conftest import ROOT, TOOL, lab_chart, needs_tool, run

import tintvale as tv


@pytest.fixture
def batch(charts, tmp_path):  # reference, then samples: over 1.5, broken, identical, over again
    broken = tmp_path / "broken.txt"
    broken.write_text("CGATS.17\nNUMBER_OF_FIELDS 2\nBEGIN_DATA_FORMAT\nSAMPLE_ID\tLAB_L\nEND_DATA_FORMAT\n"
                      "NUMBER_OF_SETS 1\nBEGIN_DATA\nA1\tfifty\nEND_DATA\n")
    return charts[0], [charts[1], broken, charts[0], charts[1]]


@needs_tool
def test_rows_equal_single_compares_and_a_broken_file_has_its_own_row(batch):
    reference, samples = batch
    options = ["--max", "0.5", "--formula", "dE2000", "--observer", "10"]
    many = run("compare", reference, *samples, "--jobs", 3, "--format", "json", *options)
    assert many.returncode == 2 and many.stderr == "tintvale: 1 of 4 files could not be compared\n"
    files = json.loads(many.stdout)["files"]
    assert [f["file"] for f in files] == list(map(str, samples))
    assert [f["verdict"] for f in files] == ["fail", "error", "pass", "fail"]
    for f, sample in zip(files, samples):
        one = run("compare", reference, sample, "--format", "json", *options)
        if f["verdict"] == "error":
            assert one.returncode == 2 and f["summary"] is None and one.stderr == f"tintvale: {f['error']}\n"
        else:
            assert f["summary"] == json.loads(one.stdout)["summary"] and one.returncode == (f["verdict"] == "fail")
    summary = json.loads(many.stdout)["summary"]
    means = [f["summary"]["mean"] for f in files if f["summary"]]
    assert summary["files"] == 4 and summary["errors"] == 1 and summary["passed"] == 1 and summary["failed"] == 2
    assert summary["patches"] == 72 and summary["mean"] == pytest.approx(sum(means) / 3, rel=1e-12)
    assert summary["max_file"] == str(samples[0]) and summary["max"] == files[0]["summary"]["max"]
    # One thread or several: the same output.
    assert run("compare", reference, *samples, "--jobs", 1, "--format", "json", *options).stdout == many.stdout
    table = run("compare", reference, *samples, "--max", "0.5", "--format", "csv").stdout.splitlines()
    assert table[0] == "file,patches,mean,median,p95,max,max_sample,verdict,error,warnings" and len(table) == 5
    assert table[2].startswith(f"{samples[1]},,,,,,,error,") and "broken.txt:" in table[2]


@needs_tool
@pytest.mark.parametrize("max, status", [(None, 0), ("100", 0), ("0.5", 1)])
def test_exit_status_of_a_batch(charts, max, status):
    over = ["--max", max] if max else []
    result = run("compare", charts[0], charts[1], charts[0], *over, "--section", "files", "--format", "csv")
    verdicts = [line.split(",")[7] for line in result.stdout.splitlines()[1:]]
    assert result.returncode == status and verdicts == (["none"] * 2 if not max else ["fail" if status else "pass", "pass"])


@needs_tool
def test_report_writes_a_page_per_file(batch, tmp_path):
    reference, samples = batch
    pages = tmp_path / "pages"
    made = run("report", reference, *samples, "-o", pages, "--format", "json")
    files = json.loads(made.stdout)["files"]
    names = ["chart_measured.html", "", "chart_reference.html", "chart_measured-2.html"]
    assert made.returncode == 2 and [f["page"] for f in files] == [str(pages / n) if n else "" for n in names]
    assert sorted(p.name for p in pages.iterdir()) == sorted(filter(None, names))
    assert (pages / "chart_measured.html").read_text().startswith("<!DOCTYPE html>")
    single = run("report", reference, samples[0], "-o", tmp_path / "one.html")
    assert (tmp_path / "one.html").read_bytes() == (pages / "chart_measured.html").read_bytes()
    assert single.returncode == 0 and run("report", reference, samples[0], "-o", "/dev/null").returncode == 0
    assert "does not apply" in run("report", reference, samples[0], "-o", tmp_path / "x.html", "--format", "csv").stderr


@needs_tool
@pytest.mark.parametrize("options", [{}, {"formula": "CMC(2:1)", "max": 2.0, "illuminant": "CIE Illuminant F11",
                                          "observer": "10 degree", "integration": "grid"}])
def test_python_compare_equals_the_tools_json(charts, options):
    flags = [f"--{k}={v}" for k, v in options.items()]
    expected = json.loads(run("compare", *charts, "--format", "json", *flags).stdout)
    for reference, sample in (charts, tuple(map(tv.Cgats, charts))):
        result = tv.compare(reference, sample, **options)
        assert result["summary"] == expected["summary"]
        assert list(result["names"]) == [r["sample"] for r in expected["samples"]]
        assert np.array_equal(result["lab_reference"], [[r["ref_L"], r["ref_a"], r["ref_b"]] for r in expected["samples"]])
        assert np.array_equal(result["lab_sample"], [[r["L"], r["a"], r["b"]] for r in expected["samples"]])
        assert np.array_equal(result["de"], [r["dE"] for r in expected["samples"]])


def test_cielab_terms_and_pairing(tmp_path):
    # Paired by name in another order; sample minus reference. Hue turned counter-clockwise by 90
    # degrees at chroma 10: Delta H = +sqrt(2) * 10 (CIE 15:2004, 8.2.3, the sign of the hue
    # difference); chroma 10 to 20 at hue 0: Delta C = 10, Delta H = 0.
    ref = lab_chart(tmp_path / "ref.txt", [("turn", 50, 10, 0), ("grow", 60, 10, 0), ("dark", 40, -3, 4)])
    smp = lab_chart(tmp_path / "smp.txt", [("grow", 60, 20, 0), ("dark", 35, 1, 1), ("turn", 50, 0, 10)])
    result = tv.compare(ref, smp, formula="CIE76")
    assert list(result["names"]) == ["turn", "grow", "dark"] and list(result["sample_index"]) == [2, 0, 1]
    assert list(result["reference_index"]) == [0, 1, 2]
    assert np.allclose(result["dH"][:2], [np.sqrt(2) * 10, 0]) and np.allclose(result["dC"][:2], [0, 10])
    assert list(result["dL"]) == [0, 0, -5] and list(result["da"]) == [-10, 10, 4] and list(result["db"]) == [10, 0, -3]
    # CIE 1976: Delta E*ab^2 = Delta L^2 + Delta a^2 + Delta b^2 = Delta L^2 + Delta C^2 + Delta H^2.
    assert np.allclose(result["de"] ** 2, result["dL"] ** 2 + result["da"] ** 2 + result["db"] ** 2)
    assert np.allclose(result["de"] ** 2, result["dL"] ** 2 + result["dC"] ** 2 + result["dH"] ** 2)
    with pytest.raises(FileNotFoundError):
        tv.compare(ref, tmp_path / "missing.txt")
    with pytest.raises(ValueError, match="no sample named .turn."):
        tv.compare(ref, lab_chart(tmp_path / "other.txt", [("x", 1, 2, 3)] * 3))
    # From threads at once (the heavy part runs without the GIL): the same results.
    with concurrent.futures.ThreadPoolExecutor(4) as pool:
        for again in pool.map(lambda _: tv.compare(ref, smp, formula="CIE76"), range(8)):
            assert np.array_equal(again["de"], result["de"]) and again["summary"] == result["summary"]


@needs_tool
def test_python_command_is_the_tool(charts):
    for args in (["--version"], ["compare", *map(str, charts), "--format", "json"], ["frobnicate"]):
        module = subprocess.run([sys.executable, "-m", "tintvale", *args], capture_output=True, text=True)
        tool = run(*args)
        assert (module.returncode, module.stdout, module.stderr) == (tool.returncode, tool.stdout, tool.stderr)


def test_objects_pickle(charts, factory, d50):
    chart = tv.Cgats(charts[0])
    again = pickle.loads(pickle.dumps(chart))
    assert again.to_text() == chart.to_text() and np.array_equal(again.spectra(0), chart.spectra(0))
    # By name and grid: the same white, chromaticity and temperature as the illuminant read from its file.
    f11 = pickle.loads(pickle.dumps(factory["CIE Illuminant F11"]))
    assert f11.name == "CIE Illuminant F11" and np.array_equal(f11.spectrum.samples, factory[f11.name].spectrum.samples)
    assert np.array_equal(tv.white_point(f11, 1), tv.white_point(factory[f11.name], 1))
    assert (f11.chromaticity, f11.temperature) == (factory[f11.name].chromaticity, factory[f11.name].temperature)
    # Its points come along: integration at 5 nm (CIE 15) gives the same XYZ.
    d50_again, nm = pickle.loads(pickle.dumps(d50)), np.arange(380.0, 781.0, 5.0)
    fine = np.clip(0.5 + 0.3 * np.sin(nm / 40), 0, 1)
    assert np.array_equal(tv.xyz(fine, d50_again, wavelengths=nm), tv.xyz(fine, d50, wavelengths=nm))
    copy = pickle.loads(pickle.dumps(factory))
    assert copy.names() == factory.names()
    assert all(np.array_equal(a.spectrum.samples, b.spectrum.samples) for a, b in zip(copy, factory))
    xyz = np.array([[41.2, 21.3, 1.9], [20.0, 30.0, 40.0]])
    white = tv.white_point(d50)
    for space, convert in [(tv.LabSpace(white), "to_lab"), (tv.CIECAM02(white, "dim"), "from_xyz"),
                           (tv.CIECAM97s(white=white, surround=2), "from_xyz"), (tv.ColorSpace(white, "CIECAM02"), "from_xyz"),
                           (tv.XYZRSpace(white), "to_xyzr")]:
        assert np.array_equal(getattr(pickle.loads(pickle.dumps(space)), convert)(xyz), getattr(space, convert)(xyz))
    spectrum = np.linspace(0.1, 0.8, 36)
    measurements = [tv.ReflectionSpectrum(spectrum, "Ill 0, Obs 45", [0.5, 0.25]), tv.EmissionSpectrum(spectrum * 100),
                    tv.XYZMeasurement([30, 40, 50], d50, "10 degree", coords=[1.0]),
                    tv.LabMeasurement([50, 10, -20], white, d50, 0, 2)]
    for m in measurements:
        m2 = pickle.loads(pickle.dumps(m))
        assert type(m2) is type(m) and m2.geometry == m.geometry and np.array_equal(m2.coords, m.coords)
        if hasattr(m, "illuminant"):  # its own conditions, which travel with it
            assert (m2.illuminant.name, m2.observer) == ("CIE Illuminant D50", m.observer)
            assert np.array_equal(m2.xyz(m2.illuminant, m.observer), m.xyz(d50, m.observer))
        else:
            assert np.array_equal(m2.xyz(d50), m.xyz(d50))
    assert np.array_equal(pickle.loads(pickle.dumps(tv.Spectrum(spectrum))).samples, spectrum)
    points = tv.Spectrum([400.0, 500.0, 600.0], [0.1, 0.5, 1 / 3])
    points[0] = 0.25  # a grid sample set afterwards stays as set
    again = pickle.loads(pickle.dumps(points))
    assert again.point_count == 3 and np.array_equal(again.samples, points.samples)


@needs_tool
def test_batch_verdict_under_a_tolerance_set(tmp_path):
    strips = [ROOT / "tools" / "tests" / "data" / f"control_strip_{k}.txt" for k in ("reference", "sample")]
    tight = tmp_path / "tight.json"
    tight.write_text(json.dumps({"name": "tight", "formula": "Delta E 2000",
                                 "groups": [{"name": "all", "select": "all", "metric": "dE", "max": {"fail": 3}}]}))
    many = run("compare", strips[0], strips[1], strips[0], "--tolerances", tight, "--format", "json")
    files = json.loads(many.stdout)["files"]
    assert many.returncode == 1 and [f["verdict"] for f in files] == ["fail", "pass"]
    assert run("compare", *strips, "--tolerances", tight).returncode == 1
    assert json.loads(many.stdout)["summary"]["failed"] == 1
    one = tv.compare(*strips, tolerances=tight)
    assert one["tolerances"]["verdict"] == "fail" and one["summary"] == files[0]["summary"]


@needs_tool
def test_condition_mismatches_reach_every_batch_output_and_python(tmp_path):
    rows = [("a", 50, 0, 0), ("b", 60, 1, -1)]
    files = []
    for condition in ("M0", "M2", "M0"):
        path = lab_chart(tmp_path / f"{condition}_{len(files)}.txt", rows)
        path.write_text(path.read_text().replace("CGATS.17\n", f'CGATS.17\nMEASUREMENT_CONDITION\t"{condition}"\n'))
        files.append(path)
    many = run("compare", *files, "--format", "json")
    entries = json.loads(many.stdout)["files"]
    assert many.returncode == 0 and [len(f["warnings"]) for f in entries] == [1, 0]
    assert "MEASUREMENT_CONDITION" in entries[0]["warnings"][0] and many.stderr.count("warning") == 1
    csv = run("compare", *files, "--format", "csv").stdout.splitlines()
    assert "MEASUREMENT_CONDITION" in csv[1] and csv[2].endswith(",")
    strict = run("compare", *files, "--strict-conditions", "--format", "json")
    assert strict.returncode == 2 and [f["verdict"] for f in json.loads(strict.stdout)["files"]] == ["error", "none"]
    with pytest.warns(UserWarning, match="MEASUREMENT_CONDITION"):
        result = tv.compare(files[0], files[1])
    assert len(result["warnings"]) == 1 and "warnings" not in result["summary"]
