# CIELAB and the colour differences over arrays: the formulas themselves are tested in C++; here the
# names, indices, aliases, shapes and errors of the bindings, and a few published values.
import concurrent.futures

import numpy as np
import pytest
from conftest import refuses

import tintvale as tv

D50 = np.array([96.422, 100.0, 82.521])
# Sharma, Wu and Dalal (2005) pairs 1 and 17 as (sample, reference); CIEDE2000 from their table,
# the other formulas computed once with colormath 3.0 (reference first, CMC l:c = 1:1 and 2:1).
SAMPLES = np.array([[50.0, 0.0, -82.7485], [60.4626, -34.1751, 39.4387]])
REFERENCES = np.array([[50.0, 2.6772, -79.7751], [60.2574, -34.0099, 36.2677]])


@pytest.mark.parametrize("formula, expected", [
    ("CIELAB Delta E (Classic)", [4.001063, 3.181924]), ("Delta E 94", [1.395039, 1.390995]),
    ("Delta E 2000", [2.0425, 1.2644]), ("delta e 2000 (2:1:1)", [2.0425, 1.2548]),
    ("CMC(1:1)", [1.738736, 1.428230]), ("CMC(2:1)", [1.738736, 1.420486])])
def test_each_formula_name_reaches_its_formula(formula, expected):
    np.testing.assert_allclose(tv.delta_e(SAMPLES, REFERENCES, formula), expected, atol=5e-5)
    index = [f.lower() for f in tv.DELTA_E_FORMULAS].index(formula.lower())
    np.testing.assert_allclose(tv.delta_e(SAMPLES, REFERENCES, index), expected, atol=5e-5)
    # Near-equal colours give 0, not NaN from a negative hue term.
    assert tv.delta_e([50.0, 20.000000000000004, 30.0], [50.0, 20.0, 30.000000000000004], formula) < 1e-6


def test_default_aliases_broadcasting_errors_and_threads():
    # The default, 'Delta E 2000' by the signature (test_package.py), reaches CIEDE2000 as its name does above.
    assert len(tv.DELTA_E_ALIASES) >= 6
    for alias, name in tv.DELTA_E_ALIASES.items():
        np.testing.assert_array_equal(tv.delta_e(SAMPLES, REFERENCES, alias.lower()), tv.delta_e(SAMPLES, REFERENCES, name))
    lab = np.random.default_rng(3).uniform(0, 60, (4, 5, 3))
    assert tv.delta_e(lab, lab[0, 0]).shape == (4, 5) and tv.delta_e(lab[0, 0], lab[1, 1]).shape == ()
    for lab1, lab2, formula, error in ((lab, lab[:3], 2, ValueError), (lab[..., :2], lab[..., :2], 2, ValueError),
                                       (lab, lab, "Delta E 2000 ", ValueError), (lab, lab, 6, ValueError),
                                       (lab, lab, 2.0, TypeError)):  # no broadcast, no triples, unknown names
        refuses(error, lambda: tv.delta_e(lab1, lab2, formula))
    with concurrent.futures.ThreadPoolExecutor(4) as pool:
        for result in pool.map(lambda _: tv.delta_e(lab, lab[::-1]), range(8)):
            np.testing.assert_array_equal(result, tv.delta_e(lab, lab[::-1]))


def test_lab_lhc_and_sctv():
    # L* of Y/Yn = 1/8 is 116 / 2 - 16; a* and b* vanish on the white's axis.
    np.testing.assert_allclose(tv.xyz_to_lab(D50 / 8, D50), [42.0, 0.0, 0.0], atol=1e-9)
    space = tv.LabSpace(D50)
    xyz = np.random.default_rng(4).uniform(1.0, 90.0, (10, 2, 3))
    lab = space.to_lab(xyz)
    assert lab.shape == (10, 2, 3) and lab.tolist() == tv.xyz_to_lab(xyz, D50).tolist()
    np.testing.assert_allclose([space.to_xyz(lab), tv.lab_to_xyz(lab, D50)], [xyz, xyz], rtol=1e-9)
    np.testing.assert_allclose(space.to_lab_fast(xyz), lab, atol=2e-3)
    np.testing.assert_allclose(space.delta_e(xyz[:, 0], xyz[:, 1], 1), tv.delta_e(lab[:, 0], lab[:, 1], 1), rtol=1e-12)
    # A negative, zero, NaN or denormal white component has no Lab.
    for white in ([96.0, -1.0, 82.0], [0.0, 100.0, 82.0], [96.0, np.nan, 82.0], [96.0, 4e-320, 82.0]):
        assert "Invalid XYZref values" in refuses(RuntimeError, lambda: tv.xyz_to_lab([1.0, 1.0, 1.0], white), 2).message
    lab = np.array([[50.0, 10.0, 0.0], [50.0, 0.0, 10.0], [60.0, -3.0, -4.0]])
    lhc = tv.lab_to_lhc(lab)  # hue in radians from 0 to 2 pi
    np.testing.assert_allclose(lhc[:, 1:], [[0.0, 10.0], [np.pi / 2, 10.0], [np.arctan2(-4.0, -3.0) + 2 * np.pi, 5.0]])
    np.testing.assert_allclose(tv.lhc_to_lab(lhc), lab, atol=1e-12)
    paper, solid = np.array([95.0, 0.0, -2.0]), np.array([55.0, -37.0, -50.0])
    np.testing.assert_allclose(tv.sctv([paper, solid, (paper + solid) / 2], paper, solid), [0.0, 1.0, 0.5], atol=1e-12)


def test_missing_or_infinite_values_have_no_difference():
    # NaN and infinity give NaN for every formula, never 0 (a perfect match); that each coordinate is
    # checked is the C++ tests' part (TLabSpaceDifference).
    for formula in range(len(tv.DELTA_E_FORMULAS)):
        for odd in ([np.nan, 0.0, 0.0], [50.0, np.inf, 0.0], [50.0, 0.0, -np.inf]):
            assert np.isnan(tv.delta_e(odd, [50.0, 0.0, 0.0], formula)) and np.isnan(tv.delta_e([50.0, 0.0, 0.0], odd, formula))
    result = tv.delta_e([[np.nan, 0, 0], [50, 0, 0], [1e200, 0, 0]], [50.0, 1.0, 0.0], "dE76")
    assert np.isnan(result[0]) and result[1] == 1.0 and np.isnan(result[2])
    xyz = np.array([[np.nan, 30.0, 40.0], [20.0, 30.0, 40.0]])
    result = tv.LabSpace(D50).delta_e(xyz, [20.0, 30.0, 41.0])
    assert np.isnan(result[0]) and 0.0 < result[1] < 2.0  # no -1 inside the array
    for kind in range(len(tv.COLOR_SPACES)):
        assert np.isnan(tv.ColorSpace(D50, kind).delta_e(xyz, [20.0, 30.0, 41.0])[0])


def test_chromatic_adaptation():
    d65, d50 = [95.047, 100.0, 108.883], [96.422, 100.0, 82.521]
    bradford = tv.ChromaticAdaptation("bradford", d65, d50)
    # Computed once with NumPy 1.24 from the published Bradford matrix M as
    # inv(M) @ diag((M @ d50) / (M @ d65)) @ M; B. Lindbloom prints the same to 7 decimals. Two corners
    # show the order; the whole matrix: the C++ tests.
    assert bradford.matrix.shape == (3, 3)
    np.testing.assert_allclose(bradford.matrix[[0, 2], [2, 0]], [-0.0501269760, -0.0092344897], atol=1e-9)
    assert bradford.method == "Bradford" and tv.CHROMATIC_ADAPTATIONS == ("von Kries", "Bradford", "CAT02", "CAT16")
    out = bradford.adapt([[30.0, 40.0, 50.0], [np.nan, 1.0, 1.0]])
    np.testing.assert_allclose(out[0], [29.8434526107, 39.6531933069, 37.9312917538], atol=1e-8)
    assert np.isnan(out[1]).all()
    np.testing.assert_allclose(tv.ChromaticAdaptation(3, d65, d50).adapt(d65), d50, atol=1e-9)
    refuses(ValueError, lambda: tv.ChromaticAdaptation("CAT97", d65, d50))
    refuses(ValueError, lambda: tv.ChromaticAdaptation("CAT02", d65, [0.0, 0.0, 0.0]))
