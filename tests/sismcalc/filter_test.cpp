// FILTER and ROTATE: gains at chosen bins, mean and Nyquist removal, index rules, rotation.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sismcalc.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Gains of the intensity-standard shapes, written out from their definitions.
double LowCut(double f0, double f) {
  return std::sqrt(1 - std::exp(-std::pow(f / f0, 3)));
}
double HighCut(double fc, double f) {
  const double y = (f / fc) * (f / fc);
  return 1 / std::sqrt(1 + 0.694 * y + 0.241 * y * y + 0.0557 * std::pow(y, 3) + 0.009664 * std::pow(y, 4) +
                       0.00134 * std::pow(y, 5) + 0.000155 * std::pow(y, 6));
}

std::vector<float> Cosine(int n, int bin, double amplitude = 1.0) {
  std::vector<float> x(n);
  for (int i = 0; i < n; ++i) x[i] = static_cast<float>(amplitude * std::cos(kTwoPi * bin * i / n));
  return x;
}

struct GainCase {
  const char* name;
  int bin;  // zero-based: frequency bin * DF
  double expected;
};

// N = 1024, DT = 0.01: DF = 0.09765625 Hz. FL = 0.5 Hz gives iL = 6 (zero-based bins 0..5 cut),
// FH = 10 Hz gives iH = 102 (zero-based bins 101..511 cut).
class FilterGain : public testing::TestWithParam<GainCase> {};

TEST_P(FilterGain, ScalesACosineInItsBin) {
  const GainCase c = GetParam();
  const int32_t n = 1024;
  const float dt = 0.01f, fl = 0.5f, fh = 10.0f;
  std::vector<float> x = Cosine(n, c.bin);
  ASSERT_EQ(FILTER(&n, &dt, &fl, &fh, x.data()), 1024);
  const std::vector<float> expected = Cosine(n, c.bin, c.expected);
  for (int i = 0; i < n; ++i) ASSERT_NEAR(x[i], expected[i], 2e-6) << "sample " << i;
}

constexpr double kDf = 0.09765625;
INSTANTIATE_TEST_SUITE_P(Bins, FilterGain,
                         testing::Values(GainCase{"LowCutBelowCorner", 3, LowCut(0.5, 3 * kDf)},
                                         GainCase{"LowCutLastBin", 5, LowCut(0.5, 5 * kDf)},
                                         GainCase{"PassAboveLowCut", 6, 1.0},
                                         GainCase{"PassBelowHighCut", 100, 1.0},
                                         GainCase{"HighCutFirstBin", 101, HighCut(10, 101 * kDf)},
                                         GainCase{"HighCutAbove", 149, HighCut(10, 149 * kDf)}),
                         [](const testing::TestParamInfo<GainCase>& info) { return info.param.name; });

TEST(Filter, WithoutCutsRemovesMeanAndNyquist) {
  const int32_t n = 512;
  const float dt = 0.01f, fl = 0.0f, fh = 100.0f;
  std::vector<float> x = Cosine(n, 17);
  const std::vector<float> kept = x;
  for (int i = 0; i < n; ++i) x[i] += 3.0f + ((i % 2) ? -0.5f : 0.5f);
  ASSERT_EQ(FILTER(&n, &dt, &fl, &fh, x.data()), 512);
  for (int i = 0; i < n; ++i) ASSERT_NEAR(x[i], kept[i], 3e-6) << i;
}

TEST(Filter, PaddedRecordLosesThePaddedMean) {
  const int32_t n = 1000;
  const float dt = 0.01f, fl = 0.0f, fh = 100.0f;
  std::vector<float> x(n, 1.0f);
  ASSERT_EQ(FILTER(&n, &dt, &fl, &fh, x.data()), 1024);
  // The constant is not periodic in the padded record; what is removed at every sample is at least
  // the padded mean 1000/1024.
  double mean = 0;
  for (float v : x) mean += v;
  mean /= n;
  EXPECT_LT(std::abs(mean), 0.05);
}

TEST(Filter, NoRecordReturnsTwoAndChangesNothing) {
  const int32_t n = 0;
  const float dt = 0.01f, fl = 0.1f, fh = 10.0f;
  float x = 5.0f;
  EXPECT_EQ(FILTER(&n, &dt, &fl, &fh, &x), 2);
  EXPECT_EQ(x, 5.0f);
}

TEST(Filter, CornersOutsideTheBinsAreSkipped) {
  // A low cut at or above the last bin and a high cut at 0 leave only the mean and Nyquist removal.
  const int32_t n = 256;
  const float dt = 0.01f, fl = 1000.0f, fh = 0.0f;
  std::vector<float> x = Cosine(n, 1);
  const std::vector<float> kept = x;
  ASSERT_EQ(FILTER(&n, &dt, &fl, &fh, x.data()), 256);
  for (int i = 0; i < n; ++i) ASSERT_NEAR(x[i], kept[i], 2e-6) << i;
}

struct Turn {
  float angle, x, y, expectX, expectY;
};

class Rotate : public testing::TestWithParam<Turn> {};

TEST_P(Rotate, TurnsCounterClockwise) {
  const Turn t = GetParam();
  const int32_t n = 2;
  float x[2] = {t.x, 0.0f}, y[2] = {t.y, 0.0f};
  ROTATE(&n, &t.angle, x, y);
  EXPECT_NEAR(x[0], t.expectX, 2e-7);
  EXPECT_NEAR(y[0], t.expectY, 2e-7);
  EXPECT_EQ(x[1], 0.0f);
  EXPECT_EQ(y[1], 0.0f);
}

INSTANTIATE_TEST_SUITE_P(Angles, Rotate,
                         testing::Values(Turn{90, 1, 0, 0, 1}, Turn{90, 0, 1, -1, 0},
                                         Turn{0, 0.3f, -0.7f, 0.3f, -0.7f},
                                         Turn{360, 0.3f, -0.7f, 0.3f, -0.7f}, Turn{-90, 1, 0, 0, -1},
                                         Turn{30, 1, 0, float(std::sqrt(3.0) / 2), 0.5f},
                                         Turn{180, 1, 2, -1, -2}));

TEST(Rotate, ZeroDegreesChangesNothingExactly) {
  const int32_t n = 3;
  const float angle = 0.0f;
  float x[3] = {1.5f, -2.25f, 1e-20f}, y[3] = {3.0f, 7e7f, -4.0f};
  ROTATE(&n, &angle, x, y);
  EXPECT_EQ(x[1], -2.25f);
  EXPECT_EQ(y[1], 7e7f);
  EXPECT_EQ(x[2], 1e-20f);
}

}  // namespace
