// PARZEN, PARZENP and REIMPH: window weights, ends, rejections, phase smoothing and quadrants.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <numeric>
#include <vector>

#include "sismcalc.h"

namespace {

constexpr double kPi = 3.141592653589793;

// The Parzen spectral window (3/4) u [sin(pi u f / 2) / (pi u f / 2)]^4 sampled at f = i df, times df.
double ParzenWindow(double u, double f, double df) {
  if (f == 0) return 0.75 * u * df;
  const double x = kPi * u * f / 2;
  return 0.75 * u * df * std::pow(std::sin(x) / x, 4);
}

// Smoothing a unit impulse leaves the weights W(|k - k0|) around it.
TEST(Parzen, ImpulseShowsTheWindowWeights) {
  const int32_t n = 201, centre = 100;
  const float df = 0.01f, bw = 0.4f;
  std::vector<float> s(n, 0.0f);
  s[centre] = 1.0f;
  ASSERT_EQ(PARZEN(&n, &df, &bw, s.data()), 1);
  const double u = 280.0 / (151.0 * 0.4);
  EXPECT_NEAR(s[centre], 0.0347682, 5e-7);
  for (int i = 0; i <= 43; ++i) {
    ASSERT_NEAR(s[centre + i], ParzenWindow(u, i * 0.01, 0.01), 2e-6) << i;
    ASSERT_EQ(s[centre - i], s[centre + i]) << i;
  }
  // 43 lags: the window stops before its first zero at 2/u = 0.4314 Hz.
  EXPECT_GT(s[centre + 43], 0.0f);
  EXPECT_EQ(s[centre + 44], 0.0f);
  EXPECT_EQ(s[centre - 44], 0.0f);
}

TEST(Parzen, ConstantSpectrumStaysInsideAndHalvesAtTheEnds) {
  const int32_t n = 500;
  const float df = 0.01f, bw = 0.4f;
  std::vector<float> s(n, 2.0f);
  ASSERT_EQ(PARZEN(&n, &df, &bw, s.data()), 1);
  for (int k = 43; k < n - 43; ++k) ASSERT_NEAR(s[k], 2.0, 0.02) << k;
  // An end keeps the centre weight and one side: (interior + c W(0)) / 2, about half of c.
  const double w0 = 0.0347682;
  EXPECT_NEAR(s[0], (s[n / 2] + 2.0 * w0) / 2, 1e-5);
  EXPECT_NEAR(s[n - 1], s[0], 1e-6);
}

struct Rejection {
  int32_t n;
  float df, bw;
};

class ParzenRejects : public testing::TestWithParam<Rejection> {};

TEST_P(ParzenRejects, LeavesTheSpectrumRaw) {
  const Rejection r = GetParam();
  std::vector<float> s(64), ph(64);
  std::iota(s.begin(), s.end(), 1.0f);
  ph = s;
  const std::vector<float> before = s;
  EXPECT_EQ(PARZEN(&r.n, &r.df, &r.bw, s.data()), 0);
  EXPECT_EQ(s, before);
  EXPECT_EQ(PARZENP(&r.n, &r.df, &r.bw, ph.data()), 0);
  EXPECT_EQ(ph, before);
}

INSTANTIATE_TEST_SUITE_P(Arguments, ParzenRejects,
                         testing::Values(Rejection{64, 0.0f, 0.4f}, Rejection{64, -0.01f, 0.4f},
                                         Rejection{64, 0.01f, 0.0f}, Rejection{64, 0.01f, -1.0f},
                                         Rejection{64, 0.01f, 0.005f},  // narrower than a step: L = 0
                                         Rejection{0, 0.01f, 0.4f}, Rejection{-5, 0.01f, 0.4f}));

TEST(Parzen, WindowWiderThanTheRecordUsesWhatThereIs) {
  const int32_t n = 5;
  const float df = 0.01f, bw = 4.0f;  // about 430 lags
  std::vector<float> s(n, 1.0f);
  ASSERT_EQ(PARZEN(&n, &df, &bw, s.data()), 1);
  for (float v : s) EXPECT_TRUE(std::isfinite(v) && v > 0.0f);
}

// The window sum written out, in double precision, with the weights as the library defines
// them (the sine's argument rounded to single precision).
std::vector<double> DirectParzen(const std::vector<double>& s, float df, float bw) {
  const double u = static_cast<double>(1.8543047f) / bw;
  const int64_t n = static_cast<int64_t>(s.size());
  const int64_t lags = std::min<int64_t>(static_cast<int64_t>(2.0 / u / df), n - 1);
  std::vector<double> w(static_cast<std::size_t>(lags + 1));
  w[0] = 0.75 * u * df;
  for (int64_t i = 1; i <= lags; ++i) {
    const double x = static_cast<float>(static_cast<double>(3.1415927f) * u * df * static_cast<double>(i) / 2.0);
    w[i] = w[0] * std::pow(std::sin(x) / x, 4);
  }
  std::vector<double> t(s.size(), 0.0);
  for (int64_t k = 0; k < n; ++k)
    for (int64_t i = -lags; i <= lags; ++i)
      if (k + i >= 0 && k + i < n) t[k] += w[static_cast<std::size_t>(std::abs(i))] * s[k + i];
  return t;
}

// A spectrum like a record's: a broad peak, then a fall over several decades, with scatter.
std::vector<float> RecordLikeSpectrum(int32_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::lognormal_distribution<double> scatter(0.0, 0.7);
  std::vector<float> s(n);
  for (int32_t k = 0; k < n; ++k) {
    const double f = 10.0 * k / n;
    s[k] = static_cast<float>(1e3 * f * f / (1 + std::pow(f, 6)) * std::exp(-f) * scatter(gen) + 1e-7);
  }
  return s;
}

// Wide windows take another way through the sum; every value stays that of the direct sum,
// weak ones and those near the ends included.
TEST(Parzen, WideWindowsMatchTheDirectSum) {
  const int32_t n = 6000;
  const float df = 0.01f;
  for (float bw : {0.3f, 0.6f, 2.0f, 8.0f, 40.0f}) {
    std::vector<float> s = RecordLikeSpectrum(n, 11);
    const std::vector<double> expected = DirectParzen(std::vector<double>(s.begin(), s.end()), df, bw);
    ASSERT_EQ(PARZEN(&n, &df, &bw, s.data()), 1);
    for (int32_t k = 0; k < n; ++k) ASSERT_NEAR(s[k], expected[k], 1e-6 * std::fabs(expected[k])) << bw << " " << k;
  }
}

TEST(Parzenp, WideWindowsMatchTheDirectSum) {
  const int32_t n = 3000;
  const float df = 0.01f, bw = 4.0f;
  std::mt19937 gen(4);
  std::uniform_real_distribution<float> angle(-3.1f, 3.1f);
  std::vector<float> ph(n);
  for (float& v : ph) v = angle(gen) * 0.3f + 1.0f;
  std::vector<double> c(n), sn(n);
  for (int32_t k = 0; k < n; ++k) c[k] = std::cos(static_cast<double>(ph[k])), sn[k] = std::sin(static_cast<double>(ph[k]));
  const std::vector<double> sumC = DirectParzen(c, df, bw), sumS = DirectParzen(sn, df, bw);
  ASSERT_EQ(PARZENP(&n, &df, &bw, ph.data()), 1);
  for (int32_t k = 0; k < n; ++k) ASSERT_NEAR(ph[k], std::atan2(sumS[k], sumC[k]), 1e-6) << k;
}

TEST(Parzenp, ConstantPhaseStaysEverywhere) {
  const int32_t n = 300;
  const float df = 0.02f, bw = 0.8f;
  for (float phi : {0.3f, -2.5f, 3.1f}) {
    std::vector<float> ph(n, phi);
    ASSERT_EQ(PARZENP(&n, &df, &bw, ph.data()), 1);
    for (int k = 0; k < n; ++k) ASSERT_NEAR(ph[k], phi, 1e-6) << k;
  }
}

TEST(Parzenp, AveragesAcrossTheHalfTurnThroughUnitVectors) {
  // Phases alternating just either side of +-pi average to pi, not to 0.
  const int32_t n = 200;
  const float df = 0.01f, bw = 0.4f;
  std::vector<float> ph(n);
  for (int k = 0; k < n; ++k) ph[k] = (k % 2) ? 3.1f : -3.1f;
  ASSERT_EQ(PARZENP(&n, &df, &bw, ph.data()), 1);
  for (int k = 50; k < 150; ++k) ASSERT_NEAR(std::abs(ph[k]), kPi, 0.05) << k;
}

struct Quadrant {
  float re, im, phase;
};

class Reimph : public testing::TestWithParam<Quadrant> {};

TEST_P(Reimph, GivesTheAngleOfThePoint) {
  const Quadrant q = GetParam();
  const int32_t n = 1;
  float ph = -9.0f;
  EXPECT_EQ(REIMPH(&n, &q.re, &q.im, &ph), 0);
  EXPECT_FLOAT_EQ(ph, q.phase);
}

INSTANTIATE_TEST_SUITE_P(Points, Reimph,
                         testing::Values(Quadrant{-1, 0, float(kPi)}, Quadrant{0, -1, float(-kPi / 2)},
                                         Quadrant{1, 1, float(kPi / 4)}, Quadrant{0, 0, 0.0f},
                                         Quadrant{-0.0f, 0.0f, 0.0f}, Quadrant{-0.0f, -0.0f, 0.0f},
                                         Quadrant{2, 0, 0.0f}, Quadrant{-1, -1, float(-3 * kPi / 4)}));

}  // namespace
