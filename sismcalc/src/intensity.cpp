// JMA instrumental seismic intensity: frequency weighting of the three components, the level
// that the vector length reaches for 0.3 s in total, and the largest value over 10-second windows.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <vector>

#include "internal.h"
#include "sismcalc.h"

namespace {

using sismcalc::detail::FILTHC;
using sismcalc::detail::FILTLC;
using sismcalc::detail::kPi;
using sismcalc::detail::PaddedLength;
using sismcalc::detail::RealTransform;

constexpr double kTargetTime = 0.3;  // seconds at or above the level
constexpr double kTolerance = 0.001;
constexpr int kMaxSteps = 100;

// Scratch of one call, kept over the windows of SIJMA10.
struct Work {
  std::unique_ptr<RealTransform> transform;
  std::vector<double> gain;  // bins 0..p/2
  std::vector<double> filtered;
  std::vector<double> length;  // vector length per sample, then the largest sorted first
};

// Low cut at 0.5 Hz, high cut at 10 Hz and the period-effect weighting 1/sqrt(f); 0 at DC and
// at the Nyquist frequency.
void BuildGain(int32_t p, double dt, std::vector<double>& gain) {
  const int32_t nh = p / 2;
  const double df = (1.0 / dt) / p;
  gain.assign(nh + 1, 0.0);
  for (int32_t k = 1; k < nh; ++k) {
    const double f = k * df;
    // Above about 1.7 Hz the low cut is exactly 1 in double precision: exp(-40) is below half
    // an ulp of 1. Leaving it out there saves an exponential per bin with the same gain.
    const double r = f / 0.5;
    const double lowCut = r * r * r > 40.0 ? 1.0 : FILTLC(0.5, f);
    gain[k] = lowCut * FILTHC(10.0, f) * std::sqrt(1.0 / f);
  }
}

bool TooLong(int64_t c, double dt) {
  const double t = static_cast<double>(c) * dt;
  return !(std::fabs(t - kTargetTime) <= kTolerance) && t > kTargetTime;
}

// The least count of samples whose duration exceeds the target by more than the tolerance; any
// larger count does too, as c * dt grows with c.
int32_t LeastCountTooLong(double dt) {
  const double guess = std::floor((kTargetTime + kTolerance) / dt);
  int64_t c = guess > 0.0 ? static_cast<int64_t>(std::min(guess, 2e9)) : 0;
  while (c > 0 && TooLong(c - 1, dt)) --c;
  while (!TooLong(c, dt)) ++c;
  return static_cast<int32_t>(std::min<int64_t>(c, INT32_MAX));
}

// The intensity of one stretch of n >= 1 samples at step dt > 0.
float Intensity(int32_t n, double dt, const float* const comp[3], Work& w) {
  const int32_t p = PaddedLength(n);
  const int32_t nh = p / 2;
  if (!w.transform || w.transform->Length() != p) {
    w.transform = std::make_unique<RealTransform>(p);
    BuildGain(p, dt, w.gain);
    w.filtered.resize(p);
  }
  w.length.assign(n, 0.0);
  for (int c = 0; c < 3; ++c) {
    // The spectrum is weighted where the transform holds it.
    RealTransform& t = *w.transform;
    t.Forward(comp[c], n);
    double* re = t.Re();
    double* im = t.Im();
    const double* gain = w.gain.data();
    for (int32_t k = 0; k < nh; ++k) re[k] *= gain[k], im[k] *= gain[k];
    t.Nyquist() *= gain[nh];
    t.Inverse(w.filtered.data());
    for (int32_t i = 0; i < n; ++i) {
      const double x = w.filtered[i] / p;
      w.length[i] += x * x;
    }
  }
  double vmax = 0.0;
  for (double& v : w.length) {
    v = std::sqrt(v);
    if (!std::isfinite(v)) return 0.0f;  // a sample that is not a number has no intensity
    vmax = std::max(vmax, v);
  }
  if (!(vmax > 0.0)) return 0.0f;

  // Bisection for the level reached by 0.3 s of samples. A count of `enough` samples or more
  // is too long by more than the tolerance, however many more there are, so only the largest
  // `enough` lengths decide the search: they are selected and sorted, the rest left unordered.
  const int32_t enough = std::min<int32_t>(n, LeastCountTooLong(dt));
  const auto top = w.length.begin() + enough;
  std::nth_element(w.length.begin(), top - 1, w.length.end(), std::greater<double>());
  std::sort(w.length.begin(), top, std::greater<double>());
  double lo = 0.0, hi = vmax, a = 0.0;
  for (int step = 0; step < kMaxSteps; ++step) {
    a = lo + (hi - lo) / 2;
    // Samples at or above a, counted up to `enough`.
    const auto above = std::lower_bound(w.length.begin(), top, a, std::greater_equal<double>()) - w.length.begin();
    const double t = static_cast<double>(above) * dt;
    if (std::fabs(t - kTargetTime) <= kTolerance) break;
    if (t > kTargetTime)
      lo = a;
    else
      hi = a;
  }
  const double intensity = 2.0 * std::log10(a) + 0.94;
  return intensity < 0.0 ? 0.0f : static_cast<float>(intensity);
}

}  // namespace

extern "C" {

SISMCALC_API float SIJMA(const int32_t* N, const float* DT, const float* X, const float* Y, const float* Z) {
  const int32_t n = *N;
  const float dt = *DT;
  if (n < 1 || !(dt > 0.0f) || n > (1 << 30)) return 0.0f;
  try {
    Work w;
    const float* comp[3] = {X, Y, Z};
    return Intensity(n, dt, comp, w);
  } catch (const std::bad_alloc&) {
    return 0.0f;
  }
}

SISMCALC_API float SIJMA10(const int32_t* N, const float* DT, const float* X, const float* Y,
                           const float* Z) {
  const int32_t n = *N;
  const float dt = *DT;
  if (n < 1 || !(dt > 0.0f)) return 0.0f;
  // Taper and window step in samples; a record shorter than one step has no window.
  const double steps = 10.0 / dt + 0.001;
  if (steps >= n + 1.0 || steps < 1.0) return 0.0f;
  const int32_t l10 = static_cast<int32_t>(steps);
  const int32_t l1 = static_cast<int32_t>(1.0 / dt + 0.001);
  const int32_t m = 2 * l1 + l10;
  if (m > (1 << 30)) return 0.0f;
  const int32_t q = PaddedLength(m);
  const int32_t windows = n / l10;
  try {
    // Falling taper: taper[j - 1] = T(j), j = 1..l1, from just below 1 down to 0.
    std::vector<double> taper(l1);
    for (int32_t j = 1; j <= l1; ++j) taper[j - 1] = 0.5 + 0.5 * std::cos(kPi * j / l1);
    std::vector<float> win[3];
    for (auto& v : win) v.assign(q, 0.0f);
    const float* src[3] = {X, Y, Z};
    const float* comp[3] = {win[0].data(), win[1].data(), win[2].data()};
    Work w;
    float best = 0.0f;
    for (int32_t s = 0; s < windows; ++s) {
      // Window position q (1-based) holds source sample r0 + q.
      const int64_t r0 = int64_t{s} * l10 - l1;
      for (int c = 0; c < 3; ++c) {
        float* out = win[c].data();
        const float* x = src[c];
        for (int32_t pos = 1; pos <= l1; ++pos) {
          const int64_t r = r0 + pos;
          out[pos - 1] = r < 1 ? 0.0f : static_cast<float>(x[r - 1] * taper[l1 - pos]);
        }
        for (int32_t pos = l1 + 1; pos <= l1 + l10; ++pos) out[pos - 1] = x[r0 + pos - 1];
        for (int32_t pos = l1 + l10 + 1; pos <= m; ++pos) {
          const int64_t r = r0 + pos;
          out[pos - 1] = r > n ? 0.0f : static_cast<float>(x[r - 1] * taper[pos - l1 - l10 - 1]);
        }
      }
      // The whole padded window takes part in the 0.3 s count.
      best = std::max(best, Intensity(q, dt, comp, w));
    }
    return best;
  } catch (const std::bad_alloc&) {
    return 0.0f;
  }
}

}  // extern "C"
