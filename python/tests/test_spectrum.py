# Spectrum construction, resampling, the file encodings and densities.
import math

import numpy as np
import pytest

import tintvale as tv


def test_uniform_and_empty():
    values = np.linspace(0.0, 1.0, 36)
    s = tv.Spectrum(values)
    assert s.is_uniform and s.point_count == 0
    np.testing.assert_array_equal(s.samples, values)
    np.testing.assert_array_equal(np.asarray(s), values)
    assert len(s) == 36 and s[-1] == 1.0
    s[0] = 0.25
    assert s.samples[0] == 0.25
    with pytest.raises(IndexError):
        s[36]
    np.testing.assert_array_equal(tv.Spectrum().samples, np.full(36, -1.0))
    with pytest.raises(ValueError):
        tv.Spectrum(np.zeros(35))


def test_non_uniform_resampling_is_linear_and_flat_outside():
    s = tv.Spectrum([400.0, 700.0], [0.2, 0.8])
    assert not s.is_uniform and s.point_count == 2
    expected = np.interp(tv.WAVELENGTHS, [400.0, 700.0], [0.2, 0.8])
    np.testing.assert_allclose(s.samples, expected, rtol=0, atol=1e-12)
    assert s.samples[0] == s.samples[1] == 0.2
    assert np.all(s.samples[-3:] == 0.8)
    descending = tv.Spectrum([700.0, 400.0], [0.8, 0.2])
    np.testing.assert_array_equal(descending.samples, s.samples)


def test_construction_failures_carry_the_library_code():
    with pytest.raises(tv.TintvaleError) as empty:
        tv.Spectrum(np.array([]), np.array([]))
    assert empty.value.code == 2
    with pytest.raises(tv.TintvaleError) as nan:
        tv.Spectrum([400.0, float("nan")], [0.1, 0.2])
    assert nan.value.code == 4
    with pytest.raises(tv.TintvaleError) as product:
        tv.Spectrum(np.ones(36)) * tv.Spectrum()
    assert product.value.code == 3
    with pytest.raises(ValueError):
        tv.Spectrum([400.0, 500.0], [0.1])
    with pytest.raises(ValueError):
        tv.Spectrum(np.arange(1025.0), np.zeros(1025))


def test_text_form():
    s = tv.Spectrum.from_text("3 points: 400, 500, 600 nm; values 0.1 0.5 0.9")
    assert s.point_count == 3
    np.testing.assert_allclose(s.samples[2:23:10], [0.1, 0.5, 0.9])


def test_long_and_short_records():
    s = tv.Spectrum([400.0, 512.7, 600.0], [0.0, 1.0, 0.5])
    data = s.to_file_data()
    assert len(data) == 18
    assert int.from_bytes(data[4:6], "little") == 400
    assert int.from_bytes(data[6:8], "little") == 512  # wavelengths are stored whole
    short = s.to_short_file_data(s)
    assert len(short) == 8
    # Exponent 1 (s = 2): 1.0 is stored as floor(65535 / 2) = 32767.
    assert int.from_bytes(short[0:2], "little", signed=True) == 1
    decoded = tv.Spectrum.from_short_file_data(short, s)
    wl = [400.0, 512.7, 600.0]  # the layout comes from the reference, unrounded
    np.testing.assert_allclose(
        decoded.samples, np.interp(tv.WAVELENGTHS, wl, [0.0, 32767 * 2 / 65535, 16383 * 2 / 65535]), atol=1e-12
    )

    uniform = tv.Spectrum(np.full(36, 0.5))
    both = uniform.to_file_data() + data
    first, offset = tv.Spectrum.read_file_data(both)
    assert offset == 76 and first.is_uniform
    second, end = tv.Spectrum.read_file_data(both, offset)
    assert end == len(both) and second.point_count == 3

    other = tv.Spectrum([400.0, 513.0, 600.0], [0.0, 1.0, 0.5])
    with pytest.raises(tv.TintvaleError) as layout:
        s.to_short_file_data(other)
    assert layout.value.code == 5


def test_truncated_records_are_refused():
    data = tv.Spectrum([400.0, 500.0, 600.0], [0.1, 0.2, 0.3]).to_file_data()
    for cut in (0, 1, 3, len(data) - 1):
        with pytest.raises(ValueError):
            tv.Spectrum.from_file_data(data[:cut])
    with pytest.raises(ValueError):
        tv.Spectrum.from_file_data(tv.Spectrum(np.ones(36)).to_file_data()[:75])
    with pytest.raises(IndexError):
        tv.Spectrum.from_file_data(data, 100)
    reference = tv.Spectrum(np.ones(36))
    with pytest.raises(ValueError):
        tv.Spectrum.from_short_file_data(b"\x00" * 73, reference)
    with pytest.raises(tv.TintvaleError) as flag:
        tv.Spectrum.from_file_data(b"\x07\x00" + b"\x00" * 80)
    assert flag.value.code == 3


def test_distance_resampling_and_products():
    ramp = tv.Spectrum(np.arange(36.0))
    np.testing.assert_allclose(ramp.resample(400.0, 700.0, 31), np.arange(2.0, 33.0), atol=1e-9)
    wide = ramp.resample(360.0, 780.0, 43)
    assert wide[0] == wide[1] == 0.0 and np.all(wide[-5:] == 35.0)
    assert ramp.resample(400.0, 700.0, 0).shape == (0,)
    raised = ramp.copy()
    raised[7] += 0.3
    assert ramp.distance(ramp) == 0.0
    assert ramp.distance(raised) == pytest.approx(0.3)
    halves = tv.Spectrum(np.full(36, 0.5))
    np.testing.assert_allclose((ramp * halves).samples, np.arange(36.0) / 2)
    assert ramp.inner_product(halves) == pytest.approx(sum(range(36)) / 2)


def test_densities_by_name_and_index_over_arrays():
    # The C++ tests check the filters against published values; here the standards reach them.
    for standard in tv.DENSITY_STANDARDS:
        d, dominant = tv.densities(np.full((2, 36), 0.1), standard)
        np.testing.assert_allclose(d, 1.0, atol=1e-3)
        assert list(dominant) == [3, 3]
    spectra = np.random.default_rng(5).uniform(0.05, 1.0, (4, 3, 36))
    d, dominant = tv.densities(spectra, tv.DENSITY_STANDARDS.index("DIN NB"))
    assert d.shape == (4, 3, 4) and dominant.shape == (4, 3)
    # The narrow-band red filter passes 620 nm alone.
    np.testing.assert_allclose(d[..., 0], -np.log10(spectra[..., 24]), rtol=1e-12)
    one, k = tv.Spectrum(spectra[2, 1]).density("DIN NB")
    np.testing.assert_array_equal(one, d[2, 1])
    assert k == dominant[2, 1]


def test_density_standard_arguments():
    with pytest.raises(ValueError):
        tv.densities(np.ones(36), 9)
    with pytest.raises(ValueError):
        tv.densities(np.ones(36), "ISO Status Q")
    d, k = tv.densities(np.full(36, 0.01), 8)
    assert d.shape == (4,) and k.shape == ()
    assert math.isclose(d[3], 2.0, abs_tol=1e-3)


def test_to_grid_resamples_rows():
    wl = np.array([400.0, 450.0, 520.0, 700.0])
    values = np.random.default_rng(8).uniform(0.0, 1.0, (2, 3, 4))
    grid = tv.to_grid(wl, values)
    assert grid.shape == (2, 3, 36)
    for i in range(2):
        for j in range(3):
            np.testing.assert_array_equal(grid[i, j], tv.Spectrum(wl, values[i, j]).samples)
            np.testing.assert_allclose(grid[i, j], np.interp(tv.WAVELENGTHS, wl, values[i, j]), atol=1e-12)
    with pytest.raises(ValueError):
        tv.to_grid(wl, np.ones((2, 5)))
    with pytest.raises(tv.TintvaleError) as nan:
        tv.to_grid(wl, [[0.1, np.nan, 0.2, 0.3]])
    assert nan.value.code == 4
