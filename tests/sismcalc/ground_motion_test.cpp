// Orientation-independent spectra and cumulative measures against independent truths: a pair
// that is one component turned, identical components, the spectra of the pair turned by brute
// force through the single-component kernel, and sines and boxes of known integrals.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "sismcalc.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Band-limited noise under a smooth envelope, at rest at both ends.
std::vector<float> NoiseRecord(int32_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::normal_distribution<double> noise(0.0, 100.0);
  std::vector<float> acc(static_cast<std::size_t>(n));
  double smooth = 0.0;
  for (int32_t i = 0; i < n; ++i) {
    smooth = 0.7 * smooth + 0.3 * noise(gen);
    const double env = std::sin(kPi * i / n);
    acc[static_cast<std::size_t>(i)] = static_cast<float>(smooth * env * env);
  }
  return acc;
}

struct RotD {
  std::vector<float> values;  // percentile-major: values[j * np + k]
  std::vector<float> angle;
  std::vector<float> peaks;  // period-major: peaks[t * np + k]
  int32_t result = 0;
};

RotD RunRotD(const std::vector<float>& prd, float h, float dt, const std::vector<float>& x,
             const std::vector<float>& y, const std::vector<float>& pct, int32_t nstep = 0) {
  int32_t np = static_cast<int32_t>(prd.size()), n = static_cast<int32_t>(x.size()),
          npct = static_cast<int32_t>(pct.size());
  RotD r{std::vector<float>(prd.size() * pct.size(), -7.0f), std::vector<float>(prd.size(), -7.0f),
         std::vector<float>(prd.size() * 180, -7.0f), 0};
  r.result = ROTDSPEC(&np, prd.data(), &h, &n, &dt, x.data(), y.data(), &npct, pct.data(), r.values.data(),
                      r.angle.data(), r.peaks.data(), &nstep);
  return r;
}

// Pseudo-acceleration w^2 Sd of one component, w as the kernel rounds it.
std::vector<double> Psa(const std::vector<float>& prd, float h, float dt, const std::vector<float>& acc,
                        int32_t nstep = 0) {
  int32_t np = static_cast<int32_t>(prd.size()), n = static_cast<int32_t>(acc.size());
  std::vector<float> sd(np), sv(np), sa(np), ve(np);
  EXPECT_EQ(RESPECSUB(&np, prd.data(), &h, &n, &dt, acc.data(), sd.data(), sv.data(), sa.data(), ve.data(), &nstep),
            1);
  std::vector<double> psa(np);
  for (int32_t k = 0; k < np; ++k) {
    const double w = static_cast<float>(2 * 3.1415927f / prd[k]);
    psa[k] = prd[k] > 0 ? w * w * sd[k] : sa[k];
  }
  return psa;
}

// Percentile p of values over the angles, linear between ranks.
double PercentileOf(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  const double q = p / 100 * (v.size() - 1);
  const auto lo = static_cast<std::size_t>(q);
  const std::size_t hi = std::min(lo + 1, v.size() - 1);
  return v[lo] + (v[hi] - v[lo]) * (q - lo);
}

const std::vector<float> kPeriods = {0.0f, 0.05f, 0.1f, 0.3f, 1.0f, 3.0f};

TEST(RotD, PairThatIsOneComponentTurnedGivesThatComponentsSpectrum) {
  const float dt = 0.01f, h = 0.05f;
  const std::vector<float> a = NoiseRecord(3000, 5);
  const double turn = 30 * kPi / 180;
  std::vector<float> x(a.size()), y(a.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    x[i] = static_cast<float>(a[i] * std::cos(turn));
    y[i] = static_cast<float>(a[i] * std::sin(turn));
  }
  const RotD r = RunRotD(kPeriods, h, dt, x, y, {50, 100});
  ASSERT_EQ(r.result, 1);
  const std::vector<double> psa = Psa(kPeriods, h, dt, a);
  // Along angle t the motion is |cos(t - 30)| times the component's: its median over the angles.
  std::vector<double> cosines;
  for (int t = 0; t < 180; ++t) cosines.push_back(std::fabs(std::cos((t - 30) * kPi / 180)));
  const double median = PercentileOf(cosines, 50);
  const std::size_t np = kPeriods.size();
  for (std::size_t k = 0; k < np; ++k) {
    SCOPED_TRACE(kPeriods[k]);
    EXPECT_NEAR(r.values[np + k], psa[k], 2e-5 * psa[k]);
    EXPECT_NEAR(r.values[k], median * psa[k], 2e-5 * psa[k]);
    EXPECT_EQ(r.angle[k], 30.0f);
  }
}

TEST(RotD, IdenticalComponentsPeakAt45Degrees) {
  const float dt = 0.005f, h = 0.05f;
  const std::vector<float> a = NoiseRecord(4000, 9);
  const RotD r = RunRotD(kPeriods, h, dt, a, a, {0, 100});
  ASSERT_EQ(r.result, 1);
  const std::vector<double> psa = Psa(kPeriods, h, dt, a);
  const std::size_t np = kPeriods.size();
  for (std::size_t k = 0; k < np; ++k) {
    SCOPED_TRACE(kPeriods[k]);
    EXPECT_NEAR(r.values[np + k], std::sqrt(2.0) * psa[k], 2e-5 * psa[k]);
    EXPECT_EQ(r.angle[k], 45.0f);
    // At 135 degrees the two cancel.
    EXPECT_NEAR(r.values[k], 0.0, 1e-5 * psa[k]);
  }
}

// The spectra of the pair turned to each of the 180 angles, one component at a time: by
// linearity the same peaks, found without the pair kernel.
void ExpectBruteForceRotD(const std::vector<float>& x, const std::vector<float>& y, float dt,
                          const std::vector<float>& prd, int32_t nstep) {
  const float h = 0.05f;
  const RotD r = RunRotD(prd, h, dt, x, y, {50, 100, 0, 84}, nstep);
  ASSERT_EQ(r.result, 1);
  const std::size_t np = prd.size();
  std::vector<std::vector<double>> byAngle(np);
  std::vector<float> turned(x.size());
  for (int t = 0; t < 180; ++t) {
    const double c = std::cos(t * kPi / 180), s = std::sin(t * kPi / 180);
    for (std::size_t i = 0; i < x.size(); ++i) turned[i] = static_cast<float>(x[i] * c + y[i] * s);
    const std::vector<double> psa = Psa(prd, h, dt, turned, nstep);
    for (std::size_t k = 0; k < np; ++k) byAngle[k].push_back(psa[k]);
  }
  for (std::size_t k = 0; k < np; ++k) {
    SCOPED_TRACE(prd[k]);
    const double top = PercentileOf(byAngle[k], 100);
    // The turned input is rounded to float: agreement to a few parts in a million.
    EXPECT_NEAR(r.values[k], PercentileOf(byAngle[k], 50), 1e-5 * top);
    EXPECT_NEAR(r.values[np + k], top, 1e-5 * top);
    EXPECT_NEAR(r.values[2 * np + k], PercentileOf(byAngle[k], 0), 1e-5 * top);
    EXPECT_NEAR(r.values[3 * np + k], PercentileOf(byAngle[k], 84), 1e-5 * top);
  }
}

TEST(RotD, MatchesTheSpectraOfThePairTurnedToEveryAngle) {
  const float dt = 0.01f;
  const std::vector<float> x = NoiseRecord(2000, 21);
  const std::vector<float> y = NoiseRecord(2000, 22);
  ExpectBruteForceRotD(x, y, dt, {0.0f, 0.02f, 0.2f, 1.0f, 4.0f}, 0);
}

TEST(RotD, PeaksAtEveryAngleHoldTheComponentsOwnSpectra) {
  const float dt = 0.01f, h = 0.05f;
  const std::vector<float> x = NoiseRecord(2500, 31), y = NoiseRecord(2500, 32);
  const std::vector<float> prd = {0.0f, 0.01f, 0.05f, 0.3f, 0.31f, 0.32f, 0.33f, 0.34f, 2.0f};
  // At the samples: RotD's sub-steps (of at most T/NSTEP) are not RESPECSUB's exact search.
  for (int32_t nstep : {0}) {
    SCOPED_TRACE(nstep);
    const RotD r = RunRotD(prd, h, dt, x, y, {100}, nstep);
    ASSERT_EQ(r.result, 1);
    const std::vector<double> px = Psa(prd, h, dt, x, nstep), py = Psa(prd, h, dt, y, nstep);
    const std::size_t np = prd.size();
    for (std::size_t k = 0; k < np; ++k) {
      EXPECT_NEAR(r.peaks[k], px[k], 1e-6 * px[k]) << prd[k];
      EXPECT_NEAR(r.peaks[90 * np + k], py[k], 1e-6 * py[k]) << prd[k];
      float top = 0;
      for (std::size_t t = 0; t < 180; ++t) top = std::max(top, r.peaks[t * np + k]);
      EXPECT_EQ(top, r.values[k]);
      EXPECT_EQ(r.peaks[static_cast<std::size_t>(r.angle[k]) * np + k], top);
    }
    // The optional outputs left out change nothing.
    int32_t n = 2500, np32 = static_cast<int32_t>(np), one = 1;
    const float hundred = 100.0f;
    float hh = h, step = dt;
    std::vector<float> alone(np);
    ASSERT_EQ(ROTDSPEC(&np32, prd.data(), &hh, &n, &step, x.data(), y.data(), &one, &hundred, alone.data(), nullptr,
                       nullptr, &nstep),
              1);
    EXPECT_EQ(alone, std::vector<float>(r.values.begin(), r.values.begin() + np32));
  }
}

TEST(RotD, FinestSubSteps) {
  // 1024 steps per sample interval, the most there are.
  const float dt = 0.01f, h = 0.05f;
  const std::vector<float> a = NoiseRecord(600, 41);
  std::vector<float> x(a.size()), y(a.size());
  for (std::size_t i = 0; i < a.size(); ++i) x[i] = a[i] * 0.6f, y[i] = a[i] * 0.8f;
  const RotD r = RunRotD({0.01f}, h, dt, x, y, {100}, 1000);
  ASSERT_EQ(r.result, 1);
  const double psa = Psa({0.01f}, h, dt, a, 1000)[0];
  EXPECT_NEAR(r.values[0], psa, 2e-5 * psa);
  EXPECT_NEAR(r.peaks[0], 0.6 * psa, 2e-5 * psa);
}

TEST(RotD, RefusesBadArgumentsAndLeavesOutputs) {
  const std::vector<float> a = NoiseRecord(100, 3);
  const std::vector<float> prd = {0.5f};
  for (const auto& bad : {RunRotD(prd, 1.0f, 0.01f, a, a, {50}), RunRotD(prd, -0.1f, 0.01f, a, a, {50}),
                          RunRotD(prd, 0.05f, 0.0f, a, a, {50}), RunRotD(prd, 0.05f, NAN, a, a, {50}),
                          RunRotD(prd, 0.05f, 0.01f, a, a, {}), RunRotD(prd, 0.05f, 0.01f, a, a, {101}),
                          RunRotD(prd, 0.05f, 0.01f, a, a, {NAN}), RunRotD(prd, 0.05f, 0.01f, a, a, {50}, 1001),
                          RunRotD({}, 0.05f, 0.01f, a, a, {50}), RunRotD(prd, 0.05f, 0.01f, {1.0f}, {1.0f}, {50})}) {
    EXPECT_EQ(bad.result, 0);
    for (float v : bad.values) EXPECT_EQ(v, -7.0f);
  }
}

TEST(RotD, ResponseAlongOneAxisOnly) {
  // y is zero: the points lie on a line and every one of them is kept.
  const float dt = 0.01f;
  const std::vector<float> x = NoiseRecord(1500, 4);
  const std::vector<float> zero(x.size(), 0.0f);
  const RotD r = RunRotD({0.2f, 1.0f}, 0.05f, dt, zero, x, {100});
  ASSERT_EQ(r.result, 1);
  const std::vector<double> psa = Psa({0.2f, 1.0f}, 0.05f, dt, x);
  for (int k = 0; k < 2; ++k) {
    EXPECT_FLOAT_EQ(r.values[k], static_cast<float>(psa[k]));
    EXPECT_EQ(r.angle[k], 90.0f);
  }
  const RotD still = RunRotD({0.2f}, 0.05f, dt, zero, zero, {50, 100});
  ASSERT_EQ(still.result, 1);
  EXPECT_EQ(still.values[0], 0.0f);
  EXPECT_EQ(still.values[1], 0.0f);
}

struct Cumulative {
  float arias, cav, d575, d595;
};

Cumulative Measure(const std::vector<float>& a, float dt) {
  int32_t n = static_cast<int32_t>(a.size());
  const float f5 = 0.05f, f75 = 0.75f, f95 = 0.95f;
  return {ARIAS(&n, &dt, a.data()), CAV(&n, &dt, a.data()), SIGDUR(&n, &dt, a.data(), &f5, &f75),
          SIGDUR(&n, &dt, a.data(), &f5, &f95)};
}

TEST(Cumulative, SineOfKnownAmplitudeAndLength) {
  // 200 gal at 2 Hz for 10 s (20 whole cycles), 200 samples per second.
  const float dt = 0.005f;
  const double amp = 200, f = 2, length = 10;
  std::vector<float> a(static_cast<std::size_t>(length / dt) + 1);
  for (std::size_t i = 0; i < a.size(); ++i) a[i] = static_cast<float>(amp * std::sin(2 * kPi * f * i * dt));
  const Cumulative m = Measure(a, dt);
  // pi/(2g) * A^2/2 * length, in m/s.
  EXPECT_NEAR(m.arias, kPi / (2 * 980.665) * amp * amp / 2 * length / 100, 1e-5);
  // 2A/pi per unit time, less the (w dt)^2/12 that the linear interpolant cuts off the crests.
  const double wdt = 2 * kPi * f * dt;
  EXPECT_NEAR(m.cav, 2 * amp / kPi * length * (1 - wdt * wdt / 12), 2e-5 * 2 * amp / kPi * length);
  // The Husid curve of a steady sine rises evenly, up to the ripple within each cycle.
  EXPECT_NEAR(m.d575, 0.70 * length, 0.13);
  EXPECT_NEAR(m.d595, 0.90 * length, 0.13);
}

TEST(Cumulative, SignificantDurationsOfAKnownHusidCurve) {
  // 100 gal from 2 s to 6 s, nothing elsewhere: the Husid curve rises linearly over those 4 s.
  const float dt = 0.01f;
  std::vector<float> a(1001, 0.0f);
  for (int i = 200; i <= 600; ++i) a[static_cast<std::size_t>(i)] = 100.0f;
  const Cumulative m = Measure(a, dt);
  // The steps into and out of the box add half a step of a^2 each.
  EXPECT_NEAR(m.d575, 0.70 * 4.01, 1e-4);
  EXPECT_NEAR(m.d595, 0.90 * 4.01, 1e-4);
  EXPECT_NEAR(m.cav, 100 * 4.01, 1e-3);

  int32_t n = static_cast<int32_t>(a.size());
  float step = dt;
  std::vector<float> husid(a.size(), -1.0f);
  ASSERT_EQ(HUSID(&n, &step, a.data(), husid.data()), 1);
  EXPECT_EQ(husid.front(), 0.0f);
  EXPECT_EQ(husid.back(), 1.0f);
  EXPECT_TRUE(std::is_sorted(husid.begin(), husid.end()));
  EXPECT_NEAR(husid[400], 0.5, 1e-6);
}

TEST(Cumulative, NoMotionAndBadArguments) {
  std::vector<float> still(500, 0.0f), h(500, -1.0f);
  int32_t n = 500, one = 1, zero = 0;
  float dt = 0.01f, bad = 0.0f, f1 = 0.05f, f2 = 0.95f;
  EXPECT_EQ(ARIAS(&n, &dt, still.data()), 0.0f);
  EXPECT_EQ(CAV(&n, &dt, still.data()), 0.0f);
  EXPECT_EQ(SIGDUR(&n, &dt, still.data(), &f1, &f2), 0.0f);
  EXPECT_EQ(HUSID(&n, &dt, still.data(), h.data()), 0);
  EXPECT_EQ(h[0], -1.0f);
  std::vector<float> a = NoiseRecord(500, 2);
  EXPECT_EQ(ARIAS(&one, &dt, a.data()), 0.0f);
  EXPECT_EQ(CAV(&zero, &dt, a.data()), 0.0f);
  EXPECT_EQ(ARIAS(&n, &bad, a.data()), 0.0f);
  EXPECT_EQ(SIGDUR(&n, &dt, a.data(), &f2, &f1), 0.0f);
  float over = 1.5f, nan = NAN;
  EXPECT_EQ(SIGDUR(&n, &dt, a.data(), &f1, &over), 0.0f);
  EXPECT_EQ(SIGDUR(&n, &dt, a.data(), &nan, &f2), 0.0f);
  EXPECT_EQ(HUSID(&n, &bad, a.data(), h.data()), 0);
  EXPECT_GT(SIGDUR(&n, &dt, a.data(), &f1, &f2), 0.0f);
}

}  // namespace
