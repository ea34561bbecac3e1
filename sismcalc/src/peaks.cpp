// Scans for the largest value, the signed peak and the peak vector length. A candidate is
// replaced only by a strictly larger one, so the first of equal values wins.
#include <cmath>

#include "sismcalc.h"

namespace {

// The index of the element of x[first..last] (0-based, inclusive) with the largest key.
template <typename Key>
int32_t ScanFirstLargest(int32_t first, int32_t last, Key key) {
  int32_t best = first;
  double bestKey = key(first);
  for (int32_t i = first + 1; i <= last; ++i) {
    const double k = key(i);
    if (k > bestKey) {
      bestKey = k;
      best = i;
    }
  }
  return best;
}

}  // namespace

extern "C" {

SISMCALC_API float GETMAX(const int32_t* N, const float* X) {
  if (*N < 1) return 0.0f;
  return X[ScanFirstLargest(0, *N - 1, [X](int32_t i) { return double{X[i]}; })];
}

SISMCALC_API float GETPEAK(const int32_t* N, const float* X) {
  if (*N < 1) return 0.0f;
  return X[ScanFirstLargest(0, *N - 1, [X](int32_t i) { return std::fabs(double{X[i]}); })];
}

SISMCALC_API float GETVECPEAK2(const int32_t* N, const float* X, const float* Y) {
  if (*N < 1) return 0.0f;
  // Comparing squared lengths picks the same element; the root is taken once.
  auto len2 = [X, Y](int32_t i) { return double{X[i]} * X[i] + double{Y[i]} * Y[i]; };
  return static_cast<float>(std::sqrt(len2(ScanFirstLargest(0, *N - 1, len2))));
}

SISMCALC_API float GETVECPEAK3(const int32_t* N, const float* X, const float* Y, const float* Z) {
  if (*N < 1) return 0.0f;
  auto len2 = [X, Y, Z](int32_t i) {
    return double{X[i]} * X[i] + double{Y[i]} * Y[i] + double{Z[i]} * Z[i];
  };
  return static_cast<float>(std::sqrt(len2(ScanFirstLargest(0, *N - 1, len2))));
}

SISMCALC_API void FINDPEAKAT(const int32_t* I1, const int32_t* I2, const float* X, float* PEAK,
                             int32_t* IPOS) {
  if (*I1 < 1 || *I2 < *I1) {
    *PEAK = 0.0f;
    *IPOS = 0;
    return;
  }
  const int32_t best = ScanFirstLargest(*I1 - 1, *I2 - 1, [X](int32_t i) { return std::fabs(double{X[i]}); });
  *PEAK = X[best];
  *IPOS = best + 1;
}

SISMCALC_API void FINDMAXAT(const int32_t* I1, const int32_t* I2, const float* X, float* XMAX,
                            int32_t* IPOS) {
  if (*I1 < 1 || *I2 < *I1) {
    *XMAX = 0.0f;
    *IPOS = 0;
    return;
  }
  const int32_t best = ScanFirstLargest(*I1 - 1, *I2 - 1, [X](int32_t i) { return double{X[i]}; });
  *XMAX = X[best];
  *IPOS = best + 1;
}

}  // extern "C"
