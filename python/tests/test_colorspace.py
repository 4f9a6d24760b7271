# The appearance spaces, the colour-space facade and XYZR over arrays.
import numpy as np
import pytest

import tintvale as tv

D65 = np.array([95.012064, 100.0, 108.817147])  # the shipped D65 on the 36-point grid
LA = 318.30988618379  # the library's fixed scene: 1000 lux / pi
YB = 20.0


def ciecam02(xyz, white, c=0.69, nc=1.0, f=1.0):
    """CIECAM02 forward model (CIE 159:2004), written independently of the library."""
    cat02 = np.array([[0.7328, 0.4296, -0.1624], [-0.7036, 1.6975, 0.0061], [0.0030, 0.0136, 0.9834]])
    hpe = np.array([[0.38971, 0.68898, -0.07868], [-0.22981, 1.18340, 0.04641], [0.0, 0.0, 1.0]])
    k = 1 / (5 * LA + 1)
    fl = 0.2 * k**4 * 5 * LA + 0.1 * (1 - k**4) ** 2 * np.cbrt(5 * LA)
    n = YB / white[1]
    nbb = 0.725 * (1 / n) ** 0.2
    z = 1.48 + np.sqrt(n)
    d = f * (1 - np.exp((-LA - 42) / 92) / 3.6)
    rgb_w = cat02 @ white

    def responses(v):
        rgb_c = (white[1] * d / rgb_w + 1 - d) * (v @ cat02.T)
        p = (rgb_c @ (hpe @ np.linalg.inv(cat02)).T) * fl / 100
        p = p**0.42
        return 400 * p / (p + 27.13) + 0.1

    def achromatic(ra):
        return (2 * ra[..., 0] + ra[..., 1] + ra[..., 2] / 20 - 0.305) * nbb

    ra = responses(np.asarray(xyz, float))
    a = ra[..., 0] - 12 * ra[..., 1] / 11 + ra[..., 2] / 11
    b = (ra[..., 0] + ra[..., 1] - 2 * ra[..., 2]) / 9
    h = np.degrees(np.arctan2(b, a)) % 360
    j = 100 * (achromatic(ra) / achromatic(responses(white))) ** (c * z)
    et = (np.cos(np.radians(h) + 2) + 3.8) / 4
    t = 50000 / 13 * nc * nbb * et * np.hypot(a, b) / (ra[..., 0] + ra[..., 1] + 21 / 20 * ra[..., 2])
    chroma = t**0.9 * np.sqrt(j / 100) * (1.64 - 0.29**n) ** 0.73
    return np.stack([j, chroma, h], -1)


@pytest.fixture(scope="module")
def colours(factory):
    """XYZ of smooth random reflectances under D65: real surface colours, inside the models' domain."""
    rng = np.random.default_rng(11)
    x = (tv.WAVELENGTHS - 380.0) / 350.0
    freq, phase = rng.uniform(0.5, 3.0, (300, 1)), rng.uniform(0, 2 * np.pi, (300, 1))
    depth = rng.uniform(0.05, 0.45, (300, 1))
    reflectances = 0.5 + depth * np.sin(2 * np.pi * freq * x + phase)
    return tv.xyz(reflectances, factory["CIE Illuminant D65"])


def test_ciecam02_against_an_independent_forward_model(colours):
    surrounds = {"average": (0.69, 1.0, 1.0), "dim": (0.59, 0.95, 0.9), "dark": (0.525, 0.8, 0.8)}
    for name, (c, nc, f) in surrounds.items():
        jch = tv.CIECAM02(D65, name).from_xyz(colours)
        expected = ciecam02(colours, D65, c, nc, f)
        np.testing.assert_allclose(jch[:, :2], expected[:, :2], rtol=1e-5, atol=1e-4)
        hue_gap = (jch[:, 2] - expected[:, 2] + 180) % 360 - 180
        np.testing.assert_allclose(hue_gap, 0.0, atol=1e-4)


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
    ja, jb = cam.from_xyz(a), cam.from_xyz(b)
    cartesian = lambda j: np.column_stack([j[:, 0], j[:, 1] * np.cos(np.radians(j[:, 2])), j[:, 1] * np.sin(np.radians(j[:, 2]))])
    expected = np.linalg.norm(cartesian(ja) - cartesian(jb), axis=1)
    np.testing.assert_allclose(cam.delta_e(a, b), expected, rtol=1e-9)
    np.testing.assert_allclose(cam.delta_e_jch(ja, jb), expected, rtol=1e-9)


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
