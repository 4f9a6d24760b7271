# Illuminants, the factory and tristimulus integration of spectrum arrays.
import gc
import warnings

import numpy as np
import pytest

import tintvale as tv

# ASTM E308-01 Table 6, 2 degree observer, 10 nm: sums of the X, Y, Z weights.
ASTM_F11 = np.array([100.964, 100.005, 64.354])
ASTM_F2 = np.array([99.188, 100.004, 67.395])


def test_shipped_factory_lookups(factory):
    names = factory.names()
    assert len(factory) == len(names) == 23
    for name in ("CIE Illuminant A", "CIE Illuminant D65", "CIE Illuminant F11", "D50"):
        assert name in names
    assert factory["cie illuminant d65"].name == "CIE Illuminant D65"
    assert "d50" in factory and "D93" not in factory
    assert factory.get("D93") is None
    with pytest.raises(KeyError, match="No Illuminant with this name available"):
        factory["D93"]
    assert factory.by_temperature(6504.0).name == "D65"
    assert factory.by_temperature(5003.0).name == "D50"
    assert [i.name for i in factory] == names
    assert factory["D65"].temperature == pytest.approx(6500.0, abs=10.0)
    x, y = factory["CIE Illuminant D65"].chromaticity
    # CIE 15:2004 Table T.3: D65 at x = 0.31272, y = 0.32903 (5 nm, 380-780 nm); the 10 nm grid
    # ending at 730 nm moves it in the fourth decimal.
    assert x == pytest.approx(0.31272, abs=3e-4) and y == pytest.approx(0.32903, abs=3e-4)


def test_observer_functions():
    cmf2 = tv.observer_functions(0)
    assert cmf2.shape == (36, 3)
    # CIE 1931 at 10 nm, four decimals (CIE 15:2004 Table T.4).
    at = {w: i for i, w in enumerate(tv.WAVELENGTHS)}
    assert cmf2[at[600], 0] == pytest.approx(1.0622)
    assert cmf2[at[550], 1] == pytest.approx(0.9950)
    assert cmf2[at[450], 2] == pytest.approx(1.7721)
    np.testing.assert_array_equal(tv.observer_functions("2 degree"), cmf2)
    assert not np.array_equal(tv.observer_functions("10 degree"), cmf2)
    for bad in (2, -1, "2 deg"):
        with pytest.raises(ValueError):
            tv.observer_functions(bad)


def test_xyz_and_white_points(factory):
    # Independent white points over the 36-point grid, the same the C++ tests hold (CIE 15 tables).
    d65 = factory["CIE Illuminant D65"]
    np.testing.assert_allclose(tv.white_point(d65), [95.0121, 100.0, 108.8171], atol=5e-5)
    spectra = np.random.default_rng(1).uniform(0.0, 1.0, (5, 36))
    for observer in (0, "10 degree"):
        io = tv.IlluminantAndObserver(d65, observer)
        np.testing.assert_array_equal(tv.xyz(spectra, d65, observer), io.xyz(spectra))
        np.testing.assert_allclose(tv.xyz(np.ones(36), d65, observer), tv.white_point(d65, observer), rtol=1e-12)
    assert not np.allclose(tv.white_point(d65, 0), tv.white_point(d65, 1))


def test_astm_weights_for_f2_and_f11(factory):
    for name, sums in (("CIE Illuminant F11", ASTM_F11), ("cie illuminant f2", ASTM_F2)):
        ill = factory[name]
        expected = sums * 100.0 / sums[1]
        np.testing.assert_allclose(tv.white_point(ill), expected, atol=1e-9)
        # The table is used whichever observer is asked for.
        np.testing.assert_allclose(tv.white_point(ill, "10 degree"), expected, atol=1e-9)
        np.testing.assert_allclose(tv.xyz(np.ones(36), ill), expected, atol=1e-9)


def test_integration_object_and_shapes(factory):
    ill = factory["CIE Illuminant D50"]
    io = tv.IlluminantAndObserver(ill, "2 degree")
    spectra = np.random.default_rng(2).uniform(0.0, 1.0, (3, 4, 36))
    xyz = io.xyz(spectra)
    assert xyz.shape == (3, 4, 3)
    np.testing.assert_array_equal(xyz[1, 2], tv.xyz(spectra[1, 2], ill))
    np.testing.assert_allclose(io.xyz(np.full(36, 0.5)), io.white / 2, rtol=1e-12)
    assert io.white[1] == pytest.approx(100.0)
    # Integers and Fortran-ordered input are converted.
    np.testing.assert_allclose(io.xyz(np.ones((2, 36), dtype=int, order="F")), [io.white, io.white])
    with pytest.raises(ValueError):
        io.xyz(np.ones((2, 35)))


def test_illuminants_made_from_spectra_and_saved(tmp_path):
    f = tv.IlluminantFactory()
    assert len(f) == 0
    power = np.linspace(50.0, 150.0, 36)
    made = f.add(power, "Ramp")
    assert made.name == "Ramp" and f["ramp"] == made
    np.testing.assert_array_equal(made.spectrum.samples, power)
    other = f.add(tv.Spectrum([380.0, 730.0], [100.0, 100.0]), "Flat")
    assert other.temperature > 5000.0  # equal energy is near 5455 K
    f.save(made, tmp_path / "ramp.ill")
    with pytest.raises(tv.TintvaleError) as wrong:
        f.save(made, tmp_path / "no such directory" / "ramp.ill")
    assert wrong.value.code == 4
    (tmp_path / "notes.txt").write_text("not an illuminant")
    (tmp_path / "sub").mkdir()
    loaded = tv.IlluminantFactory(tmp_path)
    assert loaded.names() == ["Ramp"]
    np.testing.assert_allclose(loaded["Ramp"].spectrum.samples, power, rtol=1e-4)
    with pytest.raises(FileNotFoundError):
        loaded.add_directory(tmp_path / "missing")
    with pytest.raises(tv.TintvaleError):
        f.add(np.zeros(36), "x" * 1025)


def test_replacement_warning():
    f = tv.IlluminantFactory()
    f.add(np.ones(36), "D50")
    with pytest.warns(UserWarning, match='was replaced by illuminant "D50"'):
        assert f["CIE Illuminant D50"].name == "D50"


def test_illuminants_outlive_their_factory(root):
    f = tv.IlluminantFactory(root / "data" / "illuminants")
    ill = f["CIE Illuminant A"]
    io = tv.IlluminantAndObserver(ill)
    copy = f.copy()
    del f, ill
    gc.collect()
    white = io.white
    # CIE illuminant A, 2 degree: X = 109.85, Z = 35.58 (CIE 15:2004 Table T.3), 10 nm truncated grid.
    assert white[0] == pytest.approx(109.85, abs=0.2) and white[2] == pytest.approx(35.58, abs=0.2)
    assert copy["CIE Illuminant A"].temperature == pytest.approx(2856.0, abs=10.0)


def test_messages_of_failed_lookups_do_not_leak_as_warnings(factory):
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        assert factory.get("nothing") is None
