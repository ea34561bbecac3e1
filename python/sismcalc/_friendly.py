"""Front ends over the kernels, in the order and units of a record's analysis: the record
first, the step, then what is asked for, with keyword defaults (damping=0.05, nstep=32).
Arrays convert as for the kernels (see _arrays); these also refuse values that are not
finite, which no spectrum can be made of.
"""

from typing import NamedTuple, Union

import numpy as np

from . import _kernels
from ._arrays import Floats, converts


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


# ---- Front ends ----

def _finite(**arrays):
    for name, a in arrays.items():
        if not np.isfinite(a).all():
            raise ValueError(f"{name} must hold finite numbers only")


@converts
def response_spectrum(acc: Floats, dt: float, periods: Floats, damping: float = 0.05,
                      nstep: int = 32) -> ResponseSpectrum:
    """Response spectra of acc (cm/s/s, step dt s) at `periods` (s), damping a fraction of
    critical (0.05: 5 %), the maxima also between the samples (nstep sub-steps, 0: at the
    samples only), as the program computes them."""
    _finite(acc=acc, periods=periods)
    sd, sv, sa, ve = _kernels.respecsub(periods, damping, dt, acc, nstep)
    psv = sa * periods / np.float32(2 * np.pi)
    return ResponseSpectrum(periods, sd, sv, sa, psv, ve)


@converts
def fourier(acc: Floats, dt: float, smoothing: Union[None, float, str] = None, b: float = 40.0) -> Fourier:
    """Fourier amplitude |sum x e^(-2 pi i f t)| dt (cm/s for acc in cm/s/s, step dt s) and
    phase of acc padded with zeros to a power of two P, at k/(P dt) Hz; smoothing of the
    amplitude: None, the band width in Hz of a Parzen window, or "konno" (Konno-Ohmachi of
    coefficient b). The phase is not smoothed."""
    _finite(acc=acc)
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


@converts
def rotd(x: Floats, y: Floats, dt: float, periods: Floats, percentiles: Floats = (50, 100),
         damping: float = 0.05, nstep: int = 32) -> RotD:
    """RotD spectra (cm/s/s) of the horizontal pair x, y (cm/s/s, step dt s) at `periods`
    (s) and `percentiles` (0 to 100; 50 is RotD50)."""
    _finite(x=x, y=y, periods=periods, percentiles=percentiles)
    values, angle, _ = _kernels.rotdspec(periods, damping, dt, x, y, percentiles, nstep)
    return RotD(periods, percentiles, values, angle)


