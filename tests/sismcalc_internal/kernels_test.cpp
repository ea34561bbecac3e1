// Internal shape functions, baseline fits, the low-cut gain and the lattice integrator.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "internal.h"

namespace {

using namespace sismcalc::detail;

TEST(Filtlc, IsOneWithoutCornerAndRisesThroughTheCorner) {
  EXPECT_EQ(FILTLC(0.0, 3.0), 1.0);
  EXPECT_EQ(FILTLC(0.5, 0.0), 0.0);
  EXPECT_DOUBLE_EQ(FILTLC(0.5, 0.5), std::sqrt(1 - std::exp(-1.0)));
  EXPECT_NEAR(FILTLC(0.5, 5.0), 1.0, 1e-12);
}

TEST(Filthc, FallsToAboutHalfPowerAtTheCorner) {
  EXPECT_EQ(FILTHC(10.0, 0.0), 1.0);
  const double sum = 1 + 0.694 + 0.241 + 0.0557 + 0.009664 + 0.00134 + 0.000155;
  EXPECT_DOUBLE_EQ(FILTHC(10.0, 10.0), 1 / std::sqrt(sum));
  EXPECT_NEAR(FILTHC(10.0, 10.0), 0.7068, 1e-4);
  EXPECT_LT(FILTHC(10.0, 50.0), 0.01);
}

TEST(Filtpr, IsTheRootOfTheRatio) {
  EXPECT_DOUBLE_EQ(FILTPR(9.0, 4.0), 1.5);
}

TEST(HighCutCoefficients, StartWithOne) {
  EXPECT_EQ(kHighCutCoef[0], 1.0);
  EXPECT_EQ(kHighCutCoef[6], 0.000155);
}

TEST(FitBiline, WithoutFrontWindowBreaksAtZero) {
  std::vector<double> v = {0, 1, 2, 3, 4, 5};
  EXPECT_EQ(FIT_BILINE(6, v.data(), 0, 6), 0);
  for (double x : v) EXPECT_NEAR(x, 0.0, 1e-12);
}

TEST(FitBiline, WithoutRearWindowBreaksAtTheEnd) {
  std::vector<double> v = {0, 2, 4, 6, 8};
  EXPECT_EQ(FIT_BILINE(5, v.data(), 5, 0), 5);
  for (double x : v) EXPECT_NEAR(x, 0.0, 1e-12);
}

TEST(FitBiline, FrontSlopeIsTheCentroidRatioNotLeastSquares) {
  // Front window {0, 1, 5}: sum v / sum m = 6 / 3 = 2.
  std::vector<double> v = {0, 1, 5};
  EXPECT_EQ(FIT_BILINE(3, v.data(), 3, 0), 3);
  EXPECT_DOUBLE_EQ(v[1], 1 - 2.0);
  EXPECT_DOUBLE_EQ(v[2], 5 - 4.0);
}

TEST(FitPara, RemovesAParabolaThroughTheOrigin) {
  std::vector<double> v(50);
  for (int m = 0; m < 50; ++m) v[m] = 0.3 * m - 0.02 * m * m;
  EXPECT_TRUE(FIT_PARA(50, v.data(), 10, 10));
  for (double x : v) EXPECT_NEAR(x, 0.0, 1e-10);
}

TEST(FitPara, RefusesWindowsThatDoNotDetermineIt) {
  std::vector<double> v = {0, 1, 2, 3};
  EXPECT_FALSE(FIT_PARA(4, v.data(), 1, 0));  // only m = 0
  EXPECT_FALSE(FIT_PARA(4, v.data(), 1, 1));  // m = 0 and one more point
  EXPECT_FALSE(FIT_PARA(4, v.data(), 0, 0));
  EXPECT_FALSE(FIT_PARA(0, v.data(), 2, 2));
  EXPECT_EQ(v, (std::vector<double>{0, 1, 2, 3}));
}

TEST(LowcutCos, WithoutCornerIsAllOnes) {
  std::vector<double> g(8, -1.0);
  LOWCUT_COS(8, 0.1, 0.0, g.data());
  for (double x : g) EXPECT_EQ(x, 1.0);
}

TEST(LowcutCos, RisesAsAHalfCosineFromZero) {
  const double df = 0.01, fc = 0.2;
  std::vector<double> g(100, -1.0);
  LOWCUT_COS(100, df, fc, g.data());
  EXPECT_EQ(g[0], 0.0);
  EXPECT_NEAR(g[20], (1 - std::cos(2.35738167365128)) / 2, 1e-12);  // f = fc
  EXPECT_NEAR(g[20], 0.854, 1e-3);
  const double fe = fc * M_PI / 2.35738167365128;  // 0.2666 Hz: bin 27 and up stay 1
  for (int i = 1; i < 100; ++i) {
    if (i * df >= fe) {
      ASSERT_EQ(g[i], 1.0) << i;
    } else {
      ASSERT_GT(g[i], g[i - 1]) << i;
    }
  }
}

TEST(Latticefilter, WithoutLowCutIsTheTrapezoidRule) {
  const int n = 50;
  const double dt = 0.02;
  std::vector<double> x(n), y(n);
  for (int i = 0; i < n; ++i) x[i] = std::cos(0.3 * i);
  LATTICEFILTER(n, dt, 0.0, x.data(), y.data());
  double sum = x[0] * dt / 2;
  EXPECT_NEAR(y[0], sum, 1e-15);
  for (int i = 1; i < n; ++i) {
    sum += (x[i - 1] + x[i]) * dt / 2;
    ASSERT_NEAR(y[i], sum, 1e-12) << i;
  }
}

TEST(Latticefilter, WritesNothingForShortRecordsOrBadSteps) {
  std::vector<double> x = {1, 2, 3}, y = {7, 7, 7};
  LATTICEFILTER(2, 0.01, 0.0, x.data(), y.data());
  LATTICEFILTER(3, 0.0, 0.0, x.data(), y.data());
  LATTICEFILTER(3, -0.01, 0.0, x.data(), y.data());
  EXPECT_EQ(y, (std::vector<double>{7, 7, 7}));
}

TEST(TruncateToInt, TruncatesTowardZeroAndStaysDefined) {
  EXPECT_EQ(TruncateToInt(43.14), 43);
  EXPECT_EQ(TruncateToInt(-0.5), 0);
  EXPECT_EQ(TruncateToInt(-2.7), -2);
  EXPECT_EQ(TruncateToInt(std::nan("")), 0);
  EXPECT_EQ(TruncateToInt(1e300), int64_t{1} << 62);
  EXPECT_EQ(TruncateToInt(-INFINITY), -(int64_t{1} << 62));
}

}  // namespace
