"""Colour science over NumPy arrays: spectra on the 36-sample grid 380 ... 730 nm, illuminants,
tristimulus integration, CIELAB and colour differences, appearance models, densities and CGATS.17
measurement data files. Everything is implemented in the extension module tintvale._tintvale."""
import ast as _ast
import copy as _copy
import functools as _functools
import inspect as _inspect
import re as _re

from . import _tintvale
from ._tintvale import *  # noqa: F401,F403
from ._tintvale import __version__  # noqa: F401

__doc__ = _tintvale.__doc__


def _split_parameters(text):
    """Splits a parameter list at the commas outside brackets and quotes."""
    parts, depth, quote, start = [], 0, None, 0
    for i, c in enumerate(text):
        if quote:
            quote = None if c == quote else quote
        elif c in "'\"":
            quote = c
        elif c in "([{":
            depth += 1
        elif c in ")]}":
            depth -= 1
        elif c == "," and depth == 0:
            parts.append(text[start:i].strip())
            start = i + 1
    if text[start:].strip():
        parts.append(text[start:].strip())
    return parts


def _signature(name, doc):
    """The signature the extension states on the first docstring line (one overload only), with the
    parameter names and the defaults that are Python literals."""
    match = _re.match(rf"{_re.escape(name)}\((.*)\) -> ", doc or "")
    if not match:
        return None
    parameters = []
    kind = _inspect.Parameter.POSITIONAL_OR_KEYWORD
    for part in _split_parameters(match.group(1)):
        if part == "*":  # the parameters after it are given by keyword only
            kind = _inspect.Parameter.KEYWORD_ONLY
            continue
        head, _, default = part.partition("=")
        value = _inspect.Parameter.empty
        if default:
            try:
                value = _ast.literal_eval(default.strip())
            except (ValueError, SyntaxError):
                value = ...
        parameters.append(_inspect.Parameter(head.partition(":")[0].strip(), kind, default=value))
    return _inspect.Signature(parameters)


def _with_signature(function, name):
    """function as a Python function that inspect.signature understands."""
    signature = _signature(name, function.__doc__)
    if signature is None:
        return function

    @_functools.wraps(function)
    def call(*args, **kwargs):
        return function(*args, **kwargs)

    call.__signature__ = signature
    call.__module__ = __name__
    return call


def _expose_signatures(namespace):
    for name, value in list(vars(_tintvale).items()):
        if name.startswith("_"):
            continue
        if _inspect.isbuiltin(value):
            namespace[name] = _with_signature(value, name)
        elif _inspect.isclass(value) and not issubclass(value, BaseException):
            for attribute, method in list(vars(value).items()):
                if _inspect.isroutine(method) and not isinstance(method, staticmethod) \
                        and (not attribute.startswith("_") or attribute == "__init__"):
                    setattr(value, attribute, _with_signature(method, attribute))


_expose_signatures(globals())


def _illuminant(name, spectrum):
    """A pickled illuminant, in a factory of its own."""
    return IlluminantFactory().add(spectrum, name)  # noqa: F405


def _spectrum(samples, wavelengths, values):
    """A pickled spectrum: made from its points, if it has any, with its grid samples as they were."""
    if wavelengths is None:
        return Spectrum(samples)  # noqa: F405
    spectrum = Spectrum(wavelengths, values)  # noqa: F405
    for i, value in enumerate(samples):
        spectrum[i] = value
    return spectrum


def _made_from(cls, arguments):
    return cls(**arguments)


def _pickled_by_arguments(cls):
    """cls pickles as the arguments it was made from: the colour spaces keep no getter for them."""
    init = cls.__init__
    signature = _inspect.signature(init)

    @_functools.wraps(init)
    def __init__(self, *args, **kwargs):
        init(self, *args, **kwargs)
        given = signature.bind(self, *args, **kwargs).arguments
        self._arguments = _copy.deepcopy({name: value for name, value in given.items() if name != "self"})

    def __reduce__(self):
        return _made_from, (cls, self._arguments)

    cls.__init__ = __init__
    cls.__reduce__ = __reduce__


for _space in (LabSpace, CIECAM02, CIECAM97s, ColorSpace, XYZRSpace):  # noqa: F405
    _pickled_by_arguments(_space)
