// Zero-phase band-pass filtering in the frequency domain (FILTER) and rotation of a horizontal pair
// (ROTATE). The filter's low-cut and high-cut shapes are those of the seismic-intensity weighting.
#include <cmath>
#include <new>
#include <vector>

#include "internal.h"
#include "sismcalc.h"

namespace sismcalc::detail {

const double kHighCutCoef[7] = {1.0, 0.694, 0.241, 0.0557, 0.009664, 0.00134, 0.000155};

double FILTLC(double f0, double f) {
  if (f0 == 0.0) return 1.0;
  const double r = f / f0;
  return std::sqrt(1.0 - std::exp(-(r * r * r)));
}

double FILTHC(double fc, double f) {
  const double r = f / fc;
  const double y = r * r;
  double s = kHighCutCoef[6];
  for (int i = 5; i >= 0; --i) s = s * y + kHighCutCoef[i];
  return 1.0 / std::sqrt(s);
}

double FILTPR(double a, double b) {
  return std::sqrt(a / b);
}

int64_t TruncateToInt(double v) {
  constexpr double kLimit = 4611686018427387904.0;  // 2^62
  if (std::isnan(v)) return 0;
  if (v >= kLimit) return int64_t{1} << 62;
  if (v <= -kLimit) return -(int64_t{1} << 62);
  return static_cast<int64_t>(v);
}

}  // namespace sismcalc::detail

using namespace sismcalc::detail;

extern "C" {

SISMCALC_API int32_t FILTER(const int32_t* N, const float* DT, const float* FL, const float* FH, float* X) {
  const int32_t n = *N;
  const int32_t p = PaddedLength(n);
  if (n <= 0 || p == 0) return p;
  const int32_t nh = p / 2;
  const double df = (1.0 / *DT) / p;
  const double fl = *FL, fh = *FH;
  // Gains of the 1-based bins i, applied in place to the transform: the low cut on bins 2..iL, the
  // high cut on bins iH..NH (disjoint, as iL < iH); bin 1 (the mean) and bin NH+1 (Nyquist) go.
  const int64_t iL = TruncateToInt(fl / df) + 1;
  const bool lowCut = 1 < iL && iL < nh;
  const int64_t iH = TruncateToInt(fh / df);
  const bool highCut = iL < iH && iH < nh;
  try {
    RealTransform transform(p, p);
    double* y = transform.Scratch();
    transform.Forward(X, n);
    double* re = transform.Re();
    double* im = transform.Im();
    re[0] = im[0] = 0.0;
    transform.Nyquist() = 0.0;
    if (lowCut)
      for (int64_t k = 1; k < iL; ++k) {
        const double g = FILTLC(fl, static_cast<double>(k) * df);
        re[k] *= g;
        im[k] *= g;
      }
    if (highCut)
      for (int64_t k = std::max<int64_t>(iH - 1, 1); k < nh; ++k) {
        const double g = FILTHC(fh, static_cast<double>(k) * df);
        re[k] *= g;
        im[k] *= g;
      }
    transform.Inverse(y);
    const double scale = 1.0 / p;  // exact: p is a power of two
    for (int32_t i = 0; i < n; ++i) X[i] = static_cast<float>(y[i] * scale);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return p;
}

SISMCALC_API void ROTATE(const int32_t* N, const float* ANG, float* X, float* Y) {
  const double angle = *ANG * kRadPerDegree;
  const double c = std::cos(angle), s = std::sin(angle);
  for (int32_t i = 0; i < *N; ++i) {
    const double x = X[i], y = Y[i];
    X[i] = static_cast<float>(c * x - s * y);
    Y[i] = static_cast<float>(s * x + c * y);
  }
}

}  // extern "C"
