# Spectrum construction, resampling, the file records and densities over arrays.
import math

import numpy as np
import pytest
from conftest import refuses

import tintvale as tv


def test_spectra_grids_and_products():
    np.testing.assert_array_equal(tv.WAVELENGTHS, np.arange(380.0, 731.0, 10.0))
    s = tv.Spectrum(np.arange(36.0))
    s[0] = 0.25
    assert s.is_uniform and len(s) == 36 and s[-1] == 35.0 and np.asarray(s)[:2].tolist() == [0.25, 1.0]
    # Points are interpolated linearly, held flat outside, in either order.
    ramp = tv.Spectrum([700.0, 400.0], [0.8, 0.2])
    assert not ramp.is_uniform and ramp.point_count == 2
    np.testing.assert_allclose(ramp.samples, np.interp(tv.WAVELENGTHS, [400.0, 700.0], [0.2, 0.8]), atol=1e-12)
    wl, rows = np.array([400.0, 450.0, 520.0, 700.0]), np.random.default_rng(8).uniform(0.0, 1.0, (2, 3, 4))
    grid = tv.to_grid(wl, rows)
    assert grid.shape == (2, 3, 36)
    np.testing.assert_allclose(grid[1, 2], np.interp(tv.WAVELENGTHS, wl, rows[1, 2]), atol=1e-12)
    np.testing.assert_allclose(tv.Spectrum(np.arange(36.0)).resample(400.0, 700.0, 31), np.arange(2.0, 33.0), atol=1e-9)
    assert s.distance(tv.Spectrum(np.arange(36.0))) == pytest.approx(0.25) and (s * s).samples[3] == 9.0
    assert s.inner_product(tv.Spectrum(np.ones(36))) == pytest.approx(sum(range(1, 36)) + 0.25)


@pytest.mark.parametrize("make, error, code", [
    (lambda: tv.Spectrum(np.zeros(35)), ValueError, None),
    (lambda: tv.Spectrum([400.0, 500.0], [0.1]), ValueError, None),
    (lambda: tv.Spectrum(np.arange(1025.0), np.zeros(1025)), ValueError, None),
    (lambda: tv.Spectrum(np.ones(36))[36], IndexError, None),
    (lambda: tv.Spectrum.from_text("1 500 +inf"), tv.TintvaleError, 4),
    (lambda: tv.Spectrum(np.ones(36)) * tv.Spectrum(), tv.TintvaleError, 3),
    (lambda: tv.to_grid([400.0, 500.0], np.ones((2, 3))), ValueError, None),
    (lambda: tv.densities(np.ones(36), "ISO Status Q"), ValueError, None),
    (lambda: tv.Spectrum.from_file_data(b"\x00\x00\x03"), ValueError, None),  # truncated
    (lambda: tv.Spectrum.from_file_data(b"\x07\x00" + b"\x00" * 80), tv.TintvaleError, None),  # unknown kind
    (lambda: tv.Spectrum.from_file_data(tv.Spectrum(np.ones(36)).to_file_data(), 100), IndexError, None),
    (lambda: tv.Spectrum.from_short_file_data(b"\x00" * 73, tv.Spectrum(np.ones(36))), ValueError, None),
])
def test_bad_spectra_and_arguments(make, error, code):
    refuses(error, make, code)


def test_file_records():
    # The record layout is checked in C++; here bytes in and out, offsets and the errors.
    s = tv.Spectrum([400.0, 512.7, 600.0], [0.0, 1.0, 0.5])
    both = tv.Spectrum(np.full(36, 0.5)).to_file_data() + s.to_file_data()
    first, offset = tv.Spectrum.read_file_data(both)
    second, end = tv.Spectrum.read_file_data(both, offset)
    assert offset == 76 and first.is_uniform and end == len(both) and second.point_count == 3
    assert len(s.to_short_file_data(s)) == 8
    np.testing.assert_allclose(tv.Spectrum.from_short_file_data(s.to_short_file_data(s), s).samples, s.samples, atol=1e-4)
    refuses(tv.TintvaleError, lambda: s.to_short_file_data(tv.Spectrum([400.0, 513.0, 600.0], [0.0, 1.0, 0.5])), 5)


def test_densities():
    # Black has no density.
    d, k = tv.densities(np.stack([np.zeros(36), np.full(36, 0.01)]), 8)
    assert np.isnan(d[0]).all() and list(k) == [3, 3] and d[1, 3] == pytest.approx(2.0, abs=1e-3)
    spectra = np.random.default_rng(5).uniform(0.05, 1.0, (4, 3, 36))
    d, dominant = tv.densities(spectra, tv.DENSITY_STANDARDS.index("DIN NB"))
    assert d.shape == (4, 3, 4) and dominant.shape == (4, 3)
    # The narrow-band red filter passes 620 nm alone.
    np.testing.assert_allclose(d[..., 0], -np.log10(spectra[..., 24]), rtol=1e-12)
    assert tv.Spectrum(spectra[2, 1]).density("DIN NB")[1] == dominant[2, 1]
    # Relative to paper: the paper's density is subtracted, never below 0.
    relative, _ = tv.densities(spectra, "ISO Status T", reference=np.full(36, 0.9))
    np.testing.assert_allclose(relative, np.maximum(tv.densities(spectra, 6)[0] + math.log10(0.9), 0.0), atol=1e-3)
    # A black, NaN or unset paper has no density: nothing relative to it is either.
    for paper in (np.zeros(36), np.full(36, np.nan), np.concatenate([np.full(18, 0.9), np.zeros(18)])):
        relative, _ = tv.densities(spectra[0], "ISO Status T", reference=paper)
        assert np.isnan(relative).any(axis=-1).all(), relative
