# Shared fixtures: the repository root and one factory holding the shipped illuminants.
import os
import pathlib

import pytest

import tintvale as tv

ROOT = pathlib.Path(os.environ.get("TINTVALE_SOURCE_DIR", pathlib.Path(__file__).resolve().parents[2]))


@pytest.fixture(scope="session")
def root():
    return ROOT


@pytest.fixture(scope="session")
def factory():
    return tv.IlluminantFactory.shipped()
