// The internal complex transform FFT and the real transforms shared by the spectral kernels.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "../sismcalc/textbook_fft.h"
#include "internal.h"

namespace {

using sismcalc::detail::FFT;
using sismcalc::detail::PaddedLength;
using sismcalc::detail::RealTransform;

std::vector<std::complex<double>> RandomComplex(int n, unsigned seed) {
  std::mt19937 gen(seed);
  std::normal_distribution<double> normal(0.0, 1.0);
  std::vector<std::complex<double>> a(static_cast<size_t>(n));
  for (auto& v : a) v = {normal(gen), normal(gen)};
  return a;
}

TEST(Fft, RefusesLengthsThatAreNotPowersOfTwo) {
  for (int n : {12, 1, 0, -4, 6, 1000}) {
    std::vector<std::complex<double>> a = RandomComplex(std::max(n, 1), 1);
    const auto before = a;
    EXPECT_EQ(FFT(n, a.data(), -1), 0) << n;
    EXPECT_EQ(a, before) << n;
  }
}

class FftAgainstTextbook : public testing::TestWithParam<int> {};

TEST_P(FftAgainstTextbook, AgreesInBothDirections) {
  const int n = GetParam();
  for (int isign : {-1, 1}) {
    std::vector<std::complex<double>> fast = RandomComplex(n, static_cast<unsigned>(n)), slow = fast;
    ASSERT_EQ(FFT(n, fast.data(), isign), 1);
    ASSERT_TRUE(sism::test::TextbookFft(slow, isign));
    double scale = 0;
    for (const auto& v : slow) scale = std::max(scale, std::abs(v));
    for (int k = 0; k < n; ++k) ASSERT_LT(std::abs(fast[k] - slow[k]), 1e-6 * scale) << "bin " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(Lengths, FftAgainstTextbook,
                         testing::Values(2, 4, 8, 16, 32, 64, 128, 1024, 2048, 4096, 8192, 32768));

TEST(Fft, InverseOfForwardScalesByTheLength) {
  const int n = 4096;
  const auto original = RandomComplex(n, 9);
  auto a = original;
  ASSERT_EQ(FFT(n, a.data(), -1), 1);
  ASSERT_EQ(FFT(n, a.data(), 1), 1);
  for (int k = 0; k < n; ++k) ASSERT_LT(std::abs(a[k] / double(n) - original[k]), 1e-6) << k;
}

TEST(PaddedLength, IsTheNextPowerOfTwoFromTwo) {
  EXPECT_EQ(PaddedLength(1), 2);
  EXPECT_EQ(PaddedLength(0), 2);
  EXPECT_EQ(PaddedLength(2), 2);
  EXPECT_EQ(PaddedLength(1000), 1024);
  EXPECT_EQ(PaddedLength(1024), 1024);
  EXPECT_EQ(PaddedLength(1025), 2048);
  EXPECT_EQ(PaddedLength(int32_t{1} << 30), int32_t{1} << 30);
  EXPECT_EQ(PaddedLength((int32_t{1} << 30) + 1), 0);
}

class RealTransformRoundTrip : public testing::TestWithParam<int> {};

TEST_P(RealTransformRoundTrip, InverseOfForwardScalesByTheLength) {
  const int p = GetParam();
  std::mt19937 gen(static_cast<unsigned>(p));
  std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
  std::vector<float> x(static_cast<size_t>(p));
  for (auto& v : x) v = uniform(gen);
  RealTransform transform(p);
  std::vector<std::complex<double>> bins(static_cast<size_t>(p / 2 + 1));
  std::vector<double> back(static_cast<size_t>(p));
  transform.Forward(x.data(), p, bins.data());
  EXPECT_EQ(bins[0].imag(), 0.0);
  EXPECT_EQ(bins[p / 2].imag(), 0.0);
  transform.Inverse(bins.data(), back.data());
  // Twiddles with single-precision pi make the pair inverse to each other only to float accuracy.
  for (int i = 0; i < p; ++i) ASSERT_NEAR(back[i] / p, x[i], 1e-6) << i;
}

INSTANTIATE_TEST_SUITE_P(Lengths, RealTransformRoundTrip, testing::Values(2, 4, 8, 64, 512, 4096, 65536));

TEST(RealTransform, MatchesTheTextbookTransformOfThePaddedRecord) {
  const int p = 1 << 12, n = 3000;
  std::vector<float> x(n);
  std::mt19937 gen(4);
  std::normal_distribution<float> normal(0.0f, 1.0f);
  for (auto& v : x) v = normal(gen);
  std::vector<std::complex<double>> a = sism::test::PaddedRecord(x, p), bins(p / 2 + 1);
  ASSERT_TRUE(sism::test::TextbookFft(a, -1));
  sismcalc::detail::RealForward(x.data(), n, p, bins.data());
  double scale = 0;
  for (const auto& v : a) scale = std::max(scale, std::abs(v));
  for (int k = 0; k <= p / 2; ++k) ASSERT_LT(std::abs(bins[k] - a[k]), 1e-6 * scale) << k;
}

TEST(RealTransform, InverseOfAHermitianSpectrumIsTheTextbookInverse) {
  const int p = 256;
  auto half = RandomComplex(p / 2 + 1, 8);
  half[0].imag(0.0);
  half[p / 2].imag(0.0);
  std::vector<std::complex<double>> full(p);
  for (int k = 0; k <= p / 2; ++k) full[k] = half[k];
  for (int k = 1; k < p / 2; ++k) full[p - k] = std::conj(half[k]);
  ASSERT_TRUE(sism::test::TextbookFft(full, 1));
  std::vector<double> out(p);
  sismcalc::detail::RealInverse(half.data(), p, out.data());
  for (int i = 0; i < p; ++i) ASSERT_NEAR(out[i], full[i].real(), 1e-5) << i;
}

}  // namespace
