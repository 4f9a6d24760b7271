# CGATS files: reading, cells, writing and errors.
import numpy as np
import pytest

import tintvale as tv

SMALL = (
    "CGATS.17\n"
    'ORIGINATOR\t"Test rig"\t# first\n'
    "NUMBER_OF_FIELDS\t5\n"
    "BEGIN_DATA_FORMAT\n"
    "SampleID\tSAMPLE_NAME\tLAB_L\tLAB_A\tLAB_B\n"
    "END_DATA_FORMAT\n"
    "NUMBER_OF_SETS\t2\n"
    "BEGIN_DATA\n"
    "1\tA1\t50.5\t-2\t3.25\n"
    "2\tA2\t60\t1e1\t-0.5\n"
    "END_DATA\n"
)


def test_cells_and_field_names():
    c = tv.Cgats.from_text(SMALL)
    assert c.error_code == 0
    assert c.field_index(0, "LAB_A") == 3
    assert c.field_index(0, "lab_a") is None  # names compare exactly
    assert c.field(0, 1, c.field_index(0, "SAMPLE_NAME")) == "A2"
    assert float(c.field(0, 0, 2)) == 50.5
    assert float(c.field(0, 1, 3)) == 10.0
    for bad in ((1, 0, 0), (0, 2, 0), (0, 0, 5), (-1, 0, 0)):
        with pytest.raises(IndexError):
            c.field(*bad)


def test_long_values_are_fetched_whole():
    name = "N" * 3000
    c = tv.Cgats.from_text(SMALL.replace("A1", name))
    assert c.field(0, 0, 1) == name


def test_writing_reads_back_the_same(tmp_path):
    c = tv.Cgats.from_text(SMALL)
    c.add_custom_tag("MEASUREMENT_SOURCE", "Illumination=D50")
    text = c.to_text()
    assert 'MEASUREMENT_SOURCE\t"Illumination=D50"' in text
    again = tv.Cgats.from_text(text)
    assert again.to_text() == text
    path = tmp_path / "chart.txt"
    c.save(path)
    assert path.read_text() == text
    assert tv.Cgats(path).field(0, 0, 1) == "A1"
    assert tv.Cgats(str(path)).to_text() == text


def test_read_errors_carry_the_reader_code(tmp_path):
    with pytest.raises(tv.TintvaleError) as missing:
        tv.Cgats(tmp_path / "absent.txt")
    assert missing.value.code == 3
    assert "The requested file could not be found." in missing.value.message
    short = SMALL.replace("NUMBER_OF_SETS\t2", "NUMBER_OF_SETS\t3")
    with pytest.raises(tv.TintvaleError) as count:
        tv.Cgats.from_text(short)
    assert count.value.code != 0
    lenient = tv.Cgats.from_text(short, strict=False)
    assert lenient.error_code == count.value.code and lenient.error_message
    with pytest.raises(tv.TintvaleError):
        lenient.field(0, 0, 0)
    # An object in error writes nothing and says why.
    with pytest.raises(tv.TintvaleError) as write:
        lenient.save(tmp_path / "out.txt")
    assert write.value.code == lenient.error_code
    assert not (tmp_path / "out.txt").exists()
    with pytest.raises(ValueError):
        tv.Cgats.from_text("CGATS.17\0\n")
    with pytest.raises(tv.TintvaleError) as unwritable:
        tv.Cgats.from_text(SMALL).save(tmp_path / "no such directory" / "out.txt")
    assert unwritable.value.code == 4


def table(fields, rows):
    body = "".join(row + "\n" for row in rows)
    return f"BEGIN_DATA_FORMAT\n{fields}\nEND_DATA_FORMAT\nNUMBER_OF_SETS {len(rows)}\nBEGIN_DATA\n{body}END_DATA\n"


SOLIDS = (
    'CGATS.17\nPROCESSCOLOR_ID "Cyan ink"\nPROCESSCOLOR_ID "Magenta ink"\nPROCESSCOLOR_ID "Yellow ink"\n'
    + table(
        "SampleID PC3_1 PC3_2 PC3_3 LAB_L LAB_A LAB_B nm400 nm500",
        [
            "paper 0 0 0 95 0 0 90 91",
            "c1 100 0.4 0 55 -37 -50 20 60",
            "m3 0 100 0 48 75 -4 30 10",
            "c2 100 0 0 11 11 11 11 11",
        ],
    )
)


def test_columns_as_arrays():
    c = tv.Cgats.from_text(
        table(
            "SampleID CMYK_M CMYK_C CMYK_Y LAB_L LAB_A LAB_B XYZ_X XYZ_Y XYZ_Z nm420 nm400 nm410 Code",
            ["first 20 10 30 50 -5 7 20 21 22 0.5 0.3 0.4 c1", "second 1 2 3 4 5 6 7 8 9 0.6 0.7 0.8 c2"],
        )
        + table("SPOT_1 SPOT_2 SampleName", ["1 2 x", "3 4 y"])
    )
    assert c.table_count == 2
    info = c.contents(0)
    assert info["samples"] == 2 and info["lab"] and info["xyz"] and info["wavelengths"] == 3
    assert info["color_model"] == "CMYK" and info["process_colors"] == 3 and info["spot_colors"] == 0
    np.testing.assert_array_equal(c.lab(), [[50, -5, 7], [4, 5, 6]])
    np.testing.assert_array_equal(c.xyz(0), [[20, 21, 22], [7, 8, 9]])
    np.testing.assert_array_equal(c.channels(), [[10, 20, 30], [2, 1, 3]])  # channel order C, M, Y
    np.testing.assert_array_equal(c.wavelengths(), [400, 410, 420])
    np.testing.assert_array_equal(c.spectra(), [[0.3, 0.4, 0.5], [0.7, 0.8, 0.6]])  # ascending wavelength
    assert c.sample_names() == ["first", "second"]
    assert c.column("Code") == ["c1", "c2"]
    assert c.has_field("Code") and not c.has_field("code")
    with pytest.raises(KeyError):
        c.column("code")
    assert c.contents(1)["spot_colors"] == 2 and c.contents(1)["color_model"] == "SpotColor"
    np.testing.assert_array_equal(c.spot_channels(1), [[1, 2], [3, 4]])
    np.testing.assert_array_equal(c.channels(1), [[1, 2], [3, 4]])
    with pytest.raises(tv.TintvaleError):
        c.lab(1)
    with pytest.raises(IndexError):
        c.lab(2)
    assert c.field(0, 1, 13) == "c2"


def test_percent_spectra_come_out_as_factors():
    c = tv.Cgats.from_text(table("SampleID nm400 nm410", ["a 45.3 80", "b 2 100"]))
    np.testing.assert_allclose(c.spectra(), [[0.453, 0.8], [0.02, 1.0]], rtol=1e-15)


def test_solids_and_descriptions():
    c = tv.Cgats.from_text(SOLIDS)
    lab = c.process_color_solids()
    np.testing.assert_array_equal(lab[:2], [[55, -37, -50], [48, 75, -4]])
    assert np.isnan(lab[2]).all()  # no yellow solid
    spectra = c.process_color_solids(spectral=True)
    np.testing.assert_allclose(spectra[:2], [[0.2, 0.6], [0.3, 0.1]])
    assert c.process_color_descriptions() == ["Cyan ink", "Magenta ink", "Yellow ink"]
    with pytest.raises(tv.TintvaleError):
        c.spot_color_descriptions()
    with pytest.raises(tv.TintvaleError):
        c.spot_color_solids()


def test_header_keywords_and_layout():
    c = tv.Cgats.from_text(SMALL)
    assert c.originator == "Test rig" and c.created is None
    c.originator = "Python"
    c.target_type = "IT8.7/4"
    c.ink_set = 3
    again = tv.Cgats.from_text(c.to_text())
    assert again.originator == "Python" and again.target_type == "IT8.7/4" and again.ink_set == 3
    layout = tv.LayoutInfo()
    layout.row_length, layout.columns, layout.pages = 12, 3, 2
    layout.patch_width, layout.patch_height = 6.0, 7.5
    layout.set_measurement_condition(1)
    c.layout = layout
    back = tv.Cgats.from_text(c.to_text()).layout
    assert (back.row_length, back.columns, back.pages) == (12, 3, 2)
    assert (back.patch_width, back.patch_height) == (6.0, 7.5)
    assert back.measurement_condition == "M1"
    target = tv.Cgats.from_text(SMALL)
    target.copy_layout_from(c)
    assert target.layout.row_length == 12
