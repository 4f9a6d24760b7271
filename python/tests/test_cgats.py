# CGATS files: cells, columns as arrays, header keywords, writing and errors.
import numpy as np
import pytest
from conftest import refuses

import tintvale as tv


def table(fields, rows):
    body = "".join(row + "\n" for row in rows)
    return f"BEGIN_DATA_FORMAT\n{fields}\nEND_DATA_FORMAT\nNUMBER_OF_SETS {len(rows)}\nBEGIN_DATA\n{body}END_DATA\n"


SMALL = 'CGATS.17\nORIGINATOR\t"Test rig"\t# first\n' + table(
    "SampleID\tSAMPLE_NAME\tLAB_L\tLAB_A\tLAB_B", ["1\tA1\t50.5\t-2\t3.25", "2\tA2\t60\t1e1\t-0.5"])


def test_cells_writing_and_errors(tmp_path):
    c = tv.Cgats.from_text(SMALL.replace("A1", "N" * 3000))
    assert c.error_code == 0 and c.field(0, 0, 1) == "N" * 3000  # long values are fetched whole
    assert c.field_index(0, "LAB_A") == 3 and c.field_index(0, "lab_a") is None  # names compare exactly
    assert c.field(0, 1, c.field_index(0, "SAMPLE_NAME")) == "A2" and float(c.field(0, 1, 3)) == 10.0
    for bad in ((1, 0, 0), (0, 2, 0), (0, 0, 5), (-1, 0, 0)):
        refuses(IndexError, lambda: c.field(*bad))
    layout = tv.LayoutInfo()
    layout.row_length = 12
    c.originator, c.ink_set, c.layout = "Python", 3, layout
    c.save(tmp_path / "chart.txt")
    again = tv.Cgats(str(tmp_path / "chart.txt"))
    assert again.to_text() == c.to_text() == (tmp_path / "chart.txt").read_text()
    assert (again.originator, again.ink_set, again.layout.row_length) == ("Python", 3, 12)
    short = SMALL.replace("NUMBER_OF_SETS 2", "NUMBER_OF_SETS 3")
    code = refuses(tv.TintvaleError, lambda: tv.Cgats.from_text(short)).code
    lenient = tv.Cgats.from_text(short, strict=False)
    assert code != 0 and lenient.error_code == code and lenient.error_message
    # An object in error writes nothing and says why.
    refuses(tv.TintvaleError, lambda: lenient.save(tmp_path / "out.txt"), code)
    assert not (tmp_path / "out.txt").exists()
    refuses(ValueError, lambda: tv.Cgats.from_text("CGATS.17\0\n"))
    refuses(tv.TintvaleError, lambda: c.save(tmp_path / "no such directory" / "out.txt"), 4)


def test_columns_as_arrays():
    c = tv.Cgats.from_text(table(
        "SampleID CMYK_M CMYK_C CMYK_Y LAB_L LAB_A LAB_B XYZ_X XYZ_Y XYZ_Z nm420 nm400 nm410 Code",
        ["first 20 10 30 50 -5 7 20 21 22 45.3 30 40 c1", "second 1 2 3 4 5 6 7 8 9 60 70 80 c2"],
    ) + table("SPOT_1 SPOT_2 SampleName", ["1 2 x", "3 4 y"]))
    info = c.contents(0)
    assert c.table_count == 2 and info["samples"] == 2 and info["wavelengths"] == 3 and info["color_model"] == "CMYK"
    # Channel order C, M, Y; wavelengths ascending.
    assert [c.lab().tolist(), c.xyz(0).tolist(), c.channels().tolist(), c.wavelengths().tolist()] == [
        [[50, -5, 7], [4, 5, 6]], [[20, 21, 22], [7, 8, 9]], [[10, 20, 30], [2, 1, 3]], [400, 410, 420]]
    # Ascending wavelength, percent read as factors.
    np.testing.assert_allclose(c.spectra(), [[0.3, 0.4, 0.453], [0.7, 0.8, 0.6]], rtol=1e-15)
    assert c.sample_names() == ["first", "second"] and c.column("Code") == ["c1", "c2"]
    assert c.contents(1)["spot_colors"] == 2 and c.spot_channels(1).tolist() == c.channels(1).tolist() == [[1, 2], [3, 4]]
    # Bands 3.33 nm apart are named by their rounded wavelength; the keywords give the exact ones.
    bands = tv.Cgats.from_text('SPECTRAL_BANDS 4\nSPECTRAL_START_NM 400.0\nSPECTRAL_END_NM 410.0\n'
                               + table("SAMPLE_ID SPEC_400 SPEC_403 SPEC_407 SPEC_410", ["a 1 2 3 4"]))
    np.testing.assert_allclose(bands.wavelengths(), [400, 403.33333, 406.66667, 410], atol=1e-5)
    assert bands.sample_names() == ["a"]
    for call, error in ((lambda: c.column("code"), KeyError), (lambda: c.lab(1), tv.TintvaleError),
                        (lambda: c.lab(2), IndexError)):
        refuses(error, call)


def test_solids_and_descriptions():
    c = tv.Cgats.from_text('CGATS.17\nPROCESSCOLOR_ID "Cyan ink"\nPROCESSCOLOR_ID "Magenta ink"\n' + table(
        "SampleID PC3_1 PC3_2 PC3_3 LAB_L LAB_A LAB_B nm400 nm500",
        ["paper 0 0 0 95 0 0 90 91", "c1 100 0.4 0 55 -37 -50 20 60", "m3 0 100 0 48 75 -4 30 10", "c2 100 0 0 11 11 11 11 11"]))
    np.testing.assert_array_equal(c.process_color_solids(), [[55, -37, -50], [48, 75, -4], [np.nan] * 3])  # no yellow
    np.testing.assert_allclose(c.process_color_solids(spectral=True)[:2], [[0.2, 0.6], [0.3, 0.1]])
    for call in (c.process_color_descriptions, c.spot_color_solids):  # two names for three inks; no spot colours
        refuses(tv.TintvaleError, call)


def test_number_fields_hold_numbers():
    text = SMALL.replace("\t50.5\t", "\tn/a\t")
    error = refuses(tv.TintvaleError, lambda: tv.Cgats.from_text(text), 31)
    assert "LAB_L" in error.message and '"n/a"' in error.message and "(line 8)" in error.message
    # Read leniently the cell is NaN, never 0, and a warning names it; its difference is NaN too.
    with pytest.warns(UserWarning, match=r'line 8: field LAB_L: "n/a"'):
        lenient = tv.Cgats.from_text(text, strict=False)
    lab = lenient.lab(0)
    assert lenient.error_code == 0 and np.isnan(lab[0, 0]) and lab[1].tolist() == [60.0, 10.0, -0.5]
    assert np.isnan(tv.delta_e(lab[0], lab[1]))
    # A long text is named by its start.
    with pytest.warns(UserWarning, match=r'field LAB_L: "abcdefghijklmnopqrstuvwxyz012345\.\.\."'):
        tv.Cgats.from_text(SMALL.replace("\t50.5\t", "\tabcdefghijklmnopqrstuvwxyz0123456789\t"), strict=False)
    stated = tv.Cgats.from_text(SMALL.replace("CGATS.17\n", 'CGATS.17\nMEASUREMENT_SOURCE "Illumination=D65 ObserverAngle=10degree"\n'))
    assert (stated.stated_illuminant, stated.stated_observer, lenient.stated_illuminant) == ("D65", "10 degree", "")


def test_keyword_properties_write_their_keywords_quoted():
    names = {"originator": "ORIGINATOR", "file_descriptor": "FILE_DESCRIPTOR", "created": "CREATED",
             "target_type": "TARGET_TYPE", "layout_version": "LAYOUT_VERSION", "gui_name": "GUI_NAME",
             "spectrophotometer": "SPECTRO"}
    c = tv.Cgats.from_text("CGATS.17\nSPECTRO i1\n")
    assert c.spectrophotometer == "i1" and c.originator is None
    for i, (prop, keyword) in enumerate(names.items()):
        setattr(c, prop, str(i))
        assert getattr(c, prop) == str(i) and f'\n{keyword}\t"{i}"\n' in c.to_text()
        refuses(tv.TintvaleError, lambda: setattr(c, prop, 'say "x"'), 29)


def test_cxf_written_and_read_back(tmp_path):
    c = tv.Cgats.from_text(SMALL.replace("ORIGINATOR", 'WEIGHTING_FUNCTION "ILLUMINANT, D65"\nORIGINATOR'))
    c.save(tmp_path / "chart.cxf", convention="cxf")
    text = (tmp_path / "chart.cxf").read_text()
    assert '<cc:CxF xmlns:cc="http://colorexchangeformat.com/CxF3-core">' in text
    back = tv.Cgats(str(tmp_path / "chart.cxf"))  # told by content, not by name
    assert back.error_code == 0 and back.originator == "Test rig"
    assert back.field(0, 1, back.field_index(0, "SAMPLE_NAME")) == "A2"
    assert [float(back.field(0, 1, back.field_index(0, f))) for f in ("LAB_L", "LAB_A", "LAB_B")] == [60, 10, -0.5]
    assert back.keywords().count(("WEIGHTING_FUNCTION", "ILLUMINANT, D65")) == 1
    refuses(ValueError, lambda: c.save(tmp_path / "x", convention="cxf3"))
