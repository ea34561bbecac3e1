// The textbook radix-2 transform, written out step by step, as the reference the fast library
// transform is compared with: bit reversal, then butterflies with every twiddle computed directly.
#pragma once

#include <cmath>
#include <complex>
#include <cstdint>
#include <vector>

namespace sism::test {

// pi defaults to the single-precision value the library's results are defined with.
inline bool TextbookFft(std::vector<std::complex<double>>& a, int isign, double pi = 3.1415927f) {
  const int64_t n = static_cast<int64_t>(a.size());
  int64_t size = 2;
  while (size < n) size *= 2;
  if (size != n) return false;
  // Bit reversal with 1-based indices i and j.
  int64_t j = 1;
  for (int64_t i = 1; i <= n; ++i) {
    if (i < j) std::swap(a[i - 1], a[j - 1]);
    int64_t m = n / 2;
    while (m >= 1 && m < j) {
      j -= m;
      m /= 2;
    }
    j += m;
  }
  for (int64_t mmax = 1; mmax < n; mmax *= 2) {
    const int64_t istep = 2 * mmax;
    for (int64_t m = 1; m <= mmax; ++m) {
      const double theta = static_cast<double>((m - 1) * isign) * pi / static_cast<double>(mmax);
      const std::complex<double> w(std::cos(theta), std::sin(theta));
      for (int64_t i = m; i <= n; i += istep) {
        const int64_t k = i + mmax;
        const std::complex<double> t = w * a[k - 1];
        a[k - 1] = a[i - 1] - t;
        a[i - 1] += t;
      }
    }
  }
  return true;
}

// The padded complex work vector of a real record, as the spectral functions build it.
inline std::vector<std::complex<double>> PaddedRecord(const std::vector<float>& x, int64_t p) {
  std::vector<std::complex<double>> a(static_cast<size_t>(p));
  for (size_t i = 0; i < x.size(); ++i) a[i] = x[i];
  return a;
}

}  // namespace sism::test
