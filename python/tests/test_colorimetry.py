# Illuminants, the factory and tristimulus integration of spectrum arrays: names, shapes, lifetimes,
# and white points against published tables.
import gc

import numpy as np
import pytest
from conftest import refuses

import tintvale as tv


def test_shipped_factory_lookups_and_white_points(factory):
    names = factory.names()
    assert len(factory) == len(names) == 23 and [i.name for i in factory] == names
    assert factory["cie illuminant d65"].name == "CIE Illuminant D65" and "d50" in factory and "D93" not in factory
    assert factory.by_temperature(6504.0).name == "D65" and factory.by_temperature(5003.0).name == "D50"
    # CIE 15:2004 Table T.3: D65 at x = 0.31272, y = 0.32903, 6500 K; the 10 nm grid ending at 730 nm
    # moves it in the fourth decimal.
    np.testing.assert_allclose(factory["CIE Illuminant D65"].chromaticity, [0.31272, 0.32903], atol=3e-4)
    assert factory["D65"].temperature == pytest.approx(6500.0, abs=10.0)
    for name, observer, published, atol in (
            # CIE 15:2004 Table T.3 (5 nm, 380-780 nm); the shipped 10 nm grid ends at 730 nm.
            # (The ASTM E308 F2 weights: the C++ tests.)
            ("CIE Illuminant A", "10 degree", [111.14, 100.0, 35.20], 0.2), ("CIE Illuminant D65", 0, [95.04, 100.0, 108.88], 0.2)):
        ill = factory[name]
        for white in (tv.white_point(ill, observer), tv.xyz(np.ones(36), ill, observer),
                      tv.IlluminantAndObserver(ill, observer).white):
            np.testing.assert_allclose(white, published, atol=atol, err_msg=name)


def test_observer_functions_and_integration_shapes(d50):
    cmf2 = tv.observer_functions(0)
    # CIE 1931 at 600, 550 and 450 nm (CIE 15:2004 Table T.4): x, y and z at four decimals.
    np.testing.assert_allclose([cmf2[22, 0], cmf2[17, 1], cmf2[7, 2]], [1.0622, 0.9950, 1.7721])
    assert cmf2.shape == (36, 3) and not np.array_equal(tv.observer_functions("10 degree"), cmf2)
    for bad in (2, -1, "2 deg"):
        refuses(ValueError, lambda: tv.observer_functions(bad))
    io = tv.IlluminantAndObserver(d50, "2 degree")
    spectra = np.random.default_rng(2).uniform(0.0, 1.0, (3, 4, 36))
    xyz = io.xyz(spectra)
    assert xyz.shape == (3, 4, 3) and xyz[1, 2].tolist() == tv.xyz(spectra[1, 2], d50).tolist()
    # Integers and Fortran-ordered input are converted.
    np.testing.assert_allclose(io.xyz(np.full((2, 36), 2, dtype=int, order="F")), [2 * io.white] * 2)
    refuses(ValueError, lambda: io.xyz(np.ones((2, 35))))


def test_illuminants_and_measurements_outlive_their_factory(tmp_path):
    f = tv.IlluminantFactory()
    power = np.linspace(50.0, 150.0, 36)
    made = f.add(power, "Ramp")
    assert made.name == "Ramp" and f["ramp"] == made
    f.save(made, tmp_path / "ramp.ill")
    loaded = tv.IlluminantFactory(tmp_path)
    ill, copy = loaded["Ramp"], loaded.copy()
    io = tv.IlluminantAndObserver(ill)
    m = tv.LabMeasurement([60.0, 20.0, -10.0], io.white, ill, coords=[0.5]).copy()
    del loaded, ill
    gc.collect()
    assert copy.names() == ["Ramp"] and io.xyz(np.full(36, 0.5))[1] == pytest.approx(50.0)
    spectral = m.to_spectral(tv.ReflectionSpectrum(np.full(36, 0.5), geometry=3))
    assert type(spectral) is tv.ReflectionSpectrum and spectral.geometry == tv.GEOMETRIES[3] and list(spectral.coords) == [0.5]
    # The search ran under the measurement's own illuminant.
    assert tv.delta_e(tv.xyz_to_lab(io.xyz(spectral.spectrum.samples), io.white), [60.0, 20.0, -10.0]) < 0.5
    np.testing.assert_allclose(copy["Ramp"].spectrum.samples, power, rtol=1e-4)
    for call, error in ((lambda: f.save(made, tmp_path / "no such directory" / "ramp.ill"), tv.TintvaleError),
                        (lambda: copy.add_directory(tmp_path / "missing"), FileNotFoundError),
                        (lambda: f.add(np.zeros(36), "x" * 1025), tv.TintvaleError)):
        refuses(error, call)
    f.add(np.ones(36), "D50")
    with pytest.warns(UserWarning, match='was replaced by illuminant "D50"'):
        assert f["CIE Illuminant D50"].name == "D50"


def test_xyz_at_the_spectra_own_wavelengths(d50):
    # Reflectances of our own, 0.05 + 0.8 / (1 + exp(-(l - 600) / 12)) and 0.04 + 0.55 exp(-((l - 455) / 18)^2)
    # rounded to 4 decimals. Expected: Python over the CIE 5-nm illuminant tables and the CIE 1-nm functions at every
    # fifth nm, run once: R = np.interp(np.arange(380, 781, 5), wl, values); k = 100 / sum(S ybar);
    # XYZ = k [sum(S xbar R), sum(S ybar R), sum(S zbar R)].
    five, third = np.arange(380, 781, 5.0), 380 + np.arange(106) * 10 / 3
    red = np.round(0.05 + 0.8 / (1 + np.exp(-(five - 600) / 12)), 4)
    blue = np.round(0.04 + 0.55 * np.exp(-((third - 455) / 18) ** 2), 4)
    np.testing.assert_allclose(tv.xyz(red, d50, wavelengths=five), [35.6327, 20.8527, 4.1442], atol=1e-4)
    np.testing.assert_allclose(tv.xyz(np.stack([blue] * 2), "CIE Illuminant D65", "10 degree", wavelengths=third),
                               [[8.9929, 6.0426, 33.5719]] * 2, atol=1e-4)
    # A constant is that fraction of the white, the nearest measured value holding beyond 400-700 nm.
    np.testing.assert_allclose(tv.xyz([0.5, 0.5], "d50", wavelengths=[400, 700]) * 2,
                               tv.xyz(np.ones(81), "d50", wavelengths=five), rtol=1e-12)
    assert np.isnan(tv.xyz([0.5, np.nan], d50, wavelengths=[400, 700])).all()
    # Rows of no values (shapes (n, 0)) once divided by the row width and killed the interpreter.
    for values, wavelengths, why in ((0.5, [400, 400], "repeated"), (0.5, [700, 400], "ascending"),
                                     (0.5, [np.nan, 700], "finite"), (0.5, [400], "at least 2"),
                                     (0.5, [410, 700], "400 to 700"), (red[:5], five, "81 values"),
                                     *((np.zeros(shape), np.zeros(0), "at least 2") for shape in ((1, 0), (3, 0), (0, 0)))):
        values = values if np.ndim(values) else [values] * len(wavelengths)
        refuses(ValueError, lambda: tv.xyz(values, d50, wavelengths=wavelengths), match=why)
    refuses(KeyError, lambda: tv.xyz(red, "Moonlight", wavelengths=five))
    # At 10 nm "auto" is ASTM E308 (its values against colour-science: the C++ tests), "cie15" is not.
    ten, sample = np.arange(400, 701, 10.0), red[4:65:2]
    astm = tv.xyz(sample, "CIE Illuminant A", wavelengths=ten)
    assert tv.xyz(sample, "CIE Illuminant A", wavelengths=ten, method="astm-e308").tolist() == astm.tolist()
    assert abs(tv.xyz(sample, "CIE Illuminant A", wavelengths=ten, method="cie15")[1] - astm[1]) > 1e-2
    for method, why in (("grid", "leave wavelengths out"), ("simpson", "unknown method")):
        refuses(ValueError, lambda: tv.xyz(sample, "CIE Illuminant A", wavelengths=ten, method=method), match=why)
    lamp = tv.IlluminantFactory().add(np.linspace(50, 85, 36), "lamp")  # 10-nm data only
    with pytest.warns(UserWarning, match="10 nm"):
        tv.xyz(red, lamp, wavelengths=five)
