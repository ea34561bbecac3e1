"""Finding and loading libsismora, and the C prototype of every function it exports."""

import ctypes
import os
import threading

SONAME = "libsismora.so.1"

_H = ctypes.c_void_p
_S = ctypes.c_char_p
_I32 = ctypes.c_int32
_I64 = ctypes.c_int64
_FP = ctypes.POINTER(ctypes.c_float)

# Return type and argument types of each function of sismora.h.
PROTOTYPES = {
    "sismora_version": (_S, []),
    "sismora_open": (_H, [_S, _S]),
    "sismora_error": (_S, [_H]),
    "sismora_channel_count": (_I32, [_H]),
    "sismora_sample_count": (_I32, [_H]),
    "sismora_rate": (_I32, [_H]),
    "sismora_dt": (ctypes.c_float, [_H]),
    "sismora_samples": (_I32, [_H, _I32, _FP, _I32]),
    "sismora_all_samples": (_I32, [_H, _FP, _I64]),
    "sismora_metadata": (_S, [_H]),
    "sismora_preprocess": (_I32, [_H, _S]),
    "sismora_metrics": (_S, [_H, _S]),
    "sismora_list_records": (_I64, [_S, ctypes.c_char_p, _I64]),
    "sismora_free": (None, [_H]),
}


def _candidates():
    """Where the library is looked for, in order: (path or name, how it was found)."""
    here = os.path.dirname(os.path.abspath(__file__))
    found = [(os.path.join(folder, SONAME), "beside the package") for folder in (here, os.path.dirname(here))]
    try:
        from . import _installed  # written by the install rules
    except ImportError:
        _installed = None
    if _installed is not None:
        found.append((os.path.normpath(os.path.join(here, _installed.LIBRARY)), "installed"))
    found.append((SONAME, "the system's library search"))
    return found


_lock = threading.Lock()
_loaded = None


def _load_sismcalc():
    """libsismora loads libsismcalc by its SONAME when it first computes: the one the sismcalc
    package chose, loaded first, is the one it then finds."""
    try:
        import sismcalc
        sismcalc.library()
    except (ImportError, OSError):
        pass  # libsismora then finds libsismcalc through the system's search


def library():
    """The loaded library, its functions declared; loaded on the first call.

    SISMORA_LIBRARY, when set, names the library to load (a path, or a name searched as the
    system searches libraries); otherwise libsismora.so.1 is taken from the package's folder
    or its parent, then from the installation the package came with, then from the system's
    library search. Raises OSError naming the places tried when none loads.
    """
    global _loaded
    with _lock:
        if _loaded is not None:
            return _loaded
        _load_sismcalc()
        chosen = os.environ.get("SISMORA_LIBRARY")
        if chosen:
            try:
                lib = ctypes.CDLL(chosen)
            except OSError as e:
                raise OSError(f"sismora: SISMORA_LIBRARY={chosen} cannot be loaded: {e}") from None
        else:
            lib, tried = None, []
            for path, how in _candidates():
                if os.sep in path and not os.path.exists(path):
                    tried.append(f"{path} ({how}): not there")
                    continue
                try:
                    lib = ctypes.CDLL(path)
                    break
                except OSError as e:
                    tried.append(f"{path} ({how}): {e}")
            if lib is None:
                raise OSError("sismora: libsismora cannot be found; set SISMORA_LIBRARY to its path. Tried:\n  "
                              + "\n  ".join(tried))
        for name, (restype, argtypes) in PROTOTYPES.items():
            try:
                f = getattr(lib, name)
            except AttributeError:
                raise OSError(f"sismora: {lib._name} has no function {name}; it is older than this package") from None
            f.restype, f.argtypes = restype, argtypes
        _loaded = lib
        return lib
