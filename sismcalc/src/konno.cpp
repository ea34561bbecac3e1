// Konno-Ohmachi smoothing of a spectrum on equally spaced frequencies, evaluated at any frequencies.
// Every bin takes part: the window's tails fall as 1/x^4 but the bins grow denser as 1/log, so no
// cut-off holds for every spectrum. The window is a short polynomial that vectorises.
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "internal.h"
#include "sismcalc.h"

namespace {

// pi in two parts (the first with its low bits clear) for the reduction of x to [-pi/2, pi/2].
constexpr double kPiHigh = 3.1415926535897931159979634685441851615905761718750;
constexpr double kPiLow = 1.2246467991473532e-16;
constexpr double kInvPi = 0.31830988618379067154;
constexpr double kRound = 6755399441055744.0;

// Eight lanes: one AVX-512 vector, two of AVX2, four of SSE2, as the clone built for the processor has.
typedef double Vec8 __attribute__((vector_size(64)));
typedef long long Bits8 __attribute__((vector_size(64)));

// (sin(x)/x)^4 for x >= 0: sin by its Taylor series to x^17 on the argument reduced to [-pi/2, pi/2]
// (error below 1e-11), its fourth power over x^4 (the tiny terms make x = 0 give 1 and change
// nothing else).
[[gnu::always_inline]] inline void Window(const Vec8& x, Vec8& w) {
  // The nearest whole number by the 1.5 * 2^52 sum, which vectorises where floor and casts do not.
  const Vec8 k = (x * kInvPi + kRound) - kRound;
  const Vec8 r = (x - k * kPiHigh) - k * kPiLow;
  const Vec8 r2 = r * r;
  Vec8 p = r2 * (1.0 / 355687428096000.0) - 1.0 / 1307674368000.0;  // 1/17!, 1/15!, ...
  p = p * r2 + 1.0 / 6227020800.0;
  p = p * r2 - 1.0 / 39916800.0;
  p = p * r2 + 1.0 / 362880.0;
  p = p * r2 - 1.0 / 5040.0;
  p = p * r2 + 1.0 / 120.0;
  p = p * r2 - 1.0 / 6.0;
  const Vec8 s = r + r * r2 * p;
  const Vec8 s2 = s * s, x2 = x * x;
  w = (s2 * s2 + 1e-300) / (x2 * x2 + 1e-300);
}

// Sums of W and W*S over the m bins of log10-frequency lg and value s, about the log10-frequency lc.
SISMCALC_TRANSFORM_CLONES
void WindowSums(int32_t m, const double* lg, const double* s, double lc, double b, double& num, double& den) {
  const Bits8 magnitude = Bits8{} + static_cast<long long>(~(1ULL << 63));
  Vec8 n0{}, n1{}, d0{}, d1{};
  int32_t i = 0;
  for (; i + 16 <= m; i += 16) {
    Vec8 l0, l1, s0, s1;
    std::memcpy(&l0, lg + i, sizeof(Vec8));
    std::memcpy(&l1, lg + i + 8, sizeof(Vec8));
    std::memcpy(&s0, s + i, sizeof(Vec8));
    std::memcpy(&s1, s + i + 8, sizeof(Vec8));
    Vec8 w0, w1;
    Window((Vec8)((Bits8)((l0 - lc) * b) & magnitude), w0);
    Window((Vec8)((Bits8)((l1 - lc) * b) & magnitude), w1);
    n0 += w0 * s0;
    n1 += w1 * s1;
    d0 += w0;
    d1 += w1;
  }
  double nn = 0, dd = 0;
  for (; i < m; ++i) {
    Vec8 w;
    Window(Vec8{} + std::fabs(b * (lg[i] - lc)), w);
    nn += w[0] * s[i];
    dd += w[0];
  }
  for (int j = 0; j < 8; ++j) {
    nn += n0[j] + n1[j];
    dd += d0[j] + d1[j];
  }
  num = nn;
  den = dd;
}

}  // namespace

extern "C" {

SISMCALC_API int32_t KONNO(const int32_t* N, const float* DF, const float* S, const float* B,
                           const int32_t* NO, const float* FO, float* SO) {
  const int32_t n = *N, no = *NO;
  const double df = *DF, b = *B;
  if (n < 2 || no < 1 || !(df > 0) || !std::isfinite(df) || !(b > 0) || !std::isfinite(b)) return 0;
  try {
    // The bins 2..N; bin 1, 0 Hz, has no logarithm and takes no part.
    const int32_t m = n - 1;
    std::vector<double> lg(static_cast<size_t>(m)), val(static_cast<size_t>(m));
    for (int32_t i = 0; i < m; ++i) {
      lg[static_cast<size_t>(i)] = std::log10(df * (i + 1));
      val[static_cast<size_t>(i)] = S[i + 1];
    }
    for (int32_t k = 0; k < no; ++k) {
      const double fc = FO[k];
      if (!(fc > 0) || !std::isfinite(fc)) {
        SO[k] = 0.0f;
        continue;
      }
      double num = 0, den = 0;
      WindowSums(m, lg.data(), val.data(), std::log10(fc), b, num, den);
      SO[k] = den > 0 ? static_cast<float>(num / den) : 0.0f;
    }
    return 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

SISMCALC_API int32_t EAS(const int32_t* N, const float* DT, const float* X, const float* Y, const float* B,
                         const int32_t* NO, const float* FO, float* SO) {
  const int32_t n = *N;
  const float dt = *DT;
  if (n < 2 || !(dt > 0) || !std::isfinite(dt)) return 0;
  try {
    const int32_t p = sismcalc::detail::PaddedLength(n);
    if (p == 0) return 0;
    const int32_t nh = p / 2;
    std::vector<float> re(static_cast<size_t>(nh)), im(re.size()), eas(re.size());
    std::vector<double> sum(re.size(), 0.0);
    for (const float* x : {X, Y}) {
      if (FFTRI(N, x, re.data(), im.data()) != nh) return 0;
      for (size_t k = 0; k < re.size(); ++k) sum[k] += double{re[k]} * re[k] + double{im[k]} * im[k];
    }
    // |F| of the continuous transform: the coefficients (divided by P) times P dt.
    const double scale = double{dt} * p;
    for (size_t k = 0; k < re.size(); ++k) eas[k] = static_cast<float>(std::sqrt(sum[k] / 2) * scale);
    const float df = static_cast<float>(1.0 / (double{dt} * p));
    return KONNO(&nh, &df, eas.data(), B, NO, FO, SO);
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

}  // extern "C"
