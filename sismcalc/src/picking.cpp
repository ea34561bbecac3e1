// P-wave onset pickers: the Akaike information criterion of the record itself, and the
// damping energy of a short-period oscillator with a histogram of state levels.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <vector>

#include "internal.h"
#include "sismcalc.h"

using sismcalc::detail::NigjenCoefficients;
using sismcalc::detail::StepCoef;

namespace {

// log of a variance, floored so that a silent stretch gives a finite, very low value.
double LogVariance(double sum, double sum2, double count, double floor) {
  const double mean = sum / count;
  const double var = sum2 / count - mean * mean;
  return std::log(std::max(var, floor));
}

}  // namespace

extern "C" {

SISMCALC_API int32_t AICPICK(const int32_t* N, const float* X) {
  const int32_t n = *N;
  if (n < 4) return 0;
  try {
    // Sums of the record less its mean, so that the variances do not cancel in a large offset.
    double mean = 0;
    for (int32_t i = 0; i < n; ++i) mean += X[i];
    mean /= n;
    std::vector<double> s(static_cast<size_t>(n) + 1, 0.0), s2(s.size(), 0.0);
    for (int32_t i = 0; i < n; ++i) {
      const double v = X[i] - mean;
      s[static_cast<size_t>(i) + 1] = s[static_cast<size_t>(i)] + v;
      s2[static_cast<size_t>(i) + 1] = s2[static_cast<size_t>(i)] + v * v;
    }
    const double total = s2[static_cast<size_t>(n)] / n;
    if (!(total > 0) || !std::isfinite(total)) return 0;
    const double floor = total * 1e-12;
    // AIC(k) = k log var(x1..xk) + (n - k - 1) log var(xk+1..xn), its first minimum.
    double best = std::numeric_limits<double>::infinity();
    int32_t pick = 0;
    for (int32_t k = 2; k <= n - 2; ++k) {
      const auto kk = static_cast<size_t>(k);
      const double front = LogVariance(s[kk], s2[kk], k, floor);
      const double back = LogVariance(s[static_cast<size_t>(n)] - s[kk], s2[static_cast<size_t>(n)] - s2[kk],
                                      n - k, floor);
      const double aic = k * front + (n - k - 1) * back;
      if (aic < best) {
        best = aic;
        pick = k;
      }
    }
    // The onset is the first sample after the quiet part.
    return pick > 0 ? pick + 1 : 0;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

SISMCALC_API int32_t PPHASEPICK(const int32_t* N, const float* DT, const float* X, const float* TN, const float* XI,
                                const int32_t* NBINS) {
  const int32_t n = *N, nbins = *NBINS;
  const double dt = *DT, tn = *TN, xi = *XI;
  if (n < 4 || nbins < 4 || !(dt > 0) || !std::isfinite(dt) || !(tn > 0) || !std::isfinite(tn) || !(xi > 0) ||
      !(xi < 1))
    return 0;
  try {
    double mean = 0;
    for (int32_t i = 0; i < n; ++i) mean += X[i];
    mean /= n;
    // Damping energy per unit mass of the oscillator, 2 xi w v^2, at every sample.
    const double w = sismcalc::detail::kTwoPi / tn;
    const StepCoef c = NigjenCoefficients(w, xi, dt);
    std::vector<double> e(static_cast<size_t>(n), 0.0);
    double d = 0, v = 0, lo = X[0] - mean;
    for (int32_t i = 1; i < n; ++i) {
      const double hi = X[i] - mean;
      const double dn = c.a11 * d + c.a12 * v + c.b11 * lo + c.b12 * hi;
      const double vn = c.a21 * d + c.a22 * v + c.b21 * lo + c.b22 * hi;
      d = dn;
      v = vn;
      lo = hi;
      e[static_cast<size_t>(i)] = 2 * xi * w * v * v;
    }
    const auto [mnIt, mxIt] = std::minmax_element(e.begin(), e.end());
    const double emin = *mnIt, emax = *mxIt;
    if (!(emax > emin) || !std::isfinite(emax)) return 0;
    // Histogram of the energy; the lower state level is the mode of the lower half of the
    // occupied bins, leaving out the first, which holds the noise.
    const double width = (emax - emin) / nbins;
    std::vector<int64_t> hist(static_cast<size_t>(nbins), 0);
    for (double x : e) {
      auto b = static_cast<int64_t>((x - emin) / width);
      hist[static_cast<size_t>(std::clamp<int64_t>(b, 0, nbins - 1))] += 1;
    }
    int32_t last = nbins - 1;
    while (last > 0 && hist[static_cast<size_t>(last)] == 0) --last;
    const int32_t half = std::max(1, last / 2);
    int32_t mode = 1;
    for (int32_t b = 1; b <= half; ++b)
      if (hist[static_cast<size_t>(b)] > hist[static_cast<size_t>(mode)]) mode = b;
    const double level = emin + width * mode;
    int32_t first = -1;
    for (int32_t i = 0; i < n; ++i)
      if (e[static_cast<size_t>(i)] > level) {
        first = i;
        break;
      }
    if (first < 0) return 0;
    // Back to the last zero crossing of the record before the energy rises.
    for (int32_t i = first; i > 0; --i)
      if ((X[i] - mean) * (X[i - 1] - mean) <= 0) return i + 1;
    return first + 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

}  // extern "C"
