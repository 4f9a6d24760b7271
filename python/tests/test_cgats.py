# CGATS files: reading, cells, writing and errors.
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
