# Shared fixtures: the repository root, the shipped illuminants, the sample charts and the tool.
import os
import pathlib
import subprocess

import pytest

import tintvale as tv

ROOT = pathlib.Path(os.environ.get("TINTVALE_SOURCE_DIR", pathlib.Path(__file__).resolve().parents[2]))
TOOL = os.environ.get("TINTVALE_TOOL")
needs_tool = pytest.mark.skipif(not TOOL, reason="the command-line tool is not built")


def run(*args):  # the command-line tool's result
    return subprocess.run([TOOL, *map(str, args)], capture_output=True, text=True)


@pytest.fixture(scope="session")
def factory():
    return tv.IlluminantFactory.shipped()


@pytest.fixture(scope="session")
def d50(factory):
    return factory["CIE Illuminant D50"]


@pytest.fixture(scope="session")
def charts():  # the shipped spectral reference and measured charts
    return ROOT / "data" / "samples" / "chart_reference.txt", ROOT / "data" / "samples" / "chart_measured.txt"


def refuses(error, call, code=None, match=None):
    # The call raises error (with the library's code and a message matching match, where given).
    with pytest.raises(error, match=match) as raised:
        call()
    assert code is None or raised.value.code == code, raised.value
    return raised.value


def lab_chart(path, rows):  # a named Lab file; rows are (name, L, a, b)
    data = "".join(f"{name}\t{L}\t{a}\t{b}\n" for name, L, a, b in rows)
    path.write_text(f'CGATS.17\nKEYWORD "SampleID"\nNUMBER_OF_FIELDS 4\nBEGIN_DATA_FORMAT\nSampleID\tLAB_L\tLAB_A\t'
                    f"LAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS {len(rows)}\nBEGIN_DATA\n{data}END_DATA\n")
    return path


def cmyk_lab(path, rows, header=""):  # rows: (name, (c, m, y, k), (L, a, b))
    data = "".join(f"{n}\t{c}\t{m}\t{y}\t{k}\t{L!r}\t{a!r}\t{b!r}\n" for n, (c, m, y, k), (L, a, b) in rows)
    path.write_text(f"CGATS.17\n{header}KEYWORD \"SampleID\"\nNUMBER_OF_FIELDS 8\nBEGIN_DATA_FORMAT\nSampleID\tCMYK_C"
                    "\tCMYK_M\tCMYK_Y\tCMYK_K\tLAB_L\tLAB_A\tLAB_B\nEND_DATA_FORMAT\n"
                    f"NUMBER_OF_SETS {len(rows)}\nBEGIN_DATA\n{data}END_DATA\n")
    return path
