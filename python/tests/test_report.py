# The QC page of `tintvale report` and tintvale.report: well-formed, its numbers those of compare,
# its patches where the layout puts them, its colours those published for known Lab values.
import json
import re
import xml.etree.ElementTree as ET

import pytest
from conftest import TOOL, needs_tool, run, run_json

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


def lab_file(path, rows, header=""):
    """A named Lab chart as instrument software writes it; rows are (name, (L, a, b))."""
    data = "".join(f'"{name}"\t{L}\t{a}\t{b}\n' for name, (L, a, b) in rows)
    path.write_text(f'CGATS.17\n{header}KEYWORD "SampleID"\nNUMBER_OF_FIELDS 4\nBEGIN_DATA_FORMAT\n'
                    f"SampleID\tLAB_L\tLAB_A\tLAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS {len(rows)}\n"
                    f"BEGIN_DATA\n{data}END_DATA\n")
    return path


def page(path):
    """The page as an element tree: well-formed as a whole (so its tags nest), each drawing well-formed
    SVG on its own, self-closing tags only where HTML allows them, nothing fetched from elsewhere."""
    text = path.read_bytes().decode("utf-8")
    root = ET.fromstring(text)
    drawings = re.findall(r"<svg\b.*?</svg>", text, re.S)
    assert len(drawings) >= 3 and all(ET.fromstring(svg).tag == SVG + "svg" for svg in drawings)
    html = re.sub(r"<svg\b.*?</svg>", "", text, flags=re.S)
    assert set(re.findall(r"<(\w+)[^<>]*/>", html)) <= {"meta", "br", "hr", "img", "input", "link"}
    assert text.startswith("<!DOCTYPE html>") and not re.search(r"<script|\b(?:src|href)=|url\(", text)
    return root


def text(element):
    return "".join(element.itertext()).strip()


def table(root):
    """The patch table: name and the numbers of each row, top to bottom."""
    rows = root.find(".//table[@class='patches']/tbody")
    return [(text(tr[1]), [text(td) for td in tr if td.get("class") in (None, "de")][1:]) for tr in rows]


def patches(root):
    """Name, column, row, fills, classes of each drawn patch, in file order."""
    out = []
    for g in (g for g in root.iter(SVG + "g") if "patch" in g.get("class", "").split()):
        x, y = map(int, re.fullmatch(r"translate\((\d+),(\d+)\)", g.get("transform")).groups())
        fills = [r.get("fill") for r in g.findall(SVG + "rect") if r.get("fill")]
        out.append((g.find(SVG + "title").text.split(": ")[0], x, y, fills, g.get("class").split()))
    return out


def shown(value):
    """A number as compare's table shows it."""
    return f"{value:.2f}".replace("-0.00", "0.00")


@needs_tool
@pytest.mark.parametrize("options", [["--max", "1.5"], ["--formula", "CIELAB Delta E (Classic)", "--max", "100",
                                                        "--illuminant", "CIE Illuminant D65", "--observer", "10 degree"]])
def test_page_shows_what_compare_computes(charts, tmp_path, options):
    out, again = tmp_path / "report.html", tmp_path / "module.html"
    made, compared = run("report", *charts, "-o", out, *options), run("compare", *charts, "--format", "json", *options)
    assert made.returncode == compared.returncode and made.stderr == ""
    expected, root = json.loads(compared.stdout), page(out)
    summary = {tr.get("data-key"): text(tr.find("td")) for tr in root.iter("tr") if tr.get("data-key")}
    for key, value in expected["summary"].items():  # "over_tolerance" shows "n of N"
        assert summary[key].split(" of ")[0] == (shown(value) if isinstance(value, float) else str(value)), key
    over = expected["summary"]["over_tolerance"]
    assert text(root.find(".//*[@id='verdict']")) == ("FAIL" if over else "PASS") and made.returncode == (over > 0)
    # Every patch, largest difference first; Delta L, C, H only where the formula is built on them.
    rows, cielab = sorted(expected["samples"], key=lambda r: -r["dE"]), len(options) > 2
    assert [name for name, _ in table(root)] == [r["sample"] for r in rows]
    for (name, numbers), r in zip(table(root), rows):
        assert numbers[:6] == [shown(r[k]) for k in ("ref_L", "ref_a", "ref_b", "L", "a", "b")], name
        assert numbers[-1] == shown(r["dE"]) and len(numbers) == (10 if cielab else 7), name
        assert not cielab or numbers[6] == shown(r["L"] - r["ref_L"])
    section = root.find(".//*[@id='spectra']")
    assert [text(li).rsplit(" (", 1)[0] for li in section.iter("li")] == [name for name, _ in table(root)][:6]
    assert [p.get("class") for p in section.iter(SVG + "polyline")] == ["ref", "smp"] * 6
    flags = dict(zip(options[::2], options[1::2]))
    result = tv.report(*charts, again, formula=flags.get("--formula", "Delta E 2000"), max=float(flags["--max"]),
                       illuminant=flags.get("--illuminant", "CIE Illuminant D50"), observer=flags.get("--observer", "2 degree"))
    assert again.read_bytes() == out.read_bytes() and {k: result[k] for k in expected["summary"]} == expected["summary"]


@pytest.mark.parametrize("header, count, columns", [
    ("LGOROWLENGTH\t5\n", 12, 5), ("NUMBER_OF_STRIPS\t3\n", 7, 3),
    ("", 10, 4), ("", 9, 3),  # no layout: a near-square grid, ceil(sqrt(n)) columns
])
def test_patches_are_placed_by_the_layout(tmp_path, header, count, columns):
    chart = lab_file(tmp_path / "chart.txt", [(f"p{k}", (50.0, 0.0, 0.0)) for k in range(count)], header)
    tv.report(chart, chart, tmp_path / "report.html")
    root = page(tmp_path / "report.html")
    drawn = patches(root)
    xs, ys = sorted({x for _, x, _, _, _ in drawn}), sorted({y for _, _, y, _, _ in drawn})
    assert len(xs) == columns and len(ys) == -(-count // columns)
    assert [(xs.index(x), ys.index(y)) for _, x, y, _, _ in drawn] == [(k % columns, k // columns) for k in range(count)]
    assert root.find(".//*[@id='spectra']") is None and b"polyline" not in (tmp_path / "report.html").read_bytes()


def test_known_lab_values_render_as_published_srgb_clipped_and_marked(tmp_path):
    # Beyond the chart, two colours far outside sRGB, expected 8-bit values computed once with
    # colormath 3.0 (Debian python3-colormath): convert_color(LabColor(L, a, b, illuminant="d50"),
    # sRGBColor) (Bradford adaptation), clamped_rgb scaled to 8 bits.
    rows = COLORCHECKER + [("far green", (60.0, -100.0, 80.0), (0, 0xB3, 0)),
                           ("violet", (30.0, 60.0, -110.0), (0, 0x1E, 0xFD))]
    chart = lab_file(tmp_path / "colorchecker.txt", [(name, lab) for name, lab, _ in rows])
    tv.report(chart, chart, tmp_path / "report.html", illuminant="CIE Illuminant D50")
    root = page(tmp_path / "report.html")
    drawn = patches(root)
    assert [name for name, *_ in drawn] == [name for name, _, _ in rows]
    for (name, _, _, fills, classes), (_, _, srgb) in zip(drawn, rows):
        for fill in fills:  # reference and sample alike
            got = [int(fill[i:i + 2], 16) for i in (1, 3, 5)]
            assert max(abs(g - e) for g, e in zip(got, srgb)) <= 1, (name, got, srgb)
        assert ("clipped" in classes) == (name in ("cyan", "far green", "violet")), name
    marks = [g for g in root.iter(SVG + "g") if "clipped" in g.get("class", "")]
    assert len(marks) == 3 and all(g.find(SVG + "path[@class='clipmark']") is not None for g in marks)


def test_names_reach_the_page_as_text(tmp_path):
    # Latin-1 as older instrument software writes it, markup characters, a control character.
    names = [b"Gr\xfcn", "Blau \u2192".encode(), b"<a&b>'", b"x\x01y"]
    chart = tmp_path / "names.txt"
    chart.write_bytes(b'CGATS.17\nNUMBER_OF_FIELDS 4\nBEGIN_DATA_FORMAT\nSampleID\tLAB_L\tLAB_A\tLAB_B\n'
                      b"END_DATA_FORMAT\nNUMBER_OF_SETS 4\nBEGIN_DATA\n"
                      + b"".join(b'"' + n + b'"\t50\t0\t0\n' for n in names) + b"END_DATA\n")
    tv.report(chart, chart, tmp_path / "report.html")
    root = page(tmp_path / "report.html")
    assert [name for name, *_ in patches(root)] == ["Grün", "Blau \u2192", "<a&b>'", "x\ufffdy"] == [n for n, _ in table(root)]
    if TOOL:  # compare's JSON takes the same bytes (it used to fail on them)
        assert len(run_json("compare", chart, chart)["samples"]) == 4


@needs_tool
@pytest.mark.parametrize("case", ["malformed", "count", "formula", "table", "unwritable"])
def test_bad_input_fails_as_compare_does_writing_nothing(tmp_path, case):
    good = lab_file(tmp_path / "good.txt", [(f"p{k}", (50.0, k, 0.0)) for k in range(3)])
    body = "NUMBER_OF_SETS 1\nBEGIN_DATA\n50 0 0\nEND_DATA\n"
    bad = tmp_path / "bad.txt"  # malformed: no END_DATA_FORMAT; count: unnamed, 1 sample against 3
    bad.write_text("CGATS.17\nNUMBER_OF_FIELDS 3\nBEGIN_DATA_FORMAT\nLAB_L LAB_A LAB_B\n"
                   + ("" if case == "malformed" else "END_DATA_FORMAT\n") + body)
    files = [good, bad] if case in ("malformed", "count") else [good, good]
    options = {"formula": ["--formula", "Delta E 99"], "table": ["--table", "1"]}.get(case, [])
    out = tmp_path / ("no-such-dir/report.html" if case == "unwritable" else "report.html")
    if case != "unwritable":
        out.write_text("previous")  # a failed report keeps the previous page
    made = run("report", *files, "-o", out, *options)
    assert made.returncode == 2 and made.stdout == "" and len(list(tmp_path.iterdir())) == 2 + out.exists()
    if case == "unwritable":
        assert not out.exists() and made.stderr.endswith("no-such-dir/report.html: could not be written (code 4)\n")
        return
    assert made.stderr == run("compare", *files, *options).stderr and out.read_text() == "previous"
    with pytest.raises(ValueError) as failure:
        tv.report(*files, out, formula=dict(zip(options[::2], options[1::2])).get("--formula", "Delta E 2000"),
                  table=1 if case == "table" else 0)
    assert made.stderr == f"tintvale: {failure.value}\n" and out.read_text() == "previous"
    for tolerance in (-1.0, float("nan"), float("inf")):  # the module refuses a tolerance that is no distance
        with pytest.raises(ValueError, match="max must be a finite non-negative number"):
            tv.report(good, good, tmp_path / "new.html", max=tolerance)
    assert not (tmp_path / "new.html").exists()
