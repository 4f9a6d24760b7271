# Files written in ArgyllCMS's conventions, read by ArgyllCMS's own tools (where they are installed).
import shutil
import subprocess

import numpy as np
import pytest

import tintvale as tv

from conftest import ROOT, needs_tool, refuses, run

needs_argyll = pytest.mark.skipif(
    not (shutil.which("spec2cie") and shutil.which("colverify")), reason="ArgyllCMS is not installed"
)


def spec2cie(source, target):  # ArgyllCMS's colorimetry of a spectral file (D50, 1931 2 degree)
    done = subprocess.run(["spec2cie", str(source), str(target)], capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    return tv.Cgats(target)


def converted_as_argyll_reads_them(charts, tmp_path):
    # Each chart converted to ArgyllCMS's format; spec2cie's Lab of it against the `lab` command's.
    converted = []
    for chart in charts:
        argyll = tmp_path / (chart.stem + ".ti3")
        assert run("convert", chart, "--to", "argyll", "-o", argyll).returncode == 0
        assert run("lab", chart, "-o", tmp_path / (chart.stem + "_lab.txt")).returncode == 0
        theirs = spec2cie(argyll, tmp_path / (chart.stem + "_cie.ti3"))
        ours = tv.Cgats(tmp_path / (chart.stem + "_lab.txt"))
        assert theirs.sample_names() == ours.sample_names()
        # spec2cie writes six significant digits; the two integrations agree far closer than 0.05.
        assert tv.delta_e(ours.lab(), theirs.lab(), "Delta E 2000").max() < 0.05
        converted.append(argyll)
    return converted


@needs_tool
@needs_argyll
def test_converted_sample_charts_are_read_by_argyll_with_the_same_lab(charts, tmp_path):
    converted = converted_as_argyll_reads_them(charts, tmp_path)
    # colverify pairs the two charts by SAMPLE_ID and compares them from the spectra.
    done = subprocess.run(["colverify", *map(str, converted)], capture_output=True, text=True)
    assert done.returncode == 0 and "Total errors" in done.stdout, done.stderr


@needs_argyll
def test_arrays_saved_in_argyll_convention_read_in_argyll(tmp_path):
    wavelengths = np.arange(380.0, 740.0, 10.0)
    spectra = np.array([np.full(36, 0.9), np.linspace(0.05, 0.8, 36)])
    chart = tv.Cgats.from_arrays(spectra=spectra, wavelengths=wavelengths, names=["white", "ramp"])
    chart.save(tmp_path / "arrays.ti3", convention="argyll")
    text = (tmp_path / "arrays.ti3").read_text()
    assert text.startswith("CTI3\n") and "\nSAMPLE_ID\tSPEC_380\t" in text and "SampleID" not in text
    assert "\nwhite\t90.0\t90.0\t" in text  # percent, shifted in decimal, typed real
    theirs = spec2cie(tmp_path / "arrays.ti3", tmp_path / "arrays_cie.ti3")
    # A flat 0.9 is L* = 116 * 0.9^(1/3) - 16 = 95.9967 (CIE 15:2004, 8.2.1); ArgyllCMS takes Lab
    # relative to the ICC D50 white, hence a* and b* within a few hundredths of 0.
    assert theirs.lab()[0] == pytest.approx([95.9967, 0.0, 0.0], abs=0.05)


def test_conventions_by_name(charts):
    chart = tv.Cgats(charts[0])
    assert "\nSAMPLE_ID\tSPECTRAL_NM_380\t" in chart.to_text(convention="cgats")
    assert chart.to_text() == charts[0].read_text()
    refuses(ValueError, lambda: chart.to_text(convention="lcms"))


@needs_tool
@needs_argyll
def test_converted_cmyk_charts_are_read_by_spec2cie_and_average(tmp_path):
    strips = [ROOT / "tools" / "tests" / "data" / f"control_strip_{kind}.txt" for kind in ("reference", "sample")]
    converted = converted_as_argyll_reads_them(strips, tmp_path)
    assert all('\nCOLOR_REP\t"CMYK_XYZ"\n' in argyll.read_text() for argyll in converted)
    # ArgyllCMS's average pairs the two by SAMPLE_ID and device values and takes the mean of the spectra.
    merged = tmp_path / "average.ti3"
    done = subprocess.run(["average", *map(str, converted), str(merged)], capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    ours = tmp_path / "average_ours.txt"
    assert run("average", *strips, "-o", ours).returncode == 0
    np.testing.assert_allclose(tv.Cgats(merged).spectra(), tv.Cgats(ours).spectra(), atol=1e-5)
