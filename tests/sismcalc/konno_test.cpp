// Konno-Ohmachi smoothing against the sum over every bin written out, and its plain properties.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "sismcalc.h"

namespace {

std::vector<float> Direct(const std::vector<float>& s, double df, double b, const std::vector<float>& fo) {
  std::vector<float> out;
  for (float fc : fo) {
    double num = 0, den = 0;
    for (size_t k = 1; k < s.size(); ++k) {
      const double x = b * std::log10(k * df / fc);
      const double w = x == 0 ? 1.0 : std::pow(std::sin(x) / x, 4);
      num += w * s[k];
      den += w;
    }
    out.push_back(static_cast<float>(num / den));
  }
  return out;
}

std::vector<float> Rough(size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::exponential_distribution<double> e(1.0);
  std::vector<float> s(n);
  for (size_t k = 0; k < n; ++k) s[k] = static_cast<float>(e(gen) * 100 / (1 + k * 0.01));
  return s;
}

TEST(KonnoOhmachi, EqualsTheDirectSumOnTheLogGridAndOnTheBins) {
  const std::vector<float> s = Rough(8192, 2);
  int32_t n = 8192, no = 401;
  float df = 100.0f / 8192, f1 = 0.01f, f2 = 100.0f;
  std::vector<float> grid(401);
  ASSERT_EQ(LOGPRD(&f1, &f2, &no, grid.data()), 1);
  for (float b : {20.0f, 40.0f, 188.5f}) {
    SCOPED_TRACE(testing::Message() << "b=" << b);
    std::vector<float> out(401);
    ASSERT_EQ(KONNO(&n, &df, s.data(), &b, &no, grid.data(), out.data()), 1);
    const std::vector<float> want = Direct(s, df, b, grid);
    for (size_t k = 0; k < grid.size(); ++k)
      EXPECT_NEAR(out[k], want[k], 1e-5 * std::fabs(want[k])) << grid[k];
  }
  // On the bins themselves (the smoothing of a spectrum in place of itself).
  std::vector<float> bins;
  for (int k = 1; k < 8192; k += 131) bins.push_back(static_cast<float>(k * df));
  int32_t nb = static_cast<int32_t>(bins.size());
  std::vector<float> out(bins.size());
  float b = 40.0f;
  ASSERT_EQ(KONNO(&n, &df, s.data(), &b, &nb, bins.data(), out.data()), 1);
  const std::vector<float> want = Direct(s, df, b, bins);
  for (size_t k = 0; k < bins.size(); ++k) EXPECT_NEAR(out[k], want[k], 1e-5 * std::fabs(want[k])) << bins[k];
}

// A long spectrum (an hour's record) onto many outputs takes the sums by convolution on a grid
// in log frequency: the same values as every bin summed, to float rounding, on the log grid, on
// the bins themselves and beyond the bins' span; a window of a huge b, whose grid would not
// fit, and an output far outside fall back on the direct sum.
TEST(KonnoOhmachi, LongSpectraByConvolutionEqualTheDirectSum) {
  const std::vector<float> s = Rough(65536, 4);
  int32_t n = 65536, no = 401;
  float df = 100.0f / 131072, f1 = 0.0002f, f2 = 80.0f;
  std::vector<float> grid(401);
  ASSERT_EQ(LOGPRD(&f1, &f2, &no, grid.data()), 1);
  std::vector<float> some;
  for (size_t k = 0; k < grid.size(); k += 20) some.push_back(grid[k]);
  for (size_t k = 1; k < s.size(); k += 6553) some.push_back(static_cast<float>(k * df));
  some.push_back(1e-9f);
  for (float b : {20.0f, 40.0f, 188.5f, 5e4f}) {
    SCOPED_TRACE(testing::Message() << "b=" << b);
    std::vector<float> out(401);
    ASSERT_EQ(KONNO(&n, &df, s.data(), &b, &no, grid.data(), out.data()), 1);
    std::vector<float> fo = some, got(some.size());
    // Asked together with the whole grid, so that the sums go by convolution.
    fo.insert(fo.end(), grid.begin(), grid.end());
    got.resize(fo.size());
    int32_t nf = static_cast<int32_t>(fo.size());
    ASSERT_EQ(KONNO(&n, &df, s.data(), &b, &nf, fo.data(), got.data()), 1);
    const std::vector<float> want = Direct(s, df, b, some);
    for (size_t k = 0; k < some.size(); ++k)
      EXPECT_NEAR(got[k], want[k], 5e-7 * std::fabs(want[k])) << some[k];
    for (size_t k = 0; k < grid.size(); ++k) EXPECT_EQ(out[k], got[some.size() + k]) << grid[k];
  }
}

TEST(KonnoOhmachi, ConstantStaysConstantAndBadArgumentsAreRefused) {
  const std::vector<float> s(1000, 3.0f);
  int32_t n = 1000, no = 3, one = 1;
  float df = 0.05f, b = 40.0f, zero = 0.0f;
  const std::vector<float> fo = {0.2f, 5.0f, -1.0f};
  std::vector<float> out(3, -7.0f);
  ASSERT_EQ(KONNO(&n, &df, s.data(), &b, &no, fo.data(), out.data()), 1);
  EXPECT_NEAR(out[0], 3.0f, 1e-5f);
  EXPECT_NEAR(out[1], 3.0f, 1e-5f);
  EXPECT_EQ(out[2], 0.0f);  // no frequency
  EXPECT_EQ(KONNO(&n, &df, s.data(), &zero, &no, fo.data(), out.data()), 0);
  EXPECT_EQ(KONNO(&one, &df, s.data(), &b, &no, fo.data(), out.data()), 0);
  EXPECT_EQ(KONNO(&n, &zero, s.data(), &b, &no, fo.data(), out.data()), 0);
}

TEST(EffectiveAmplitude, QuadraticMeanOfTheTwoSpectraThenSmoothed) {
  std::mt19937 gen(6);
  std::normal_distribution<float> noise(0.0f, 20.0f);
  std::vector<float> x(1000), y(1000);
  for (size_t i = 0; i < x.size(); ++i) x[i] = noise(gen), y[i] = 0.5f * noise(gen);
  int32_t n = 1000, no = 3;
  float dt = 0.01f, b = 40.0f;
  const std::vector<float> fo = {0.5f, 3.0f, 20.0f};
  std::vector<float> got(3);
  ASSERT_EQ(EAS(&n, &dt, x.data(), y.data(), &b, &no, fo.data(), got.data()), 1);
  // By hand: padded to 1024, |F| = coefficient * 1024 * dt.
  std::vector<float> rx(512), ix(512), ry(512), iy(512), mean(512);
  FFTRI(&n, x.data(), rx.data(), ix.data());
  FFTRI(&n, y.data(), ry.data(), iy.data());
  for (size_t k = 0; k < 512; ++k)
    mean[k] = static_cast<float>(
        std::sqrt((rx[k] * rx[k] + ix[k] * ix[k] + ry[k] * ry[k] + iy[k] * iy[k]) / 2.0) * 1024 * 0.01);
  const std::vector<float> want = Direct(mean, 1 / 10.24, 40, fo);
  for (size_t k = 0; k < 3; ++k) EXPECT_NEAR(got[k], want[k], 1e-5 * want[k]) << fo[k];
  // The same record twice is its own smoothed amplitude.
  ASSERT_EQ(EAS(&n, &dt, x.data(), x.data(), &b, &no, fo.data(), got.data()), 1);
  std::vector<float> amp(512);
  for (size_t k = 0; k < 512; ++k) amp[k] = std::hypot(rx[k], ix[k]) * 1024 * 0.01f;
  const std::vector<float> own = Direct(amp, 1 / 10.24, 40, fo);
  for (size_t k = 0; k < 3; ++k) EXPECT_NEAR(got[k], own[k], 1e-5 * own[k]);
  int32_t one = 1;
  EXPECT_EQ(EAS(&one, &dt, x.data(), y.data(), &b, &no, fo.data(), got.data()), 0);
}

}  // namespace
