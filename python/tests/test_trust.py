# Verdicts a user can trust from Python: averages of the same patches only, unpaired samples named,
# verdicts with every tolerance, keywords for the order of two colours, and the conditions the files
# state followed by evaluate_tolerances as by compare.
import json

import pytest
from conftest import ROOT, cmyk_lab, refuses

import tintvale as tv

STRIPS = ROOT / "tools" / "tests" / "data"
REF, SMP = STRIPS / "control_strip_reference.txt", STRIPS / "control_strip_sample.txt"


PAPER, CYAN, BLACK = (0, 0, 0, 0), (100, 0, 0, 0), (0, 0, 0, 100)


def test_average_pairs_by_name_and_refuses_other_patches(tmp_path):
    a = tv.Cgats(cmyk_lab(tmp_path / "a.txt", [("paper", PAPER, (95, 0.1, -2)), ("C100", CYAN, (55, -37, -50))]))
    b = tv.Cgats(cmyk_lab(tmp_path / "b.txt", [("C100", CYAN, (57, -37, -50)), ("paper", PAPER, (96, 0.2, -2))]))
    assert tv.Cgats.average([a, b]).lab().tolist() == [[95.5, 0.15, -2.0], [56.0, -37.0, -50.0]]
    other = tv.Cgats(cmyk_lab(tmp_path / "o.txt", [("paper", PAPER, (95, 0, -2)), ("K100", BLACK, (16, 0, 0))]))
    error = refuses(tv.TintvaleError, lambda: tv.Cgats.average([a, other]), code=1)
    assert 'Sample "C100" has no partner' in str(error)
    d65 = tv.Cgats(cmyk_lab(tmp_path / "d65.txt", [("paper", PAPER, (95, 0, -2)), ("C100", CYAN, (55, -37, -50))],
                            'KEYWORD "ILLUMINANT"\nILLUMINANT "D65"\n'))
    assert "different illuminants (D50, D65)" in str(refuses(tv.TintvaleError, lambda: tv.Cgats.average([a, d65])))


def test_compare_names_unpaired_samples_and_gives_the_verdict(tmp_path):
    ref = cmyk_lab(tmp_path / "ref.txt", [("paper", PAPER, (95, 0, -2)), ("C100", CYAN, (55, -37, -50))])
    smp = cmyk_lab(tmp_path / "smp.txt", [("C100", CYAN, (55, -37, -49)), ("K100", BLACK, (16, 0, 0)),
                                          ("paper", PAPER, (95, 0, -2))])
    with pytest.warns(UserWarning, match="1 sample without a partner in the reference, not compared: K100"):
        result = tv.compare(sample=smp, reference=ref, max=0.2)
    assert result["unmatched"] == ["K100"] and result["sample_index"].tolist() == [2, 0]
    assert result["summary"]["verdict"] == "fail" and "verdict" not in tv.compare(ref, ref)["summary"]


def test_delta_e_takes_sample_and_reference_by_keyword():
    sample, reference = [50, 2.6772, -79.7751], [50, 0, -82.7485]
    # Sharma, Wu and Dalal (2005), pair 1: CIEDE2000 2.0425.
    assert tv.delta_e(reference=reference, sample=sample) == pytest.approx(2.0425, abs=5e-5)
    # CIE94 weighs by the reference's chroma, so the order shows; its values against colormath, with the
    # sample first: test_lab.py.
    cie94 = tv.delta_e(reference=reference, sample=sample, formula="CIE94")
    assert cie94 == tv.delta_e(sample, reference, "CIE94") != pytest.approx(tv.delta_e(reference, sample, "CIE94"), rel=1e-3)
    refuses(TypeError, lambda: tv.delta_e(sample, reference, sample=sample))
    refuses(TypeError, lambda: tv.delta_e(reference=reference))


def test_evaluate_tolerances_follows_the_files_and_adapts(tmp_path):
    rows = [("paper", PAPER, (95, 0, -2)), ("C100", CYAN, (55, -37, -50))]
    d65 = 'KEYWORD "ILLUMINANT"\nILLUMINANT "D65"\n'
    ref65 = cmyk_lab(tmp_path / "ref65.txt", rows, d65)
    smp65 = cmyk_lab(tmp_path / "smp65.txt", [("paper", PAPER, (95, 0, -1)), ("C100", CYAN, (55, -37, -50))], d65)
    result = tv.evaluate_tolerances(sample=smp65, reference=ref65, tolerances="iso12647-7-proof")
    assert result["groups"][0]["name"] == "paper" and result["groups"][0]["max"] == pytest.approx(1.0, abs=1e-9)
    ref50 = cmyk_lab(tmp_path / "ref50.txt", rows)
    with pytest.raises(ValueError, match="--adapt bradford"):
        tv.evaluate_tolerances(ref50, smp65, "iso12647-7-proof")
    adapted = tv.evaluate_tolerances(ref50, smp65, "iso12647-7-proof", adapt="bradford")
    compared = tv.compare(ref50, smp65, tolerances="iso12647-7-proof", adapt="bradford")
    assert adapted["groups"] == compared["tolerances"]["groups"]
    assert compared["summary"]["adaptation"].endswith(
        "smp65.txt: Bradford from CIE Illuminant D65 (95.047, 100.000, 108.883) to CIE Illuminant D50 "
        "(96.384, 100.000, 82.454)")


def test_paper_groups_are_judged_as_measured_under_paper_relative(tmp_path):
    tolerances = tmp_path / "paper.json"
    tolerances.write_text(json.dumps({"name": "paper", "groups": [
        {"name": "paper", "select": "paper", "metric": "dE", "max": {"fail": 1}},
        {"name": "solids", "select": "solids", "metric": "dE", "max": {"fail": 10}}]}))
    absolute = tv.compare(REF, SMP)
    relative = tv.compare(REF, SMP, paper_relative=True)
    result = tv.evaluate_tolerances(REF, SMP, tolerances, paper_relative=True)
    paper = absolute["names"].tolist().index("paper")
    assert relative["de"][paper] == pytest.approx(0, abs=1e-9)
    assert result["groups"][0]["max"] == pytest.approx(absolute["de"][paper], rel=1e-12)
    assert result["groups"][0]["verdict"] == "fail" and "absolute CIELAB" in result["note"]
    solids = [absolute["names"].tolist().index(n) for n in ("C100", "M100", "Y100", "K100")]
    assert result["groups"][1]["max"] == pytest.approx(max(relative["de"][solids]), rel=1e-12)


def test_black_is_measured_through_the_visual_filter_unless_asked():
    # Every tint of the strips is an area mixture of paper and solid: 63.2 % under any filter.
    visual = tv.tone_values(REF)
    densest = tv.tone_values(REF, black_filter="densest")
    assert visual["black_filter"] == "visual" and visual["channels"][3]["filter"] == "V"
    assert densest["channels"][3]["filter"] in ("C", "M", "Y")
    assert densest["channels"][3]["points"][1]["tone"] == pytest.approx(63.2, abs=0.01)


def test_doubtful_reading_is_a_warning_naming_the_line(tmp_path):
    path = tmp_path / "count.txt"
    path.write_text("CGATS.17\nNUMBER_OF_FIELDS 5\nBEGIN_DATA_FORMAT\nSAMPLE_ID LAB_L LAB_A LAB_B\nEND_DATA_FORMAT\n"
                    "NUMBER_OF_SETS 1\nBEGIN_DATA\n1 50 0 0\nEND_DATA\n")
    with pytest.warns(UserWarning, match=r"count\.txt:2: NUMBER_OF_FIELDS 5 but 4 field names"):
        chart = tv.Cgats(path)
    assert chart.lab().tolist() == [[50.0, 0.0, 0.0]]


def test_a_long_list_of_unpaired_samples_is_cut_in_the_warning(tmp_path):
    ref = cmyk_lab(tmp_path / "ref.txt", [("paper", PAPER, (95, 0, -2))])
    for extra, ending in ((10, "x9"), (11, "x9, ...")):
        rows = [("paper", PAPER, (95, 0, -2))] + [(f"x{k}", CYAN, (55, -37, -50)) for k in range(extra)]
        smp = cmyk_lab(tmp_path / f"smp{extra}.txt", rows)
        with pytest.warns(UserWarning) as caught:
            result = tv.compare(ref, smp)
        assert len(result["unmatched"]) == extra  # every name in the list, the line names ten
        assert str(caught[0].message).endswith(f"not compared: x0, x1, x2, x3, x4, x5, x6, x7, x8, {ending}")
