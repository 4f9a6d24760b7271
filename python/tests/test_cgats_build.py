# CGATS files built from arrays, copies, selections, ink maps, averages and the measurement bridge.
import numpy as np
import pytest

import tintvale as tv


@pytest.fixture(scope="module")
def d50(factory):
    return factory["CIE Illuminant D50"]


@pytest.fixture(scope="module")
def chart(d50):
    rng = np.random.default_rng(4)
    channels = rng.uniform(0, 100, (6, 4)).round(2)
    channels[0] = 0.0
    channels[1] = [100, 0, 0, 0]
    spectra = rng.uniform(0.05, 0.95, (6, 36)).round(5)
    white = tv.white_point(d50)
    lab = tv.xyz_to_lab(tv.xyz(spectra, d50), white).round(5)
    return channels, spectra, lab


def test_from_arrays_reads_back(chart):
    channels, spectra, lab = chart
    names = [f"P{i}" for i in range(6)]
    c = tv.Cgats.from_arrays(channels, lab=lab, spectra=spectra, wavelengths=tv.WAVELENGTHS, names=names, row_length=3)
    info = c.contents()
    assert info["samples"] == 6 and info["color_model"] == "CMYK" and info["wavelengths"] == 36
    np.testing.assert_allclose(c.channels(), channels, atol=1e-5)
    np.testing.assert_allclose(c.lab(), lab, atol=1e-5)
    np.testing.assert_allclose(c.spectra(), spectra, atol=1e-5)
    assert c.sample_names() == names
    assert c.layout.row_length == 3
    again = tv.Cgats.from_text(c.to_text())
    assert again == c and again.same_measurements(c) and again.same_samples(c)


def test_from_arrays_scaling_and_errors(chart):
    channels, spectra, lab = chart
    scaled = tv.Cgats.from_arrays(channels * 2.55, full=255.0)
    np.testing.assert_allclose(scaled.channels(), channels, atol=1e-5)
    only_lab = tv.Cgats.from_arrays(lab=lab)
    np.testing.assert_allclose(only_lab.lab(), lab, atol=1e-5)
    assert only_lab.sample_names() == [str(i + 1) for i in range(6)]
    with pytest.raises(ValueError):
        tv.Cgats.from_arrays(channels, lab=lab[:5])
    with pytest.raises(ValueError):
        tv.Cgats.from_arrays(lab=lab, spectra=spectra)  # no wavelengths
    with pytest.raises(tv.TintvaleError) as unsupported:
        tv.Cgats.from_arrays(channels[:, :2])
    assert unsupported.value.code == 18


def test_copies_selections_and_averages(chart):
    channels, spectra, lab = chart
    c = tv.Cgats.from_arrays(channels, lab=lab)
    copy = c.copy()
    assert copy == c and copy is not c
    picked = c.select([4, 1])
    np.testing.assert_allclose(picked.lab(), lab[[4, 1]], atol=1e-5)
    with pytest.raises(IndexError):
        c.select([6])
    brighter = tv.Cgats.from_arrays(channels, lab=lab + [2.0, 0.0, 0.0])
    mean = tv.Cgats.average([c, brighter])
    np.testing.assert_allclose(mean.lab(), lab + [1.0, 0.0, 0.0], atol=1e-5)
    assert not brighter.same_measurements(c)
    cmy = c.map_inks([0, 1, 2, -1], fill=0.0)
    np.testing.assert_allclose(cmy.channels()[:, :3], channels[:, :3], atol=1e-5)
    np.testing.assert_array_equal(cmy.channels()[:, 3], 0.0)


def test_measurement_bridge(chart, d50):
    channels, spectra, lab = chart
    white = tv.white_point(d50)
    c = tv.Cgats.from_arrays(channels, spectra=spectra, wavelengths=tv.WAVELENGTHS)
    m = c.measurement(1, d50)
    assert type(m) is tv.ReflectionSpectrum
    np.testing.assert_allclose(m.spectrum.samples, spectra[1], atol=1e-5)
    np.testing.assert_allclose(m.coords, 1.0 - channels[1] / 100.0, atol=1e-7)  # 1 - tint / 100
    labs = tv.Cgats.from_arrays(channels, lab=lab)
    lm = labs.measurement(2, d50)
    assert type(lm) is tv.LabMeasurement
    np.testing.assert_allclose(lm.lab(d50, 0, white), lab[2], atol=1e-5)
    # Back into another row: the spectrum and the channels of sample 1 now stand in row 3.
    c.set_measurement(3, m, d50)
    np.testing.assert_allclose(c.spectra()[3], spectra[1], atol=1e-5)
    np.testing.assert_allclose(c.channels()[3], channels[1], atol=1e-4)
    with pytest.raises(tv.TintvaleError):
        c.measurement(6, d50)


def test_added_columns(chart):
    channels, spectra, lab = chart
    c = tv.Cgats.from_arrays(channels)
    c.add_lab(lab)
    np.testing.assert_allclose(c.lab(), lab, atol=1e-12)
    # Files carry six significant digits.
    np.testing.assert_allclose(tv.Cgats.from_text(c.to_text()).lab(), lab, rtol=1e-5)
    c.add_ink_book_names([f"book {i}" for i in range(6)])
    assert tv.Cgats.from_text(c.to_text()).ink_book_names()[5] == "book 5"
    with pytest.raises(ValueError):
        c.add_lab(lab[:5])
