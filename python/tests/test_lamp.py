# tintvale.lamp_quality: the dict of the `lamp` command from arrays, against published values, and
# the spectra it refuses.
import csv
import pathlib

import numpy as np
import pytest

import tintvale as tv

TABLE = pathlib.Path(__file__).resolve().parents[2] / "data" / "cie_illuminants_5nm.csv"


def lamp(name):
    with open(TABLE, newline="") as f:
        rows = list(csv.DictReader(f))
    return np.array([float(r[name]) for r in rows]), np.array([float(r["nm"]) for r in rows])


def test_fl2_against_published_values():
    # CIE 15:2004 Table T.8 (x, y, Ra of F2); CIE 224 Rf 70.1 and TM-30 Rg 86 of FL2 as pinned in
    # colour-science's tests (colour/quality/tests/test_tm3018.py @ 065e7d6494d6d41330f34024b48d673fed8d6e82).
    spd, nm = lamp("F2")
    q = tv.lamp_quality(spd, nm)
    assert q["x"] == pytest.approx(0.3721, abs=6e-5) and q["y"] == pytest.approx(0.3751, abs=6e-5)
    assert q["cri"]["ra"] == pytest.approx(64, abs=0.5) and len(q["cri"]["r"]) == 14 and q["cri"]["valid"]
    assert q["cie224"]["rf"] == pytest.approx(70.1, abs=0.05) and len(q["cie224"]["rf_i"]) == 99
    assert q["tm30"]["rg"] == pytest.approx(86, abs=0.5) and len(q["tm30"]["rcs_h"]) == 16
    assert q["iso3664"]["cri_ok"] is False and q["iso3664"]["verdict"] == "fail"
    # The same lamp as a list at 10-nm points is still judged, in the same keys.
    assert set(tv.lamp_quality(list(spd[::2]), list(nm[::2]))) == set(q)


@pytest.mark.parametrize("change, message", [
    (lambda s, n: (s[4:], n[4:]), "380-780"),
    (lambda s, n: (np.where(n == 550, -1.0, s), n), "negative"),
    (lambda s, n: (s * 0.0, n), "zero"),
    (lambda s, n: (np.where(n == 550, np.nan, s), n), "finite"),
    (lambda s, n: (s, n + 0.5), "380-780"),
    (lambda s, n: (s[::-1], n[::-1]), "ascending"),
    (lambda s, n: (s[:-1], n), "values for"),
])
def test_refused_spectra(change, message):
    spd, nm = change(*lamp("F11"))
    with pytest.raises(ValueError, match=message):
        tv.lamp_quality(spd, nm)
