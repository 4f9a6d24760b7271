# The appearance spaces, the colour-space facade and XYZR over arrays: the models are tested in C++;
# here values of an independent model, round trips, the surround and formula arguments and the errors.
import numpy as np
import pytest
from conftest import refuses

import tintvale as tv

D65 = np.array([95.012064, 100.0, 108.817147])  # the shipped D65 on the 36-point grid


@pytest.fixture(scope="module")
def colours(factory):
    # XYZ of smooth random reflectances under D65: real surface colours, inside the models' domain.
    rng = np.random.default_rng(11)
    x = (tv.WAVELENGTHS - 380.0) / 350.0
    reflectances = 0.5 + rng.uniform(0.05, 0.45, (40, 1)) * np.sin(2 * np.pi * rng.uniform(0.5, 3.0, (40, 1)) * x)
    return tv.xyz(reflectances, factory["CIE Illuminant D65"])


def test_ciecam02_against_an_independent_model():
    # An independent implementation of CIE 159:2004 that reproduces its worked examples, evaluated
    # for this library's scene (L_A = 318.31, Y_b = 20) under white 95.047, 100, 108.883.
    for surround, xyz, jch in (("average", [41.24, 21.26, 1.93], [47.508403, 112.839769, 32.376728]),
                               ("dim", [18.05, 7.22, 95.05], [26.692629, 97.399826, 257.583855]),
                               (2, [60.0, 50.0, 20.0], [77.158900, 40.785167, 49.535339])):
        np.testing.assert_allclose(tv.CIECAM02([95.047, 100.0, 108.883], surround).from_xyz(xyz), jch, atol=0.01)


@pytest.mark.parametrize("space, type_, rtol", [(tv.CIECAM97s, 1, 2e-3), (tv.CIECAM02, 2, 2e-5)])
def test_appearance_round_trip_differences_and_facade(space, type_, rtol, colours):
    cam, base, facade = space(D65, "dim"), space(D65), tv.ColorSpace(D65, type_)
    jch = cam.from_xyz(colours)
    assert cam.from_xyz(D65)[0] == pytest.approx(100.0, abs=1e-6) and np.all((jch[:, 2] >= 0) & (jch[:, 2] < 360))
    # Both invert with published rounded matrices: CIECAM02 six digits, CIECAM97s four.
    np.testing.assert_allclose(cam.to_xyz(jch), colours, rtol=rtol)
    # Black has lightness 0 and no chroma; Y = 0 without black (light at 380 nm alone) has no result.
    black, violet = cam.from_xyz([[0.0, 0.0, 0.0], [0.000635, 0.0, 0.00295]])
    assert black[0] == pytest.approx(0.0, abs=1e-3) and black[1] == pytest.approx(0.0, abs=1e-3)
    assert space is tv.CIECAM02 or np.isnan(violet).all()
    # Differences are distances in (J, a, b): equal hues 360 apart, opposite hues 2 C apart.
    np.testing.assert_allclose(cam.delta_e_jch([[50, 10, 0], [50, 10, 90]], [[50, 10, 360], [50, 10, 270]]),
                               [0.0, 20.0], atol=1e-9)
    np.testing.assert_allclose(cam.delta_e(colours[:20], colours[20:]), cam.delta_e_jch(jch[:20], jch[20:]), rtol=1e-9)
    assert facade.name == tv.COLOR_SPACES[type_] and facade.formulas == (f"{tv.COLOR_SPACES[type_]} Delta E",)
    assert facade.from_xyz(colours).tolist() == base.from_xyz(colours).tolist() != jch.tolist()
    assert facade.delta_e(colours[:20], colours[20:], facade.formulas[0]).tolist() == base.delta_e(colours[:20], colours[20:]).tolist()


def test_cielab_facade_xyzr_and_refusals(colours):
    a, b = colours[:20], colours[20:]
    lab = tv.ColorSpace(D65, "CIELAB (Classic)")
    assert lab.type == 0 and lab.formulas == tv.DELTA_E_FORMULAS
    np.testing.assert_array_equal(lab.delta_e(a, b, "CMC(2:1)"), tv.delta_e(tv.xyz_to_lab(a, D65), tv.xyz_to_lab(b, D65), 4))
    xyzr = tv.XYZRSpace(D65)
    np.testing.assert_allclose([xyzr.to_xyzr(colours), xyzr.to_xyz(colours / D65)], [colours / D65, colours], rtol=1e-15)
    np.testing.assert_allclose(xyzr.relative_luminance(colours), colours[:, 1] / 100.0, rtol=1e-15)
    for make, error, code in ((lambda: tv.CIECAM97s(D65, "bright"), ValueError, None),
                              (lambda: tv.CIECAM02([95.0, 100.0]), ValueError, None),
                              (lambda: tv.CIECAM02([95.0, 0.0, 108.0]), tv.TintvaleError, -1),
                              (lambda: tv.ColorSpace(D65, 3), ValueError, None),
                              (lambda: tv.ColorSpace([95.0, -100.0, 108.0], 0), tv.TintvaleError, 2),
                              (lambda: tv.ColorSpace(D65, 1).delta_e(D65, D65, 1), ValueError, None),
                              (lambda: tv.XYZRSpace([95.0, 0.0, 108.0]), tv.TintvaleError, 2)):
        refuses(error, make, code)
