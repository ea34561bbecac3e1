# The Python binding against the build's library: each wrapper passes its arrays and values
# to the right arguments and brings the right outputs back, and refuses bad arrays clearly.
import math
import os
import shutil
import subprocess
import sys

import numpy as np
import pytest

import sismcalc
from sismcalc import _library

DT = 0.01


def f32(values):
    return np.ascontiguousarray(values, dtype=np.float32)


def sine(freq, seconds, amplitude=100.0, dt=DT):
    t = np.arange(int(round(seconds / dt))) * dt
    return f32(amplitude * np.sin(2 * np.pi * freq * t))


@pytest.fixture(scope="module")
def acc():
    rng = np.random.default_rng(7)
    envelope = np.exp(-((np.arange(3000) * DT - 8.0) / 4.0) ** 2)
    return f32(100.0 * envelope * rng.standard_normal(3000))


class TestFourier:
    def test_fftri_is_the_padded_transform_divided_by_p(self, acc):
        re, im = sismcalc.fftri(acc)
        p = 4096
        expected = np.fft.rfft(acc.astype(np.float64), n=p)[: p // 2] / p
        assert len(re) == len(im) == p // 2
        np.testing.assert_allclose(re, expected.real, atol=1e-4 * np.abs(expected).max())
        np.testing.assert_allclose(im, expected.imag, atol=1e-4 * np.abs(expected).max())

    def test_fftap_gives_amplitude_and_phase_of_the_same_coefficients(self, acc):
        re, im = sismcalc.fftri(acc)
        amp, ph = sismcalc.fftap(acc)
        np.testing.assert_allclose(amp, np.hypot(re, im), rtol=1e-5, atol=1e-6)
        np.testing.assert_allclose(ph, sismcalc.reimph(re, im), atol=1e-4)

    def test_auto_correlation_is_p_at_lag_zero_and_periodic_for_a_sine(self):
        x = sine(0.78125, 10.24)  # 1024 samples, 8 periods of 128
        r = sismcalc.auto(x)
        assert len(r) == 513
        assert r[0] == pytest.approx(1024)
        assert r[128] == pytest.approx(1024, rel=1e-3)
        assert r[64] == pytest.approx(-1024, rel=1e-3)

    def test_auto_correlation_of_silence_is_refused(self):
        with pytest.raises(ValueError, match="no power"):
            sismcalc.auto(np.zeros(16, dtype=np.float32))

    def test_reimph_takes_atan2_with_zero_at_the_origin(self):
        re, im = f32([1, 0, -1, 0]), f32([0, 1, 0, 0])
        np.testing.assert_allclose(sismcalc.reimph(re, im), [0, np.pi / 2, np.pi, 0], atol=1e-6)


class TestResponse:
    periods = f32([0.0, 0.1, 0.5, 1.0, 2.0])

    def test_undamped_acceleration_is_omega_squared_times_displacement(self, acc):
        sd, sv, sa = sismcalc.respec(self.periods, 0.0, DT, acc)
        omega = 2 * np.pi / self.periods[1:]
        np.testing.assert_allclose(sa[1:], omega**2 * sd[1:], rtol=1e-4)
        assert np.all(sv[1:] > 0)

    def test_a_rigid_oscillator_follows_the_ground(self, acc):
        sd, sv, sa = sismcalc.respec(self.periods, 0.05, DT, acc)
        assert sd[0] == 0 and sv[0] == 0
        assert sa[0] == pytest.approx(np.abs(acc).max())

    def test_the_variants_agree(self, acc):
        sd, sv, sa = sismcalc.respec(self.periods, 0.05, DT, acc)
        sd2, sv2, sa2, ve2 = sismcalc.respec2(self.periods, 0.05, DT, acc)
        for a, b in ((sd, sd2), (sv, sv2), (sa, sa2)):
            np.testing.assert_array_equal(a, b)
        whole = sismcalc.respecsub(self.periods, 0.05, DT, acc, 0)
        for a, b in zip(whole, (sd2, sv2, sa2, ve2)):
            np.testing.assert_array_equal(a, b)
        np.testing.assert_allclose(sismcalc.engspec(self.periods[1:], 0.05, DT, acc), ve2[1:], rtol=1e-6)
        assert np.all(ve2[1:] > 0)

    def test_peaks_between_samples_are_not_below_those_at_the_samples(self, acc):
        short = f32([0.03, 0.05, 0.08])
        at_samples = sismcalc.respec2(short, 0.05, DT, acc)[2]
        between = sismcalc.respecsub(short, 0.05, DT, acc, 32)[2]
        assert np.all(between >= at_samples)
        assert np.any(between > at_samples)

    def test_spectrum_intensity_integrates_pseudo_velocity_over_period(self, acc):
        prd = sismcalc.logprd(0.1, 2.5, 40)
        sd = sismcalc.respec(prd, 0.2, DT, acc)[0]
        psv = (2 * np.pi / prd.astype(np.float64)) * sd
        expected = np.sum((psv[1:] + psv[:-1]) * np.diff(prd.astype(np.float64)) / 2)
        assert sismcalc.spint(40, 0.1, 2.5, 0.2, DT, acc) == pytest.approx(expected, rel=1e-4)
        # Defaults: t1 <= 0 is 0.1 s, t2 <= 0 is 2.5 s; the second form also takes t2 <= t1 as 2.5 s.
        assert sismcalc.spint(40, 0, 0, 0.2, DT, acc) == pytest.approx(expected, rel=1e-4)
        assert sismcalc.specint(40, 0.1, 0.05, 0.2, DT, acc) == pytest.approx(expected, rel=1e-4)

    def test_logprd_spaces_periods_evenly_in_logarithm(self):
        prd = sismcalc.logprd(0.1, 10.0, 5)
        np.testing.assert_allclose(prd, [0.1, 0.31622776, 1.0, 3.1622777, 10.0], rtol=1e-6)
        with pytest.raises(ValueError, match="differ"):
            sismcalc.logprd(1.0, 1.0, 5)
        with pytest.raises(ValueError, match="t1"):
            sismcalc.logprd(0.0, 1.0, 5)

    @pytest.mark.parametrize("damping", [-0.01, 1.0, float("nan")])
    def test_damping_outside_zero_to_critical_is_refused(self, acc, damping):
        with pytest.raises(ValueError, match="damping"):
            sismcalc.respec(self.periods, damping, DT, acc)

    def test_steps_between_samples_are_limited(self, acc):
        with pytest.raises(ValueError, match="nstep"):
            sismcalc.respecsub(self.periods, 0.05, DT, acc, 1001)


class TestRotD:
    periods = f32([0.0, 0.2, 1.0])

    def test_one_component_gives_its_own_spectrum_at_rotd100_and_none_at_rotd0(self, acc):
        zero = np.zeros_like(acc)
        rotd, angle, peaks = sismcalc.rotdspec(self.periods, 0.05, DT, acc, zero, f32([0, 50, 100]), 0)
        assert rotd.shape == (3, 3) and peaks.shape == (180, 3)
        sd = sismcalc.respec(self.periods, 0.05, DT, acc)[0]
        omega2 = (2 * np.pi / self.periods[1:].astype(np.float64)) ** 2
        np.testing.assert_allclose(rotd[2, 1:], omega2 * sd[1:], rtol=1e-4)
        assert rotd[2, 0] == pytest.approx(np.abs(acc).max(), rel=1e-5)
        np.testing.assert_allclose(rotd[0], 0, atol=1e-3)
        assert np.all((rotd[0] <= rotd[1]) & (rotd[1] <= rotd[2]))
        np.testing.assert_array_equal(angle, 0)
        np.testing.assert_allclose(peaks[0], rotd[2], rtol=1e-6)
        np.testing.assert_allclose(peaks[90], 0, atol=1e-3)

    def test_the_direction_of_the_largest_peak(self, acc):
        # The same motion on both components points at 45 degrees; each alone is seen at 0 and 90.
        rotd, angle, peaks = sismcalc.rotdspec(self.periods, 0.05, DT, acc, acc, f32([100]), 32)
        np.testing.assert_array_equal(angle, 45)
        np.testing.assert_allclose(peaks[45], rotd[0], rtol=1e-6)
        np.testing.assert_allclose(peaks[0], peaks[90], rtol=1e-6)

    def test_percentiles_outside_zero_to_hundred_are_refused(self, acc):
        with pytest.raises(ValueError, match="percentiles"):
            sismcalc.rotdspec(self.periods, 0.05, DT, acc, acc, f32([50, 101]), 0)


class TestCumulative:
    flat = np.full(101, 100.0, dtype=np.float32)  # 100 cm/s/s for 1 s

    def test_arias_intensity_in_metres_per_second(self):
        assert sismcalc.arias(DT, self.flat) == pytest.approx(np.pi / (2 * 980.665) * 100.0**2 * 1.0 / 100, rel=1e-6)

    def test_husid_curve_rises_from_zero_to_one(self, acc):
        h = sismcalc.husid(DT, acc)
        assert h[0] == 0 and h[-1] == pytest.approx(1.0)
        assert np.all(np.diff(h) >= 0)
        with pytest.raises(ValueError, match="no motion"):
            sismcalc.husid(DT, np.zeros(10, dtype=np.float32))

    def test_significant_duration_between_two_fractions(self):
        assert sismcalc.sigdur(DT, self.flat, 0.05, 0.95) == pytest.approx(0.9, rel=1e-5)
        with pytest.raises(ValueError, match="f1 and f2"):
            sismcalc.sigdur(DT, self.flat, 0.95, 0.05)

    def test_cumulative_absolute_velocity(self):
        assert sismcalc.cav(DT, f32(-self.flat)) == pytest.approx(100.0, rel=1e-6)


class TestSmoothingAndFilter:
    def test_parzen_keeps_a_flat_spectrum_flat_and_its_input(self):
        s = np.full(200, 3.0, dtype=np.float32)
        out = sismcalc.parzen(0.05, 0.4, s)
        np.testing.assert_allclose(out[20:-20], out[100], rtol=1e-6)
        assert out[100] == pytest.approx(3.0, rel=0.01)
        np.testing.assert_array_equal(s, 3.0)

    def test_parzen_smooths_a_spike_over_the_band(self):
        s = np.zeros(201, dtype=np.float32)
        s[100] = 1.0
        out = sismcalc.parzen(0.05, 1.0, s)
        assert out[100] < 1.0 and out[95] > 0 and out[105] > 0
        assert out[60] == 0

    def test_parzenp_keeps_a_constant_phase(self):
        ph = np.full(100, 2.5, dtype=np.float32)
        np.testing.assert_allclose(sismcalc.parzenp(0.05, 0.4, ph), 2.5, atol=1e-5)

    def test_filter_passes_the_band_and_stops_the_rest(self):
        low, high = sine(1.0, 20.48), sine(20.0, 20.48)
        both = f32(low + high + 50.0)
        out = sismcalc.filter(DT, 0.2, 5.0, both)
        middle = slice(300, -300)
        assert np.sqrt(np.mean((out[middle] - low[middle]) ** 2)) < 3.0
        assert both[0] == pytest.approx(50.0)  # the input is left as it was

    def test_rotate_by_a_right_angle(self):
        x, y = f32([1, 2, 3]), f32([4, 5, 6])
        x2, y2 = sismcalc.rotate(90, x, y)
        np.testing.assert_allclose(x2, -y, atol=1e-5)
        np.testing.assert_allclose(y2, x, atol=1e-5)
        np.testing.assert_array_equal(x, [1, 2, 3])


class TestIntensityPeaksDuration:
    def test_jma_intensity_grows_by_two_log10_of_the_scale(self, acc):
        x, y, z = acc, f32(np.roll(acc, 100)), f32(0.5 * acc)
        i1 = sismcalc.sijma(DT, x, y, z)
        i2 = sismcalc.sijma(DT, f32(2 * x), f32(2 * y), f32(2 * z))
        assert 0 < i1 < 7
        assert i2 - i1 == pytest.approx(2 * math.log10(2), abs=0.02)

    def test_windowed_intensity_needs_ten_seconds(self, acc):
        short = acc[:900]
        assert sismcalc.sijma10(DT, short, short, short) == 0
        assert sismcalc.sijma10(DT, acc, acc, acc) > 0

    def test_peaks(self):
        x, y, z = f32([1, -5, 3, 5]), f32([0, 0, 4, 0]), f32([0, 0, 0, 12])
        assert sismcalc.getmax(x) == 5
        assert sismcalc.getpeak(x) == -5
        assert sismcalc.getvecpeak2(x, y) == 5
        assert sismcalc.getvecpeak3(x, y, z) == 13
        assert sismcalc.findpeakat(0, None, x) == (-5, 1)
        assert sismcalc.findpeakat(2, 4, x) == (5, 3)
        assert sismcalc.findmaxat(0, 2, x) == (1, 0)
        with pytest.raises(ValueError, match="stop"):
            sismcalc.findmaxat(2, 2, x)
        with pytest.raises(ValueError, match="start"):
            sismcalc.findpeakat(4, None, x)

    def test_duration_between_five_and_ninety_five_percent(self):
        x = np.ones(1000, dtype=np.float32)
        # Past 5 % after sample 51, below 95 % up to sample 949.
        assert sismcalc.duration(DT, x) == pytest.approx(8.98, abs=1e-5)
        assert sismcalc.duration(DT, np.zeros(10, dtype=np.float32)) == 0


class TestIntegration:
    def test_trapezoid_without_baseline(self):
        a = np.full(101, 2.0, dtype=np.float32)
        vel, disp, k = sismcalc.integtra(DT, a, 0, 0, 0)
        t = np.arange(101) * DT
        np.testing.assert_allclose(vel, 2.0 * t, atol=1e-4)
        np.testing.assert_allclose(disp, t**2, atol=1e-4)
        assert k == 0

    def test_bilinear_baseline_reports_its_break(self, acc):
        vel, disp, k = sismcalc.integtra(DT, acc, 3, 5.0, 10.0)
        assert 0 < k <= len(acc)
        assert np.all(np.isfinite(disp))

    def test_a_one_sample_window_is_refused(self, acc):
        with pytest.raises(ValueError, match="one sample"):
            sismcalc.integtra(DT, acc, 3, DT, 10.0)

    def test_frequency_domain_and_lattice_integration_of_a_sine(self):
        a = sine(1.0, 40.96, amplitude=2 * np.pi)  # velocity amplitude 1 cm/s
        vel, disp = sismcalc.integfft(DT, a, 0.1)
        assert np.abs(vel[1000:3000]).max() == pytest.approx(1.0, rel=0.01)
        # The displacement is the velocity's integral.
        slope = np.gradient(disp.astype(np.float64), DT)[1000:3000]
        assert np.abs(slope - vel[1000:3000]).max() < 0.01
        vel, disp = sismcalc.integlat(DT, a, 0.1)
        assert np.abs(vel[1000:3000]).max() == pytest.approx(1.0, rel=0.05)
        assert np.abs(disp[1000:3000]).max() == pytest.approx(1 / (2 * np.pi), rel=0.7)


class TestArguments:
    def test_strict_refuses_float64_with_the_conversion_to_use(self):
        with pytest.raises(ValueError, match=r"x must hold float32 values, not float64.*dtype=numpy.float32"):
            sismcalc.getmax(np.ones(4), strict=True)

    def test_strict_refuses_a_list(self):
        with pytest.raises(ValueError, match="x must be a numpy array"):
            sismcalc.getmax([1.0, 2.0], strict=True)

    def test_strict_refuses_a_strided_view(self):
        x = np.ones(10, dtype=np.float32)
        with pytest.raises(ValueError, match="contiguous"):
            sismcalc.getmax(x[::2], strict=True)

    def test_two_dimensions_are_refused(self):
        with pytest.raises(ValueError, match="one-dimensional"):
            sismcalc.fftri(np.ones((4, 4), dtype=np.float32), strict=True)

    def test_components_of_different_lengths_are_refused(self, acc):
        with pytest.raises(ValueError, match="y has 2999 values but x has 3000"):
            sismcalc.sijma(DT, acc, acc[:-1].copy(), acc)

    def test_empty_and_too_short_arrays_are_refused(self):
        with pytest.raises(ValueError, match="at least 1 value"):
            sismcalc.duration(DT, np.zeros(0, dtype=np.float32))
        with pytest.raises(ValueError, match="acc needs at least 2"):
            sismcalc.respec(f32([1.0]), 0.05, DT, f32([1.0]))

    @pytest.mark.parametrize("dt", [0, -0.01, float("inf"), "x"])
    def test_a_bad_step_is_refused(self, dt):
        with pytest.raises(ValueError, match="dt"):
            sismcalc.duration(dt, np.ones(4, dtype=np.float32))

    def test_outputs_are_float32_arrays(self, acc):
        for out in (*sismcalc.fftri(acc), sismcalc.auto(acc), *sismcalc.integfft(DT, acc, 0.1)):
            assert out.dtype == np.float32 and out.flags.c_contiguous


def run_python(code, env):
    return subprocess.run([sys.executable, "-c", code], env=env, capture_output=True, text=True, timeout=60)


class TestLoading:
    def test_a_library_that_is_not_there_is_named_in_the_error(self):
        env = dict(os.environ, SISMCALC_LIBRARY="/nowhere/libsismcalc.so.1")
        done = run_python("import numpy, sismcalc; sismcalc.getmax(numpy.ones(2, 'float32'))", env)
        assert done.returncode != 0
        assert "SISMCALC_LIBRARY=/nowhere/libsismcalc.so.1 cannot be loaded" in done.stderr

    def test_the_library_beside_the_package_is_found_by_its_soname(self, tmp_path):
        shutil.copytree(os.path.dirname(sismcalc.__file__), tmp_path / "sismcalc")
        shutil.copy(os.path.realpath(_library.library()._name), tmp_path / _library.SONAME)
        env = {k: v for k, v in os.environ.items() if k not in ("SISMCALC_LIBRARY", "PYTHONPATH")}
        env["PYTHONPATH"] = str(tmp_path)
        done = run_python("import numpy, sismcalc; print(sismcalc.getpeak(numpy.array([1, -3], 'float32')),"
                          " sismcalc.library()._name)", env)
        assert done.returncode == 0, done.stderr
        assert done.stdout.split() == ["-3.0", str(tmp_path / _library.SONAME)]

    def test_without_any_library_the_places_tried_are_listed(self, tmp_path):
        shutil.copytree(os.path.dirname(sismcalc.__file__), tmp_path / "sismcalc")
        env = {k: v for k, v in os.environ.items() if k not in ("SISMCALC_LIBRARY", "PYTHONPATH", "LD_LIBRARY_PATH")}
        env["PYTHONPATH"] = str(tmp_path)
        done = run_python("import numpy, sismcalc; sismcalc.getmax(numpy.ones(2, 'float32'))", env)
        if done.returncode == 0:
            pytest.skip("libsismcalc.so.1 is installed on this machine")
        assert "libsismcalc cannot be found" in done.stderr
        assert str(tmp_path / "sismcalc" / "libsismcalc.so.1") in done.stderr


class TestButterworthAndKonnoOhmachi:
    def test_butter_gain_at_the_corner_causal_and_forward_backward(self):
        x = sine(0.5, 200.0)
        middle = slice(5000, 15000)
        rms_in = np.sqrt(np.mean(x[middle].astype(np.float64) ** 2))
        once = sismcalc.butter(DT, 0.5, 0.0, x, order=4, acausal=False)
        twice = sismcalc.butter(DT, 0.5, 0.0, x, order=4)
        assert 20 * np.log10(np.sqrt(np.mean(once[middle] ** 2)) / rms_in) == pytest.approx(-3.01, abs=0.02)
        assert 20 * np.log10(np.sqrt(np.mean(twice[middle] ** 2)) / rms_in) == pytest.approx(-6.02, abs=0.02)
        # Zero phase: half of the sine, in step with it.
        np.testing.assert_allclose(twice[middle], 0.5 * x[middle], atol=0.5)
        assert x[100] == sine(0.5, 200.0)[100]  # the input is left as it was

    def test_butter_keeps_the_pads_when_asked(self):
        x = sine(2.0, 10.0)
        pad = sismcalc.butterpad(DT, 0.1, 20.0, 4)
        assert pad == 3000
        assert len(sismcalc.butter(DT, 0.1, 20.0, x, keep_pad=True)) == len(x) + 2 * pad
        assert len(sismcalc.butter(DT, 0.1, 20.0, x)) == len(x)

    @pytest.mark.parametrize("fl, fh", [(0.0, 0.0), (5.0, 2.0), (60.0, 0.0)])
    def test_butter_refuses_bands_without_a_corner_or_inverted(self, fl, fh):
        with pytest.raises(ValueError):
            sismcalc.butter(DT, fl, fh, sine(1.0, 5.0))

    def test_butter_refuses_orders_outside_one_to_twelve(self):
        with pytest.raises(ValueError):
            sismcalc.butter(DT, 1.0, 0.0, sine(1.0, 5.0), order=13)

    def test_konno_against_the_sum_written_out(self):
        rng = np.random.default_rng(3)
        s = f32(rng.exponential(size=2048))
        df = 0.05
        grid = sismcalc.logprd(0.1, 50.0, 41)
        out = sismcalc.konno(df, s, 40.0, grid)
        f = np.arange(1, 2048) * df
        for fc, got in zip(grid, out):
            x = 40.0 * np.log10(f / fc)
            with np.errstate(invalid="ignore", divide="ignore"):
                w = np.where(x == 0, 1.0, (np.sin(x) / x) ** 4)
            assert got == pytest.approx(np.sum(w * s[1:]) / np.sum(w), rel=1e-5)

    def test_konno_refuses_a_band_width_of_zero(self):
        with pytest.raises(ValueError):
            sismcalc.konno(0.1, f32(np.ones(10)), 0.0, f32([1.0]))

    def test_eas_of_a_record_with_itself_is_its_smoothed_amplitude(self):
        x = sine(2.0, 10.24)
        freqs = f32([1.0, 2.0, 4.0])
        one = sismcalc.eas(DT, x, x, 40.0, freqs)
        amp = sismcalc.fftap(x)[0] * len(x) * DT  # 1024 samples, no padding
        np.testing.assert_allclose(one, sismcalc.konno(1 / 10.24, amp, 40.0, freqs), rtol=1e-5)
        with pytest.raises(ValueError):
            sismcalc.eas(DT, x, x[:-1], 40.0, freqs)
