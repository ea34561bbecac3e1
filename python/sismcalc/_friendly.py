"""Named results and keyword defaults over the kernels, and front ends that take any
array-like of numbers.

The kernels (_kernels.py) keep their contract: float32 numpy arrays or a ValueError. The
functions here return the kernels' outputs as named tuples (which unpack as before), give
nstep its usual 32, and the front ends response_spectrum, fourier and rotd convert lists and
float64 arrays to float32 unless strict=True asks for the kernels' refusal instead.
"""

from typing import NamedTuple, Optional, Sequence, Union

import numpy as np

from . import _kernels

ArrayLike = Union[np.ndarray, Sequence[float]]


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


class Motion(NamedTuple):
    vel: np.ndarray   # cm/s
    disp: np.ndarray  # cm


class MotionWithBreak(NamedTuple):
    vel: np.ndarray
    disp: np.ndarray
    break_index: int


class ResponseSpectrum(NamedTuple):
    """Response spectra at `periods` s: sd cm, sv cm/s, sa cm/s/s, psv = sa*T/(2 pi) cm/s,
    ve (energy equivalent velocity) cm/s."""
    periods: np.ndarray
    sd: np.ndarray
    sv: np.ndarray
    sa: np.ndarray
    psv: np.ndarray
    ve: np.ndarray


class Fourier(NamedTuple):
    """Fourier amplitude |X(f)| (cm/s for acceleration in cm/s/s) and phase (radians) at
    `frequencies` Hz, 0 Hz up to, not including, the Nyquist frequency."""
    frequencies: np.ndarray
    amplitude: np.ndarray
    phase: np.ndarray


class RotD(NamedTuple):
    """RotD spectra: values[j] at percentiles[j] in cm/s/s, at `periods` s; angle, per
    period, the direction of the largest peak in degrees from x toward y."""
    periods: np.ndarray
    percentiles: np.ndarray
    values: np.ndarray
    angle: np.ndarray


def floats(name: str, a: ArrayLike, strict: bool = False) -> np.ndarray:
    """`a` as a one-dimensional contiguous float32 array: converted unless strict, when only
    such an array is taken (else ValueError naming the one thing wrong)."""
    if strict:
        return _kernels._floats(name, a)
    try:
        out = np.ascontiguousarray(a, dtype=np.float32)
    except (TypeError, ValueError):
        raise ValueError(f"{name} must be numbers, not {type(a).__name__}") from None
    if out.ndim != 1:
        raise ValueError(f"{name} must be one-dimensional, not of shape {out.shape}")
    if not np.all(np.isfinite(out)):
        raise ValueError(f"{name} must hold finite numbers only")
    return out


# ---- The kernels, with named results ----

def fftri(x) -> Coefficients:
    return Coefficients(*_kernels.fftri(x))


def fftap(x) -> AmplitudePhase:
    return AmplitudePhase(*_kernels.fftap(x))


def respec(periods, damping, dt, acc) -> Spectra:
    return Spectra(*_kernels.respec(periods, damping, dt, acc))


def respec2(periods, damping, dt, acc) -> SpectraWithEnergy:
    return SpectraWithEnergy(*_kernels.respec2(periods, damping, dt, acc))


def respecsub(periods, damping, dt, acc, nstep: int = 32) -> SpectraWithEnergy:
    return SpectraWithEnergy(*_kernels.respecsub(periods, damping, dt, acc, nstep))


def rotdspec(periods, damping, dt, x, y, percentiles, nstep: int = 32) -> RotDSpectra:
    return RotDSpectra(*_kernels.rotdspec(periods, damping, dt, x, y, percentiles, nstep))


def integtra(dt, acc, method, t1, t2) -> MotionWithBreak:
    return MotionWithBreak(*_kernels.integtra(dt, acc, method, t1, t2))


def integfft(dt, acc, fc) -> Motion:
    return Motion(*_kernels.integfft(dt, acc, fc))


def integlat(dt, acc, fc) -> Motion:
    return Motion(*_kernels.integlat(dt, acc, fc))


for _f in (fftri, fftap, respec, respec2, respecsub, rotdspec, integtra, integfft, integlat):
    _f.__doc__ = getattr(_kernels, _f.__name__).__doc__


# ---- Front ends ----

def response_spectrum(acc: ArrayLike, dt: float, periods: ArrayLike, damping: float = 0.05, nstep: int = 32,
                      *, strict: bool = False) -> ResponseSpectrum:
    """Response spectra of acc (cm/s/s, step dt s) at `periods` (s), damping a fraction of
    critical (0.05: 5 %), the maxima also between the samples (nstep sub-steps, 0: at the
    samples only), as the program computes them."""
    acc, periods = floats("acc", acc, strict), floats("periods", periods, strict)
    sd, sv, sa, ve = _kernels.respecsub(periods, damping, dt, acc, nstep)
    psv = sa * periods / np.float32(2 * np.pi)
    return ResponseSpectrum(periods, sd, sv, sa, psv, ve)


def fourier(acc: ArrayLike, dt: float, smoothing: Union[None, float, str] = None, b: float = 40.0,
            *, strict: bool = False) -> Fourier:
    """Fourier amplitude |sum x e^(-2 pi i f t)| dt (cm/s for acc in cm/s/s, step dt s) and
    phase of acc padded with zeros to a power of two P, at k/(P dt) Hz; smoothing of the
    amplitude: None, the band width in Hz of a Parzen window, or "konno" (Konno-Ohmachi of
    coefficient b). The phase is not smoothed."""
    acc = floats("acc", acc, strict)
    dt = _kernels._dt(dt)
    p = _kernels.padded_length(len(acc))
    amp, ph = _kernels.fftap(acc)
    amp *= np.float32(p * dt)
    freqs = (np.arange(p // 2) / (p * dt)).astype(np.float32)
    df = 1.0 / (p * dt)
    if isinstance(smoothing, str):
        if smoothing != "konno":
            raise ValueError(f"smoothing must be None, a band width in Hz or 'konno', not {smoothing!r}")
        amp = _kernels.konno(df, amp, b, freqs)
    elif smoothing is not None:
        amp = _kernels.parzen(df, smoothing, amp)
    return Fourier(freqs, amp, ph)


def rotd(x: ArrayLike, y: ArrayLike, dt: float, periods: ArrayLike, percentiles: ArrayLike = (50, 100),
         damping: float = 0.05, nstep: int = 32, *, strict: bool = False) -> RotD:
    """RotD spectra (cm/s/s) of the horizontal pair x, y (cm/s/s, step dt s) at `periods`
    (s) and `percentiles` (0 to 100; 50 is RotD50)."""
    x, y = floats("x", x, strict), floats("y", y, strict)
    periods, pct = floats("periods", periods, strict), floats("percentiles", percentiles, strict)
    values, angle, _ = _kernels.rotdspec(periods, damping, dt, x, y, pct, nstep)
    return RotD(periods, pct, values, angle)


