# CIELAB conversions and the six colour-difference formulas over arrays.
import csv
import threading

import numpy as np
import pytest

import tintvale as tv

D65 = np.array([95.047, 100.0, 108.883])
D50 = np.array([96.422, 100.0, 82.521])


def cielab(xyz, white):
    """CIE 15.2:1986 with its rounded constants, written independently of the library."""
    t = np.maximum(np.asarray(xyz, float), 0.0) / white
    f = np.where(t > 0.008856, np.cbrt(t), 7.787 * t + 16 / 116)
    return np.stack([116 * f[..., 1] - 16, 500 * (f[..., 0] - f[..., 1]), 200 * (f[..., 1] - f[..., 2])], -1)


def cie94(lab1, lab2):
    c1, c2 = np.hypot(lab1[:, 1], lab1[:, 2]), np.hypot(lab2[:, 1], lab2[:, 2])
    dl, dc = lab2[:, 0] - lab1[:, 0], c2 - c1
    dh2 = (lab2[:, 1] - lab1[:, 1]) ** 2 + (lab2[:, 2] - lab1[:, 2]) ** 2 - dc**2
    return np.sqrt(dl**2 + (dc / (1 + 0.045 * c2)) ** 2 + dh2 / (1 + 0.015 * c2) ** 2)


def cmc(lab1, lab2, l):
    """CMC l:c (Clarke, McDonald, Rigg 1984), weights from the reference lab2, hue in degrees."""
    L, c2 = lab2[:, 0], np.hypot(lab2[:, 1], lab2[:, 2])
    h = np.degrees(np.arctan2(lab2[:, 2], lab2[:, 1])) % 360
    t = np.where((h >= 164) & (h <= 345), 0.56 + np.abs(0.2 * np.cos(np.radians(h + 168))),
                 0.36 + np.abs(0.4 * np.cos(np.radians(h + 35))))
    f = np.sqrt(c2**4 / (c2**4 + 1900))
    sl = np.maximum(0.511, 0.040975 * L / (1 + 0.01765 * L))
    sc = 0.0638 * c2 / (1 + 0.0131 * c2) + 0.638
    sh = sc * (f * t + 1 - f)
    c1 = np.hypot(lab1[:, 1], lab1[:, 2])
    dh2 = (lab2[:, 1] - lab1[:, 1]) ** 2 + (lab2[:, 2] - lab1[:, 2]) ** 2 - (c2 - c1) ** 2
    return np.sqrt(((L - lab1[:, 0]) / (l * sl)) ** 2 + ((c2 - c1) / sc) ** 2 + dh2 / sh**2)


@pytest.fixture(scope="module")
def sharma(root):
    with open(root / "tests" / "data" / "ciede2000_sharma.csv") as f:
        rows = np.array([[float(v) for v in row] for row in list(csv.reader(f))[1:]])
    return rows[:, 0:3], rows[:, 3:6], rows[:, 6]


@pytest.fixture(scope="module")
def pairs():
    rng = np.random.default_rng(7)
    lab1 = np.column_stack([rng.uniform(0, 100, 2000), rng.uniform(-90, 90, 2000), rng.uniform(-90, 90, 2000)])
    return lab1, lab1 + rng.normal(0, 4, lab1.shape)


def test_lab_conversions_against_the_cie_formulas():
    rng = np.random.default_rng(3)
    xyz = rng.uniform(0.0, 110.0, (500, 3))
    xyz[:20] *= 1e-3  # the linear branch near black
    lab = tv.xyz_to_lab(xyz, D65)
    # The library's slope 7.787079 differs from 7.787 in the 5th digit: a* moves by up to 4e-4.
    cube = np.all(xyz / D65 > 0.008856, axis=1)
    assert 0 < cube.sum() < len(xyz)
    np.testing.assert_allclose(lab[~cube], cielab(xyz[~cube], D65), atol=5e-4)
    np.testing.assert_allclose(lab[cube], cielab(xyz[cube], D65), atol=1e-9)
    np.testing.assert_allclose(tv.lab_to_xyz(lab, D65), xyz, rtol=1e-9, atol=1e-9)
    np.testing.assert_allclose(tv.xyz_to_lab(D65, D65), [100.0, 0.0, 0.0], atol=1e-9)
    np.testing.assert_array_equal(tv.xyz_to_lab([-5.0, 20.0, 30.0], D50), tv.xyz_to_lab([0.0, 20.0, 30.0], D50))
    black = tv.lab_to_xyz([0.0, 0.0, 0.0], D50)
    assert np.all(black > 0) and np.allclose(black / D50, 4.4e-9, rtol=0.05)
    np.testing.assert_array_equal(tv.lab_to_xyz([-1.0, 0.0, 0.0], D50), [0.0, 0.0, 0.0])


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


def test_delta_e_2000_against_sharma_wu_dalal(sharma):
    lab1, lab2, expected = sharma
    np.testing.assert_allclose(tv.delta_e(lab1, lab2, "Delta E 2000"), expected, atol=5e-5)
    np.testing.assert_allclose(tv.delta_e(lab2, lab1, 2), expected, atol=5e-5)
    # kL = 2 halves the lightness term alone; on pairs of equal lightness nothing changes.
    same_l = lab1[:, 0] == lab2[:, 0]
    np.testing.assert_allclose(tv.delta_e(lab1, lab2, "delta e 2000 (2:1:1)")[same_l], expected[same_l], atol=5e-5)


def test_other_formulas_against_independent_code(pairs):
    lab1, lab2 = pairs
    np.testing.assert_allclose(tv.delta_e(lab1, lab2, "CIE76"), np.linalg.norm(lab1 - lab2, axis=1), rtol=1e-12)
    np.testing.assert_allclose(tv.delta_e(lab1, lab2, "Delta E 94"), cie94(lab1, lab2), rtol=1e-9)
    np.testing.assert_allclose(tv.delta_e(lab1, lab2, "CMC(1:1)"), cmc(lab1, lab2, 1), rtol=1e-9)
    np.testing.assert_allclose(tv.delta_e(lab1, lab2, "CMC(2:1)"), cmc(lab1, lab2, 2), rtol=1e-9)
    # CIE94 and CMC weigh by the reference: not symmetric.
    assert not np.allclose(tv.delta_e(lab1, lab2, 1), tv.delta_e(lab2, lab1, 1))


def test_delta_e_arguments(pairs):
    lab1, lab2 = pairs
    for index, name in enumerate(tv.DELTA_E_FORMULAS):
        np.testing.assert_array_equal(tv.delta_e(lab1, lab2, name), tv.delta_e(lab1, lab2, index))
        np.testing.assert_array_equal(tv.delta_e(lab1, lab1, index), 0.0)
    # The default is CIEDE2000, as in the tool; the aliases name the same formulas.
    np.testing.assert_array_equal(tv.delta_e(lab1, lab2), tv.delta_e(lab1, lab2, 2))
    for alias, name in tv.DELTA_E_ALIASES.items():
        np.testing.assert_array_equal(tv.delta_e(lab1, lab2, alias.lower()), tv.delta_e(lab1, lab2, name))
    # One reference against many samples, and a single pair giving a 0-d result.
    np.testing.assert_allclose(tv.delta_e(lab1, lab2[0], 2), tv.delta_e(lab1, np.tile(lab2[0], (len(lab1), 1)), 2))
    assert tv.delta_e(lab1[0], lab2[0], 2).shape == ()
    with pytest.raises(ValueError, match="unknown colour-difference formula"):
        tv.delta_e(lab1, lab2, "Delta E 2000 ")
    with pytest.raises(ValueError):
        tv.delta_e(lab1, lab2, 6)
    with pytest.raises(ValueError):
        tv.delta_e(lab1[:5], lab2[:4])
    with pytest.raises(ValueError):
        tv.delta_e(lab1[:, :2], lab2[:, :2])


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
