"""Colour science over NumPy arrays: spectra on the 36-sample grid 380 ... 730 nm, illuminants,
tristimulus integration, CIELAB and colour differences, appearance models, densities and CGATS.17
measurement data files. Everything is implemented in the extension module tintvale._tintvale."""
from ._tintvale import *  # noqa: F401,F403
from ._tintvale import __doc__ as _native_doc, __version__  # noqa: F401

__doc__ = _native_doc
