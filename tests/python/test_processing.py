# The processing steps through Python: known onsets, an exact polynomial baseline, the usable
# band of a made-up ratio, flat tops and the tail; and the arguments the wrappers refuse.
import numpy as np
import pytest

import sismcalc


def quiet_then_loud(n=4000, onset=1500, seed=1):
    rng = np.random.default_rng(seed)
    x = rng.normal(0, 0.01, n)
    x[onset:] += rng.normal(0, 1, n - onset)
    return np.asarray(x, dtype=np.float32)


def test_pickers_find_the_onset():
    x = quiet_then_loud()
    assert abs(sismcalc.aicpick(x) - 1500) <= 2
    assert abs(sismcalc.pphasepick(0.01, x) - 1500) <= 5
    assert sismcalc.aicpick(np.zeros(100, dtype=np.float32)) is None


def test_polybase_removes_a_polynomial_displacement():
    dt, n = 0.01, 6000
    t = np.arange(n) * dt
    # acceleration of the displacement 0.02 t^2 - 1e-9 t^6
    acc = np.asarray(0.04 - 30e-9 * t ** 4, dtype=np.float32)
    assert sismcalc.dispratio(dt, acc) > 0.99
    out, coef = sismcalc.polybase(dt, acc)
    assert np.max(np.abs(out)) < 1e-3 * np.max(np.abs(acc))
    assert coef[0] == pytest.approx(0.02, rel=1e-3)
    assert coef[4] == pytest.approx(-1e-9, rel=1e-2)


def test_snrband_takes_the_widest_run_and_interpolates_its_ends():
    freqs = np.asarray(np.logspace(-2, 1.5, 60), dtype=np.float32)
    snr = np.where((freqs > 0.1) & (freqs < 20), 10.0, 1.0).astype(np.float32)
    snr[5] = 10  # a lone point below is not the band
    fhp, flp = sismcalc.snrband(freqs, snr, 3.0, 0.01, 30.0)
    assert 0.09 < fhp < 0.12 and 17 < flp < 21
    assert sismcalc.snrband(freqs, np.ones_like(freqs), 3.0, 0.01, 30.0) is None


def test_signal_over_noise_of_a_quiet_start():
    x = quiet_then_loud()
    freqs = sismcalc.logprd(0.5, 40.0, 30)
    sig, noi, ratio = sismcalc.snrspec(0.01, x, (0, 1400), (1500, 4000), 20.0, freqs)
    assert np.all(ratio > 30)
    assert np.allclose(ratio, sig / noi, rtol=1e-5)
    with pytest.raises(ValueError):
        sismcalc.snrspec(0.01, x, (0, 1), (1500, 4000), 20.0, freqs)


def test_clipping_tail_and_ridder():
    t = np.arange(3000) * 0.01
    x = np.asarray(np.sin(2 * np.pi * t), dtype=np.float32)
    assert sismcalc.cliptest(x)[0] == 0
    runs, ratio = sismcalc.cliptest(np.clip(x, -0.5, 0.5))
    assert runs >= 50 and ratio > 8
    assert sismcalc.tailratio(0.01, x, 5.0) == pytest.approx(1.0)
    acc = quiet_then_loud()
    fc, r, met = sismcalc.ridderfc(0.01, acc, 0.05, 2.0)
    assert met and r <= 0.02 + 1e-6 and 0.05 <= fc <= 2.0
    with pytest.raises(ValueError):
        sismcalc.ridderfc(0.01, acc, 1.0, 0.5)
