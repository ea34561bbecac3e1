# The friendlier calls of sismcalc: named results, defaults, and conversion of array-likes
# that strict=True turns back into the kernels' refusal.
import numpy as np
import pytest

import sismcalc

DT = 0.01


@pytest.fixture
def acc():
    t = np.arange(3000) * DT
    return 150 * np.exp(-((t - 10) / 3) ** 2) * np.sin(2 * np.pi * 1.5 * t)  # float64, cm/s/s


def test_front_ends_convert_and_give_the_kernels_results(acc):
    periods = [0.1, 0.5, 1.0, 2.0]
    rs = sismcalc.response_spectrum(list(acc), DT, periods)
    sd, sv, sa, ve = sismcalc.respecsub(np.float32(periods), 0.05, DT, acc.astype(np.float32), 32)
    np.testing.assert_array_equal(rs.sa, sa)
    np.testing.assert_array_equal(rs.sd, sd)
    assert rs.periods.dtype == np.float32
    np.testing.assert_allclose(rs.psv, sa * np.float32(periods) / (2 * np.pi), rtol=1e-6)
    # nstep defaults to 32, and the kernels' tuples have names.
    np.testing.assert_array_equal(sismcalc.respecsub(np.float32(periods), 0.05, DT, acc.astype(np.float32)).sa, sa)
    with pytest.raises(ValueError, match="acc must hold float32"):
        sismcalc.response_spectrum(acc, DT, periods, strict=True)
    with pytest.raises(ValueError, match="acc must be one-dimensional"):
        sismcalc.response_spectrum(np.ones((3, 3)), DT, periods)
    with pytest.raises(ValueError, match="finite"):
        sismcalc.response_spectrum([1.0, float("nan")], DT, periods)


def test_fourier_has_its_frequency_axis_and_unit(acc):
    f = sismcalc.fourier(acc, DT)
    assert len(f.frequencies) == len(f.amplitude) == 2048 and f.frequencies[-1] < 50
    assert f.frequencies[int(np.argmax(f.amplitude))] == pytest.approx(1.5, abs=0.05)
    # |X(f)| dt in cm/s: a Gaussian-windowed sine of amplitude A gives A*sigma*sqrt(pi/2) at its frequency.
    assert f.amplitude.max() == pytest.approx(150 * 3 * np.sqrt(np.pi) / 2, rel=0.02)
    assert sismcalc.fourier(acc, DT, smoothing=0.5).amplitude.max() < f.amplitude.max()
    with pytest.raises(ValueError, match="smoothing"):
        sismcalc.fourier(acc, DT, smoothing="parzen")


def test_rotd_of_one_channel_twice_is_its_spectrum(acc):
    r = sismcalc.rotd(acc, acc, DT, [0.2, 1.0], percentiles=[100])
    sd = sismcalc.response_spectrum(acc, DT, [0.2, 1.0]).sd
    # Along 45 degrees the pair is sqrt(2) times either; RotD is pseudo-acceleration.
    psa = (2 * np.pi / np.array([0.2, 1.0])) ** 2 * sd
    np.testing.assert_allclose(r.values[0], np.sqrt(2) * psa, rtol=2e-3)
    assert sismcalc.__version__ == "1.0"


def test_every_kernel_converts_array_likes_and_strict_refuses_them(acc):
    x32 = acc.astype(np.float32)
    expected = sismcalc.getpeak(x32)
    for like in (list(acc), tuple(acc), acc, np.round(acc).astype(np.int16), acc.astype(np.float16)):
        got = sismcalc.getpeak(like)
        assert got == pytest.approx(expected, rel=1e-2)
    assert sismcalc.getpeak(list(acc)) == expected
    # Keyword arrays and outputs as named tuples, converted the same way.
    r = sismcalc.rotate(30, x=list(acc), y=acc)
    np.testing.assert_array_equal(r.x, sismcalc.rotate(30, x32, x32, strict=True).x)
    base = sismcalc.polybase(DT, acc)
    assert base.acc.dtype == np.float32 and len(base.coef) == 5
    for bad in (list(acc), acc, x32[::2]):
        with pytest.raises(TypeError, match="x must"):
            sismcalc.getpeak(bad, strict=True)
    # Not numbers, and numbers float32 cannot hold, are refused either way.
    with pytest.raises(TypeError, match="x must be real numbers"):
        sismcalc.getpeak(["1", "2"])
    with pytest.raises(TypeError, match="complex"):
        sismcalc.getpeak(np.ones(3, dtype=complex))
    with pytest.raises(ValueError, match="beyond the range of float32"):
        sismcalc.getpeak([1.0, 1e300])
    # A two-dimensional kernel converts as well; None stays None.
    two = np.stack([acc, acc])
    assert sismcalc.cdspecn([0.5], 0.05, 0.0, [2.0], DT, two).r.shape == (2, 1, 1)
    assert sismcalc.svaspec([0.5, 1.0], 0.05, DT, list(acc), vel=None).shape == (2,)


def test_a_refusal_names_its_one_cause(acc):
    with pytest.raises(ValueError, match="fl=5.0 Hz must be below fh=2.0 Hz"):
        sismcalc.butter(DT, 5, 2, acc)
    with pytest.raises(ValueError, match="half the sampling rate"):
        sismcalc.butter(DT, 60, 0, acc)
    with pytest.raises(ValueError, match="no corner"):
        sismcalc.butterpad(DT, 0, 0, 4)
    with pytest.raises(ValueError, match="all its values are 0"):
        sismcalc.husid(DT, np.zeros(10))
    with pytest.raises(ValueError, match="too narrow"):
        sismcalc.parzen(1.0, 1e-3, np.ones(16))
    with pytest.raises(ValueError, match="fcmax=80.0 Hz must be below half"):
        sismcalc.ridderfc(DT, acc, 0.1, 80)


def test_the_versions_are_the_projects(source_dir):
    import os
    import sismora

    project = os.environ["SISMORA_VERSION"]
    assert sismcalc.__version__ == sismora.__version__ == project
