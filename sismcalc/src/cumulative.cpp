// Measures of a record that accumulate over time: Arias intensity and its Husid curve,
// significant durations between two fractions of it, cumulative absolute velocity.
// Integrals take the acceleration as linear between the samples: a^2 by the trapezoid rule
// (exact for a sampled sine over whole cycles), |a| exactly, a step whose ends differ in
// sign split at its zero crossing.
#include <cmath>
#include <new>
#include <vector>

#include "internal.h"
#include "sismcalc.h"

namespace {

// Standard gravity in cm/s/s.
constexpr double kGravity = 980.665;

bool SeriesOk(int32_t n, float dt) {
  return n >= 2 && dt > 0.0f && std::isfinite(dt);
}

// Integral of a^2 over step i (from sample i to i+1), without the step length.
inline double SquareStep(const float* a, int32_t i) {
  return (double{a[i]} * a[i] + double{a[i + 1]} * a[i + 1]) / 2;
}

}  // namespace

namespace sismcalc::detail {

// The integral of a^2 up to each sample, cum[0] = 0; the last value is the total.
std::vector<double> CumulativeSquare(int32_t n, const float* a) {
  std::vector<double> cum(static_cast<std::size_t>(n));
  cum[0] = 0;
  for (int32_t i = 0; i + 1 < n; ++i) cum[i + 1] = cum[i] + SquareStep(a, i);
  return cum;
}

// The time (in steps, fractional) at which the cumulative curve first reaches `level`.
double CrossingStep(const std::vector<double>& cum, double level) {
  const auto n = static_cast<int32_t>(cum.size());
  for (int32_t i = 1; i < n; ++i) {
    if (cum[i] >= level) {
      const double rise = cum[i] - cum[i - 1];
      return rise > 0 ? i - 1 + (level - cum[i - 1]) / rise : i - 1;
    }
  }
  return n - 1;
}

}  // namespace sismcalc::detail

using sismcalc::detail::CrossingStep;
using sismcalc::detail::CumulativeSquare;

extern "C" {

SISMCALC_API float ARIAS(const int32_t* N, const float* DT, const float* ACC) {
  const int32_t n = *N;
  const float dt = *DT;
  if (!SeriesOk(n, dt)) return 0.0f;
  double sum = 0;
  for (int32_t i = 0; i + 1 < n; ++i) sum += SquareStep(ACC, i);
  // cm/s/s squared times s over cm/s/s is cm/s; the field quotes m/s.
  return static_cast<float>(sismcalc::detail::kPi / (2 * kGravity) * sum * dt / 100);
}

SISMCALC_API int32_t HUSID(const int32_t* N, const float* DT, const float* ACC, float* H) {
  const int32_t n = *N;
  if (!SeriesOk(n, *DT)) return 0;
  try {
    const std::vector<double> cum = CumulativeSquare(n, ACC);
    const double total = cum.back();
    if (!(total > 0) || !std::isfinite(total)) return 0;
    for (int32_t i = 0; i < n; ++i) H[i] = static_cast<float>(cum[i] / total);
    return 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

SISMCALC_API float SIGDUR(const int32_t* N, const float* DT, const float* ACC, const float* F1, const float* F2) {
  const int32_t n = *N;
  const float dt = *DT, f1 = *F1, f2 = *F2;
  if (!SeriesOk(n, dt) || !(f1 >= 0.0f && f1 < f2 && f2 <= 1.0f)) return 0.0f;
  try {
    const std::vector<double> cum = CumulativeSquare(n, ACC);
    const double total = cum.back();
    if (!(total > 0) || !std::isfinite(total)) return 0.0f;
    const double steps = CrossingStep(cum, f2 * total) - CrossingStep(cum, f1 * total);
    return static_cast<float>(steps * dt);
  } catch (const std::bad_alloc&) {
    return 0.0f;
  }
}

SISMCALC_API float CAV(const int32_t* N, const float* DT, const float* ACC) {
  const int32_t n = *N;
  const float dt = *DT;
  if (!SeriesOk(n, dt)) return 0.0f;
  double sum = 0;
  for (int32_t i = 0; i + 1 < n; ++i) {
    const double a = ACC[i], b = ACC[i + 1];
    const double fa = std::fabs(a), fb = std::fabs(b);
    if ((a >= 0) == (b >= 0) || fa + fb == 0)
      sum += (fa + fb) / 2;
    else
      sum += (a * a + b * b) / (2 * (fa + fb));
  }
  return static_cast<float>(sum * dt);
}

}  // extern "C"
