"""sismcalc: the numeric kernels of Sismora for Python, over libsismcalc with ctypes.

One function per function of the C library (sismcalc.h), named in lower case: fftri,
respec, sijma, ... Arrays go in and come out as one-dimensional, contiguous float32 numpy
arrays; the arguments are the C function's inputs in the C order, without the lengths the
arrays give, and the outputs are returned. Values are in centimetres and seconds:
acceleration in cm/s/s, velocity in cm/s, displacement in cm, periods and steps in s,
frequencies in Hz, damping as a fraction of critical.

    import numpy as np
    import sismcalc

    dt = 0.01
    acc = np.asarray(100 * np.sin(2 * np.pi * np.arange(2000) * dt), dtype=np.float32)
    periods = sismcalc.logprd(0.1, 5.0, 50)
    sd, sv, sa = sismcalc.respec(periods, 0.05, dt, acc)

The library is loaded on the first call: SISMCALC_LIBRARY names it when set, otherwise
libsismcalc.so.1 is looked for beside the package, in the installation it came with and
through the system's library search.
"""

from ._kernels import (arias, auto, butter, butterpad, cav, duration, eas, engspec, fftap, fftri, filter,
                       findmaxat, findpeakat, getmax, getpeak, getvecpeak2, getvecpeak3, husid, integfft,
                       integlat, integtra, konno, logprd, padded_length, parzen, parzenp, reimph, respec,
                       respec2, respecsub, rotate, rotdspec, sigdur, sijma, sijma10, specint, spint)
from ._kernels import (a95, brackdur, cavstd, cavthr, cdspec, charint, eda, lpgmclass, meanprd,
                       peaktime, rmsat, sedens, sigwin, specmeas, sustmax, svaspec, unifdur)
from ._library import SONAME, library
from ._processing import (aicpick, cliptest, dispratio, polybase, pphasepick, ridderfc, snrband, snrspec,
                          tailratio)

# filter stays out, so that a star import keeps Python's own filter.
__all__ = ["arias", "auto", "butter", "butterpad", "cav", "duration", "eas", "engspec", "fftap", "fftri",
           "findmaxat", "findpeakat", "getmax", "getpeak", "getvecpeak2", "getvecpeak3", "husid", "integfft",
           "integlat", "integtra", "konno", "logprd", "padded_length", "parzen", "parzenp", "reimph", "respec",
           "respec2", "respecsub", "rotate", "rotdspec", "sigdur", "sijma", "sijma10", "specint", "spint",
           "SONAME", "library",
           "a95", "brackdur", "cavstd", "cavthr", "cdspec", "charint", "eda", "lpgmclass",
           "meanprd", "peaktime", "rmsat", "sedens", "sigwin", "specmeas", "sustmax", "svaspec", "unifdur",
           "aicpick", "cliptest", "dispratio", "polybase", "pphasepick", "ridderfc", "snrband", "snrspec",
           "tailratio"]
