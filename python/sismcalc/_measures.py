"""The ground-motion measures of sismcalc.h, with numpy arrays in and out, under the same rules as
the other functions of the package (see _kernels).
"""

import ctypes
from typing import NamedTuple, Optional, Tuple

import numpy as np

from ._arrays import FloatMatrix, Floats, OptionalFloats, converts
from ._kernels import (_INT32_MAX, _damping, _dt, _f, _floats, _i, _new, _p, _real, _refused, _same_length,
                       _slice, _spectra_args)
from ._library import function


class SpectrumMeasures(NamedTuple):
    asi: float  # cm/s
    vsi: float  # cm
    hi: float   # cm
    tp: float   # s


class DuctilitySpectra(NamedTuple):
    r: np.ndarray    # strength reduction factor
    say: np.ndarray  # cm/s/s
    sdm: np.ndarray  # cm
    sdy: np.ndarray  # cm


def _record(dt, acc, name="acc"):
    dt = _dt(dt)
    _floats(name, acc, least=2)
    return dt


def _optional(name, v, like):
    """A velocity to pass, or a null pointer for None."""
    if v is None:
        return ctypes.POINTER(ctypes.c_float)()
    _floats(name, v, least=2)
    _same_length(("acc", like), (name, v))
    return _p(v)


@converts
def rmsat(start: int, stop: Optional[int], x: Floats) -> float:
    """Root mean square of x[start:stop] (stop None means len(x)), in the unit of x."""
    start, stop = _slice(start, stop, x)
    return function("RMSAT")(_i(start + 1), _i(stop), _p(x))


@converts
def sigwin(acc: Floats, f1: float = 0.05, f2: float = 0.95) -> Tuple[int, int]:
    """The samples inside the Husid window of acc between the fractions f1 and f2
    (0 <= f1 < f2 <= 1): returns (start, stop), 0-based, stop exclusive. Raises ValueError for a
    record without motion.
    """
    _floats("acc", acc, least=2)
    f1, f2 = _real("f1", f1, at_least=0.0), _real("f2", f2)
    if not (np.float32(f1) < np.float32(f2) and f2 <= 1.0):
        raise ValueError(f"f1 and f2 must be fractions 0 <= f1 < f2 <= 1, not {f1} and {f2}")
    if not acc.any():
        raise ValueError("sigwin: acc has no motion (all its values are 0)")
    i1, i2 = ctypes.c_int32(), ctypes.c_int32()
    if function("SIGWIN")(_i(len(acc)), _p(acc), _f(f1), _f(f2), ctypes.byref(i1), ctypes.byref(i2)) != 1:
        _refused("sigwin", "not enough memory")
    return i1.value - 1, i2.value


@converts
def charint(dt: float, acc: Floats) -> float:
    """Characteristic intensity a_rms**1.5 * sqrt(t_d) of acc (cm/s/s, step dt s), with a_rms and
    t_d (D5-95) over the 5-95 % Husid window, in (cm/s/s)**1.5 s**0.5 (Park, Ang & Wen 1985).
    """
    dt = _record(dt, acc)
    return function("CHARINT")(_i(len(acc)), _f(dt), _p(acc))


@converts
def sedens(dt: float, vel: Floats) -> float:
    """Specific energy density, the integral of vel**2 over time (vel in cm/s, step dt s), in cm**2/s."""
    dt = _record(dt, vel, "vel")
    return function("SEDENS")(_i(len(vel)), _f(dt), _p(vel))


@converts
def cavthr(dt: float, acc: Floats, threshold: float = 5.0) -> float:
    """CAV over the time where |acc| >= threshold (cm/s/s; 5 gives CAV5), in cm/s."""
    dt = _record(dt, acc)
    threshold = _real("threshold", threshold, at_least=0.0)
    return function("CAVTHR")(_i(len(acc)), _f(dt), _p(acc), _f(threshold))


@converts
def cavstd(dt: float, acc: Floats) -> float:
    """Standardised CAV: the integral of |acc| over the whole seconds from the start whose largest
    |acc| reaches 0.025 g, in cm/s.
    """
    dt = _record(dt, acc)
    return function("CAVSTD")(_i(len(acc)), _f(dt), _p(acc))


@converts
def specmeas(damping: float, dt: float, acc: Floats) -> SpectrumMeasures:
    """Spectrum intensities and predominant period at the damping (fraction of critical).

    Returns (asi, vsi, hi, tp): the integrals over period of SA from 0.1 to 0.5 s (cm/s), of SV
    and of the pseudo-velocity from 0.1 to 2.5 s (cm), and the period of the largest SA over
    0.02-4 s (s; 0 for a record without motion).
    """
    h, dt = _damping(damping), _record(dt, acc)
    out = [ctypes.c_float() for _ in range(4)]
    if function("SPECMEAS")(_f(h), _i(len(acc)), _f(dt), _p(acc), *(ctypes.byref(o) for o in out)) != 1:
        _refused("specmeas", "not enough memory")
    return SpectrumMeasures(*(o.value for o in out))


@converts
def sustmax(x: Floats) -> float:
    """Sustained maximum: the third largest of the peaks |x| of the half cycles of x (0 with
    fewer than three).
    """
    _floats("x", x)
    return function("SUSTMAX")(_i(len(x)), _p(x))


@converts
def eda(dt: float, acc: Floats, fc: float = 9.0) -> float:
    """Effective design acceleration: the peak |acc| after a zero-phase low-pass at fc Hz with
    the gain 1/sqrt(1 + (f/fc)**8), in cm/s/s.
    """
    dt = _record(dt, acc)
    fc = _real("fc", fc, above=0.0)
    return function("EDA")(_i(len(acc)), _f(dt), _p(acc), _f(fc))


@converts
def a95(acc: Floats) -> float:
    """A95: the smallest |acc| whose samples at or below it hold 95 % of the sum of acc**2."""
    _floats("acc", acc)
    return function("A95")(_i(len(acc)), _p(acc))


@converts
def meanprd(dt: float, acc: Floats) -> float:
    """Mean period sum(C**2/f) / sum(C**2) over the Fourier amplitudes C of acc at 0.25-20 Hz, in s."""
    dt = _record(dt, acc)
    return function("MEANPRD")(_i(len(acc)), _f(dt), _p(acc))


@converts
def brackdur(dt: float, acc: Floats, level: float = 5.0) -> float:
    """Bracketed duration: from the first to the last sample with |acc| >= level (> 0), in s."""
    dt = _record(dt, acc)
    level = _real("level", level, above=0.0)
    return function("BRACKDUR")(_i(len(acc)), _f(dt), _p(acc), _f(level))


@converts
def unifdur(dt: float, acc: Floats, level: float = 5.0) -> float:
    """Uniform duration: the number of samples with |acc| >= level (> 0) times dt, in s."""
    dt = _record(dt, acc)
    level = _real("level", level, above=0.0)
    return function("UNIFDUR")(_i(len(acc)), _f(dt), _p(acc), _f(level))


@converts
def peaktime(dt: float, x: Floats) -> float:
    """Time in s from the first sample of the first largest |x|."""
    dt = _dt(dt)
    _floats("x", x)
    return function("PEAKTIME")(_i(len(x)), _f(dt), _p(x))


@converts
def svaspec(periods: Floats, damping: float, dt: float, acc: Floats, vel: OptionalFloats = None) -> np.ndarray:
    """Absolute velocity response spectrum: per period the largest |relative velocity + ground
    velocity| in cm/s; the ground velocity is vel (cm/s, as long as acc) or, when None, the
    trapezoid integral of acc from 0.
    """
    h, dt = _spectra_args(periods, damping, dt, acc)
    v = _optional("vel", vel, acc)
    sva = _new(len(periods))
    if function("SVASPEC")(_i(len(periods)), _p(periods), _f(h), _i(len(acc)), _f(dt), _p(acc), v, _p(sva)) != 1:
        _refused("svaspec", "not enough memory")
    return sva


@converts
def lpgmclass(dt: float, x: Floats, y: Floats, vx: OptionalFloats = None,
              vy: OptionalFloats = None) -> Tuple[float, int]:
    """JMA long-period ground-motion class of the horizontal pair x, y (cm/s/s).

    Returns (svamax, cls): the largest 5 %-damped absolute velocity response of either over
    1.6-7.8 s in 0.2 s steps (cm/s), and the class 1 to 4 by the limits 5, 15, 50 and 100 cm/s
    (0 below class 1). vx, vy: their ground velocities, or None, as in svaspec.
    """
    dt = _record(dt, x, "x")
    _floats("y", y, least=2)
    _same_length(("x", x), ("y", y))
    pvx, pvy = _optional("vx", vx, x), _optional("vy", vy, x)
    sva, cls = ctypes.c_float(), ctypes.c_int32()
    if function("LPGMCLASS")(_i(len(x)), _f(dt), _p(x), _p(y), pvx, pvy, ctypes.byref(sva), ctypes.byref(cls)) != 1:
        _refused("lpgmclass", "not enough memory")
    return sva.value, cls.value


@converts
def cdspec(periods: Floats, damping: float, alpha: float, ductilities: Floats, dt: float,
           acc: Floats) -> DuctilitySpectra:
    """Constant-ductility spectra of a bilinear oscillator (post-yield stiffness ratio alpha,
    0 <= alpha < 1) under acc (cm/s/s, step dt s).

    For each target ductility (float32 array, each >= 1) and period (s), the largest yield
    strength whose peak displacement is the ductility times the yield displacement. Returns
    (r, say, sdm, sdy), each of shape (len(ductilities), len(periods)): the strength reduction
    factor (elastic strength over yield strength), the yield strength per unit mass
    (2*pi/T)**2 * uy in cm/s/s, the peak inelastic displacement mu * uy and the yield
    displacement uy in cm. A ductility of 1 or a period <= 0 gives the elastic values.
    """
    h, dt = _spectra_args(periods, damping, dt, acc)
    _floats("ductilities", ductilities)
    if not np.all((ductilities >= 1) & np.isfinite(ductilities)):
        raise ValueError("ductilities must be finite and at least 1")
    alpha = _real("alpha", alpha, at_least=0.0, below=1.0)
    cells = len(periods) * len(ductilities)
    if cells > _INT32_MAX:
        raise ValueError("too many periods and ductilities for one call")
    out = [_new(cells) for _ in range(4)]
    if function("CDSPEC")(_i(len(periods)), _p(periods), _f(h), _f(alpha), _i(len(ductilities)), _p(ductilities),
                          _i(len(acc)), _f(dt), _p(acc), *(_p(o) for o in out)) != 1:
        _refused("cdspec", "not enough memory")
    return DuctilitySpectra(*(o.reshape(len(ductilities), len(periods)) for o in out))


@converts
def cdspecn(periods: Floats, damping: float, alpha: float, ductilities: Floats, dt: float,
            accs: FloatMatrix) -> DuctilitySpectra:
    """cdspec of several channels at once: accs of shape (channels, samples), converted to a
    C-contiguous float32 array (strict=True: only such an array is taken). Returns (r, say, sdm, sdy), each of shape (channels, len(ductilities),
    len(periods)), each channel's values those cdspec gives it alone.
    """
    nch, n = accs.shape
    if nch < 1:
        raise ValueError("accs needs at least one channel")
    h, dt = _spectra_args(periods, damping, dt, accs[0])
    _floats("ductilities", ductilities)
    if not np.all((ductilities >= 1) & np.isfinite(ductilities)):
        raise ValueError("ductilities must be finite and at least 1")
    alpha = _real("alpha", alpha, at_least=0.0, below=1.0)
    cells = len(periods) * len(ductilities) * nch
    if cells > _INT32_MAX or accs.size > _INT32_MAX:
        raise ValueError("too many channels, periods and ductilities for one call")
    out = [_new(cells) for _ in range(4)]
    if function("CDSPECN")(_i(nch), _i(len(periods)), _p(periods), _f(h), _f(alpha), _i(len(ductilities)),
                           _p(ductilities), _i(n), _f(dt), _p(accs), *(_p(o) for o in out)) != 1:
        _refused("cdspecn", "not enough memory")
    return DuctilitySpectra(*(o.reshape(nch, len(ductilities), len(periods)) for o in out))
