# CIELAB conversions and the colour-difference formulas over arrays: shapes, broadcasting, names and
# errors. The formulas themselves are checked in C++ against published values; here a few of those
# independently computed values show that the bindings hand the right arguments through.
import threading

import numpy as np
import pytest

import tintvale as tv

D65 = np.array([95.047, 100.0, 108.883])
D50 = np.array([96.422, 100.0, 82.521])

# Sample, reference and the difference by each formula in library order, from an independent Python
# implementation of CIE 15, CIE 116, CIE 142 and CMC l:c (the C++ tests carry more rows).
SAMPLE, REFERENCE = [50.0, 20.0, -30.0], [55.0, 25.0, -20.0]
DELTA_E = [12.2474487139, 8.7943284139, 9.2109267791, 8.7330153182, 7.8693802222, 8.1706160952]


@pytest.fixture(scope="module")
def pairs():
    rng = np.random.default_rng(7)
    lab1 = np.column_stack([rng.uniform(0, 100, 200), rng.uniform(-90, 90, 200), rng.uniform(-90, 90, 200)])
    return lab1, lab1 + rng.normal(0, 4, lab1.shape)


def test_lab_conversions_and_shapes():
    # The same independent value the C++ tests use (CIE 15:2004, D50).
    np.testing.assert_allclose(tv.xyz_to_lab([41.24, 21.26, 1.93], D50), [53.232881785843, 78.301394636634, 62.171659116024], atol=1e-9)
    xyz = np.random.default_rng(3).uniform(0.0, 110.0, (5, 4, 3))
    lab = tv.xyz_to_lab(xyz, D65)
    assert lab.shape == (5, 4, 3)
    np.testing.assert_array_equal(lab[2, 1], tv.xyz_to_lab(xyz[2, 1], D65))
    np.testing.assert_allclose(tv.lab_to_xyz(lab, D65), xyz, rtol=1e-9, atol=1e-9)
    np.testing.assert_allclose(tv.xyz_to_lab(D65, D65), [100.0, 0.0, 0.0], atol=1e-9)
    np.testing.assert_array_equal(tv.xyz_to_lab([-5.0, 20.0, 30.0], D50), tv.xyz_to_lab([0.0, 20.0, 30.0], D50))
    np.testing.assert_array_equal(tv.lab_to_xyz([-1.0, 0.0, 0.0], D50), [0.0, 0.0, 0.0])
    with pytest.raises(ValueError):
        tv.xyz_to_lab(np.ones((3, 2)), D50)


def test_lab_space_object():
    space = tv.LabSpace(D50)
    xyz = np.random.default_rng(4).uniform(1.0, 90.0, (10, 2, 3))
    lab = space.to_lab(xyz)
    assert lab.shape == (10, 2, 3)
    np.testing.assert_array_equal(lab, tv.xyz_to_lab(xyz, D50))
    np.testing.assert_allclose(space.to_lab_fast(xyz), lab, atol=2e-3)
    np.testing.assert_allclose(space.to_xyz(lab), xyz, rtol=1e-9)
    # Colour differences from XYZ convert first, then compare: the same as from Lab.
    np.testing.assert_allclose(space.delta_e(xyz[:, 0], xyz[:, 1], "Delta E 2000"),
                               tv.delta_e(lab[:, 0], lab[:, 1], "Delta E 2000"), rtol=1e-12)
    with pytest.raises(tv.TintvaleError) as bad:
        tv.LabSpace([96.0, -1.0, 82.0])
    assert bad.value.code == 2 and "Invalid XYZref values" in bad.value.message
    assert isinstance(bad.value, RuntimeError)


def test_lhc_round_trip():
    lab = np.array([[50.0, 10.0, 0.0], [50.0, 0.0, 10.0], [60.0, -3.0, -4.0]])
    lhc = tv.lab_to_lhc(lab)
    np.testing.assert_allclose(lhc[:, 1], [0.0, np.pi / 2, np.arctan2(-4.0, -3.0) + 2 * np.pi])
    np.testing.assert_allclose(lhc[:, 2], [10.0, 10.0, 5.0])
    np.testing.assert_allclose(tv.lhc_to_lab(lhc), lab, atol=1e-12)


def test_delta_e_formulas_by_name_and_index(pairs):
    for index, name in enumerate(tv.DELTA_E_FORMULAS):
        assert tv.delta_e(SAMPLE, REFERENCE, name) == pytest.approx(DELTA_E[index], abs=1e-9), name
    assert tv.delta_e(SAMPLE, REFERENCE, "delta e 2000") == pytest.approx(DELTA_E[2], abs=1e-9)
    lab1, lab2 = pairs
    for index, name in enumerate(tv.DELTA_E_FORMULAS):
        np.testing.assert_array_equal(tv.delta_e(lab1, lab2, name), tv.delta_e(lab1, lab2, index))
        np.testing.assert_array_equal(tv.delta_e(lab1, lab1, index), 0.0)
    # CIE94 weighs by the second colour: swapping the arguments changes it.
    assert not np.allclose(tv.delta_e(lab1, lab2, 1), tv.delta_e(lab2, lab1, 1))


def test_delta_e_broadcasting_and_errors(pairs):
    lab1, lab2 = pairs
    # One reference against many samples, and a single pair giving a 0-d result.
    np.testing.assert_allclose(tv.delta_e(lab1, lab2[0], 2), tv.delta_e(lab1, np.tile(lab2[0], (len(lab1), 1)), 2))
    assert tv.delta_e(lab1[0], lab2[0], 2).shape == ()
    with pytest.raises(ValueError, match="unknown colour-difference formula"):
        tv.delta_e(lab1, lab2, "Delta E 2000 ")
    for bad in ((lab1, lab2, 6), (lab1[:5], lab2[:4]), (lab1[:, :2], lab2[:, :2])):
        with pytest.raises(ValueError):
            tv.delta_e(*bad)


def test_near_equal_colours_give_zero_not_nan():
    lab = np.array([[50.0, 20.000000000000004, 30.0]])
    other = np.array([[50.0, 20.0, 30.000000000000004]])
    for index in range(6):
        assert np.isfinite(tv.delta_e(lab, other, index)).all()


def test_sctv():
    paper = np.array([95.0, 0.0, -2.0])
    solid = np.array([55.0, -37.0, -50.0])
    tints = np.array([paper, solid, (paper + solid) / 2])
    np.testing.assert_allclose(tv.sctv(tints, paper, solid), [0.0, 1.0, 0.5], atol=1e-12)
    assert tv.sctv(paper, paper, paper) == 0.0


def test_threads_share_the_module(pairs):
    lab1, lab2 = pairs
    expected = tv.delta_e(lab1, lab2, 2)
    results = [None] * 4

    def work(i):
        results[i] = tv.delta_e(lab1, lab2, 2)

    threads = [threading.Thread(target=work, args=(i,)) for i in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for r in results:
        np.testing.assert_array_equal(r, expected)
