# The wrappers of the ground-motion measures against numpy versions of the definitions, and
# their refusals of what the library cannot take.
import numpy as np
import pytest

import sismcalc

DT = 0.01


def f32(values):
    return np.ascontiguousarray(values, dtype=np.float32)


@pytest.fixture(scope="module")
def acc():
    rng = np.random.default_rng(11)
    t = np.arange(4000) * DT
    return f32(150.0 * np.exp(-((t - 12.0) / 5.0) ** 2) * rng.standard_normal(4000))


def test_sample_measures_follow_their_definitions(acc):
    a = acc.astype(np.float64)
    assert sismcalc.rmsat(100, 200, acc) == pytest.approx(np.sqrt(np.mean(a[100:200] ** 2)), rel=1e-5)
    strong = np.abs(a) >= 49.0
    first, last = np.flatnonzero(strong)[[0, -1]]
    assert sismcalc.brackdur(DT, acc, 49.0) == pytest.approx((last - first) * DT, abs=1e-4)
    assert sismcalc.unifdur(DT, acc, 49.0) == pytest.approx(strong.sum() * DT, abs=1e-4)
    assert sismcalc.peaktime(DT, acc) == pytest.approx(np.argmax(np.abs(a)) * DT, abs=1e-4)
    sq = np.sort(a ** 2)
    level = sq[np.searchsorted(np.cumsum(sq), 0.95 * sq.sum())]
    assert sismcalc.a95(acc) == pytest.approx(np.sqrt(level), rel=1e-5)
    start, stop = sismcalc.sigwin(acc, 0.05, 0.95)
    assert 0 < start < stop <= len(acc)
    assert sismcalc.cavthr(DT, acc, 0.0) == pytest.approx(sismcalc.cav(DT, acc), rel=1e-5)


def test_spectra_and_class(acc):
    periods = f32([0.2, 1.0, 3.0])
    sd, sv, sa = sismcalc.respec(periods, 0.05, DT, acc)
    r, say, sdm, sdy = sismcalc.cdspec(periods, 0.05, 0.0, f32([1.0, 2.0, 4.0]), DT, acc)
    assert r.shape == (3, 3)
    np.testing.assert_array_equal(r[0], 1.0)
    np.testing.assert_allclose(sdy[0], sd)
    assert np.all(r[2] >= r[1] * 0.99) and np.all(r[1] >= 1.0)
    np.testing.assert_allclose(sdm[1], 2.0 * sdy[1], rtol=1e-5)
    both = sismcalc.cdspecn(periods, 0.05, 0.0, f32([1.0, 2.0, 4.0]), DT, f32(np.stack([acc, 0.5 * acc])))
    np.testing.assert_array_equal(both[0][0], r)
    np.testing.assert_array_equal(both[3][1], sismcalc.cdspec(periods, 0.05, 0.0, f32([1.0, 2.0, 4.0]), DT,
                                                              f32(0.5 * acc))[3])
    asi, vsi, hi, tp = sismcalc.specmeas(0.05, DT, acc)
    assert asi > 0 and vsi > 0 and hi > 0 and 0.02 <= tp <= 4.0
    sva, cls = sismcalc.lpgmclass(DT, acc, acc)
    assert cls == (4 if sva >= 100 else 3 if sva >= 50 else 2 if sva >= 15 else 1 if sva >= 5 else 0)
    vel = f32(np.concatenate([[0.0], np.cumsum((acc[1:] + acc[:-1]) / 2.0 * DT)]))
    np.testing.assert_allclose(sismcalc.svaspec(periods, 0.05, DT, acc, vel),
                               sismcalc.svaspec(periods, 0.05, DT, acc), rtol=1e-3)


def test_refusals(acc):
    with pytest.raises(ValueError):
        sismcalc.cdspec(f32([1.0]), 0.05, 0.0, f32([0.5]), DT, acc)
    with pytest.raises(ValueError):
        sismcalc.cdspec(f32([1.0]), 0.05, 1.0, f32([2.0]), DT, acc)
    with pytest.raises(ValueError):
        sismcalc.brackdur(DT, acc, 0.0)
    with pytest.raises(ValueError):
        sismcalc.svaspec(f32([1.0]), 0.05, DT, acc, acc[:10])
    with pytest.raises(ValueError):
        sismcalc.sigwin(f32(np.zeros(100)), 0.05, 0.95)
    with pytest.raises(ValueError):
        sismcalc.eda(DT, acc, -1.0)
