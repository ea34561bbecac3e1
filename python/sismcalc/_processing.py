"""The library's steps of automatic record processing: onset pickers, signal-to-noise ratio
and its band, polynomial baselines, the residual search for the high-pass corner and the
quality checks. Conventions as in _kernels: float32 numpy arrays, 0-based indices, inputs
never changed.
"""

import ctypes
from typing import NamedTuple, Optional, Tuple

import numpy as np

from ._arrays import Floats, converts
from ._kernels import _dt, _f, _floats, _i, _new, _p, _real, _refused, _same_length, _slice, _whole
from ._library import function


class SnrSpectra(NamedTuple):
    signal: np.ndarray  # cm/s
    noise: np.ndarray   # cm/s
    ratio: np.ndarray


class Baseline(NamedTuple):
    acc: np.ndarray   # corrected, cm/s/s
    coef: np.ndarray  # c2 .. c_degree, cm/s^k


@converts
def aicpick(x: Floats) -> Optional[int]:
    """Onset of x by the Akaike information criterion of the record itself: the index (0-based)
    of the first sample after the quiet part, or None for fewer than 4 samples or a constant x.
    """
    x = _floats("x", x)
    k = function("AICPICK")(_i(len(x)), _p(x))
    return k - 1 if k > 0 else None


@converts
def pphasepick(dt: float, acc: Floats, tn: Optional[float] = None, xi: float = 0.6,
               nbins: Optional[int] = None) -> Optional[int]:
    """P-wave onset of acc (step dt s) from the damping energy of an oscillator of period tn s
    (default 0.01 s at 100 Hz and faster, else 0.1 s) and damping xi, with an energy histogram
    of nbins bins (default 2/dt). The index (0-based), or None.
    """
    dt = _dt(dt)
    acc = _floats("acc", acc)
    tn = _real("tn", (0.01 if dt <= 0.0101 else 0.1) if tn is None else tn, above=0)
    xi = _real("xi", xi, above=0, below=1)
    nbins = _whole("nbins", round(2 / dt) if nbins is None else nbins, least=4)
    k = function("PPHASEPICK")(_i(len(acc)), _f(dt), _p(acc), _f(tn), _f(xi), _i(nbins))
    return k - 1 if k > 0 else None


@converts
def snrspec(dt: float, x: Floats, noise: Tuple[int, int], signal: Tuple[int, int], b: float,
            freqs: Floats) -> SnrSpectra:
    """Signal and noise Fourier amplitudes of x (step dt s) over the windows noise and signal,
    each a (start, stop) pair of indices (x[start:stop]), the noise scaled to the signal's
    duration, Konno-Ohmachi smoothed with b at the frequencies freqs (Hz).

    Returns (signal, noise, ratio) at freqs.
    """
    dt = _dt(dt)
    x = _floats("x", x, least=4)
    b = _real("b", b, above=0)
    freqs = _floats("freqs", freqs)
    (n1, n2), (s1, s2) = _slice(*noise, x), _slice(*signal, x)
    if n2 - n1 < 2 or s2 - s1 < 2:
        raise ValueError("snrspec: the windows need at least 2 samples each")
    sig, noi, snr = _new(len(freqs)), _new(len(freqs)), _new(len(freqs))
    if function("SNRSPEC")(_i(len(x)), _f(dt), _p(x), _i(n1 + 1), _i(n2), _i(s1 + 1), _i(s2), _f(b),
                           _i(len(freqs)), _p(freqs), _p(sig), _p(noi), _p(snr)) != 1:
        _refused("snrspec", "windows outside the record")
    return SnrSpectra(sig, noi, snr)


@converts
def snrband(freqs: Floats, snr: Floats, threshold: float = 3.0, fmin: float = 0.02, fmax: float = 50.0) -> Optional[Tuple[float, float]]:
    """The usable band of the ratio snr at the rising frequencies freqs: the run at or above
    threshold within fmin..fmax spanning most decades. Returns (high-pass, low-pass) corners in
    Hz, or None when no frequency passes.
    """
    freqs, snr = _floats("freqs", freqs, least=2), _floats("snr", snr, least=2)
    _same_length(("freqs", freqs), ("snr", snr))
    threshold = _real("threshold", threshold, above=0)
    fmin, fmax = _real("fmin", fmin, above=0), _real("fmax", fmax, above=0)
    fhp, flp = ctypes.c_float(), ctypes.c_float()
    if function("SNRBAND")(_i(len(freqs)), _p(freqs), _p(snr), _f(threshold), _f(fmin), _f(fmax),
                           ctypes.byref(fhp), ctypes.byref(flp)) != 1:
        return None
    return fhp.value, flp.value


@converts
def polybase(dt: float, acc: Floats, degree: int = 6) -> Baseline:
    """acc (step dt s) less the second derivative of the polynomial c2 t^2 + ... + c_degree t^degree
    fitted to its displacement. Returns (corrected copy, [c2, ..., c_degree] in cm/s^k).
    """
    dt = _dt(dt)
    degree = _whole("degree", degree, least=2, most=10)
    out = _floats("acc", acc, least=degree + 2).copy()
    coef = _new(degree - 1)
    if function("POLYBASE")(_i(len(out)), _f(dt), _p(out), _i(degree), _p(coef)) != 1:
        _refused("polybase", "the fit is singular")
    return Baseline(out, coef)


@converts
def dispratio(dt: float, acc: Floats, degree: int = 6) -> float:
    """Largest |polynomial fit| over the largest |displacement| of acc (step dt s)."""
    dt = _dt(dt)
    degree = _whole("degree", degree, least=2, most=10)
    acc = _floats("acc", acc, least=degree + 2)
    return function("DISPRATIO")(_i(len(acc)), _f(dt), _p(acc), _i(degree))


@converts
def ridderfc(dt: float, acc: Floats, fc0: float, fcmax: float, order: int = 5, taper: float = 0.05, degree: int = 6,
             target: float = 0.02, tol: float = 0.001, maxiter: int = 30) -> Tuple[float, float, bool]:
    """The lowest high-pass corner in fc0..fcmax Hz at which the processed acc meets
    dispratio <= target, by Ridders' method. Returns (corner, ratio, met): met False when even
    fcmax does not meet the target.
    """
    dt = _dt(dt)
    acc = _floats("acc", acc, least=degree + 2)
    fc0, fcmax = _real("fc0", fc0, above=0), _real("fcmax", fcmax, above=0)
    order = _whole("order", order, least=1, most=12)
    taper = _real("taper", taper, at_least=0, below=0.5)
    degree = _whole("degree", degree, least=2, most=10)
    target, tol = _real("target", target, above=0), _real("tol", tol, above=0)
    maxiter = _whole("maxiter", maxiter, least=1)
    nyquist = 0.5 / dt
    for name, v in (("fc0", fc0), ("fcmax", fcmax)):
        if not v < nyquist:
            raise ValueError(f"{name}={v} Hz must be below half the sampling rate ({nyquist:g} Hz)")
    if fcmax < fc0:
        raise ValueError(f"fcmax={fcmax} Hz must not be below fc0={fc0} Hz")
    fc, ratio = ctypes.c_float(), ctypes.c_float()
    rc = function("RIDDERFC")(_i(len(acc)), _f(dt), _p(acc), _f(fc0), _f(fcmax), _i(order), _f(taper),
                              _i(degree), _f(target), _f(tol), _i(maxiter), ctypes.byref(fc), ctypes.byref(ratio))
    if rc == 0:
        _refused("ridderfc", "not enough memory")
    return fc.value, ratio.value, rc > 0


@converts
def cliptest(x: Floats, runlen: int = 5, near: float = 0.98, nbins: int = 201) -> Tuple[int, float]:
    """Signs of clipping in x: (runs of at least runlen equal samples at or above near times the
    peak, the outermost histogram bin's count over its inner neighbour's)."""
    x = _floats("x", x, least=2)
    runlen = _whole("runlen", runlen, least=2)
    near = _real("near", near, above=0)
    if near > 1:
        raise ValueError(f"near must be at most 1, not {near}")
    if not np.isfinite(x).all():
        raise ValueError("x must hold finite numbers only")
    nbins = _whole("nbins", nbins, least=3)
    runs, ratio = ctypes.c_int32(), ctypes.c_float()
    if function("CLIPTEST")(_i(len(x)), _p(x), _i(runlen), _f(near), _i(nbins), ctypes.byref(runs),
                            ctypes.byref(ratio)) != 1:
        _refused("cliptest", "not enough memory")
    return runs.value, ratio.value


@converts
def tailratio(dt: float, x: Floats, tail: float) -> float:
    """Largest |x| over the last tail seconds over the largest |x| of all (step dt s)."""
    dt = _dt(dt)
    x = _floats("x", x)
    tail = _real("tail", tail, above=0)
    return function("TAILRATIO")(_i(len(x)), _f(dt), _p(x), _f(tail))
