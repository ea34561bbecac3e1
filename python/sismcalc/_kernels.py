"""One Python function per function of sismcalc.h, with numpy arrays in and out.

The arguments are the C function's inputs in the C order, without the lengths that the
arrays give; the outputs are returned, several arrays as a named tuple (which unpacks as a
tuple). Array arguments may be any array-like of real numbers: lists, tuples, numpy arrays
of any integer or floating dtype; each is converted to the contiguous float32 array the C
function takes (one that already is one is used without a copy). strict=True takes only
such arrays and refuses anything else with ArrayTypeError, a TypeError naming the argument
and the dtype it needs, so that nothing is copied silently. Lengths that do not agree and
values the library would refuse raise ValueError naming the one cause. Inputs are never
changed, also where the C function works in place, and no function writes into an array of
the caller's: every output is a new array. Indices are 0-based, as in Python.
"""

import ctypes
import math
from typing import NamedTuple, Optional, Tuple

import numpy as np

from ._arrays import FloatMatrix, Floats, OptionalFloats, as_float32, converts  # noqa: F401 - used by the others
from ._library import function

_INT32_MAX = 2**31 - 1
# The transforms pad to a power of two of at most 2**30.
_FFT_MAX = 2**30


class Coefficients(NamedTuple):
    re: np.ndarray
    im: np.ndarray


class AmplitudePhase(NamedTuple):
    amp: np.ndarray
    ph: np.ndarray


class Spectra(NamedTuple):
    sd: np.ndarray  # cm
    sv: np.ndarray  # cm/s
    sa: np.ndarray  # cm/s/s


class SpectraWithEnergy(NamedTuple):
    sd: np.ndarray  # cm
    sv: np.ndarray  # cm/s
    sa: np.ndarray  # cm/s/s
    ve: np.ndarray  # cm/s


class RotDSpectra(NamedTuple):
    rotd: np.ndarray   # (percentiles, periods), cm/s/s
    angle: np.ndarray  # degrees
    peaks: np.ndarray  # (180, periods), cm/s/s


class Rotated(NamedTuple):
    x: np.ndarray
    y: np.ndarray


class Motion(NamedTuple):
    vel: np.ndarray   # cm/s
    disp: np.ndarray  # cm


class MotionWithBreak(NamedTuple):
    vel: np.ndarray
    disp: np.ndarray
    break_index: int


def _floats(name, a, *, least=1, most=_INT32_MAX):
    """The checks of an array the wrapper's conversion has made (see _arrays): its length."""
    a = as_float32(name, a, strict=True)
    if len(a) < least:
        raise ValueError(f"{name} needs at least {least} value{'s' if least > 1 else ''}, not {len(a)}")
    if len(a) > most:
        raise ValueError(f"{name} may have at most {most} values, not {len(a)}")
    return a


def _same_length(first, *others):
    """Arrays given as (name, array) pairs must all be as long as the first."""
    name, a = first
    for other, b in others:
        if len(b) != len(a):
            raise ValueError(f"{other} has {len(b)} values but {name} has {len(a)}; they must be as long")


def _real(name, v, *, above=None, at_least=None, below=None):
    try:
        x = float(v)
    except (TypeError, ValueError):
        raise ValueError(f"{name} must be a number, not {v!r}") from None
    if not math.isfinite(x):
        raise ValueError(f"{name} must be finite, not {x}")
    if above is not None and not x > above:
        raise ValueError(f"{name} must be above {above}, not {x}")
    if at_least is not None and not x >= at_least:
        raise ValueError(f"{name} must be at least {at_least}, not {x}")
    if below is not None and not x < below:
        raise ValueError(f"{name} must be below {below}, not {x}")
    # What the library gets: the value as a float, which must stay in range.
    f = float(np.float32(x))
    if above is not None and not f > above:
        raise ValueError(f"{name} must be above {above} also as a float32, not {x}")
    if below is not None and not f < below:
        raise ValueError(f"{name} must be below {below} also as a float32, not {x}")
    return x


def _whole(name, v, *, least, most=_INT32_MAX):
    if isinstance(v, bool) or not isinstance(v, (int, np.integer)):
        raise ValueError(f"{name} must be a whole number, not {v!r}")
    if not least <= v <= most:
        raise ValueError(f"{name} must be {least} to {most}, not {v}")
    return int(v)


def _damping(h):
    return _real("damping", h, at_least=0.0, below=1.0)


def _dt(dt):
    return _real("dt", dt, above=0.0)


def _p(a):
    return a.ctypes.data_as(ctypes.POINTER(ctypes.c_float))


def _i(v):
    return ctypes.byref(ctypes.c_int32(v))


def _f(v):
    return ctypes.byref(ctypes.c_float(v))


def _new(n):
    return np.zeros(n, dtype=np.float32)


def padded_length(n: int) -> int:
    """P of n values: the smallest power of two that is at least n and at least 2."""
    p = 2
    while p < n:
        p *= 2
    return p


def _refused(name, why=None):
    """The library refused a call the checks here let through: `why` is the one cause left."""
    raise ValueError(f"{name}: the library refused the arguments" + (f" ({why})" if why else ""))


# ---- Fourier transforms ----

@converts
def fftri(x: Floats) -> Coefficients:
    """Fourier coefficients of x, divided by P.

    x: samples, any unit (e.g. acceleration in cm/s/s), at most 2**30 of them; they are
    zero-padded to P, the smallest power of two >= len(x) and >= 2.
    Returns (re, im), two arrays of P/2 values in the unit of x: element k is at k/(P*dt) Hz
    for a sampling step dt in s, from 0 Hz up to, not including, the Nyquist frequency.
    """
    _floats("x", x, most=_FFT_MAX)
    p = padded_length(len(x))
    re, im = _new(p // 2), _new(p // 2)
    if function("FFTRI")(_i(len(x)), _p(x), _p(re), _p(im)) != p // 2:
        _refused("fftri", "not enough memory")
    return Coefficients(re, im)


@converts
def fftap(x: Floats) -> AmplitudePhase:
    """Fourier amplitude (divided by P) and phase of x.

    x: samples (e.g. cm/s/s), at most 2**30, zero-padded to P as in fftri.
    Returns (amp, ph), P/2 values each: amp in the unit of x, ph in radians (-pi to pi, 0
    where the coefficient is 0); element k is at k/(P*dt) Hz.
    """
    _floats("x", x, most=_FFT_MAX)
    p = padded_length(len(x))
    amp, ph = _new(p // 2), _new(p // 2)
    if function("FFTAP")(_i(len(x)), _p(x), _p(amp), _p(ph)) != p // 2:
        _refused("fftap", "not enough memory")
    return AmplitudePhase(amp, ph)


@converts
def auto(x: Floats) -> np.ndarray:
    """Circular auto-correlation of x (zero-padded to P) through its power spectrum.

    Returns P/2 + 1 values for lags 0 to P/2 samples (lag k is k*dt s), scaled so that the
    value at lag 0 is P. Raises ValueError when x has no power (all zeros).
    """
    _floats("x", x, most=_FFT_MAX)
    if not x.any():
        raise ValueError("auto: x has no power to correlate (all its values are 0)")
    p = padded_length(len(x))
    r = _new(p // 2 + 1)
    if function("AUTO")(_i(len(x)), _p(x), _p(r)) == 0:
        _refused("auto", "not enough memory")
    return r


# ---- Response spectra ----

def _spectra_args(periods, damping, dt, acc):
    _floats("periods", periods)
    _floats("acc", acc, least=2)
    return _damping(damping), _dt(dt)


@converts
def respec(periods: Floats, damping: float, dt: float, acc: Floats) -> Spectra:
    """Response spectra of a damped single-degree-of-freedom oscillator.

    periods: natural periods in s (a period <= 0 is a rigid oscillator: sd = sv = 0 and sa
    the peak absolute ground acceleration); damping: fraction of critical, 0 <= damping < 1
    (0.05 is 5 %); dt: sampling step in s; acc: ground acceleration in cm/s/s, at least 2
    samples, taken as linear between them, the oscillator at rest at the start.
    Returns (sd, sv, sa), one value per period: the largest relative displacement in cm,
    relative velocity in cm/s and absolute acceleration in cm/s/s, taken at the samples.
    """
    h, dt = _spectra_args(periods, damping, dt, acc)
    sd, sv, sa = _new(len(periods)), _new(len(periods)), _new(len(periods))
    if function("RESPEC")(_i(len(periods)), _p(periods), _f(h), _i(len(acc)), _f(dt), _p(acc),
                          _p(sd), _p(sv), _p(sa)) != 1:
        _refused("respec")
    return Spectra(sd, sv, sa)


@converts
def respec2(periods: Floats, damping: float, dt: float, acc: Floats) -> SpectraWithEnergy:
    """As respec, plus the energy spectrum.

    Returns (sd, sv, sa, ve): sd in cm, sv in cm/s, sa in cm/s/s and ve, the energy
    equivalent velocity sqrt(2E) of the input energy E per unit mass, in cm/s.
    """
    h, dt = _spectra_args(periods, damping, dt, acc)
    sd, sv, sa, ve = (_new(len(periods)) for _ in range(4))
    if function("RESPEC2")(_i(len(periods)), _p(periods), _f(h), _i(len(acc)), _f(dt), _p(acc),
                           _p(sd), _p(sv), _p(sa), _p(ve)) != 1:
        _refused("respec2")
    return SpectraWithEnergy(sd, sv, sa, ve)


@converts
def respecsub(periods: Floats, damping: float, dt: float, acc: Floats, nstep: int = 32) -> SpectraWithEnergy:
    """As respec2, with nstep > 0 the maxima of the continuous response (the acceleration
    linear between the samples) also between the samples, within 0.2 % at any period,
    damping and sampling rate; nstep = 0 keeps the maxima at the samples (respec2's
    results), 0 <= nstep <= 1000. ve is summed at the samples, as in respec2.
    Returns (sd, sv, sa, ve) in cm, cm/s, cm/s/s and cm/s.
    """
    h, dt = _spectra_args(periods, damping, dt, acc)
    nstep = _whole("nstep", nstep, least=0, most=1000)
    sd, sv, sa, ve = (_new(len(periods)) for _ in range(4))
    if function("RESPECSUB")(_i(len(periods)), _p(periods), _f(h), _i(len(acc)), _f(dt), _p(acc),
                             _p(sd), _p(sv), _p(sa), _p(ve), _i(nstep)) != 1:
        _refused("respecsub", "not enough memory")
    return SpectraWithEnergy(sd, sv, sa, ve)


@converts
def engspec(periods: Floats, damping: float, dt: float, acc: Floats) -> np.ndarray:
    """Energy spectrum alone: ve, the energy equivalent velocity sqrt(2E) in cm/s per period
    (periods in s, damping a fraction of critical, dt in s, acc in cm/s/s; 0 for periods <= 0).
    """
    h, dt = _spectra_args(periods, damping, dt, acc)
    ve = _new(len(periods))
    if function("ENGSPEC")(_i(len(periods)), _p(periods), _f(h), _i(len(acc)), _f(dt), _p(acc),
                           _p(ve)) != 1:
        _refused("engspec")
    return ve


def _intensity_args(count, damping, dt, acc):
    _floats("acc", acc)
    return _whole("count", count, least=0), _damping(damping), _dt(dt)


@converts
def spint(count: int, t1: float, t2: float, damping: float, dt: float, acc: Floats) -> float:
    """Spectrum intensity in cm: the pseudo-velocity spectrum (cm/s) integrated over the
    period (s) from t1 to t2 s by the trapezoid rule on `count` periods spaced evenly in
    logarithm (see logprd).

    t1 <= 0 means 0.1 s and t2 <= 0 means 2.5 s; damping is a fraction of critical, dt in s,
    acc in cm/s/s. 0 when count < 2 or t1 equals t2.
    """
    count, h, dt = _intensity_args(count, damping, dt, acc)
    t1, t2 = _real("t1", t1), _real("t2", t2)
    return function("SPINT")(_i(count), _f(t1), _f(t2), _f(h), _i(len(acc)), _f(dt), _p(acc))


@converts
def specint(count: int, t1: float, t2: float, damping: float, dt: float, acc: Floats) -> float:
    """Spectrum intensity in cm, second form: as spint, except that t2 <= t1 also means
    t2 = 2.5 s.
    """
    count, h, dt = _intensity_args(count, damping, dt, acc)
    t1, t2 = _real("t1", t1), _real("t2", t2)
    return function("SPECINT")(_i(count), _f(t1), _f(t2), _f(h), _i(len(acc)), _f(dt), _p(acc))


def logprd(t1: float, t2: float, n: int) -> np.ndarray:
    """n periods in s evenly spaced in logarithm from t1 to t2 s (t1, t2 > 0, t1 != t2, n >= 2)."""
    t1, t2 = _real("t1", t1, above=0.0), _real("t2", t2, above=0.0)
    n = _whole("n", n, least=2)
    if np.float32(t1) == np.float32(t2):
        raise ValueError(f"t1 and t2 must differ, not both {t1}")
    prd = _new(n)
    if function("LOGPRD")(_f(t1), _f(t2), _i(n), _p(prd)) != 1:
        _refused("logprd")
    return prd


@converts
def rotdspec(periods: Floats, damping: float, dt: float, x: Floats, y: Floats, percentiles: Floats,
             nstep: int = 32) -> RotDSpectra:
    """RotD spectra of the horizontal pair x, y: percentiles over the directions of the
    pseudo-acceleration (2*pi/period)**2 * sd in cm/s/s.

    For each period (s) the two oscillators' relative displacements are combined as
    x*cos(t) + y*sin(t) for t = 0 to 179 degrees and the peak taken for each direction;
    percentiles (float32, 0 to 100, linear between ranks; 50 is RotD50, 100 RotD100) are taken
    over those peaks. damping: fraction of critical (0 <= damping < 1); dt: step in s; x, y:
    acceleration in cm/s/s, as long as each other, at least 2 samples; nstep: sub-steps as in
    respecsub (0 to 1000). A period <= 0 gives the rotated ground acceleration.
    Returns (rotd, angle, peaks): rotd of shape (len(percentiles), len(periods)) in cm/s/s, row j
    for percentiles[j]; angle, per period, the first direction (degrees from x toward y) of
    the largest peak; peaks of shape (180, len(periods)) in cm/s/s, row t the peak along t
    degrees (row 0 is x's own spectrum, row 90 y's).
    """
    _floats("periods", periods)
    _floats("x", x, least=2), _floats("y", y, least=2)
    _same_length(("x", x), ("y", y))
    _floats("percentiles", percentiles)
    if not np.all((percentiles >= 0) & (percentiles <= 100)):
        raise ValueError(f"percentiles must be 0 to 100, not {percentiles[~((percentiles >= 0) & (percentiles <= 100))][0]}")
    h, dt = _damping(damping), _dt(dt)
    nstep = _whole("nstep", nstep, least=0, most=1000)
    if len(periods) * max(len(percentiles), 180) > _INT32_MAX:
        raise ValueError("too many periods and percentiles for one call")
    rotd, angle = _new(len(periods) * len(percentiles)), _new(len(periods))
    peaks = _new(len(periods) * 180)
    if function("ROTDSPEC")(_i(len(periods)), _p(periods), _f(h), _i(len(x)), _f(dt), _p(x), _p(y),
                            _i(len(percentiles)), _p(percentiles), _p(rotd), _p(angle), _p(peaks),
                            _i(nstep)) != 1:
        _refused("rotdspec", "not enough memory")
    return RotDSpectra(rotd.reshape(len(percentiles), len(periods)), angle, peaks.reshape(180, len(periods)))


# ---- Smoothing and phase ----

def _smoothing_args(df, bw):
    df, bw = _real("df", df, above=0.0), _real("bw", bw, above=0.0)
    # The window's lags, as the library counts them: none leaves nothing to smooth with.
    if int(2.0 / (float(np.float32(1.8543047)) / float(np.float32(bw))) / float(np.float32(df))) <= 0:
        raise ValueError(f"bw={bw} Hz is too narrow for steps of df={df} Hz: the window spans no step")
    return df, bw


@converts
def parzen(df: float, bw: float, s: Floats) -> np.ndarray:
    """A spectrum s (any unit; step df Hz) smoothed with a Parzen window of band width bw Hz.

    Returns the smoothed copy; s itself is left as it is. df > 0, bw > 0.
    """
    df, bw = _smoothing_args(df, bw)
    out = _floats("s", s).copy()
    if function("PARZEN")(_i(len(out)), _f(df), _f(bw), _p(out)) != 1:
        _refused("parzen", "not enough memory")
    return out


@converts
def parzenp(df: float, bw: float, ph: Floats) -> np.ndarray:
    """A phase spectrum ph (radians; step df Hz) smoothed with a Parzen window of band width
    bw Hz through its unit vectors. Returns the smoothed copy in radians (-pi to pi).
    """
    df, bw = _smoothing_args(df, bw)
    out = _floats("ph", ph).copy()
    if function("PARZENP")(_i(len(out)), _f(df), _f(bw), _p(out)) != 1:
        _refused("parzenp", "not enough memory")
    return out


@converts
def reimph(re: Floats, im: Floats) -> np.ndarray:
    """Phase in radians, atan2(im, re) element by element, with atan2(0, 0) = 0."""
    _floats("re", re), _floats("im", im)
    _same_length(("re", re), ("im", im))
    ph = _new(len(re))
    function("REIMPH")(_i(len(re)), _p(re), _p(im), _p(ph))
    return ph


# ---- Intensity ----

def _three_components(dt, x, y, z):
    for name, a in (("x", x), ("y", y), ("z", z)):
        _floats(name, a, most=_FFT_MAX)
    _same_length(("x", x), ("y", y), ("z", z))
    return _dt(dt)


@converts
def sijma(dt: float, x: Floats, y: Floats, z: Floats) -> float:
    """JMA instrumental seismic intensity of the three components x, y, z (cm/s/s, step dt s),
    the whole record at once. A number on the JMA scale (e.g. 5.3).
    """
    dt = _three_components(dt, x, y, z)
    return function("SIJMA")(_i(len(x)), _f(dt), _p(x), _p(y), _p(z))


@converts
def sijma10(dt: float, x: Floats, y: Floats, z: Floats) -> float:
    """JMA instrumental seismic intensity of x, y, z (cm/s/s, step dt s), the largest over
    tapered 10-second windows; 0 for a record shorter than one window.
    """
    dt = _three_components(dt, x, y, z)
    return function("SIJMA10")(_i(len(x)), _f(dt), _p(x), _p(y), _p(z))


# ---- Filter and rotation ----

@converts
def filter(dt: float, fl: float, fh: float, x: Floats) -> np.ndarray:  # noqa: A001 - the library's name; left out of __all__
    """x (step dt s) band-passed between fl and fh Hz in the frequency domain; a corner
    <= 0 Hz is off. The mean and the Nyquist component are removed as well.

    Returns the filtered copy (x itself is left as it is); at most 2**30 samples.
    """
    dt = _dt(dt)
    fl, fh = _real("fl", fl), _real("fh", fh)
    out = _floats("x", x, most=_FFT_MAX).copy()
    function("FILTER")(_i(len(out)), _f(dt), _f(fl), _f(fh), _p(out))
    return out


@converts
def rotate(ang: float, x: Floats, y: Floats) -> Rotated:
    """The horizontal pair x, y rotated by ang degrees: x' = x cos a - y sin a,
    y' = x sin a + y cos a. Returns (x', y') in the unit of x and y; x, y are left as they are.
    """
    ang = _real("ang", ang)
    x2, y2 = _floats("x", x).copy(), _floats("y", y).copy()
    _same_length(("x", x), ("y", y))
    function("ROTATE")(_i(len(x2)), _f(ang), _p(x2), _p(y2))
    return Rotated(x2, y2)


# ---- Peaks ----

@converts
def getmax(x: Floats) -> float:
    """Largest value of x."""
    _floats("x", x)
    return function("GETMAX")(_i(len(x)), _p(x))


@converts
def getpeak(x: Floats) -> float:
    """Value of largest magnitude of x, with its sign (the first on ties)."""
    _floats("x", x)
    return function("GETPEAK")(_i(len(x)), _p(x))


@converts
def getvecpeak2(x: Floats, y: Floats) -> float:
    """Largest vector magnitude sqrt(x**2 + y**2) of the pair x, y, in their unit."""
    _floats("x", x), _floats("y", y)
    _same_length(("x", x), ("y", y))
    return function("GETVECPEAK2")(_i(len(x)), _p(x), _p(y))


@converts
def getvecpeak3(x: Floats, y: Floats, z: Floats) -> float:
    """Largest vector magnitude sqrt(x**2 + y**2 + z**2) of the triple x, y, z."""
    for name, a in (("x", x), ("y", y), ("z", z)):
        _floats(name, a)
    _same_length(("x", x), ("y", y), ("z", z))
    return function("GETVECPEAK3")(_i(len(x)), _p(x), _p(y), _p(z))


def _slice(start, stop, x):
    _floats("x", x)
    start = _whole("start", start, least=0, most=len(x) - 1)
    stop = len(x) if stop is None else _whole("stop", stop, least=start + 1, most=len(x))
    return start, stop


@converts
def findpeakat(start: int, stop: Optional[int], x: Floats) -> Tuple[float, int]:
    """Value of largest magnitude among x[start:stop], with its sign, and its index in x.

    stop None means len(x). Returns (peak, index), index 0-based (the first on ties).
    """
    start, stop = _slice(start, stop, x)
    peak, pos = ctypes.c_float(), ctypes.c_int32()
    function("FINDPEAKAT")(_i(start + 1), _i(stop), _p(x), ctypes.byref(peak), ctypes.byref(pos))
    return peak.value, pos.value - 1


@converts
def findmaxat(start: int, stop: Optional[int], x: Floats) -> Tuple[float, int]:
    """Largest value among x[start:stop] and its index in x (0-based, the first on ties)."""
    start, stop = _slice(start, stop, x)
    value, pos = ctypes.c_float(), ctypes.c_int32()
    function("FINDMAXAT")(_i(start + 1), _i(stop), _p(x), ctypes.byref(value), ctypes.byref(pos))
    return value.value, pos.value - 1


# ---- Integration ----

@converts
def integtra(dt: float, acc: Floats, method: int, t1: float, t2: float) -> MotionWithBreak:
    """Velocity (cm/s) and displacement (cm) of acc (cm/s/s, step dt s) by the trapezoid rule,
    the velocity corrected by a baseline before the second integration.

    method 1: a line through the origin fitted to the whole velocity; 2: a least-squares line
    over the whole velocity (the program's "linear"); 3: bi-linear, a line through the origin
    fitted over the first t1 s and a line fitted over the last t2 s, meeting at the break;
    4: a parabola fitted over the first t1 s and the last t2 s; 0: no baseline.
    Returns (vel, disp, break_index): the front line corrects x[:break_index], the rear one
    the rest (0 unless the method fits lines). Raises ValueError when a fitting window holds
    exactly one sample (it has no slope) or the parabola has no samples to fit.
    """
    dt = _dt(dt)
    _floats("acc", acc)
    method = _whole("method", method, least=0, most=4)
    t1, t2 = _real("t1", t1), _real("t2", t2)
    # A refused call leaves the outputs as they were: not-a-number shows it.
    vel, disp = np.full(len(acc), np.nan, dtype=np.float32), np.full(len(acc), np.nan, dtype=np.float32)
    k = function("INTEGTRA")(_i(len(acc)), _f(dt), _p(acc), _p(vel), _p(disp), _i(method), _f(t1), _f(t2))
    if k == 0 and np.isnan(vel).all() and not np.isnan(acc).any():
        why = {3: f"a fitting window of t1={t1} s or t2={t2} s holds one sample, so it has no slope",
               4: f"the windows of t1={t1} s and t2={t2} s hold no samples to fit the parabola to"}
        _refused("integtra", why.get(method, "not enough memory"))
    return MotionWithBreak(vel, disp, k)


@converts
def integfft(dt: float, acc: Floats, fc: float) -> Motion:
    """Velocity (cm/s) and displacement (cm) of acc (cm/s/s, step dt s) by integration in the
    frequency domain, with a cosine low cut below fc Hz. At most 2**29 samples.
    """
    dt = _dt(dt)
    _floats("acc", acc, most=2**29)
    fc = _real("fc", fc)
    vel, disp = _new(len(acc)), _new(len(acc))
    function("INTEGFFT")(_i(len(acc)), _f(dt), _p(acc), _p(vel), _p(disp), _f(fc))
    return Motion(vel, disp)


@converts
def integlat(dt: float, acc: Floats, fc: float) -> Motion:
    """Velocity (cm/s) and displacement (cm) of acc (cm/s/s, step dt s) by a recursive
    band-limited (lattice-filter) integrator with low cut fc Hz. At least 3 samples.
    """
    dt = _dt(dt)
    _floats("acc", acc, least=3)
    fc = _real("fc", fc)
    vel, disp = _new(len(acc)), _new(len(acc))
    function("INTEGLAT")(_i(len(acc)), _f(dt), _p(acc), _p(vel), _p(disp), _f(fc))
    return Motion(vel, disp)


# ---- Duration and measures that accumulate over time ----

@converts
def duration(dt: float, x: Floats) -> float:
    """Strong-motion duration of x (step dt s) in s: the time between 5 % and 95 % of the
    running sum of x**2 (0 for a record of zeros).
    """
    dt = _dt(dt)
    _floats("x", x)
    return function("DURATION")(_i(len(x)), _f(dt), _p(x))


@converts
def arias(dt: float, acc: Floats) -> float:
    """Arias intensity of acc (cm/s/s, step dt s, at least 2 samples) in m/s:
    pi/(2g) times the integral of acc**2 over time, g = 980.665 cm/s/s.
    """
    dt = _dt(dt)
    _floats("acc", acc, least=2)
    return function("ARIAS")(_i(len(acc)), _f(dt), _p(acc))


@converts
def husid(dt: float, acc: Floats) -> np.ndarray:
    """The normalised Husid curve of acc (cm/s/s, step dt s, at least 2 samples): the integral of
    acc**2 up to each sample over its total, from 0 to 1. Raises ValueError for a record
    without motion.
    """
    dt = _dt(dt)
    _floats("acc", acc, least=2)
    if not acc.any():
        raise ValueError("husid: acc has no motion (all its values are 0)")
    h = _new(len(acc))
    if function("HUSID")(_i(len(acc)), _f(dt), _p(acc), _p(h)) != 1:
        _refused("husid", "not enough memory")
    return h


@converts
def sigdur(dt: float, acc: Floats, f1: float = 0.05, f2: float = 0.95) -> float:
    """Significant duration in s: the time between the instants the Husid curve of acc (cm/s/s,
    step dt s) reaches the fractions f1 and f2 (0 <= f1 < f2 <= 1; 0.05 and 0.95 give D5-95).
    0 for a record without motion.
    """
    dt = _dt(dt)
    _floats("acc", acc, least=2)
    f1, f2 = _real("f1", f1, at_least=0.0), _real("f2", f2)
    if not (np.float32(f1) < np.float32(f2) and f2 <= 1.0):
        raise ValueError(f"f1 and f2 must be fractions 0 <= f1 < f2 <= 1, not {f1} and {f2}")
    return function("SIGDUR")(_i(len(acc)), _f(dt), _p(acc), _f(f1), _f(f2))


@converts
def cav(dt: float, acc: Floats) -> float:
    """Cumulative absolute velocity of acc (cm/s/s, step dt s, at least 2 samples) in cm/s: the
    integral of |acc| over time.
    """
    dt = _dt(dt)
    _floats("acc", acc, least=2)
    return function("CAV")(_i(len(acc)), _f(dt), _p(acc))


def _butter_args(dt, fl, fh, order):
    dt = _dt(dt)
    fl, fh = _real("fl", fl), _real("fh", fh)
    order = _whole("order", order, least=1, most=12)
    # The library's reading of the corners: off at or below 0, the low-pass also at or above Nyquist.
    nyquist = float(np.float32(0.5) / np.float32(dt))
    low = fl if np.float32(fl) > 0 else 0.0
    high = fh if np.float32(fh) > 0 and np.float32(fh) < nyquist else 0.0
    if np.float32(low) >= nyquist:
        raise ValueError(f"fl={fl} Hz is at or above half the sampling rate ({nyquist:g} Hz)")
    if low == 0 and high == 0:
        raise ValueError("no corner: fl and fh are both off (fl <= 0, fh <= 0 or at or above half the sampling rate)")
    if low > 0 and high > 0 and np.float32(low) >= np.float32(high):
        raise ValueError(f"fl={fl} Hz must be below fh={fh} Hz")
    return dt, fl, fh, order


def butterpad(dt: float, fl: float, fh: float, order: int) -> int:
    """Zeros butter pads each end with, in samples: half of 1.5*order/fc seconds, fc = fl,
    or fh without a low cut (fl <= 0). Refused for corners butter refuses.
    """
    dt, fl, fh, order = _butter_args(dt, fl, fh, order)
    pad = function("BUTTERPAD")(_f(dt), _f(fl), _f(fh), _i(order))
    if pad < 0:
        _refused("butterpad")
    return pad


@converts
def butter(dt: float, fl: float, fh: float, x: Floats, order: int = 4, acausal: bool = True,
           keep_pad: bool = False) -> np.ndarray:
    """x (step dt s) through Butterworth filters of `order` (1..12): a high-pass at fl Hz (fl <= 0:
    none) and a low-pass at fh Hz (fh <= 0 or at or above half the sampling rate: none), with
    the gain 1/sqrt(2) at each corner. acausal runs them forward and backward (zero phase,
    gain 1/2 at the corners); otherwise once, causally. The record is padded at both ends with
    butterpad zeros first; keep_pad returns the padded record, else the record's own samples.

    Returns the filtered copy (x itself is left as it is).
    """
    dt, fl, fh, order = _butter_args(dt, fl, fh, order)
    src = _floats("x", x)
    pad = butterpad(dt, fl, fh, order)
    out = _new(len(src) + 2 * pad)
    out[:len(src)] = src
    written = function("BUTTER")(_i(len(src)), _f(dt), _f(fl), _f(fh), _i(order), _i(2 if acausal else 1),
                                 _i(1 if keep_pad else 0), _p(out))
    if written == 0:
        _refused("butter", "the record and its pads are too long")
    return out[:written].copy()


@converts
def konno(df: float, s: Floats, b: float, freqs: Floats) -> np.ndarray:
    """Konno-Ohmachi smoothing of the spectrum s (s[k] at k*df Hz) at the frequencies freqs (Hz):
    the sum of W*s over the sum of W over the bins above 0 Hz, W = (sin(x)/x)**4,
    x = b*log10(f/fc), b the band width coefficient (commonly 20 to 188.5, 40 by default).
    logprd(0.01, 100, 401) gives the usual log grid. A frequency <= 0 gives 0.

    Returns the smoothed values at freqs.
    """
    df = _real("df", df, above=0)
    b = _real("b", b, above=0)
    s = _floats("s", s, least=2)
    freqs = _floats("freqs", freqs)
    out = _new(len(freqs))
    if function("KONNO")(_i(len(s)), _f(df), _p(s), _f(b), _i(len(freqs)), _p(freqs), _p(out)) != 1:
        _refused("konno", "not enough memory")
    return out


@converts
def eas(dt: float, x: Floats, y: Floats, b: float, freqs: Floats) -> np.ndarray:
    """Effective amplitude spectrum of the horizontal pair x, y (step dt s, cm/s/s) at the
    frequencies freqs (Hz): sqrt((|Fx|**2 + |Fy|**2) / 2) of the continuous Fourier amplitudes
    (cm/s), Konno-Ohmachi smoothed with coefficient b (see konno).

    Returns the values at freqs in cm/s.
    """
    dt = _dt(dt)
    b = _real("b", b, above=0)
    x, y = _floats("x", x, least=2, most=_FFT_MAX), _floats("y", y, least=2, most=_FFT_MAX)
    _same_length(("x", x), ("y", y))
    freqs = _floats("freqs", freqs)
    out = _new(len(freqs))
    if function("EAS")(_i(len(x)), _f(dt), _p(x), _p(y), _f(b), _i(len(freqs)), _p(freqs), _p(out)) != 1:
        _refused("eas", "not enough memory")
    return out
