# CGATS files built from arrays, copies, selections, ink maps, averages and the measurement bridge.
import numpy as np
import pytest
from conftest import refuses

import tintvale as tv


@pytest.fixture(scope="module")
def chart():
    rng = np.random.default_rng(4)
    channels = rng.uniform(0, 100, (6, 4)).round(2)
    channels[0], channels[1] = 0.0, [100, 0, 0, 0]
    lab = np.column_stack([rng.uniform(20, 90, 6), rng.uniform(-60, 60, (6, 2))]).round(5)
    return channels, rng.uniform(0.05, 0.95, (6, 36)).round(5), lab


def test_from_arrays_copies_selections_averages_and_ink_maps(chart):
    channels, spectra, lab = chart
    names = [f"P{i}" for i in range(6)]
    c = tv.Cgats.from_arrays(channels, lab=lab, spectra=spectra, wavelengths=tv.WAVELENGTHS, names=names, row_length=3)
    assert c.contents()["color_model"] == "CMYK" and c.sample_names() == names and c.layout.row_length == 3
    np.testing.assert_allclose(np.hstack([c.channels(), c.lab(), c.spectra()]), np.hstack([channels, lab, spectra]), atol=1e-5)
    again = tv.Cgats.from_text(c.to_text())
    assert again == c and again.same_measurements(c) and again.same_samples(c) and c.copy() == c
    np.testing.assert_allclose(tv.Cgats.from_arrays(channels * 2.55, full=255.0).channels(), channels, atol=1e-5)
    c = tv.Cgats.from_arrays(channels)  # samples named 1 to 6
    assert c.sample_names() == [str(i + 1) for i in range(6)]
    c.add_lab(lab)
    np.testing.assert_allclose(c.select([4, 1]).lab(), lab[[4, 1]], atol=1e-5)
    brighter = tv.Cgats.from_arrays(channels, lab=lab + [2.0, 0.0, 0.0])
    assert not brighter.same_measurements(c)
    np.testing.assert_allclose(tv.Cgats.average([c, brighter]).lab(), lab + [1.0, 0.0, 0.0], atol=1e-5)
    c.add_ink_book_names([f"book {i}" for i in range(6)])
    assert tv.Cgats.from_text(c.to_text()).ink_book_names()[5] == "book 5"
    cmy = c.map_inks([0, 1, 2, -1], fill=0.0).channels()
    np.testing.assert_allclose(cmy, np.column_stack([channels[:, :3], np.zeros(6)]), atol=1e-5)
    # A text a written file could not give back (no escapes exist) is refused, as header values are.
    for build in (lambda: tv.Cgats.from_arrays(channels, names=['x y"z'] + names[1:]),
                  lambda: tv.Cgats.from_arrays(channels, names=["a\nb"] + names[1:]),
                  lambda: tv.Cgats.from_arrays(channels, descriptions=["cyan\r"]),
                  lambda: c.add_ink_book_names(["x\ny"] * 6),
                  lambda: c.add_custom_tag("NOTE", 'say "hi"')):
        assert "line end, NUL or double quote" in refuses(tv.TintvaleError, build, 29).message
    assert "keyword" in refuses(tv.TintvaleError, lambda: c.add_custom_tag("TWO WORDS", "v"), 1).message
    for build, error in ((lambda: tv.Cgats.from_arrays(channels, lab=lab[:5]), ValueError),
                         (lambda: tv.Cgats.from_arrays(lab=lab, spectra=spectra), ValueError),  # no wavelengths
                         (lambda: tv.Cgats.from_arrays(channels[:, :2]), tv.TintvaleError),  # two channels: no model
                         (lambda: c.select([6]), IndexError)):
        refuses(error, build)


def test_measurement_bridge(chart, d50):
    channels, spectra, lab = chart
    c = tv.Cgats.from_arrays(channels, spectra=spectra, wavelengths=tv.WAVELENGTHS)
    m = c.measurement(1, d50)
    assert type(m) is tv.ReflectionSpectrum
    np.testing.assert_allclose(m.spectrum.samples, spectra[1], atol=1e-5)
    np.testing.assert_allclose(m.coords, 1.0 - channels[1] / 100.0, atol=1e-7)  # 1 - tint / 100
    lm = tv.Cgats.from_arrays(channels, lab=lab).measurement(2, d50)
    assert type(lm) is tv.LabMeasurement
    np.testing.assert_allclose(lm.lab(d50, 0, tv.white_point(d50)), lab[2], atol=1e-5)
    # Back into another row: the spectrum and the channels of sample 1 now stand in row 3.
    c.set_measurement(3, m, d50)
    np.testing.assert_allclose(c.spectra()[3], spectra[1], atol=1e-5)
    np.testing.assert_allclose(c.channels()[3], channels[1], atol=1e-4)
    refuses(tv.TintvaleError, lambda: c.measurement(6, d50))
