# Measurement objects and the matching-spectrum search: argument passing, None as "any", copies,
# lifetimes and errors; the colorimetry itself is tested elsewhere.
import gc

import numpy as np
import pytest
from conftest import refuses

import tintvale as tv


@pytest.fixture(scope="module")
def reflectances():
    rng = np.random.default_rng(21)
    x = (tv.WAVELENGTHS - 380.0) / 350.0
    return 0.45 + 0.35 * np.sin(2 * np.pi * rng.uniform(0.3, 1.5, (6, 1)) * x + rng.uniform(0, 6, (6, 1)))


def test_reflection_measurement(d50, reflectances):
    white = tv.white_point(d50)
    m = tv.ReflectionSpectrum(reflectances[0], geometry="Ill 45, Obs 0", coords=[0.25, 1.0])
    assert isinstance(m, tv.Measurement) and m.geometry == "Ill 45, Obs 0" and list(m.coords) == [0.25, 1.0]
    np.testing.assert_allclose(m.lab(d50, "2 degree", white), tv.xyz_to_lab(tv.xyz(reflectances[0], d50), white), rtol=1e-12)
    paper = tv.ReflectionSpectrum(np.full(36, 0.9))
    d, k = m.density("ISO Status T", reference=paper)
    assert (d.tolist(), k) == tuple(v.tolist() for v in tv.densities(reflectances[0], 6, reference=np.full(36, 0.9)))
    m.set_coords([])
    copy = m.copy()
    assert type(copy) is tv.ReflectionSpectrum and copy.coords.shape == (0,)
    np.testing.assert_array_equal(copy.spectrum.samples, reflectances[0])
    solid = tv.ReflectionSpectrum(np.linspace(0.05, 0.8, 36))
    assert (paper.sctv(d50, 0, paper, solid), solid.sctv(d50, 0, paper, solid)) == pytest.approx((0.0, 1.0), abs=1e-12)
    refuses(tv.TintvaleError, m.xyz, 3)  # no illuminant
    refuses(ValueError, lambda: tv.ReflectionSpectrum(reflectances[0], geometry="Ill 45, Obs 1"))


def test_xyz_lab_and_emission_measurements(factory, d50):
    white = tv.white_point(d50)
    xyz = np.array([41.2, 35.0, 20.5])
    m = tv.XYZMeasurement(xyz, d50, "2 degree", geometry=0)
    assert m.xyz(d50, 0).tolist() == m.xyz(None, None).tolist() == xyz.tolist()  # None matches any
    for illuminant, observer in ((factory["CIE Illuminant D65"], 0), (d50, "10 degree")):
        refuses(tv.TintvaleError, lambda: m.xyz(illuminant, observer), -1)
    assert m.spectrum is None and m.to_spectral() is None
    lab = tv.xyz_to_lab(xyz, white)
    lm = tv.LabMeasurement(lab, white, d50)
    np.testing.assert_allclose(lm.xyz(d50), xyz, rtol=1e-9)
    d65_white = tv.white_point(factory["CIE Illuminant D65"])
    np.testing.assert_allclose(lm.lab(d50, 0, d65_white), tv.xyz_to_lab(xyz, d65_white), rtol=1e-9)
    # Emission is summed absolutely: the chromaticity is the stimulus's, doubling the power doubles XYZ.
    power, cmf = np.linspace(1.0, 2.0, 36), tv.observer_functions(1)
    emitted = tv.EmissionSpectrum(power).xyz(None, "10 degree")
    np.testing.assert_allclose(emitted / emitted.sum(), power @ cmf / (power @ cmf).sum(), rtol=1e-12)
    np.testing.assert_allclose(tv.EmissionSpectrum(2 * power).xyz(None, 1), 2 * emitted, rtol=1e-12)


def test_lab_measurement_to_spectral_keeps_its_illuminant_alive(root):
    f = tv.IlluminantFactory(root / "data" / "illuminants")
    ill = f["D65"]
    white = tv.white_point(ill)
    m = tv.LabMeasurement([60.0, 20.0, -10.0], white, ill, coords=[0.5]).copy()
    del f, ill
    gc.collect()
    assert m.to_spectral() is None  # needs a spectral template
    spectral = m.to_spectral(tv.ReflectionSpectrum(np.full(36, 0.5), geometry=3))
    assert type(spectral) is tv.ReflectionSpectrum and spectral.geometry == tv.GEOMETRIES[3]
    np.testing.assert_array_equal(spectral.coords, [0.5])
    # The search ran under the measurement's own illuminant.
    d65 = tv.IlluminantFactory(root / "data" / "illuminants")["D65"]
    assert tv.delta_e(tv.xyz_to_lab(spectral.xyz(d65), white), [60.0, 20.0, -10.0]) < 0.5


def test_matching_spectrum(d50, reflectances):
    io = tv.IlluminantAndObserver(d50)
    targets = io.xyz(reflectances[:3])
    spectra, de = io.matching_spectrum(targets, np.full(36, 0.5))
    assert spectra.shape == (3, 36) and de.shape == (3,) and np.all(de < 0.5)
    assert np.all((spectra >= 1e-5) & (spectra <= 0.99999))
    # The returned difference is the CIE 1976 one of the returned spectra.
    np.testing.assert_allclose(de, np.linalg.norm(
        tv.xyz_to_lab(io.xyz(spectra), io.white) - tv.xyz_to_lab(targets, io.white), axis=1), atol=1e-9)
    one, de_one = tv.matching_spectrum(targets[1], d50, 0, np.full(36, 0.5))
    assert one.tolist() == spectra[1].tolist() and de_one == de[1]
    same, de_same = io.matching_spectrum(targets[0], reflectances[0])
    assert same.tolist() == reflectances[0].tolist() and de_same == 0.0
    low, up = np.full(36, 1e-5), np.full(36, 0.99999)
    low[10] = up[10] = 0.3
    assert io.matching_spectrum(targets[0], np.full(36, 0.5), upper=up, lower=low)[0][10] == 0.3
    by_xyz, de_xyz = io.matching_spectrum(targets[:2], np.tile(np.full(36, 0.5), (2, 1)), method="xyz")
    assert by_xyz.shape == (2, 36) and np.all(de_xyz < 1.0)  # still reported in CIE 1976 units
    refuses(ValueError, lambda: io.matching_spectrum(targets[0], np.full(36, 0.5), method="rgb"))
    refuses(tv.TintvaleError, lambda: io.matching_spectrum([np.nan, 1.0, 1.0], np.full(36, 0.5)), -1)
