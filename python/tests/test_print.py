# Print conformance from Python: the tool's tolerance verdicts and tone values, and the page's
# verdict table and tone value curves.
import json
import re

import pytest
from conftest import ROOT, cmyk_lab, needs_tool, refuses, run

import tintvale as tv

STRIPS = ROOT / "tools" / "tests" / "data"
REF, SMP = STRIPS / "control_strip_reference.txt", STRIPS / "control_strip_sample.txt"


def test_tone_values_by_murray_davies_and_from_a_cgats():
    # Each tint is the area mixture (1 - a) paper + a solid, whose Murray-Davies tone value is 100 a
    # under any filter (tools/tests/make_control_strip.py): areas 0.36, 0.632, 0.86.
    result = tv.tone_values(tv.Cgats(str(REF)))
    assert result["paper"] == "paper" and [c["name"] for c in result["channels"]] == ["C", "M", "Y", "K"]
    assert [c["filter"] for c in result["channels"][:3]] == ["C", "M", "Y"]
    for channel in result["channels"]:
        assert [p["nominal"] for p in channel["points"]] == [25, 50, 75]
        assert [p["tone"] for p in channel["points"]] == pytest.approx([36.0, 63.2, 86.0], abs=0.01)
        assert [p["tvi"] for p in channel["points"]] == pytest.approx([11.0, 13.2, 11.0], abs=0.01)
    assert tv.tone_values(REF, paper=0, standard="ISO Status A")["channels"][0]["points"][1]["tone"] == pytest.approx(63.2, abs=0.01)


def test_tone_values_need_spectra_device_values_and_paper(tmp_path):
    lab = cmyk_lab(tmp_path / "lab.txt", [("paper", (0, 0, 0, 0), (95, 0, 0)), ("C50", (50, 0, 0, 0), (70, -20, -20))])
    for chart, kwargs, why in ((lab, {}, "no spectra"), (lab, {"method": "sctv"}, "tints but no solid"),
                               (ROOT / "data" / "samples" / "chart_reference.txt", {}, "no device values")):
        refuses(ValueError, lambda: tv.tone_values(chart, **kwargs), match=why)


def test_spot_colour_tone_value_of_lab_mixtures(tmp_path):
    # ISO 20654 maps Lab linearly to V = (L + 116 a / 500, L, L - 116 b / 200), so a tint that is
    # paper + s (solid - paper) in Lab has the tone value 100 s exactly.
    paper, solid = (95.0, 0.5, -2.0), (48.0, 74.0, -3.0)
    shares = (0.2, 0.45, 0.7)
    rows = [("paper", (0, 0, 0, 0), paper), ("M100", (0, 100, 0, 0), solid)]
    rows += [(f"M{n}", (0, n, 0, 0), tuple(p + s * (q - p) for p, q in zip(paper, solid))) for n, s in zip((20, 40, 60), shares)]
    result = tv.tone_values(cmyk_lab(tmp_path / "m.txt", rows), method="sctv")
    (magenta,) = result["channels"]
    assert magenta["name"] == "M" and magenta["filter"] is None
    assert [p["tone"] for p in magenta["points"]] == pytest.approx([100 * s for s in shares], abs=1e-6)
    assert [p["tvi"] for p in magenta["points"]] == pytest.approx([0.0, 5.0, 10.0], abs=1e-6)


@needs_tool
def test_python_gives_the_tools_numbers(tmp_path):
    tool = json.loads(run("tvi", SMP, "--format", "json").stdout)
    for mine, theirs in zip(tv.tone_values(SMP)["channels"], tool["channels"], strict=True):
        assert (mine["name"], mine["filter"]) == (theirs["name"], theirs["filter"])
        assert mine["points"] == [pytest.approx(p) for p in theirs["points"]]
    compared = run("compare", REF, SMP, "--tolerances", "iso12647-7-proof", "--format", "json")
    expected = json.loads(compared.stdout)["tolerances"]
    result = tv.evaluate_tolerances(REF, SMP, "iso12647-7-proof")
    assert {k: result[k] for k in ("name", "verdict", "formula")} == {k: expected[k] for k in ("name", "verdict", "formula")}
    for got, want in zip(result["groups"], expected["groups"], strict=True):
        assert got == pytest.approx(want), want["name"]


def test_page_shows_the_grouped_verdicts_and_tone_value_curves(tmp_path):
    group = {"name": "cyan tints", "select": "tints:C", "metric": "dE", "max": {"warn": 0.5, "fail": 50}}
    empty = {"name": "greys", "select": "cmy-grey", "metric": "dCh", "mean": {"fail": 1}}
    tolerances = tmp_path / "set.json"
    tolerances.write_text(json.dumps({"name": "mine", "source": "a test", "groups": [group, empty]}))
    # The strips without their greys: a group that selects no patch (a name that is not there is
    # an error, not an empty group).
    files = []
    for path in (REF, SMP):
        chart = tv.Cgats(path)
        keep = [i for i, name in enumerate(chart.sample_names()) if not name.startswith("grey")]
        files.append(tmp_path / path.name)
        chart.select(keep).save(files[-1])
    summary = tv.report(*files, tmp_path / "page.html", tolerances=tolerances)
    result = summary["tolerances"]
    assert result["verdict"] == "warn" and [g["verdict"] for g in result["groups"]] == ["warn", "empty"]
    assert result["groups"][1]["count"] == 0 and result["groups"][1]["mean"] is None
    text = (tmp_path / "page.html").read_text()
    assert re.search(r'id="verdict"[^>]*aria-label="WARN"', text) and '<section id="tolerances">' in text
    assert '<section id="tvi">' in text
    assert text.count("<tr class=\"warn\">") == 1 and text.count("<tr class=\"empty\">") == 1
    # Reference and sample curves of the four channels.
    tvi = text[text.index('<section id="tvi">'):]
    assert tvi.count('<polyline class="ref"') == 4 and tvi.count('<polyline class="smp"') == 4
    # Each curve in the colour of its ink: cyan bluer than red, magenta with little green, yellow
    # with little blue, black dark.
    strokes = {name: [int(h * 2, 16) for h in hex] if len(hex) == 3 else [int(hex[i:i + 2], 16) for i in (0, 2, 4)]
               for hex, name in re.findall(r'<polyline class="ref" stroke="#([0-9a-f]+)"[^>]*><title>(\w)</title>', tvi)}
    (r, g, b), (mr, mg, mb), (yr, yg, yb), black = (strokes[k] for k in "CMYK")
    assert b > r and min(mr, mb) > mg and min(yr, yg) > yb and max(black) < 64
    # Each curve runs across the plot from nominal 0 to 100, its tints at their nominal values and
    # as high as their tone value increase: in proportion to it, the largest the highest.
    tones = {c["name"]: c["points"] for c in tv.tone_values(tv.Cgats(files[0]))["channels"]}
    curves = re.findall(r'<polyline class="ref" stroke="#[0-9a-f]+" points="([^"]+)"><title>(\w)</title>', tvi)
    assert len(curves) == 4
    for points, name in curves:
        xy = [tuple(map(float, p.split(","))) for p in points.split()]
        (x0, y0), (x1, _) = xy[0], xy[-1]
        inner, tints = xy[1:-1], tones[name]
        assert [round((x - x0) / (x1 - x0) * 100) for x, _ in inner] == [round(p["nominal"]) for p in tints]
        rise = [y0 - y for _, y in inner]
        top = max(range(len(tints)), key=lambda i: tints[i]["tvi"])
        assert rise[top] > 20 and max(rise) == rise[top]
        assert all(abs(r / rise[top] - p["tvi"] / tints[top]["tvi"]) < 0.01 for r, p in zip(rise, tints))
    # Without tints there is no curve to draw.
    plain = tmp_path / "plain.html"
    tv.report(ROOT / "data" / "samples" / "chart_reference.txt", ROOT / "data" / "samples" / "chart_measured.txt", plain)
    assert 'id="tvi"' not in plain.read_text()


def test_malformed_sets_are_refused(tmp_path):
    # A limit given twice (JSON parsers keep the last) and a set over 1 MB are no tolerance sets.
    group = '{"name": "x", "groups": [{"name": "g", "select": "all", "metric": "%s", "max": {"fail": %s}}]}'
    for text, why in ((group % ("dZ", "1"), 'group "g": unknown metric "dZ"'), (None, "no tolerance set"),
                      (group % ("dE", '0.01, "fail": 100'), 'the key "fail" is given twice'),
                      ('{"name": "x", "groups": [], "source": "' + "x" * (1 << 20) + '"}', "bytes, over the 1048576")):
        bad = tmp_path / "bad.json"
        bad.write_text(text or "")
        refuses(ValueError, lambda: tv.evaluate_tolerances(REF, SMP, bad if text else "no-such-set"), match=why)


def test_report_returns_the_summary_compare_gives(tmp_path):
    # Media-relative included: the page's summary is compare's, entry for entry, with its verdict.
    summary = tv.report(REF, SMP, tmp_path / "page.html", max=1.0, paper_relative=True)
    compared = tv.compare(REF, SMP, max=1.0, paper_relative=True)["summary"]
    assert compared["white"].startswith("paper of each file")
    assert {k: summary[k] for k in compared} == compared and summary["passed"] == (compared["over_tolerance"] == 0)
