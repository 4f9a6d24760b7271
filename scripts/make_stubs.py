#!/usr/bin/env python3
"""Writes the type stubs of the tintvale package (python/tintvale/__init__.pyi) from the signatures
the extension module carries in its docstrings. Re-run after changing a binding:

    PYTHONPATH=build/python scripts/make_stubs.py > python/tintvale/__init__.pyi
"""
import inspect
import re
import sys

HEADER = '''# Type stubs of the tintvale package, written by scripts/make_stubs.py from the extension module.
from typing import Any, Callable, Dict, Iterator, List, Optional, Sequence, Tuple, Union, overload

import numpy
from numpy.typing import NDArray

__version__: str

class TintvaleError(RuntimeError):
    code: int
    message: str
'''

# pybind11's names of C++ argument types, as Python types.
TYPES = [
    (r"numpy\.ndarray\[([\w.]+)\]", r"NDArray[\1]"),
    (r"\bhandle\b", "Any"),
    (r"\bobject\b", "Any"),
    (r"\bbuffer\b", "bytes"),
    (r"\btintvale\.", ""),
    (r"\bTCMS::TLayoutInfo\b", "LayoutInfo"),
]


def python_type(text):
    for pattern, replacement in TYPES:
        text = re.sub(pattern, replacement, text)
    return text


def parameter(text, first_is_self):
    name, _, rest = text.partition(":")
    name = name.strip()
    if first_is_self:
        return "self"
    annotation, has_default, _ = rest.partition("=")
    stub = f"{name}: {python_type(annotation.strip())}" if annotation.strip() else name
    return stub + (" = ..." if has_default else "")


def signatures(name, doc):
    """The (parameters, result) of each overload the docstring states."""
    found = []
    for match in re.finditer(rf"^(?:\d+\. )?{re.escape(name)}\((.*)\) -> (.+)$", doc or "", re.M):
        found.append((split_parameters(match.group(1)), python_type(match.group(2).strip())))
    return found


def function(name, obj, indent, method, decorator=None):
    lines = []
    overloads = signatures(name, obj.__doc__)
    if not overloads and name == "__init__":
        return lines  # made by the library only
    for params, result in overloads or [(["*args: Any", "**kwargs: Any"], "Any")]:
        if len(overloads) > 1:
            lines.append(f"{indent}@overload")
        if decorator:
            lines.append(f"{indent}@{decorator}")
        args = [parameter(p, method and i == 0 and p.startswith("self")) for i, p in enumerate(params)]
        if not overloads and method and decorator is None:
            args.insert(0, "self")
        lines.append(f"{indent}def {name}({', '.join(args)}) -> {result}: ...")
    return lines


def prop(name, value, indent):
    result = "Any"
    match = re.search(r"-> (.+)$", (value.fget.__doc__ or "").splitlines()[0]) if value.fget else None
    if match:
        result = python_type(match.group(1).strip())
    lines = [f"{indent}@property", f"{indent}def {name}(self) -> {result}: ..."]
    if value.fset is not None:
        lines += [f"{indent}@{name}.setter", f"{indent}def {name}(self, value: {result}) -> None: ..."]
    return lines


def klass(name, cls):
    lines = [f"class {name}:"]
    for attr, value in cls.__dict__.items():
        if attr.startswith("_") and attr not in ("__init__", "__call__", "__getitem__", "__len__",
                                                 "__iter__", "__contains__", "__eq__", "__repr__"):
            continue
        if isinstance(value, property):
            lines += prop(attr, value, "    ")
        elif isinstance(value, staticmethod):
            lines += function(attr, value.__func__, "    ", False, "staticmethod")
        elif callable(value):
            lines += function(attr, value, "    ", True)
        else:
            lines.append(f"    {attr}: {type(value).__name__}")
    return lines + [""]


def constant(name, value):
    if isinstance(value, tuple):
        kinds = {type(v).__name__ for v in value}
        return f"{name}: Tuple[{kinds.pop() if len(kinds) == 1 else 'Any'}, ...]"
    if isinstance(value, dict):
        return f"{name}: Dict[str, str]"
    if hasattr(value, "dtype"):
        return f"{name}: NDArray[numpy.{value.dtype}]"
    return f"{name}: {type(value).__name__}"


def stubs(module):
    global split_parameters
    split_parameters = module._split_parameters
    out = [HEADER]
    for name in sorted(n for n in dir(module) if not n.startswith("_") and n != "TintvaleError"):
        value = getattr(module, name)
        if inspect.isclass(value):
            out += klass(name, value)
        elif callable(value):
            out += function(name, value, "", False) + [""]
        elif not inspect.ismodule(value):
            out += [constant(name, value), ""]
    return "\n".join(out).rstrip() + "\n"


if __name__ == "__main__":
    import tintvale

    sys.stdout.write(stubs(tintvale))
