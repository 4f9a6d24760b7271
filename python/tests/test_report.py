# The QC page of `tintvale report` and tintvale.report: well-formed, its numbers those of compare,
# its patches where the layout puts them, its colours those published for known Lab values.
import json
import math
import os
import re
import xml.etree.ElementTree as ET

import pytest
from conftest import TOOL, needs_tool, refuses, run

import numpy as np
import tintvale as tv

SVG = "{http://www.w3.org/2000/svg}"

# X-Rite ColorChecker Classic (formulation 2005 to November 2014): CIELAB under D50 (2 degree) and
# the 8-bit sRGB X-Rite publishes with it, by Bradford adaptation to D65; cyan lies outside sRGB
# and is published clipped (R = 0). colormath 3.0 gives the same 8-bit values from these L*a*b*.
COLORCHECKER = [
    ("dark skin", (37.986, 13.555, 14.059), (116, 81, 67)), ("light skin", (65.711, 18.130, 17.810), (199, 147, 129)),
    ("blue sky", (49.927, -4.880, -21.925), (91, 122, 156)), ("foliage", (43.139, -13.095, 21.905), (90, 108, 64)),
    ("blue flower", (55.112, 8.844, -25.399), (130, 128, 176)), ("bluish green", (70.719, -33.397, -0.199), (92, 190, 172)),
    ("orange", (62.661, 36.067, 57.096), (224, 124, 47)), ("purplish blue", (40.020, 10.410, -45.964), (68, 91, 170)),
    ("moderate red", (51.124, 48.239, 16.248), (198, 82, 97)), ("purple", (30.325, 22.976, -21.587), (94, 58, 106)),
    ("yellow green", (72.532, -23.709, 57.255), (159, 189, 63)), ("orange yellow", (71.941, 19.363, 67.857), (230, 162, 39)),
    ("blue", (28.778, 14.179, -50.297), (35, 63, 147)), ("green", (55.261, -38.342, 31.370), (67, 149, 74)),
    ("red", (42.101, 53.378, 28.190), (180, 49, 57)), ("yellow", (81.733, 4.039, 79.819), (238, 198, 20)),
    ("magenta", (51.935, 49.986, -14.574), (193, 84, 151)), ("cyan", (51.038, -28.631, -28.638), (0, 136, 170)),
    ("white", (96.539, -0.425, 1.186), (245, 245, 243)), ("neutral 8", (81.257, -0.638, -0.335), (200, 202, 202)),
    ("neutral 6.5", (66.766, -0.734, -0.504), (161, 163, 163)), ("neutral 5", (50.867, -0.153, -0.270), (121, 121, 122)),
    ("neutral 3.5", (35.656, -0.421, -1.231), (82, 84, 86)), ("black", (20.461, -0.079, -0.973), (49, 49, 51)),
]


# Raw names and how every output spells them: Latin-1 decoded, markup escaped, controls (C0, DEL, C1)
# shown as \xNN, non-characters replaced, bidirectional overrides isolated.
ODD_NAMES = [(b"Gr\xfcn", "Grün"), ("Blau \u2192".encode(), "Blau \u2192"), (b"<a&b>'", "<a&b>'"), (b"x\x01y", "x\\x01y"),
             (b"d\x7fe", "d\\x7fe"), (b"c\x9fd", "c\\x9fd"), ("u\uffffv".encode(), "u\ufffdv"), ("\u202eabc".encode(), "\u2068\u202eabc\u2069")]
SECTIONS = ["summary", "tolerances", "conditions", "chart", "bars", "cdf", "ab", "spectra", "tvi", "table"]
CHAR_WIDTH = 0.6  # a generous average advance of a sans-serif character, in ems


def lab_file(path, rows, header=b""):
    # A named Lab chart as instrument software writes it; rows are (name as bytes, (L, a, b)).
    data = b"".join(b'"%s"\t%g\t%g\t%g\n' % (name, *lab) for name, lab in rows)
    path.write_bytes(b"CGATS.17\n" + header + b'KEYWORD "SampleID"\nNUMBER_OF_FIELDS 4\nBEGIN_DATA_FORMAT\nSampleID\tLAB_L'
                     b"\tLAB_A\tLAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS %d\nBEGIN_DATA\n%bEND_DATA\n" % (len(rows), data))
    return path


# The page as an element tree: well-formed as a whole (so its tags nest), each drawing well-formed
# SVG on its own, self-closing tags only where HTML allows them, nothing fetched from elsewhere.
def page(path):
    text = path.read_bytes().decode("utf-8")
    root = ET.fromstring(text)
    drawings = re.findall(r"<svg\b.*?</svg>", text, re.S)
    assert len(drawings) >= 3 and all(ET.fromstring(svg).tag == SVG + "svg" for svg in drawings)
    html = re.sub(r"<svg\b.*?</svg>", "", text, flags=re.S)
    assert set(re.findall(r"<(\w+)[^<>]*/>", html)) <= {"meta", "br", "hr", "img", "input", "link"}
    assert text.startswith("<!DOCTYPE html>") and not re.search(r"<script|\b(?:src|href)=|url\((?!#arrow\))", text)
    # Printed as shown, each heading kept with its drawing.
    style = root.find(".//style").text
    assert "print-color-adjust:exact" in style and "@media print" in style and "break-after:avoid" in style
    assert [s.get("id") for s in root.iter("section")] == [i for i in SECTIONS if root.find(f".//section[@id='{i}']") is not None]
    for svg in root.iter(SVG + "svg"):
        if svg.get("viewBox"):  # table swatches have none
            inside(svg)
    return root


def inside(svg):
    # Every label of a drawing within its viewBox, measured generously (rotated bar names as well).
    x0, y0, width, height = map(float, svg.get("viewBox").split())
    for t in svg.iter(SVG + "text"):
        if t.get("class", "").split()[0:1] in (["lbl"], ["de"]):
            continue  # chart cells: checked against their cell
        size = 22 if "verdict" in svg.get("class", "") else 11
        length = len(t.text or "") * CHAR_WIDTH * size
        if t.get("transform"):
            x, y, angle = map(float, re.fullmatch(r"translate\(([-\d.]+),([-\d.]+)\) rotate\(([-\d.]+)\)", t.get("transform")).groups())
            shift = {"end": 1.0, "middle": 0.5}.get(t.get("text-anchor"), 0.0) * length
            ends = [(x - shift * math.cos(math.radians(angle)), y - shift * math.sin(math.radians(angle)))]
            ends += [(ex + length * math.cos(math.radians(angle)), ey + length * math.sin(math.radians(angle))) for ex, ey in ends]
            assert all(x0 - size <= ex <= x0 + width + size and y0 <= ey <= y0 + height + size for ex, ey in ends), t.text
            continue
        x, y = float(t.get("x")), float(t.get("y"))
        left = x - {"end": 1.0, "middle": 0.5}.get(t.get("text-anchor"), 0.0) * length
        assert x0 <= left and left + length <= x0 + width and y0 + 0.7 * size <= y <= y0 + height, (t.text, left, length, width)


def text(element):
    return "".join(element.itertext()).strip()


def table(root):  # name and numbers of each row of the patch table, top to bottom
    rows = root.find(".//table[@class='patches']/tbody")
    return [(text(tr[2]), [text(td) for td in tr if td.get("class") in (None, "de")][2:]) for tr in rows]


def patches(root):  # name, (column, row), fills, classes of each drawn patch, in file order
    found, rows = [], 0  # a long chart is drawn in parts, one below the other
    for drawing in root.find(".//*[@id='chart']").iter(SVG + "svg"):
        drawn = [g for g in drawing.iter(SVG + "g") if "patch" in g.get("class", "").split()]
        at = [tuple(map(int, re.fullmatch(r"translate\((\d+),(\d+)\)", g.get("transform")).groups())) for g in drawn]
        ys = sorted({y for _, y in at})
        found += [(g.find(SVG + "title").text.split(": ")[0], (x // 100, rows + ys.index(y)),
                   [r.get("fill") for r in g.findall(SVG + "rect") if r.get("fill")], g.get("class").split())
                  for g, (x, y) in zip(drawn, at)]
        rows += len(ys)
    return found


def shown(value):  # a number as compare's table shows it
    return f"{value:.2f}".replace("-0.00", "0.00")


@pytest.fixture(autouse=True)
def fixed_time(monkeypatch):  # the page states when it was made: the same page from the tool and the module
    monkeypatch.setenv("SOURCE_DATE_EPOCH", "1767225600")


@needs_tool
@pytest.mark.parametrize("options", [["--max", "2"], ["--formula", "CIELAB Delta E (Classic)", "--max", "100",
                                                      "--illuminant", "CIE Illuminant D65", "--observer", "10 degree"]])
def test_page_shows_what_compare_computes(charts, tmp_path, options):
    # --max 2 puts the tolerance at the top of the Delta E axes, where its labels used to be cut off.
    out, again = tmp_path / "report.html", tmp_path / "module.html"
    made, compared = run("report", *charts, "-o", out, *options), run("compare", *charts, "--format", "json", *options)
    assert made.returncode == compared.returncode and made.stderr == ""
    expected, root = json.loads(compared.stdout), page(out)
    summary = {tr.get("data-key"): text(tr.find("td")) for tr in root.iter("tr") if tr.get("data-key")}
    for key, value in expected["summary"].items():  # "over_tolerance" shows "n of N"
        assert summary[key].split(" of ")[0] == (shown(value) if isinstance(value, float) else str(value)), key
    over, n = expected["summary"]["over_tolerance"], expected["summary"]["samples"]
    assert text(root.find(".//*[@id='verdict']")) == ("FAIL" if over else "PASS") and made.returncode == (over > 0)
    # Spread and share over the tolerance, with NumPy's sample standard deviation.
    assert summary["sd"] == shown(np.std([r["dE"] for r in expected["samples"]], ddof=1))
    assert summary["over_tolerance"] == f"{over} of {n} ({100 * over / n:.1f} %)"
    # Every patch, largest difference first, with the CIELAB terms whatever the formula.
    rows = sorted(expected["samples"], key=lambda r: -r["dE"])
    assert [name for name, _ in table(root)] == [r["sample"] for r in rows]
    for (name, numbers), r in zip(table(root), rows):
        assert numbers[:6] == [shown(r[k]) for k in ("ref_L", "ref_a", "ref_b", "L", "a", "b")], name
        assert numbers[6:] == [shown(r[k]) for k in ("dL", "da", "db", "dC", "dH", "dE")], name
    section = root.find(".//*[@id='spectra']")  # the six largest differences, each in its patch's colour
    assert [text(li).rsplit(" (", 1)[0] for li in section.iter("li")] == [r["sample"] for r in rows[:6]]
    fill = {name: fills[0] for name, _, fills, _ in patches(root)}
    keys = [re.fullmatch(r"border-color:(#\w{6})", span.get("style")).group(1) for span in section.iter("span")]
    assert keys == [fill[r["sample"]] for r in rows[:6]]
    drawn = [(p.get("class"), p.get("stroke")) for p in section.iter(SVG + "polyline") if "outline" not in p.get("class")]
    assert drawn == [(cls, key) for key in keys for cls in ("ref", "smp")]
    assert [t.text for t in section.iter(SVG + "text") if t.get("class") == "name"] == [r["sample"] for r in rows[:6]]
    # Files by their base names; what each file states of itself.
    conditions = {tr.get("data-key"): [text(td) for td in tr.findall("td")] for tr in root.find(".//*[@id='conditions']").iter("tr")}
    assert conditions["file"] == [charts[0].name, charts[1].name] and str(charts[0].parent) not in ET.tostring(root, "unicode")
    assert conditions["measurement_condition"] == ["M0", "M0"] and conditions["originator"] == ["tintvale_make_samples"] * 2
    assert f"tintvale {tv.__version__} on 2026-01-01 00:00 UTC" in text(root.find(".//*[@id='made']"))
    # a*b*: every arrow from a reference towards its sample (b* upwards), all magnified alike.
    ab = root.find(".//*[@id='ab']")
    drawing = list(ab.iter(SVG + "svg"))[0]
    arrows = []  # per patch in chart order: its dot, and the arrow drawn after it (or None)
    for element in drawing:
        if element.tag == SVG + "circle":
            arrows.append(None)
        elif element.get("class") == "shift":
            assert (element.get("x1"), element.get("y1")) == (previous.get("cx"), previous.get("cy"))
            arrows[-1] = [float(element.get(k)) for k in ("x2", "y2")] - np.array([float(element.get(k)) for k in ("x1", "y1")])
        previous = element
    assert len(arrows) == n and any(a is not None for a in arrows)
    scales = []
    for drawn, r in zip(arrows, expected["samples"]):
        if drawn is not None:
            shift = np.array([r["a"] - r["ref_a"], r["ref_b"] - r["b"]])
            assert abs(np.cross(shift, drawn)) < 0.05 * np.linalg.norm(shift) * np.linalg.norm(drawn) and shift @ drawn > 0
            scales.append(np.linalg.norm(drawn) / np.linalg.norm(shift))
    assert max(scales) < 1.05 * min(scales)
    flags = dict(zip(options[::2], options[1::2]))
    result = tv.report(*charts, again, formula=flags.get("--formula", "Delta E 2000"), max=float(flags["--max"]),
                       illuminant=flags.get("--illuminant", "CIE Illuminant D50"), observer=flags.get("--observer", "2 degree"))
    assert again.read_bytes() == out.read_bytes() and {k: result[k] for k in expected["summary"]} == expected["summary"]


@pytest.fixture(scope="module")
def lab_page(tmp_path_factory):
    # Beyond the chart, two colours far outside sRGB, expected 8-bit values computed once with
    # colormath 3.0 (Debian python3-colormath): convert_color(LabColor(L, a, b, illuminant="d50"),
    # sRGBColor) (Bradford adaptation), clamped_rgb scaled to 8 bits. Then names as older instrument
    # software writes them (Latin-1), markup characters, a control character.
    known = COLORCHECKER + [("far green", (60.0, -100.0, 80.0), (0, 0xB3, 0)), ("violet", (30.0, 60.0, -110.0), (0, 0x1E, 0xFD))]
    rows = [(name.encode(), lab) for name, lab, _ in known] + [(raw, (50.0, 0.0, 0.0)) for raw, _ in ODD_NAMES]
    chart = lab_file(tmp_path_factory.mktemp("lab") / "chart.txt", rows, b"LGOROWLENGTH\t5\n")
    tv.report(chart, chart, chart.with_suffix(".html"), illuminant="CIE Illuminant D50")
    return chart, known, page(chart.with_suffix(".html"))


def test_lab_page_colours_names_and_placement(lab_page):
    chart, known, root = lab_page
    drawn = patches(root)
    names = [name for name, _, _ in known] + [name for _, name in ODD_NAMES]
    assert [name for name, *_ in drawn] == names == [name for name, _ in table(root)]
    assert [at for _, at, _, _ in drawn] == [(k % 5, k // 5) for k in range(len(names))]  # LGOROWLENGTH
    for (name, _, fills, _), (_, _, srgb) in zip(drawn, known):
        for fill in fills:  # reference and sample alike
            assert max(abs(int(fill[i:i + 2], 16) - e) for i, e in zip((1, 3, 5), srgb)) <= 1, (name, fill, srgb)
    # Table swatches (SVG fills, which print without background graphics) as the chart's patches.
    swatches = {text(tr[2]): [td.find(f"{SVG}svg/{SVG}rect").get("fill") for td in tr if td.get("class", "").startswith("sw")]
                for tr in root.find(".//table[@class='patches']/tbody")}
    assert all(swatches[name] == fills for name, _, fills, _ in drawn)
    clipped = [g for g in root.iter(SVG + "g") if "clipped" in g.get("class", "")]
    assert [name for name, _, _, classes in drawn if "clipped" in classes] == ["cyan", "far green", "violet"]
    assert len(clipped) == 3
    for g in clipped:  # a mark in the top right corner of the reference's square and of the sample's
        squares = [(int(r.get("x", 0)), int(r.get("y", 0)), int(r.get("width"))) for r in g.findall(SVG + "rect") if r.get("fill")]
        marks = [tuple(map(int, re.fullmatch(r"M(\d+) (\d+)h(\d+)v\3z", m.get("d")).groups()))
                 for m in g.findall(SVG + "path[@class='clipmark']")]
        assert sorted((x + s, y) for x, y, s in marks) == sorted((x + w, y) for x, y, w in squares)
    assert root.find(".//*[@id='spectra']") is None and next(root.iter(SVG + "polyline"), None) is None
    labels = [t.text for t in root.iter(SVG + "text") if t.get("class", "").startswith("lbl")]
    assert len(labels) == len(set(labels)) == len(names) and all(len(label) <= 12 for label in labels)
    if TOOL:  # compare spells the names as the page does, in JSON and CSV alike
        assert [r["sample"] for r in json.loads(run("compare", chart, chart, "--format", "json").stdout)["samples"]] == names
        csv = run("compare", chart, chart, "--format", "csv").stdout
        assert [line.split(",")[0].strip('"') for line in csv.splitlines()[1:]] == [n.replace('"', '""') for n in names]


@pytest.mark.parametrize("header, count, columns", [(b"NUMBER_OF_STRIPS\t3\n", 7, 3), (b"", 10, 4), (b"", 9, 3),
                                                   (b"LGOROWLENGTH\t1000000\n", 7, 7), (b"LGOROWLENGTH\t2\n", 30, 2)])
def test_patches_without_a_row_length(tmp_path, header, count, columns):  # no layout: ceil(sqrt(n)) columns; at most n
    chart = lab_file(tmp_path / "chart.txt", [(b"p%d" % k, (50.0, 0.0, 0.0)) for k in range(count)], header)
    tv.report(chart, chart, tmp_path / "report.html")
    root = page(tmp_path / "report.html")
    assert [at for _, at, _, _ in patches(root)] == [(k % columns, k // columns) for k in range(count)]
    # Each drawing at most a printed page high (850 px at 700 px wide).
    boxes = [list(map(float, svg.get("viewBox").split()))[2:] for svg in root.find(".//*[@id='chart']").iter(SVG + "svg")]
    assert len(boxes) == (2 if count == 30 else 1) and all(h * min(1, 700 / w) <= 850 for w, h in boxes)


@needs_tool
@pytest.mark.parametrize("case, options, kwargs", [
    ("malformed", [], {}), ("missing", [], {}), ("count", [], {}), ("good", ["--formula", "Delta E 99"], {"formula": "Delta E 99"}),
    ("good", ["--table", "1"], {"table": 1}), ("unwritable", [], None)])
def test_bad_input_fails_as_compare_does_writing_nothing(tmp_path, case, options, kwargs):
    good = lab_file(tmp_path / "good.txt", [(b"p%d" % k, (50.0, k, 0.0)) for k in range(3)])
    bad = tmp_path / "bad.txt"  # malformed: no END_DATA_FORMAT; count: unnamed, 1 sample against 3
    bad.write_text("CGATS.17\nNUMBER_OF_FIELDS 3\nBEGIN_DATA_FORMAT\nLAB_L LAB_A LAB_B\n"
                   + ("" if case == "malformed" else "END_DATA_FORMAT\n") + "NUMBER_OF_SETS 1\nBEGIN_DATA\n50 0 0\nEND_DATA\n")
    files = [good, {"malformed": bad, "count": bad, "missing": tmp_path / "missing.txt"}.get(case, good)]
    out = tmp_path / ("no-such-dir/report.html" if case == "unwritable" else "report.html")
    (tmp_path / "report.html").write_text("previous")  # a failed report keeps the previous page
    made = run("report", *files, "-o", out, *options)
    assert made.returncode == 2 and made.stdout == "" and len(list(tmp_path.iterdir())) == 3
    assert (tmp_path / "report.html").read_text() == "previous"
    if kwargs is None:
        assert made.stderr.endswith("no-such-dir/report.html: could not be written: not found (code 4)\n")
        return
    assert made.stderr == run("compare", *files, *options).stderr
    try:  # a file that cannot be read raises what Cgats raises; files that cannot be compared ValueError
        tv.Cgats(files[1])
        cause = ValueError()
    except (OSError, tv.TintvaleError) as error:
        cause = error
    with pytest.raises(type(cause)) as failure:
        tv.report(*files, out, **kwargs)
    assert getattr(failure.value, "code", None) == getattr(cause, "code", None) and out.read_text() == "previous"
    assert made.stderr == f"tintvale: {failure.value}\n" or not isinstance(cause, ValueError)
    for tolerance in (-1.0, float("nan"), float("inf")):  # the module refuses a tolerance that is no distance
        with pytest.raises(ValueError, match="max must be a finite non-negative number"):
            tv.report(good, good, tmp_path / "new.html", max=tolerance)
    assert not (tmp_path / "new.html").exists()


def test_conditions_warn_refuse_and_adapt(tmp_path):
    rows = [(b"c", (50.0, 20.0, -30.0))]
    m0 = lab_file(tmp_path / "m0.txt", rows, b'MEASUREMENT_CONDITION\t"M0"\n')
    m2 = lab_file(tmp_path / "m2.txt", rows, b'MEASUREMENT_CONDITION\t"M2"\n')
    with pytest.warns(UserWarning, match=r'state different MEASUREMENT_CONDITION \("M0", "M2"\)'):
        result = tv.report(m0, m2, tmp_path / "page.html", max=1.0)
    assert result["passed"] and len(result["warnings"]) == 1
    refuses(ValueError, lambda: tv.report(m0, m2, tmp_path / "strict.html", strict_conditions=True))
    # Lab stated for D65 against D50 data: refused unless adapted (Bradford, the tool's value).
    d65 = lab_file(tmp_path / "d65.txt", rows, b'KEYWORD\t"ILLUMINANT"\nILLUMINANT\t"D65"\n')
    assert "--adapt" in str(refuses(ValueError, lambda: tv.report(m0, d65, tmp_path / "never.html")))
    assert not (tmp_path / "never.html").exists()
    # The adapted Lab computed once with NumPy 1.24 (see tools/tests/conditions_tests.cmake).
    adapted = tv.report(m0, d65, tmp_path / "adapted.html", adapt="bradford")
    expected = tv.delta_e([49.72165813, 16.98345376, -30.23745014], [50.0, 20.0, -30.0])
    assert abs(adapted["max"] - expected) < 1e-5 and adapted["illuminant"] == "CIE Illuminant D50"


def test_large_chart(tmp_path):
    # 2 000 patches: a histogram instead of bars, the chart unlabelled, the table whole, the page small;
    # three samples of the sample file without a reference partner named in a note.
    rng = np.random.default_rng(5)
    lab = np.column_stack([rng.uniform(5, 95, 2000), rng.uniform(-60, 60, 2000), rng.uniform(-60, 60, 2000)])
    shifted = lab + rng.normal(0, 0.8, lab.shape)
    names = [b"P%d" % k for k in range(1, 2001)]
    reference = lab_file(tmp_path / "ref.txt", list(zip(names, lab)), b"LGOROWLENGTH\t50\n")
    sample = lab_file(tmp_path / "smp.txt", list(zip(names + [b"X1", b"X2", b"X3"], np.vstack([shifted, lab[:3]]))))
    result = tv.report(reference, sample, tmp_path / "big.html", max=2.0, formula="CIELAB Delta E (Classic)")
    assert (tmp_path / "big.html").stat().st_size < 2_000_000
    root = page(tmp_path / "big.html")
    bars = root.find(".//*[@id='bars']/div/" + SVG + "svg")
    counts = [(r.get("class"), int(r.get("data-count"))) for r in bars.iter(SVG + "rect")]
    assert "histogram" in bars.get("class") and len(counts) <= 50
    assert sum(n for _, n in counts) == 2000 and sum(n for cls, n in counts if "over" in cls) == result["over_tolerance"]
    assert result["over_tolerance"] == int(np.sum(np.linalg.norm(shifted - lab, axis=1) > 2.0))  # CIE 1976
    chart = root.find(".//*[@id='chart']")
    assert next(chart.iter(SVG + "text"), None) is None and len(patches(root)) == 2000 and len(table(root)) == 2000
    assert text(root.find(".//*[@id='unmatched']")).endswith("not compared: X1, X2, X3.")
    assert arrows_inside(root) > 1000


def test_bars_named_by_number_when_names_cannot_tell_them_apart(tmp_path):
    # Names alike however shortened to 12 characters give way to the patch numbers; of 60 patches, too many
    # to name, every tenth is numbered, centred under its bar.
    alike = [b"left column, 1, right column", b"left column, 2, right column"]
    tv.report(lab_file(tmp_path / "a.txt", [(name, (50.0, 0.0, 0.0)) for name in alike]),
              lab_file(tmp_path / "b.txt", [(name, (51.0, 0.0, 0.0)) for name in alike]), tmp_path / "alike.html")
    bars = page(tmp_path / "alike.html").find(".//*[@id='bars']")
    assert [t.text for t in bars.iter(SVG + "text") if t.get("class") == "name"] == ["1", "2"]
    reference = lab_file(tmp_path / "ref.txt", [(b"p%d" % k, (50.0, k / 10, 0.0)) for k in range(60)])
    sample = lab_file(tmp_path / "smp.txt", [(b"p%d" % k, (50.0, k / 5, 0.0)) for k in range(60)])
    tv.report(reference, sample, tmp_path / "r.html")
    bars = page(tmp_path / "r.html").find(".//*[@id='bars']/div/" + SVG + "svg")
    centres = [float(r.get("x")) + float(r.get("width")) / 2 for r in bars.iter(SVG + "rect")]
    numbers = [(t.text, float(t.get("x"))) for t in bars.iter(SVG + "text")
               if t.get("text-anchor") == "middle" and re.fullmatch(r"\d+", t.text or "")]
    assert [number for number, _ in numbers] == ["10", "20", "30", "40", "50", "60"] and len(centres) == 60
    assert all(abs(x - centres[int(number) - 1]) < 0.1 for number, x in numbers), numbers


def arrows_inside(root):  # the a*b* arrows, all ending inside the square of the grid; their count
    ab = root.find(".//*[@id='ab']/div/" + SVG + "svg")
    # Positions to 0.1 unit, as in every drawing: finer ones only make large charts' pages longer.
    assert all(re.fullmatch(r"-?\d+(\.\d)?", line.get(k)) for line in ab.iter(SVG + "line") for k in ("x1", "y1", "x2", "y2"))
    grid = [[float(l.get(k)) for k in ("x1", "y1", "x2", "y2")] for l in ab.iter(SVG + "line") if l.get("class") in ("grid", "zero")]
    xs, ys = [x for x, _, x2, _ in grid if x == x2], [y for _, y, _, y2 in grid if y == y2]
    ends = [(float(l.get("x2")), float(l.get("y2"))) for l in ab.iter(SVG + "line") if l.get("class") == "shift"]
    assert all(min(xs) <= x <= max(xs) and min(ys) <= y <= max(ys) for x, y in ends), ends
    return len(ends)


def test_magnified_arrows_stay_inside(tmp_path):
    # Small shifts are magnified 100 times; one at the edge of the square would leave it unless it widens.
    reference = lab_file(tmp_path / "ref.txt", [(b"a", (50.0, 79.9, 0.0)), (b"b", (50.0, 0.0, 0.0)), (b"c", (50.0, -20.0, 0.0))])
    sample = lab_file(tmp_path / "smp.txt", [(b"a", (50.0, 80.0, 0.0)), (b"b", (50.0, 0.05, 0.0)), (b"c", (50.0, -20.0, 0.05))])
    tv.report(reference, sample, tmp_path / "r.html")
    root = page(tmp_path / "r.html")
    assert arrows_inside(root) == 3 and "drawn 100 times its length" in text(root.find(".//*[@id='ab']//p"))


def test_names_scale_and_axes_of_the_drawings(tmp_path):
    # Names of at most 12 characters stay whole; longer ones keep 11 and an ellipsis, an isolated
    # name inside its isolation. The longest shift, 0.6, gives a scale bar of 0.5 (1, 2 or 5 times a
    # power of ten, at most the longest); an unmoved patch has its dot and no arrow.
    names = [b"twelve chars", b"thirteen char", "\u202eabcdefghijklmnop".encode()]
    reference = lab_file(tmp_path / "ref.txt", [(name, (50.0, 10.0, 10.0)) for name in names])
    sample = lab_file(tmp_path / "smp.txt", list(zip(names, [(50.0, 10.6, 10.0), (50.0, 10.0, 10.3), (50.0, 10.0, 10.0)])))
    tv.report(reference, sample, tmp_path / "r.html")
    root = page(tmp_path / "r.html")
    bars = [t.text for t in root.find(".//*[@id='bars']").iter(SVG + "text") if t.get("class") == "name"]
    assert bars == ["twelve chars", "thirteen ch\u2026", "\u2068\u202eabcdefghij\u2026\u2069"]
    assert arrows_inside(root) == 2 and "a shift of 0.5 in a*b*" in text(root.find(".//*[@id='ab']//p"))
    # The zero lines cross at the middle of the square; the a* title lies below it.
    ab = root.find(".//*[@id='ab']/div/" + SVG + "svg")
    lines = [([float(l.get(k)) for k in ("x1", "y1", "x2", "y2")], l.get("class")) for l in ab.iter(SVG + "line")]
    xs = [x for (x, _, x2, _), cls in lines if x == x2 and cls in ("grid", "zero")]
    ys = [y for (_, y, _, y2), cls in lines if y == y2 and cls in ("grid", "zero")]
    cx, cy = (min(xs) + max(xs)) / 2, (min(ys) + max(ys)) / 2
    zero = sorted(points for points, cls in lines if cls == "zero")
    assert sum(zero, []) == pytest.approx(sum(sorted([[cx, max(ys), cx, min(ys)], [min(xs), cy, max(xs), cy]]), []), abs=0.1)
    assert [float(t.get("y")) > max(ys) for t in ab.iter(SVG + "text") if t.text == "a*"] == [True]


def test_shown_values_agree_with_the_verdict(tmp_path):
    # CIE 1976 Delta E of two Lab values differing in L* alone is that difference: 0.503 over 0.5
    # would show as 0.50 against 0.50 with two decimals.
    reference = lab_file(tmp_path / "ref.txt", [(b"a", (50.0, 0.0, 0.0)), (b"b", (60.0, 0.0, 0.0))],
                         b'MEASUREMENT_CONDITION\t"M1"\nINSTRUMENTATION\t"spectro A"\n')
    sample = lab_file(tmp_path / "smp.txt", [(b"a", (50.503, 0.0, 0.0)), (b"b", (60.2, 0.0, 0.0))], b'MEASUREMENT_CONDITION\t"M2"\n')
    tv.report(reference, sample, tmp_path / "r.html", max=0.5, formula="CIELAB Delta E (Classic)")
    root = page(tmp_path / "r.html")
    over = [numbers[-1] for name, numbers in table(root)]
    tolerance = text(root.find(".//tr[@data-key='tolerance']/td"))
    assert over == ["0.503", "0.200"] and tolerance == "0.500" and "3 decimals" in text(root.find(".//*[@id='rule']"))
    # The sample standard deviation of two values is their difference over sqrt(2): 0.303 / 1.41421.
    assert text(root.find(".//tr[@data-key='sd']/td")) == "0.214"
    differs = {tr.get("data-key"): [text(td) for td in tr.findall("td")] for tr in root.findall(".//tr[@class='differs']")}
    assert differs == {"measurement_condition": ["M1", "M2"]}  # unstated on one side is no difference
    assert "MEASUREMENT_CONDITION" in text(root.find(".//*[@id='warnings']")) and str(tmp_path) not in ET.tostring(root, "unicode")
    assert [text(td) for td in root.find(".//tr[@data-key='instrument']").findall("td")] == ["spectro A", "\u2014"]
    tv.report(reference, sample, tmp_path / "full.html", full_paths=True)  # base names unless asked
    assert text(page(tmp_path / "full.html").find(".//tr[@data-key='reference']/td")) == str(reference)


def test_unwritable_page_raises_the_os_error(tmp_path):
    good = lab_file(tmp_path / "good.txt", [(b"p%d" % k, (50.0, k, 0.0)) for k in range(3)])
    with pytest.raises(FileNotFoundError) as missing:
        tv.report(good, good, tmp_path / "no-such-dir" / "report.html")
    assert missing.value.filename == str(tmp_path / "no-such-dir" / "report.html")
    with pytest.raises(NotADirectoryError):
        tv.report(good, good, good / "report.html")
    if os.geteuid() != 0:  # root writes into a read-only directory
        locked = tmp_path / "locked"
        locked.mkdir(mode=0o500)
        with pytest.raises(PermissionError):
            tv.report(good, good, locked / "report.html")

