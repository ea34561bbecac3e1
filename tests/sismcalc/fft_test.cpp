// FFTRI, FFTAP and AUTO: analytic transforms, Parseval, sizes, and agreement with the textbook
// radix-2 transform.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <random>
#include <vector>

#include "sismcalc.h"
#include "textbook_fft.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

std::vector<float> RandomRecord(int n, unsigned seed) {
  std::mt19937 gen(seed);
  std::normal_distribution<float> normal(0.0f, 100.0f);
  std::vector<float> x(static_cast<size_t>(n));
  for (auto& v : x) v = normal(gen);
  return x;
}

struct Coefficients {
  int32_t count = 0;
  std::vector<float> re, im;
};

Coefficients Fftri(const std::vector<float>& x, int32_t p) {
  Coefficients c;
  c.re.assign(static_cast<size_t>(p / 2), -1.0f);
  c.im.assign(static_cast<size_t>(p / 2), -1.0f);
  const int32_t n = static_cast<int32_t>(x.size());
  c.count = FFTRI(&n, x.data(), c.re.data(), c.im.data());
  return c;
}

struct SizeCase {
  int32_t n, halfLength;
};

class FftriSize : public testing::TestWithParam<SizeCase> {};

TEST_P(FftriSize, ReturnsHalfThePaddedLength) {
  const auto [n, half] = GetParam();
  const Coefficients c = Fftri(std::vector<float>(static_cast<size_t>(n), 1.0f), 2 * half);
  EXPECT_EQ(c.count, half);
}

INSTANTIATE_TEST_SUITE_P(PaddedLengths, FftriSize,
                         testing::Values(SizeCase{1, 1}, SizeCase{2, 1}, SizeCase{3, 2}, SizeCase{1000, 512},
                                         SizeCase{1024, 512}, SizeCase{1025, 1024}));

TEST(Fftri, ConstantRecordHasOnlyTheMean) {
  const Coefficients c = Fftri(std::vector<float>(1024, 3.5f), 1024);
  EXPECT_FLOAT_EQ(c.re[0], 3.5f);
  EXPECT_EQ(c.im[0], 0.0f);
  for (int k = 1; k < 512; ++k) {
    ASSERT_NEAR(c.re[k], 0.0f, 1e-6) << k;
    ASSERT_NEAR(c.im[k], 0.0f, 1e-6) << k;
  }
}

TEST(Fftri, PaddedConstantRecordHasThePaddedMean) {
  const Coefficients c = Fftri(std::vector<float>(1000, 2.0f), 1024);
  EXPECT_FLOAT_EQ(c.re[0], 2.0f * 1000 / 1024);
}

TEST(Fftri, CosineGivesHalfItsAmplitudeInItsBin) {
  const int p = 1024;
  std::vector<float> x(p);
  for (int i = 0; i < p; ++i) x[i] = static_cast<float>(std::cos(kTwoPi * 5 * i / p));
  const Coefficients c = Fftri(x, p);
  for (int k = 0; k < p / 2; ++k) {
    ASSERT_NEAR(c.re[k], k == 5 ? 0.5 : 0.0, 1e-6) << k;
    ASSERT_NEAR(c.im[k], 0.0, 1e-6) << k;
  }
}

TEST(Fftri, SineGivesNegativeImaginaryPartInItsBin) {
  const int p = 4096;
  std::vector<float> x(p);
  for (int i = 0; i < p; ++i) x[i] = static_cast<float>(std::sin(kTwoPi * 37 * i / p));
  const Coefficients c = Fftri(x, p);
  for (int k = 0; k < p / 2; ++k) {
    ASSERT_NEAR(c.re[k], 0.0, 1e-6) << k;
    ASSERT_NEAR(c.im[k], k == 37 ? -0.5 : 0.0, 1e-6) << k;
  }
}

TEST(Fftri, KeepsParsevalsEnergy) {
  const int p = 8192;
  const std::vector<float> x = RandomRecord(p, 7);
  const Coefficients c = Fftri(x, p);
  // sum x^2 / p = |X0|^2 + |X_nyq|^2 + 2 sum |Xk|^2 with X scaled by 1/p; the Nyquist bin is not
  // returned, so take it from the alternating sum.
  double energy = 0, nyquist = 0;
  for (int i = 0; i < p; ++i) {
    energy += double(x[i]) * x[i];
    nyquist += (i % 2 ? -1.0 : 1.0) * x[i];
  }
  nyquist /= p;
  double spectral = double(c.re[0]) * c.re[0] + nyquist * nyquist;
  for (int k = 1; k < p / 2; ++k) spectral += 2.0 * (double(c.re[k]) * c.re[k] + double(c.im[k]) * c.im[k]);
  EXPECT_NEAR(spectral, energy / p, 1e-5 * energy / p);
}

// The fast transform against the textbook one, to float rounding, padded and unpadded, for lengths
// whose half-length transform takes every code path (odd and even powers, below and above the
// depth-first leaf).
class FftriAgainstTextbook : public testing::TestWithParam<int32_t> {};

TEST_P(FftriAgainstTextbook, AgreesToFloatRounding) {
  const int32_t n = GetParam();
  const std::vector<float> x = RandomRecord(n, static_cast<unsigned>(n));
  int32_t p = 2;
  while (p < n) p *= 2;
  std::vector<std::complex<double>> a = sism::test::PaddedRecord(x, p);
  ASSERT_TRUE(sism::test::TextbookFft(a, -1));
  const Coefficients c = Fftri(x, p);
  ASSERT_EQ(c.count, p / 2);
  double scale = 0;
  for (int k = 0; k < p / 2; ++k) scale = std::max(scale, std::abs(a[k]) / p);
  // Twelve float ulps of the largest coefficient. With single-precision pi in its twiddles the
  // textbook transform is itself 4 to 8 such ulps away from the exact one at these lengths (its
  // half turn is not exactly -1); the half-length real transform cannot retrace that error, so the
  // two agree to about the textbook transform's own distance from the exact result.
  const double tol = 12.0 * scale * std::ldexp(1.0, -24);
  for (int k = 0; k < p / 2; ++k) {
    ASSERT_NEAR(c.re[k], a[k].real() / p, tol) << "bin " << k;
    ASSERT_NEAR(c.im[k], a[k].imag() / p, tol) << "bin " << k;
  }
}

// Against the exact transform (the textbook one with pi in double precision) the fast transform is
// closer than the single-precision-pi textbook one is.
TEST_P(FftriAgainstTextbook, IsCloserToTheExactTransformThanTheTextbookOne) {
  const int32_t n = GetParam();
  const std::vector<float> x = RandomRecord(n, static_cast<unsigned>(n));
  int32_t p = 2;
  while (p < n) p *= 2;
  std::vector<std::complex<double>> textbook = sism::test::PaddedRecord(x, p), exact = textbook;
  ASSERT_TRUE(sism::test::TextbookFft(textbook, -1));
  ASSERT_TRUE(sism::test::TextbookFft(exact, -1, 3.141592653589793));
  const Coefficients c = Fftri(x, p);
  double fastError = 0, textbookError = 0;
  for (int k = 0; k < p / 2; ++k) {
    const std::complex<double> truth = exact[k] / double(p);
    fastError = std::max(fastError, std::abs(std::complex<double>(c.re[k], c.im[k]) - truth));
    const std::complex<double> rounded(static_cast<float>(textbook[k].real() / p),
                                       static_cast<float>(textbook[k].imag() / p));
    textbookError = std::max(textbookError, std::abs(rounded - truth));
  }
  EXPECT_LE(fastError, textbookError + 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Lengths, FftriAgainstTextbook,
                         testing::Values(1, 2, 3, 4, 5, 8, 16, 32, 64, 100, 128, 256, 1000, 2048, 4096, 8192,
                                         16384, 20000, 65536, 131072));

TEST(Fftap, ZeroRecordHasZeroAmplitudeAndPhase) {
  const int32_t n = 256;
  const std::vector<float> x(n, 0.0f);
  std::vector<float> amp(128, -1.0f), ph(128, -1.0f);
  EXPECT_EQ(FFTAP(&n, x.data(), amp.data(), ph.data()), 128);
  for (int k = 0; k < 128; ++k) {
    ASSERT_EQ(amp[k], 0.0f);
    ASSERT_EQ(ph[k], 0.0f);
  }
}

TEST(Fftap, SineHasHalfAmplitudeAndMinusQuarterTurnPhase) {
  const int32_t n = 512;
  std::vector<float> x(n);
  for (int i = 0; i < n; ++i) x[i] = static_cast<float>(2.0 * std::sin(kTwoPi * 9 * i / n));
  std::vector<float> amp(256), ph(256);
  EXPECT_EQ(FFTAP(&n, x.data(), amp.data(), ph.data()), 256);
  EXPECT_NEAR(amp[9], 1.0, 1e-6);
  EXPECT_NEAR(ph[9], -kTwoPi / 4, 1e-5);
  EXPECT_NEAR(amp[10], 0.0, 1e-6);
}

TEST(Fftap, AmplitudeIsTheModulusOfFftri) {
  const int32_t n = 3000;
  const std::vector<float> x = RandomRecord(n, 3);
  const Coefficients c = Fftri(x, 4096);
  std::vector<float> amp(2048), ph(2048);
  ASSERT_EQ(FFTAP(&n, x.data(), amp.data(), ph.data()), 2048);
  for (int k = 0; k < 2048; ++k) {
    ASSERT_NEAR(amp[k], std::hypot(c.re[k], c.im[k]), 1e-6 * (1 + amp[k])) << k;
    if (amp[k] > 1e-3) {
      ASSERT_NEAR(ph[k], std::atan2(c.im[k], c.re[k]), 1e-4) << k;
    }
  }
}

TEST(Auto, ZeroLagIsThePaddedLength) {
  const int32_t n = 1000;
  const std::vector<float> x = RandomRecord(n, 11);
  std::vector<float> r(513, -1.0f);
  ASSERT_EQ(AUTO(&n, x.data(), r.data()), 513);
  EXPECT_FLOAT_EQ(r[0], 1024.0f);
}

TEST(Auto, IsTheCircularCorrelationOfThePaddedRecord) {
  const int32_t n = 100;
  const std::vector<float> x = RandomRecord(n, 5);
  const int p = 128;
  std::vector<double> c(p / 2 + 1);
  for (int lag = 0; lag <= p / 2; ++lag)
    for (int i = 0; i < n; ++i) {
      const int j = (i + lag) % p;
      if (j < n) c[lag] += double(x[i]) * x[j];
    }
  std::vector<float> r(p / 2 + 1);
  ASSERT_EQ(AUTO(&n, x.data(), r.data()), p / 2 + 1);
  for (int lag = 0; lag <= p / 2; ++lag) ASSERT_NEAR(r[lag], p * c[lag] / c[0], 1e-4 * p) << lag;
}

TEST(Auto, RefusesARecordWithoutPower) {
  const int32_t n = 64;
  const std::vector<float> x(n, 0.0f);
  std::vector<float> r(33, -1.0f);
  EXPECT_EQ(AUTO(&n, x.data(), r.data()), 0);
  EXPECT_EQ(r[0], -1.0f);
}

}  // namespace
