# Measurement objects and the matching-spectrum search.
import gc

import numpy as np
import pytest

import tintvale as tv


@pytest.fixture(scope="module")
def d50(factory):
    return factory["CIE Illuminant D50"]


@pytest.fixture(scope="module")
def reflectances():
    rng = np.random.default_rng(21)
    x = (tv.WAVELENGTHS - 380.0) / 350.0
    return 0.45 + 0.35 * np.sin(2 * np.pi * rng.uniform(0.3, 1.5, (6, 1)) * x + rng.uniform(0, 6, (6, 1)))


def test_reflection_measurement(d50, reflectances):
    white = tv.white_point(d50)
    m = tv.ReflectionSpectrum(reflectances[0], geometry="Ill 45, Obs 0", coords=[0.25, 1.0])
    assert isinstance(m, tv.Measurement) and m.geometry == "Ill 45, Obs 0"
    np.testing.assert_array_equal(m.coords, [0.25, 1.0])
    np.testing.assert_allclose(m.xyz(d50), tv.xyz(reflectances[0], d50), rtol=1e-12)
    np.testing.assert_allclose(m.lab(d50, "2 degree", white), tv.xyz_to_lab(tv.xyz(reflectances[0], d50), white), rtol=1e-12)
    np.testing.assert_array_equal(m.spectrum.samples, reflectances[0])
    d, k = m.density("ISO Status T")
    d2, k2 = tv.Spectrum(reflectances[0]).density("ISO Status T")
    np.testing.assert_array_equal(d, d2)
    assert k == k2
    m.set_coords([])
    assert m.coords.shape == (0,)
    copy = m.copy()
    assert type(copy) is tv.ReflectionSpectrum
    np.testing.assert_array_equal(copy.spectrum.samples, reflectances[0])
    with pytest.raises(tv.TintvaleError) as missing:
        m.xyz()  # no illuminant
    assert missing.value.code == 3
    with pytest.raises(ValueError):
        tv.ReflectionSpectrum(reflectances[0], geometry="Ill 45, Obs 1")


def test_relative_densities(reflectances):
    paper = np.full(36, 0.9)
    d, k = tv.densities(reflectances, "ISO Status T", reference=paper)
    plain, _ = tv.densities(reflectances, "ISO Status T")
    ref, _ = tv.densities(paper, "ISO Status T")
    np.testing.assert_allclose(d, np.maximum(plain - ref, 0.0), atol=1e-12)
    darker_paper = tv.densities(reflectances[:2], 6, reference=np.full((2, 36), 0.01))[0]
    np.testing.assert_array_equal(darker_paper, 0.0)  # clamped, never negative
    m = tv.ReflectionSpectrum(reflectances[1])
    md, mk = m.density("ISO Status T", reference=tv.ReflectionSpectrum(paper))
    np.testing.assert_allclose(md, d[1], atol=1e-12)
    assert mk == k[1]


def test_black_spectra_have_undefined_densities():
    d, k = tv.densities(np.stack([np.zeros(36), np.full(36, 0.1)]), "ANSI A")
    assert np.isnan(d[0]).all() and k[0] == 3
    np.testing.assert_allclose(d[1], 1.0, atol=1e-3)
    assert np.isnan(tv.Spectrum(np.zeros(36)).density("ANSI A")[0]).all()


def test_xyz_and_lab_measurements(factory, d50):
    white = tv.white_point(d50)
    xyz = np.array([41.2, 35.0, 20.5])
    m = tv.XYZMeasurement(xyz, d50, "2 degree", geometry=0)
    np.testing.assert_array_equal(m.xyz(d50, 0), xyz)
    np.testing.assert_array_equal(m.xyz(None, None), xyz)  # None matches any
    with pytest.raises(tv.TintvaleError) as other:
        m.xyz(factory["CIE Illuminant D65"], 0)
    assert other.value.code == -1
    with pytest.raises(tv.TintvaleError):
        m.xyz(d50, "10 degree")
    assert m.spectrum is None and m.to_spectral() is None

    lab = tv.xyz_to_lab(xyz, white)
    lm = tv.LabMeasurement(lab, white, d50)
    np.testing.assert_allclose(lm.xyz(d50), xyz, rtol=1e-9)
    np.testing.assert_array_equal(lm.lab(d50, 0, white), lab)
    np.testing.assert_array_equal(lm.white, white)
    d65_white = tv.white_point(factory["CIE Illuminant D65"])
    np.testing.assert_allclose(lm.lab(d50, 0, d65_white), tv.xyz_to_lab(xyz, d65_white), rtol=1e-9)


def test_lab_measurement_to_spectral(d50, reflectances):
    white = tv.white_point(d50)
    lab = tv.xyz_to_lab(tv.xyz(reflectances[2], d50), white)
    lm = tv.LabMeasurement(lab, white, d50, coords=[0.5])
    assert lm.to_spectral() is None  # needs a spectral template
    spectral = lm.to_spectral(tv.ReflectionSpectrum(np.full(36, 0.5), geometry=3))
    assert type(spectral) is tv.ReflectionSpectrum and spectral.geometry == tv.GEOMETRIES[3]
    np.testing.assert_array_equal(spectral.coords, [0.5])
    assert tv.delta_e(spectral.lab(d50, 0, white), lab) < 0.5


def test_sctv_of_measurements(d50):
    paper = tv.ReflectionSpectrum(np.full(36, 0.9))
    solid = tv.ReflectionSpectrum(np.linspace(0.05, 0.8, 36))
    assert paper.sctv(d50, 0, paper, solid) == pytest.approx(0.0, abs=1e-12)
    assert solid.sctv(d50, 0, paper, solid) == pytest.approx(1.0)
    tint = tv.ReflectionSpectrum(np.linspace(0.4, 0.85, 36))
    assert 0.0 < tint.sctv(d50, 0, paper, solid) < 1.0


def test_emission_measurement():
    # Absolute summation: 6.83 times the sums of the four-decimal CIE 1931 table over the grid
    # (10.6823, 10.6852, 10.6770, summed independently; the C++ tests hold the same values).
    np.testing.assert_allclose(tv.EmissionSpectrum(np.ones(36)).xyz(None, "2 degree"), 6.83 * np.array([10.6823, 10.6852, 10.6770]), rtol=1e-9)
    power = np.linspace(1.0, 2.0, 36)
    np.testing.assert_allclose(tv.EmissionSpectrum(2 * power).xyz(None, 1), 2 * tv.EmissionSpectrum(power).xyz(None, 1), rtol=1e-12)


def test_measurements_keep_their_illuminant_alive(root):
    f = tv.IlluminantFactory(root / "data" / "illuminants")
    ill = f["D65"]
    white = tv.white_point(ill)
    m = tv.LabMeasurement([60.0, 20.0, -10.0], white, ill).copy()
    del f, ill
    gc.collect()
    # The search runs under the measurement's own illuminant.
    spectral = m.to_spectral(tv.ReflectionSpectrum(np.full(36, 0.5)))
    assert tv.delta_e(tv.xyz_to_lab(spectral.xyz(tv.IlluminantFactory(root / "data" / "illuminants")["D65"]), white), [60.0, 20.0, -10.0]) < 0.5


def test_matching_spectrum_finds_the_colour(d50, reflectances):
    io = tv.IlluminantAndObserver(d50)
    white = io.white
    targets = io.xyz(reflectances[:3])
    spectra, de = io.matching_spectrum(targets, np.full(36, 0.5))
    assert spectra.shape == (3, 36) and de.shape == (3,)
    assert np.all(de < 0.5)
    # The returned difference is the CIE 1976 one of the returned spectra, recomputed here.
    np.testing.assert_allclose(de, tv.delta_e(tv.xyz_to_lab(io.xyz(spectra), white), tv.xyz_to_lab(targets, white)), atol=1e-9)
    assert np.all((spectra >= 1e-5) & (spectra <= 0.99999))
    # Each target alone gives the same result as the batch.
    one, de_one = tv.matching_spectrum(targets[1], d50, 0, np.full(36, 0.5))
    np.testing.assert_array_equal(one, spectra[1])
    assert de_one == de[1]


def test_matching_spectrum_options(d50, reflectances):
    io = tv.IlluminantAndObserver(d50)
    target = io.xyz(reflectances[0])
    same, de = io.matching_spectrum(target, reflectances[0])
    np.testing.assert_array_equal(same, reflectances[0])
    assert de == 0.0
    bright, _ = io.matching_spectrum(io.white * 1.2, np.full(36, 0.5))
    assert bright.max() <= 0.99999
    pinned_low = np.full(36, 1e-5)
    pinned_up = np.full(36, 0.99999)
    pinned_low[10] = pinned_up[10] = 0.3
    result, _ = io.matching_spectrum(target, np.full(36, 0.5), upper=pinned_up, lower=pinned_low)
    assert result[10] == 0.3
    starts = np.tile(np.full(36, 0.5), (2, 1))
    by_xyz, de_xyz = io.matching_spectrum(io.xyz(reflectances[:2]), starts, method="xyz")
    assert by_xyz.shape == (2, 36) and np.all(de_xyz < 1.0)  # still reported in CIE 1976 units
    with pytest.raises(ValueError):
        io.matching_spectrum(target, np.full(36, 0.5), method="rgb")
    with pytest.raises(tv.TintvaleError) as bad:
        io.matching_spectrum([np.nan, 1.0, 1.0], np.full(36, 0.5))
    assert bad.value.code == -1
