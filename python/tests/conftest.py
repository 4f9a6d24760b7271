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


def refuses(error, call, code=None):
    # The call raises error (with the library's code, where given); the exception.
    with pytest.raises(error) as raised:
        call()
    assert code is None or raised.value.code == code, raised.value
    return raised.value
