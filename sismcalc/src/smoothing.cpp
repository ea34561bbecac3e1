// Parzen smoothing of amplitude and phase spectra (PARZEN, PARZENP) and phase from real and
// imaginary parts (REIMPH).
#include <algorithm>
#include <cmath>
#include <new>
#include <utility>
#include <vector>

#include "internal.h"
#include "sismcalc.h"

namespace sismcalc::detail {
namespace {

// One-sided Parzen weights W(0..L) for the frequency step df and band width bw; empty when the
// window is narrower than one step (L <= 0) or the arguments are not positive. Lags beyond
// maxLag touch no sample and are left out.
std::vector<double> ParzenWeights(double df, double bw, int64_t maxLag) {
  if (!(df > 0.0) || !(bw > 0.0)) return {};
  const double u = static_cast<double>(1.8543047f) / bw;
  const int64_t lags = TruncateToInt(2.0 / u / df);
  if (lags <= 0) return {};
  std::vector<double> w(static_cast<size_t>(std::min(lags, maxLag) + 1));
  w[0] = 0.75 * u * df;
  const double step = kPi * u * df;
  for (size_t i = 1; i < w.size(); ++i) {
    const double x = static_cast<float>(step * static_cast<double>(i) / 2.0);
    const double r = std::sin(x) / x;
    w[i] = w[0] * (r * r) * (r * r);
  }
  return w;
}

// t(k) = sum over |i| <= L of w(|i|) s(k+i), leaving out neighbours beyond either end. The sum runs
// lag by lag over blocks of k, so that every inner loop is a plain multiply-add along the record.
SISMCALC_VECTOR_CLONES void SmoothDirect(const double* __restrict s, int64_t n, const double* __restrict w,
                                         int64_t lags, double* __restrict t) {
  constexpr int64_t kBlock = 1024;
  for (int64_t k0 = 0; k0 < n; k0 += kBlock) {
    const int64_t k1 = std::min(n, k0 + kBlock);
    for (int64_t k = k0; k < k1; ++k) t[k] = w[0] * s[k];
    for (int64_t i = 1; i <= lags; ++i) {
      const double wi = w[i];
      for (int64_t k = std::max(k0, i); k < k1; ++k) t[k] += wi * s[k - i];
      for (int64_t k = k0, end = std::min(k1, n - i); k < end; ++k) t[k] += wi * s[k + i];
    }
  }
}

// Below this many lags the direct sum is the faster.
constexpr int64_t kDirectLags = 48;

// The same sum as SmoothDirect by overlap-save convolution: each transform of f points yields
// f - 2L outputs for two blocks at once (one as the real, one as the imaginary part, as the
// kernel's spectrum is real). The rounding of a transform scales with the largest value in
// its own blocks, not in the whole spectrum, so that weak parts keep their relative accuracy.
void SmoothByTransform(const double* s, int64_t n, const double* w, int64_t lags, double* t) {
  const int64_t span = 2 * lags + 1;
  int64_t f = 2;
  while (f < 4 * span && f < n + 2 * lags) f *= 2;
  if (f < span + 1) f *= 2;
  const int64_t block = f - 2 * lags;
  const ExactTransform transform(f);
  std::vector<double> buffer(3 * static_cast<size_t>(f));
  double* re = buffer.data();
  double* im = re + f;
  double* gain = im + f;  // the wrapped kernel's spectrum, scaled for the inverse
  std::fill(re, re + 2 * f, 0.0);
  re[0] = w[0];
  for (int64_t i = 1; i <= lags; ++i) re[i] = re[f - i] = w[i];
  transform.Run(re, im, false);
  for (int64_t k = 0; k < f; ++k) gain[k] = re[k] / static_cast<double>(f);
  // x(m) = s(k0 - L + m), zero outside the spectrum.
  auto load = [&](double* x, int64_t k0) {
    for (int64_t m = 0; m < f; ++m) {
      const int64_t k = k0 - lags + m;
      x[m] = k >= 0 && k < n ? s[k] : 0.0;
    }
  };
  for (int64_t k0 = 0; k0 < n; k0 += 2 * block) {
    const int64_t k1 = k0 + block;
    load(re, k0);
    if (k1 < n)
      load(im, k1);
    else
      std::fill(im, im + f, 0.0);
    transform.Run(re, im, false);
    for (int64_t k = 0; k < f; ++k) re[k] *= gain[k], im[k] *= gain[k];
    transform.Run(re, im, true);
    std::copy(re + lags, re + lags + std::min(block, n - k0), t + k0);
    if (k1 < n) std::copy(im + lags, im + lags + std::min(block, n - k1), t + k1);
  }
}

void Smooth(const double* s, int64_t n, const double* w, int64_t lags, double* t) {
  if (lags < kDirectLags)
    SmoothDirect(s, n, w, lags, t);
  else
    SmoothByTransform(s, n, w, lags, t);
}

}  // namespace
}  // namespace sismcalc::detail

using namespace sismcalc::detail;

extern "C" {

SISMCALC_API int32_t PARZEN(const int32_t* N, const float* DF, const float* BW, float* S) {
  const int32_t n = *N;
  if (n <= 0) return 0;
  try {
    const std::vector<double> w = ParzenWeights(*DF, *BW, n - 1);
    if (w.empty()) return 0;
    std::vector<double> buffer(2 * static_cast<size_t>(n));
    double* s = buffer.data();
    double* t = s + n;
    std::copy(S, S + n, s);
    Smooth(s, n, w.data(), static_cast<int64_t>(w.size()) - 1, t);
    std::copy(t, t + n, S);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 1;
}

SISMCALC_API int32_t PARZENP(const int32_t* N, const float* DF, const float* BW, float* PH) {
  const int32_t n = *N;
  if (n <= 0) return 0;
  try {
    const std::vector<double> w = ParzenWeights(*DF, *BW, n - 1);
    if (w.empty()) return 0;
    const int64_t lags = static_cast<int64_t>(w.size()) - 1;
    std::vector<double> buffer(4 * static_cast<size_t>(n));
    double* c = buffer.data();
    double* s = c + n;
    double* sumC = s + n;
    double* sumS = sumC + n;
    for (int32_t k = 0; k < n; ++k) {
      c[k] = std::cos(static_cast<double>(PH[k]));
      s[k] = std::sin(static_cast<double>(PH[k]));
    }
    Smooth(c, n, w.data(), lags, sumC);
    Smooth(s, n, w.data(), lags, sumS);
    for (int32_t k = 0; k < n; ++k) PH[k] = static_cast<float>(std::atan2(sumS[k], sumC[k]));
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 1;
}

SISMCALC_API int32_t REIMPH(const int32_t* N, const float* RE, const float* IM, float* PH) {
  for (int32_t k = 0; k < *N; ++k) {
    const double re = RE[k], im = IM[k];
    PH[k] = (re == 0.0 && im == 0.0) ? 0.0f : static_cast<float>(std::atan2(im, re));
  }
  return 0;
}

}  // extern "C"
