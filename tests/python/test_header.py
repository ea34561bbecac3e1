# Every function sismcalc.h exports has a Python wrapper whose C prototype matches the header,
# so a function added to the library without its wrapper fails here.
import ctypes
import re

import pytest

import sismcalc
from sismcalc import _library

C_TYPES = {
    "float*": ctypes.POINTER(ctypes.c_float),
    "int32_t*": ctypes.POINTER(ctypes.c_int32),
}
C_RETURNS = {"int32_t": ctypes.c_int32, "float": ctypes.c_float, "void": None}


def header_functions(source_dir):
    """(name, return type, [argument types]) of each SISMCALC_API declaration of the header."""
    text = (source_dir / "sismcalc" / "include" / "sismcalc.h").read_text()
    text = re.sub(r"/\*.*?\*/", " ", text, flags=re.S)
    found = []
    for ret, name, params in re.findall(r"SISMCALC_API\s+(\w+)\s+(\w+)\s*\(([^)]*)\)\s*;", text):
        args = []
        for param in params.split(","):
            words = param.replace("*", " * ").split()
            c_type = "".join(w for w in words[:-1] if w != "const")
            args.append(c_type)
        found.append((name, ret, args))
    return found


@pytest.fixture(scope="module")
def declared(source_dir):
    functions = header_functions(source_dir)
    # The declarations are recognised at all (the pattern has not drifted from the header).
    assert len(functions) >= 27, [f[0] for f in functions]
    return functions


def test_every_exported_function_has_a_wrapper(declared):
    missing = [name for name, _, _ in declared
               if not callable(getattr(sismcalc, name.lower(), None)) or name not in _library.PROTOTYPES]
    assert not missing, f"functions of sismcalc.h without a Python wrapper: {missing}"
    for name, _, _ in declared:
        doc = getattr(sismcalc, name.lower()).__doc__
        assert doc and doc.strip(), f"sismcalc.{name.lower()} has no docstring"


def test_prototypes_match_the_header(declared):
    for name, ret, args in declared:
        assert ret in C_RETURNS, f"{name} returns {ret}, a type the binding does not know"
        unknown = [a for a in args if a not in C_TYPES]
        assert not unknown, f"{name} takes {unknown}, types the binding does not know"
        restype, argtypes = _library.PROTOTYPES[name]
        assert restype is C_RETURNS[ret], f"{name} returns {ret}"
        assert argtypes == [C_TYPES[a] for a in args], f"{name} takes {args}"


def test_no_prototype_without_a_declaration(declared):
    names = {name for name, _, _ in declared}
    assert set(_library.PROTOTYPES) <= names, sorted(set(_library.PROTOTYPES) - names)


def test_the_library_exports_every_declared_function(declared):
    lib = _library.library()
    for name, _, _ in declared:
        assert hasattr(lib, name), f"{lib._name} does not export {name}"
