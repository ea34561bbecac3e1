// Significant duration: the time between 5 % and 95 % of the cumulative squared signal.
#include "sismcalc.h"

extern "C" {

SISMCALC_API float DURATION(const int32_t* N, const float* DT, const float* X) {
  const int32_t n = *N;
  if (n < 1) return 0.0f;
  double total = 0.0;
  for (int32_t i = 0; i < n; ++i) total += double{X[i]} * X[i];
  if (!(total > 0.0)) return 0.0f;  // no crossing exists

  // The running sum repeats the additions of the total, so its last value equals it exactly
  // and, never decreasing, crosses each threshold once.
  const double low = 0.05 * total;
  const double high = 0.95 * total;
  int32_t i1 = 0;  // first sample above 5 %
  int32_t i2 = 0;  // last sample below 95 %; stays 0 when the first one already reaches it
  double e = 0.0;
  for (int32_t i = 0; i < n; ++i) {
    e += double{X[i]} * X[i];
    if (i1 == 0 && e > low) i1 = i + 1;
    if (e < high) i2 = i + 1;
  }
  return static_cast<float>((i2 - i1) * double{*DT});
}

}  // extern "C"
