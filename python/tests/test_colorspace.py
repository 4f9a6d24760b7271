# The appearance spaces, the colour-space facade and XYZR over arrays.
import numpy as np
import pytest

import tintvale as tv

D65 = np.array([95.012064, 100.0, 108.817147])  # the shipped D65 on the 36-point grid


@pytest.fixture(scope="module")
def colours(factory):
    """XYZ of smooth random reflectances under D65: real surface colours, inside the models' domain."""
    rng = np.random.default_rng(11)
    x = (tv.WAVELENGTHS - 380.0) / 350.0
    freq, phase = rng.uniform(0.5, 3.0, (300, 1)), rng.uniform(0, 2 * np.pi, (300, 1))
    depth = rng.uniform(0.05, 0.45, (300, 1))
    reflectances = 0.5 + depth * np.sin(2 * np.pi * freq * x + phase)
    return tv.xyz(reflectances, factory["CIE Illuminant D65"])


def test_ciecam02_forward_reaches_the_library():
    # Independent CIE 159 values for this scene, shared with the C++ tests (white D65 95.047, 100, 108.883).
    white = [95.047, 100.0, 108.883]
    cases = [(0, [41.24, 21.26, 1.93], [47.508403, 112.839769, 32.376728]),
             (1, [18.05, 7.22, 95.05], [26.692629, 97.399826, 257.583855]),
             (2, [35.76, 71.52, 11.92], [84.412485, 89.055519, 136.670969])]
    for surround, xyz, jch in cases:
        np.testing.assert_allclose(tv.CIECAM02(white, surround).from_xyz(xyz), jch, atol=0.01)


@pytest.mark.parametrize("space", [tv.CIECAM02, tv.CIECAM97s])
def test_appearance_round_trip_and_white(space, colours):
    for surround in range(3):
        cam = space(D65, surround)
        white = cam.from_xyz(D65)
        assert white[0] == pytest.approx(100.0, abs=1e-6)
        jch = cam.from_xyz(colours)
        assert np.all((jch[:, 2] >= 0) & (jch[:, 2] < 360))
        # Both invert with published rounded matrices: CIECAM02 six digits, CIECAM97s four.
        np.testing.assert_allclose(cam.to_xyz(jch), colours, rtol=2e-3 if space is tv.CIECAM97s else 2e-5)


@pytest.mark.parametrize("space", [tv.CIECAM02, tv.CIECAM97s])
def test_appearance_differences_are_distances(space, colours):
    cam = space(D65)
    jch1, jch2 = np.array([[50.0, 10.0, 0.0], [50.0, 10.0, 90.0]]), np.array([[50.0, 10.0, 360.0], [50.0, 10.0, 270.0]])
    np.testing.assert_allclose(cam.delta_e_jch(jch1, jch2), [0.0, 20.0], atol=1e-9)
    a, b = colours[:150], colours[150:]
    np.testing.assert_allclose(cam.delta_e(a, b), cam.delta_e_jch(cam.from_xyz(a), cam.from_xyz(b)), rtol=1e-12)


def test_appearance_arguments():
    with pytest.raises(ValueError):
        tv.CIECAM02(D65, 3)
    with pytest.raises(ValueError):
        tv.CIECAM97s(D65, "bright")
    with pytest.raises(tv.TintvaleError) as bad:
        tv.CIECAM02([95.0, 0.0, 108.0])
    assert bad.value.code == -1
    with pytest.raises(ValueError):
        tv.CIECAM02([95.0, 100.0])


def test_facade_forwards_to_each_space(colours):
    assert tv.COLOR_SPACES == ("CIELAB (Classic)", "CIECAM97s", "CIECAM02")
    lab = tv.ColorSpace(D65, "CIELAB (Classic)")
    assert lab.type == 0 and lab.formulas == tv.DELTA_E_FORMULAS
    np.testing.assert_array_equal(lab.from_xyz(colours), tv.xyz_to_lab(colours, D65))
    np.testing.assert_allclose(lab.to_xyz(lab.from_xyz(colours)), colours, rtol=1e-9)
    a, b = colours[:150], colours[150:]
    np.testing.assert_allclose(lab.delta_e(a, b, "Delta E 2000"), tv.delta_e(tv.xyz_to_lab(a, D65), tv.xyz_to_lab(b, D65), 2), rtol=1e-12)
    for type_, space, formula in ((1, tv.CIECAM97s, "CIECAM97s Delta E"), (2, tv.CIECAM02, "CIECAM02 Delta E")):
        facade = tv.ColorSpace(D65, type_)
        assert facade.name == tv.COLOR_SPACES[type_] and facade.formulas == (formula,)
        assert tv.ColorSpace.formulas_of(type_) == (formula,)
        np.testing.assert_array_equal(facade.from_xyz(colours), space(D65).from_xyz(colours))
        np.testing.assert_allclose(facade.delta_e(a, b, formula), space(D65).delta_e(a, b), rtol=1e-12)
        with pytest.raises(ValueError):
            facade.delta_e(a, b, 1)
    with pytest.raises(ValueError):
        tv.ColorSpace(D65, 3)
    with pytest.raises(tv.TintvaleError) as bad:
        tv.ColorSpace([95.0, -100.0, 108.0], 0)
    assert bad.value.code == 2


def test_xyzr(colours):
    space = tv.XYZRSpace(D65)
    np.testing.assert_allclose(space.to_xyzr(colours), colours / D65, rtol=1e-15)
    np.testing.assert_allclose(space.to_xyz(colours / D65), colours, rtol=1e-15)
    np.testing.assert_allclose(space.relative_luminance(colours), colours[:, 1] / 100.0, rtol=1e-15)
    np.testing.assert_allclose(space.neutral([0.5, 1.0]), [D65 / 2, D65], rtol=1e-15)
    with pytest.raises(tv.TintvaleError) as bad:
        tv.XYZRSpace([95.0, 0.0, 108.0])
    assert bad.value.code == 2
