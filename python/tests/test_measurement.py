# Measurement objects and the matching-spectrum search: argument passing, None as "any", copies
# and errors; the colorimetry itself is tested elsewhere (lifetimes with the illuminants).
import numpy as np
from conftest import refuses

import tintvale as tv

RAMP = np.linspace(0.1, 0.8, 36)


def test_measurements(factory, d50):
    white, d65 = tv.white_point(d50), factory["CIE Illuminant D65"]
    m = tv.ReflectionSpectrum(RAMP, geometry="Ill 45, Obs 0", coords=[0.25, 1.0]).copy()
    assert isinstance(m, tv.Measurement) and m.geometry == "Ill 45, Obs 0" and list(m.coords) == [0.25, 1.0]
    assert m.lab(d50, "2 degree", white).tolist() == tv.xyz_to_lab(tv.xyz(RAMP, d50), white).tolist()
    d, k = m.density("ISO Status T", reference=tv.ReflectionSpectrum(np.full(36, 0.9)))
    assert (d.tolist(), k) == tuple(v.tolist() for v in tv.densities(RAMP, 6, reference=np.full(36, 0.9)))
    refuses(tv.TintvaleError, m.xyz, 3)  # no illuminant
    refuses(ValueError, lambda: tv.ReflectionSpectrum(RAMP, geometry="Ill 45, Obs 1"))
    xyz = np.array([41.2, 35.0, 20.5])
    x = tv.XYZMeasurement(xyz, d50, "2 degree", geometry=0)
    assert x.xyz(d50, 0).tolist() == x.xyz(None, None).tolist() == xyz.tolist()  # None matches any
    refuses(tv.TintvaleError, lambda: x.xyz(d65, 0), -1)
    refuses(tv.TintvaleError, lambda: x.xyz(d50, "10 degree"), -1)
    assert x.spectrum is None and x.to_spectral() is None
    lm = tv.LabMeasurement(tv.xyz_to_lab(xyz, white), white, d50)
    np.testing.assert_allclose(lm.xyz(d50), xyz, rtol=1e-9)
    np.testing.assert_allclose(lm.lab(d50, 0, tv.white_point(d65)), tv.xyz_to_lab(xyz, tv.white_point(d65)), rtol=1e-9)
    # Emission is summed absolutely: doubling the power doubles XYZ.
    np.testing.assert_allclose(tv.EmissionSpectrum(2 * RAMP).xyz(None, 1), 2 * tv.EmissionSpectrum(RAMP).xyz(None, 1))


def test_matching_spectrum(d50):
    io = tv.IlluminantAndObserver(d50)
    targets = io.xyz(np.stack([RAMP, RAMP[::-1], np.full(36, 0.3)]))
    spectra, de = io.matching_spectrum(targets, np.full(36, 0.5))
    assert spectra.shape == (3, 36) and de.shape == (3,) and np.all(de < 0.5)
    # The returned difference is the CIE 1976 one of the returned spectra.
    np.testing.assert_allclose(de, np.linalg.norm(
        tv.xyz_to_lab(io.xyz(spectra), io.white) - tv.xyz_to_lab(targets, io.white), axis=1), atol=1e-9)
    one, de_one = tv.matching_spectrum(targets[1], d50, 0, np.full(36, 0.5))
    assert one.tolist() == spectra[1].tolist() and de_one == de[1]
    low, up = np.full(36, 1e-5), np.full(36, 0.99999)
    low[10] = up[10] = 0.3
    assert io.matching_spectrum(targets[0], np.full(36, 0.5), upper=up, lower=low)[0][10] == 0.3
    assert np.all(io.matching_spectrum(targets[:2], np.full((2, 36), 0.5), method="xyz")[1] < 1.0)
    refuses(ValueError, lambda: io.matching_spectrum(targets[0], np.full(36, 0.5), method="rgb"))
    refuses(tv.TintvaleError, lambda: io.matching_spectrum([np.nan, 1.0, 1.0], np.full(36, 0.5)), -1)
