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

Arrays may be any array-like of real numbers (lists, tuples, numpy arrays of any integer or
floating dtype), converted to the contiguous float32 arrays the C functions take; an array
that already is one is used without a copy. strict=True, a keyword of every function that
takes arrays, takes only such arrays and raises ArrayTypeError (a TypeError) for anything
else, naming the argument and the dtype it needs:

    sismcalc.getpeak([1.0, -3.0, 2.0])                          # -3.0
    sismcalc.getpeak(np.arange(3.0), strict=True)               # ArrayTypeError: float64

Several arrays come back as named tuples (sd, sv, sa = respec(...) still unpacks). The front
ends response_spectrum, fourier and rotd take the record first and keyword defaults
(damping=0.05, nstep=32):

    rs = sismcalc.response_spectrum(acc, dt, sismcalc.logprd(0.05, 5.0, 60))
    f = sismcalc.fourier(acc, dt, smoothing=0.2)      # f.frequencies in Hz, f.amplitude in cm/s
"""

from ._arrays import ArrayTypeError
from ._friendly import Fourier, ResponseSpectrum, RotD, fourier, response_spectrum, rotd
from ._kernels import (AmplitudePhase, Coefficients, Motion, MotionWithBreak, Rotated, RotDSpectra, Spectra,
                       SpectraWithEnergy, arias, auto, butter, butterpad, cav, duration, eas, engspec, fftap, fftri,
                       filter, findmaxat, findpeakat, getmax, getpeak, getvecpeak2, getvecpeak3, husid, integfft,
                       integlat, integtra, konno, logprd, padded_length, parzen, parzenp, reimph, respec, respec2,
                       respecsub, rotate, rotdspec, sigdur, sijma, sijma10, specint, spint)
from ._library import SONAME, library, package_version
from ._measures import (DuctilitySpectra, SpectrumMeasures, a95, brackdur, cavstd, cavthr, cdspec, cdspecn, charint,
                        eda, lpgmclass, meanprd, peaktime, rmsat, sedens, sigwin, specmeas, sustmax, svaspec, unifdur)
from ._processing import (Baseline, SnrSpectra, aicpick, cliptest, dispratio, polybase, pphasepick, ridderfc, snrband,
                          snrspec, tailratio)

__version__ = package_version("sismcalc")

# filter stays out, so that a star import keeps Python's own filter.
__all__ = ["arias", "auto", "butter", "butterpad", "cav", "duration", "eas", "engspec", "fftap", "fftri",
           "findmaxat", "findpeakat", "getmax", "getpeak", "getvecpeak2", "getvecpeak3", "husid", "integfft",
           "integlat", "integtra", "konno", "logprd", "padded_length", "parzen", "parzenp", "reimph", "respec",
           "respec2", "respecsub", "rotate", "rotdspec", "sigdur", "sijma", "sijma10", "specint", "spint",
           "SONAME", "library", "__version__", "Fourier", "ResponseSpectrum", "RotD", "fourier",
           "response_spectrum", "rotd", "ArrayTypeError", "AmplitudePhase", "Baseline", "Coefficients",
           "DuctilitySpectra", "Motion", "MotionWithBreak", "Rotated", "RotDSpectra", "SnrSpectra", "Spectra",
           "SpectraWithEnergy", "SpectrumMeasures",
           "a95", "brackdur", "cavstd", "cavthr", "cdspec", "cdspecn", "charint", "eda", "lpgmclass",
           "meanprd", "peaktime", "rmsat", "sedens", "sigwin", "specmeas", "sustmax", "svaspec", "unifdur",
           "aicpick", "cliptest", "dispratio", "polybase", "pphasepick", "ridderfc", "snrband", "snrspec",
           "tailratio"]
