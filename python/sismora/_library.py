"""Finding and loading libsismora, and the C prototype of every function it exports."""

import ctypes
import os
import threading

import sismcalc
from sismcalc._library import candidates, load

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
    "sismora_process": (_H, [_H, _S, ctypes.POINTER(ctypes.c_char_p)]),
    "sismora_list_records": (_I64, [_S, ctypes.c_char_p, _I64]),
    "sismora_free": (None, [_H]),
}


_lock = threading.Lock()
_loaded = None


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
        # libsismora loads libsismcalc by its SONAME when it first computes: the one the
        # sismcalc package chose, loaded first, is the one it then finds.
        sismcalc.library()
        lib = load("sismora", "SISMORA_LIBRARY", candidates(__file__, SONAME, "sismora"))
        for name, (restype, argtypes) in PROTOTYPES.items():
            try:
                f = getattr(lib, name)
            except AttributeError:
                raise OSError(f"sismora: {lib._name} has no function {name}; it is older than this package") from None
            f.restype, f.argtypes = restype, argtypes
        _loaded = lib
        return lib
