// Konno-Ohmachi smoothing of a spectrum on equally spaced frequencies, evaluated at any frequencies.
// Every bin takes part: the window's tails fall as 1/x^4 but the bins grow denser as 1/log, so no
// cut-off holds for every spectrum. The window's sine comes from those of the bins and the centre.
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "internal.h"
#include "sismcalc.h"

namespace {

// Eight lanes: one AVX-512 vector, two of AVX2, four of SSE2, as the clone built for the processor has.
typedef double Vec8 __attribute__((vector_size(64)));

constexpr double kNear2 = 1e-12;  // |x| below 1e-6

// Sums of W and W*S over the m bins about the centre c, W = (sin x / x)^4 with x = bx - bc: bx holds
// b log10 f of each bin and sx, cx its sine and cosine, so that sin x = sx cos bc - cx sin bc costs
// two products.
SISMCALC_TRANSFORM_CLONES
void WindowSums(int32_t m, const double* bx, const double* sx, const double* cx, const double* s, double bc,
                double& num, double& den) {
  const double sc = std::sin(bc), cc = std::cos(bc);
  Vec8 n0{}, n1{}, d0{}, d1{};
  // Near the centre the two sines' rounding is no longer small beside x: there W = 1 - 2x^2/3.
  auto window = [&](int32_t at, Vec8& w) {
    Vec8 x, sn, cs;
    std::memcpy(&x, bx + at, sizeof(Vec8));
    std::memcpy(&sn, sx + at, sizeof(Vec8));
    std::memcpy(&cs, cx + at, sizeof(Vec8));
    x -= bc;
    const Vec8 sin = sn * cc - cs * sc;
    const Vec8 s2 = sin * sin, x2 = x * x;
    const Vec8 far = s2 * s2 / (x2 * x2 + 1e-300), near = 1.0 - x2 * (2.0 / 3);
    w = x2 < kNear2 ? near : far;
  };
  int32_t i = 0;
  for (; i + 16 <= m; i += 16) {
    Vec8 s0, s1, w0, w1;
    std::memcpy(&s0, s + i, sizeof(Vec8));
    std::memcpy(&s1, s + i + 8, sizeof(Vec8));
    window(i, w0);
    window(i + 8, w1);
    n0 += w0 * s0;
    n1 += w1 * s1;
    d0 += w0;
    d1 += w1;
  }
  double nn = 0, dd = 0;
  for (; i < m; ++i) {
    const double x = bx[i] - bc, sin = sx[i] * cc - cx[i] * sc;
    const double s2 = sin * sin, x2 = x * x;
    const double w = x2 < kNear2 ? 1.0 - x2 * (2.0 / 3) : s2 * s2 / (x2 * x2);
    nn += w * s[i];
    dd += w;
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
    const auto size = static_cast<size_t>(m);
    std::vector<double> bx(size), sx(size), cx(size), val(size);
    for (size_t i = 0; i < size; ++i) {
      bx[i] = b * std::log10(df * static_cast<double>(i + 1));
      sx[i] = std::sin(bx[i]);
      cx[i] = std::cos(bx[i]);
      val[i] = S[i + 1];
    }
    for (int32_t k = 0; k < no; ++k) {
      const double fc = FO[k];
      if (!(fc > 0) || !std::isfinite(fc)) {
        SO[k] = 0.0f;
        continue;
      }
      double num = 0, den = 0;
      WindowSums(m, bx.data(), sx.data(), cx.data(), val.data(), b * std::log10(fc), num, den);
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
