# The package as installed: version, data, stubs, signatures, missing files, keywords, logging, README.
import doctest
import importlib.util
import inspect
import logging
import pathlib
import re

import pytest
from conftest import ROOT, refuses

import tintvale as tv


def test_version_data_and_stubs(tmp_path):
    assert tv.__version__ == re.search(r"project\(Tintvale VERSION ([0-9.]+)", (ROOT / "CMakeLists.txt").read_text())[1]
    package = pathlib.Path(tv.__file__).resolve().parent
    # Inside the package (a wheel; the link of the build tree) or where make install puts it.
    assert pathlib.Path(tv.data_directory()) in ((package / "data").resolve(), (package / "../../../../share/tintvale").resolve())
    assert "CIE Illuminant D50" in tv.IlluminantFactory.shipped()
    source = importlib.util.spec_from_file_location("make_stubs", ROOT / "scripts" / "make_stubs.py")
    make_stubs = importlib.util.module_from_spec(source)
    source.loader.exec_module(make_stubs)
    assert (package / "__init__.pyi").read_text() == make_stubs.stubs(tv)
    for read in (tv.Cgats, tv.IlluminantFactory):
        assert refuses(FileNotFoundError, lambda: read(tmp_path / "missing")).filename == str(tmp_path / "missing")


def test_signatures_name_the_parameters():
    assert str(inspect.signature(tv.delta_e)) == (
        "(lab1=None, lab2=None, formula='Delta E 2000', *, sample=None, reference=None)")
    functions = [f for f in vars(tv).values() if inspect.isfunction(f)]
    methods = [m for c in vars(tv).values() if inspect.isclass(c) for m in vars(c).values() if inspect.isfunction(m)]
    assert len(functions) > 10 and len(methods) > 50
    for f in functions + methods:
        assert not any(re.fullmatch(r"arg\d+", p) for p in inspect.signature(f).parameters), f.__qualname__


def test_keywords_of_a_file_with_custom_keywords():
    chart = tv.Cgats.from_text(
        'CGATS.17\nORIGINATOR\t"Spectro Suite"\nKEYWORD\t"WEIGHTING_FUNCTION"\nWEIGHTING_FUNCTION\t"ILLUMINANT, D50"\n'
        "# a comment\nNUMBER_OF_FIELDS\t2\nBEGIN_DATA_FORMAT\nSAMPLE_ID\tLAB_L\nEND_DATA_FORMAT\nNUMBER_OF_SETS\t1\n"
        "BEGIN_DATA\n1\t50\nEND_DATA\n")
    assert chart.keywords() == [("ORIGINATOR", "Spectro Suite"), ("KEYWORD", "WEIGHTING_FUNCTION"),
                                ("WEIGHTING_FUNCTION", "ILLUMINANT, D50"), ("NUMBER_OF_FIELDS", "2"), ("NUMBER_OF_SETS", "1")]
    assert chart.keyword("weighting_function") == "ILLUMINANT, D50" and chart.keyword("DEVICE_CLASS") is None


def test_library_message_is_logged(caplog, factory):
    with caplog.at_level(logging.DEBUG, logger="tintvale"):
        assert factory.get("no such lamp") is None
        with pytest.raises(KeyError, match="No Illuminant with this name available"):  # the message, not a log
            factory["no such lamp"]
    assert [(r.name, r.levelno, r.getMessage()) for r in caplog.records] == [
        ("tintvale", logging.DEBUG, "No Illuminant with this name available")]


def test_readme_session_runs_as_written():
    text = (ROOT / "README.md").read_text()
    test = doctest.DocTestParser().get_doctest(re.search(r"```python\n(.*?)```", text[text.index("## Python"):], re.S)[1],
                                              {}, "README", "README.md", 0)
    result = doctest.DocTestRunner(optionflags=doctest.ELLIPSIS | doctest.NORMALIZE_WHITESPACE).run(test)
    assert result.attempted > 5 and result.failed == 0
