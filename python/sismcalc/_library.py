"""Finding and loading libsismcalc, and the C prototype of every function it exports."""

import ctypes
import importlib
import os
import re
import threading

SONAME = "libsismcalc.so.1"

_F = ctypes.POINTER(ctypes.c_float)
_I = ctypes.POINTER(ctypes.c_int32)
_INT = ctypes.c_int32
_FLOAT = ctypes.c_float

# Return type and argument types of each function of sismcalc.h, in the header's order.
# Every argument is a pointer; const-ness is not visible to ctypes.
PROTOTYPES = {
    "FFTRI": (_INT, [_I, _F, _F, _F]),
    "FFTAP": (_INT, [_I, _F, _F, _F]),
    "AUTO": (_INT, [_I, _F, _F]),
    "RESPEC": (_INT, [_I, _F, _F, _I, _F, _F, _F, _F, _F]),
    "RESPEC2": (_INT, [_I, _F, _F, _I, _F, _F, _F, _F, _F, _F]),
    "RESPECSUB": (_INT, [_I, _F, _F, _I, _F, _F, _F, _F, _F, _F, _I]),
    "ENGSPEC": (_INT, [_I, _F, _F, _I, _F, _F, _F]),
    "SPINT": (_FLOAT, [_I, _F, _F, _F, _I, _F, _F]),
    "SPECINT": (_FLOAT, [_I, _F, _F, _F, _I, _F, _F]),
    "LOGPRD": (_INT, [_F, _F, _I, _F]),
    "PARZEN": (_INT, [_I, _F, _F, _F]),
    "PARZENP": (_INT, [_I, _F, _F, _F]),
    "REIMPH": (_INT, [_I, _F, _F, _F]),
    "SIJMA": (_FLOAT, [_I, _F, _F, _F, _F]),
    "SIJMA10": (_FLOAT, [_I, _F, _F, _F, _F]),
    "FILTER": (_INT, [_I, _F, _F, _F, _F]),
    "ROTATE": (None, [_I, _F, _F, _F]),
    "GETMAX": (_FLOAT, [_I, _F]),
    "GETPEAK": (_FLOAT, [_I, _F]),
    "GETVECPEAK2": (_FLOAT, [_I, _F, _F]),
    "GETVECPEAK3": (_FLOAT, [_I, _F, _F, _F]),
    "FINDPEAKAT": (None, [_I, _I, _F, _F, _I]),
    "FINDMAXAT": (None, [_I, _I, _F, _F, _I]),
    "INTEGTRA": (_INT, [_I, _F, _F, _F, _F, _I, _F, _F]),
    "INTEGFFT": (_INT, [_I, _F, _F, _F, _F, _F]),
    "INTEGLAT": (_INT, [_I, _F, _F, _F, _F, _F]),
    "DURATION": (_FLOAT, [_I, _F, _F]),
    "ROTDSPEC": (_INT, [_I, _F, _F, _I, _F, _F, _F, _I, _F, _F, _F, _F, _I]),
    "ARIAS": (_FLOAT, [_I, _F, _F]),
    "HUSID": (_INT, [_I, _F, _F, _F]),
    "SIGDUR": (_FLOAT, [_I, _F, _F, _F, _F]),
    "CAV": (_FLOAT, [_I, _F, _F]),
    "BUTTERPAD": (_INT, [_F, _F, _F, _I]),
    "BUTTER": (_INT, [_I, _F, _F, _F, _I, _I, _I, _F]),
    "KONNO": (_INT, [_I, _F, _F, _F, _I, _F, _F]),
    "EAS": (_INT, [_I, _F, _F, _F, _F, _I, _F, _F]),

    "RMSAT": (_FLOAT, [_I, _I, _F]),
    "SIGWIN": (_INT, [_I, _F, _F, _F, _I, _I]),
    "CHARINT": (_FLOAT, [_I, _F, _F]),
    "SEDENS": (_FLOAT, [_I, _F, _F]),
    "CAVTHR": (_FLOAT, [_I, _F, _F, _F]),
    "CAVSTD": (_FLOAT, [_I, _F, _F]),
    "SPECMEAS": (_INT, [_F, _I, _F, _F, _F, _F, _F, _F]),
    "SUSTMAX": (_FLOAT, [_I, _F]),
    "EDA": (_FLOAT, [_I, _F, _F, _F]),
    "A95": (_FLOAT, [_I, _F]),
    "MEANPRD": (_FLOAT, [_I, _F, _F]),
    "BRACKDUR": (_FLOAT, [_I, _F, _F, _F]),
    "UNIFDUR": (_FLOAT, [_I, _F, _F, _F]),
    "PEAKTIME": (_FLOAT, [_I, _F, _F]),
    "SVASPEC": (_INT, [_I, _F, _F, _I, _F, _F, _F, _F]),
    "LPGMCLASS": (_INT, [_I, _F, _F, _F, _F, _F, _F, _I]),
    "CDSPEC": (_INT, [_I, _F, _F, _F, _I, _F, _I, _F, _F, _F, _F, _F, _F]),
    "CDSPECN": (_INT, [_I, _I, _F, _F, _F, _I, _F, _I, _F, _F, _F, _F, _F, _F]),

    "AICPICK": (_INT, [_I, _F]),
    "PPHASEPICK": (_INT, [_I, _F, _F, _F, _F, _I]),
    "SNRSPEC": (_INT, [_I, _F, _F, _I, _I, _I, _I, _F, _I, _F, _F, _F, _F]),
    "SNRBAND": (_INT, [_I, _F, _F, _F, _F, _F, _F, _F]),
    "POLYBASE": (_INT, [_I, _F, _F, _I, _F]),
    "DISPRATIO": (_FLOAT, [_I, _F, _F, _I]),
    "RIDDERFC": (_INT, [_I, _F, _F, _F, _F, _I, _F, _I, _F, _F, _I, _F, _F]),
    "CLIPTEST": (_INT, [_I, _F, _I, _F, _I, _I, _F]),
    "TAILRATIO": (_FLOAT, [_I, _F, _F, _F]),
}


def candidates(module_file, soname, package):
    """Where a package's library is looked for, in order: (path or name, how it was found).
    `module_file` is a module of the package; its _installed module, which the install rules
    write, tells where the installed library is from the package folder."""
    here = os.path.dirname(os.path.abspath(module_file))
    found = [(os.path.join(folder, soname), "beside the package") for folder in (here, os.path.dirname(here))]
    try:
        installed = importlib.import_module(f"{package}._installed").LIBRARY
    except ImportError:
        installed = None
    if installed is not None:
        found.append((os.path.normpath(os.path.join(here, installed)), "installed"))
    found.append((soname, "the system's library search"))
    return found


def package_version(package):
    """The version of `package`: its _version module, which the build writes from the project's
    version, else, in the source tree, that version read where the build reads it (project()
    in the top CMakeLists.txt)."""
    try:
        return importlib.import_module(f"{package}._version").__version__
    except ImportError:
        pass
    top = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir, "CMakeLists.txt")
    try:
        with open(top, encoding="utf-8") as f:
            found = re.search(r"^\s*project\s*\([^)]*?\bVERSION\s+([0-9][0-9.]*)", f.read(), re.MULTILINE)
    except OSError:
        found = None
    return found.group(1) if found else "0+unknown"


def load(package, variable, places):
    """The library `variable` names (a path, or a name searched as the system searches
    libraries), else the first of `places` (see candidates) that loads. Raises OSError naming
    the places tried when none does."""
    chosen = os.environ.get(variable)
    if chosen:
        try:
            return ctypes.CDLL(chosen)
        except OSError as e:
            raise OSError(f"{package}: {variable}={chosen} cannot be loaded: {e}") from None
    tried = []
    for path, how in places:
        if os.sep in path and not os.path.exists(path):
            tried.append(f"{path} ({how}): not there")
            continue
        try:
            return ctypes.CDLL(path)
        except OSError as e:
            tried.append(f"{path} ({how}): {e}")
    raise OSError(f"{package}: lib{package} cannot be found; set {variable} to its path. Tried:\n  "
                  + "\n  ".join(tried))


_lock = threading.Lock()
_loaded = None


def library():
    """The loaded library, its functions declared; loaded on the first call.

    SISMCALC_LIBRARY, when set, names the library to load (a path, or a name searched as
    the system searches libraries); otherwise libsismcalc.so.1 is taken from the package's
    folder or its parent, then from the installation the package came with, then from the
    system's library search. Raises OSError naming the places tried when none loads.
    """
    global _loaded
    with _lock:
        if _loaded is None:
            _loaded = load("sismcalc", "SISMCALC_LIBRARY", candidates(__file__, SONAME, "sismcalc"))
        return _loaded


_functions = {}


def function(name):
    """The library function `name` with its prototype declared.

    Raises OSError when the library lacks it (a library older than this package): the other
    functions still work.
    """
    known = _functions.get(name)
    if known is not None:
        return known
    lib = library()
    try:
        f = getattr(lib, name)
    except AttributeError:
        raise OSError(f"sismcalc: {lib._name} has no function {name}; it is older than this package") from None
    f.restype, f.argtypes = PROTOTYPES[name]
    _functions[name] = f
    return f
