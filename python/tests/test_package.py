# The package as installed: its version, its data, its stubs, missing files and header keywords.
import importlib.util
import inspect
import pathlib
import re

from conftest import refuses

import tintvale as tv


def test_version_is_the_project_version(root):
    project = re.search(r"project\(Tintvale VERSION ([0-9.]+)", (root / "CMakeLists.txt").read_text())
    assert tv.__version__ == project.group(1)


def test_data_is_found_from_the_package():
    package = pathlib.Path(tv.__file__).resolve().parent
    data = pathlib.Path(tv.data_directory())
    # Inside the package (a wheel; the link of the build tree) or where make install puts it.
    assert data in ((package / "data").resolve(), (package / "../../../../share/tintvale").resolve())
    assert "CIE Illuminant D50" in tv.IlluminantFactory.shipped()


def test_stubs_are_current(root):
    module_source = importlib.util.spec_from_file_location("make_stubs", root / "scripts" / "make_stubs.py")
    make_stubs = importlib.util.module_from_spec(module_source)
    module_source.loader.exec_module(make_stubs)
    assert (pathlib.Path(tv.__file__).parent / "__init__.pyi").read_text() == make_stubs.stubs(tv)


def test_missing_file_is_file_not_found(tmp_path):
    for read in (tv.Cgats, tv.IlluminantFactory):
        assert refuses(FileNotFoundError, lambda: read(tmp_path / "missing")).filename == str(tmp_path / "missing")


def test_keywords_of_a_file_with_custom_keywords():
    chart = tv.Cgats.from_text(
        'CGATS.17\nORIGINATOR\t"Spectro Suite"\nINSTRUMENTATION\t"Spectro 3"\nKEYWORD\t"WEIGHTING_FUNCTION"\n'
        'WEIGHTING_FUNCTION\t"ILLUMINANT, D50"\n# a comment\nNUMBER_OF_FIELDS\t2\n'
        "BEGIN_DATA_FORMAT\nSAMPLE_ID\tLAB_L\nEND_DATA_FORMAT\nNUMBER_OF_SETS\t1\nBEGIN_DATA\n1\t50\nEND_DATA\n")
    assert chart.keywords() == [("ORIGINATOR", "Spectro Suite"), ("INSTRUMENTATION", "Spectro 3"),
                                ("KEYWORD", "WEIGHTING_FUNCTION"), ("WEIGHTING_FUNCTION", "ILLUMINANT, D50"),
                                ("NUMBER_OF_FIELDS", "2"), ("NUMBER_OF_SETS", "1")]
    assert chart.keyword("weighting_function") == "ILLUMINANT, D50"
    assert chart.keyword("DEVICE_CLASS") is None


def test_signatures_name_the_parameters():
    assert str(inspect.signature(tv.delta_e)) == "(lab1, lab2, formula='Delta E 2000')"
    assert str(inspect.signature(tv.Cgats.keyword)) == "(self, keyword)"
    functions = [f for f in vars(tv).values() if inspect.isfunction(f)]
    methods = [m for c in vars(tv).values() if inspect.isclass(c) for m in vars(c).values() if inspect.isfunction(m)]
    assert len(functions) > 10 and len(methods) > 50
    for f in functions + methods:
        assert not any(re.fullmatch(r"arg\d+", p) for p in inspect.signature(f).parameters), f.__qualname__
