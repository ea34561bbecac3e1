// Ground-motion measures beyond the peaks: root-mean-square values, characteristic intensity,
// specific energy density, thresholded CAV, spectrum intensities, sustained peaks, effective
// design acceleration, A95, predominant and mean periods, bracketed and uniform durations, the
// time of a peak, the absolute velocity response and JMA's long-period ground-motion class.
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <new>
#include <vector>

#include "internal.h"
#include "sismcalc.h"

namespace {

using sismcalc::detail::kTwoPi;

constexpr double kGravity = 980.665;  // cm/s/s

bool SeriesOk(int32_t n, float dt) {
  return n >= 2 && dt > 0.0f && std::isfinite(dt);
}

// Integral of |a| over the part of the step from a0 to a1 (unit length) where |a| >= thr,
// the acceleration linear over the step.
double AbsAboveStep(double a0, double a1, double thr) {
  double sum = 0;
  for (double sign : {1.0, -1.0}) {
    const double p = sign * a0, q = sign * a1;  // the part of sign * a at or above thr
    if (p < thr && q < thr) continue;
    double s0 = 0, s1 = 1;
    if (p != q) {
      const double s = (thr - p) / (q - p);  // where sign * a crosses thr
      if (p < thr) s0 = s;
      if (q < thr) s1 = s;
    }
    const double lo = p + (q - p) * s0, hi = p + (q - p) * s1;
    sum += (lo + hi) / 2 * (s1 - s0);
  }
  return sum;
}

float Rms(int32_t i1, int32_t i2, const float* x) {
  double sum = 0;
  for (int32_t i = i1 - 1; i < i2; ++i) sum += double{x[i]} * x[i];
  return static_cast<float>(std::sqrt(sum / (i2 - i1 + 1)));
}

// The 1-based samples inside the Husid window between fractions f1 and f2; false without motion.
bool HusidWindow(int32_t n, const float* acc, double f1, double f2, int32_t& i1, int32_t& i2, double& steps) {
  const std::vector<double> cum = sismcalc::detail::CumulativeSquare(n, acc);
  const double total = cum.back();
  if (!(total > 0) || !std::isfinite(total)) return false;
  const double t1 = sismcalc::detail::CrossingStep(cum, f1 * total);
  const double t2 = sismcalc::detail::CrossingStep(cum, f2 * total);
  i1 = static_cast<int32_t>(std::ceil(t1)) + 1;
  i2 = std::max(static_cast<int32_t>(std::floor(t2)) + 1, i1);
  steps = t2 - t1;
  return true;
}

// Periods of SPECMEAS: 0.02-0.08 s by 0.02 s, 0.1-0.5 s by 0.025 s, 0.55-2.5 s by 0.05 s and
// 2.6-4 s by 0.1 s; the integrals run over the band from 0.1 s.
constexpr int32_t kShortCount = 4, kAsiCount = 17, kBandCount = kAsiCount + 40, kLongCount = 15;
constexpr int32_t kSpecMeasCount = kShortCount + kBandCount + kLongCount;

std::vector<float> SpecMeasPeriods() {
  std::vector<float> t;
  for (int32_t k = 1; k <= 4; ++k) t.push_back(static_cast<float>(0.02 * k));
  for (int32_t k = 0; k < kAsiCount; ++k) t.push_back(static_cast<float>(0.1 + 0.025 * k));
  for (int32_t k = 1; k < kBandCount - kAsiCount + 1; ++k) t.push_back(static_cast<float>(0.5 + 0.05 * k));
  for (int32_t k = 1; k <= kLongCount; ++k) t.push_back(static_cast<float>(2.5 + 0.1 * k));
  return t;
}

// Peaks of the absolute velocity v + vg of oscillators at circular frequencies w[0..count) run
// side by side through the samples (the Nigam-Jennings step, at rest at the first sample).
constexpr int kLanes = 8;
SISMCALC_VECTOR_CLONES void AbsoluteVelocityPeaks(int count, const double* w, double h, int32_t n, double dt,
                                                  const float* acc, const double* vg, double* out) {
  double a11[kLanes], a12[kLanes], a21[kLanes], a22[kLanes], b11[kLanes], b12[kLanes], b21[kLanes], b22[kLanes];
  for (int j = 0; j < kLanes; ++j) {
    const auto c = sismcalc::detail::NigjenCoefficients(w[std::min(j, count - 1)], h, dt);
    a11[j] = c.a11, a12[j] = c.a12, a21[j] = c.a21, a22[j] = c.a22;
    b11[j] = c.b11, b12[j] = c.b12, b21[j] = c.b21, b22[j] = c.b22;
  }
  double d[kLanes] = {}, v[kLanes] = {}, peak[kLanes];
  for (int j = 0; j < kLanes; ++j) peak[j] = std::fabs(vg[0]);
  for (int32_t i = 0; i + 1 < n; ++i) {
    const double lo = acc[i], hi = acc[i + 1], g = vg[i + 1];
    for (int j = 0; j < kLanes; ++j) {
      const double dn = a11[j] * d[j] + a12[j] * v[j] + b11[j] * lo + b12[j] * hi;
      const double vn = a21[j] * d[j] + a22[j] * v[j] + b21[j] * lo + b22[j] * hi;
      d[j] = dn;
      v[j] = vn;
      peak[j] = std::max(peak[j], std::fabs(vn + g));
    }
  }
  for (int j = 0; j < count; ++j) out[j] = peak[j];
}

bool AbsoluteVelocitySpectrum(int32_t np, const float* prd, double h, int32_t n, double dt, const float* acc,
                              const float* vel, float* sva) {
  std::vector<double> vg(static_cast<std::size_t>(n));
  if (vel) {
    for (int32_t i = 0; i < n; ++i) vg[i] = vel[i];
  } else {
    vg[0] = 0;
    for (int32_t i = 0; i + 1 < n; ++i) vg[i + 1] = vg[i] + (double{acc[i]} + acc[i + 1]) / 2 * dt;
  }
  double w[kLanes], peak[kLanes];
  int32_t idx[kLanes];
  int count = 0;
  double groundPeak = 0;
  for (int32_t i = 0; i < n; ++i) groundPeak = std::max(groundPeak, std::fabs(vg[i]));
  auto flush = [&] {
    if (count == 0) return;
    AbsoluteVelocityPeaks(count, w, h, n, dt, acc, vg.data(), peak);
    for (int j = 0; j < count; ++j) sva[idx[j]] = static_cast<float>(peak[j]);
    count = 0;
  };
  for (int32_t k = 0; k < np; ++k) {
    if (!(prd[k] > 0)) {
      sva[k] = static_cast<float>(groundPeak);  // a rigid oscillator moves with the ground
      continue;
    }
    w[count] = kTwoPi / prd[k];
    idx[count++] = k;
    if (count == kLanes) flush();
  }
  flush();
  return true;
}

}  // namespace

extern "C" {

SISMCALC_API float RMSAT(const int32_t* I1, const int32_t* I2, const float* X) {
  const int32_t i1 = *I1, i2 = *I2;
  if (i1 < 1 || i2 < i1) return 0.0f;
  return Rms(i1, i2, X);
}

SISMCALC_API int32_t SIGWIN(const int32_t* N, const float* ACC, const float* F1, const float* F2, int32_t* I1,
                            int32_t* I2) {
  const int32_t n = *N;
  const float f1 = *F1, f2 = *F2;
  if (n < 2 || !(f1 >= 0.0f && f1 < f2 && f2 <= 1.0f)) return 0;
  try {
    int32_t i1 = 0, i2 = 0;
    double steps = 0;
    if (!HusidWindow(n, ACC, f1, f2, i1, i2, steps)) return 0;
    *I1 = i1;
    *I2 = std::min(i2, n);
    return 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

SISMCALC_API float CHARINT(const int32_t* N, const float* DT, const float* ACC) {
  const int32_t n = *N;
  const float dt = *DT;
  if (!SeriesOk(n, dt)) return 0.0f;
  try {
    int32_t i1 = 0, i2 = 0;
    double steps = 0;
    if (!HusidWindow(n, ACC, 0.05, 0.95, i1, i2, steps)) return 0.0f;
    const double rms = Rms(i1, std::min(i2, n), ACC);
    return static_cast<float>(std::pow(rms, 1.5) * std::sqrt(std::max(steps * dt, 0.0)));
  } catch (const std::bad_alloc&) {
    return 0.0f;
  }
}

SISMCALC_API float SEDENS(const int32_t* N, const float* DT, const float* VEL) {
  const int32_t n = *N;
  const float dt = *DT;
  if (!SeriesOk(n, dt)) return 0.0f;
  double sum = 0;
  for (int32_t i = 0; i + 1 < n; ++i) sum += (double{VEL[i]} * VEL[i] + double{VEL[i + 1]} * VEL[i + 1]) / 2;
  return static_cast<float>(sum * dt);
}

SISMCALC_API float CAVTHR(const int32_t* N, const float* DT, const float* ACC, const float* THR) {
  const int32_t n = *N;
  const float dt = *DT, thr = *THR;
  if (!SeriesOk(n, dt) || !(thr >= 0.0f) || !std::isfinite(thr)) return 0.0f;
  double sum = 0;
  for (int32_t i = 0; i + 1 < n; ++i) sum += AbsAboveStep(ACC[i], ACC[i + 1], thr);
  return static_cast<float>(sum * dt);
}

SISMCALC_API float CAVSTD(const int32_t* N, const float* DT, const float* ACC) {
  const int32_t n = *N;
  const float dt = *DT;
  if (!SeriesOk(n, dt)) return 0.0f;
  const double level = 0.025 * kGravity;
  double total = 0, window = 0, peak = 0;
  int64_t current = 0;
  for (int32_t i = 0; i + 1 < n; ++i) {
    // Step i, from sample i to i + 1, belongs to the second its middle falls in.
    const auto second = static_cast<int64_t>(std::floor((i + 0.5) * double{dt}));
    if (second != current) {
      if (peak >= level) total += window;
      window = peak = 0;
      current = second;
    }
    window += AbsAboveStep(ACC[i], ACC[i + 1], 0.0);
    peak = std::max({peak, std::fabs(double{ACC[i]}), std::fabs(double{ACC[i + 1]})});
  }
  if (peak >= level) total += window;
  return static_cast<float>(total * dt);
}

SISMCALC_API int32_t SPECMEAS(const float* H, const int32_t* N, const float* DT, const float* ACC, float* ASI,
                              float* VSI, float* HI, float* TP) {
  const int32_t n = *N;
  const float h = *H, dt = *DT;
  if (!SeriesOk(n, dt) || !(h >= 0.0f && h < 1.0f)) return 0;
  try {
    const std::vector<float> t = SpecMeasPeriods();
    std::vector<float> sd(t.size()), sv(t.size()), sa(t.size());
    int32_t np = kSpecMeasCount;
    if (RESPEC(&np, t.data(), &h, &n, &dt, ACC, sd.data(), sv.data(), sa.data()) != 1) return 0;
    double asi = 0, vsi = 0, hi = 0;
    for (int32_t k = kShortCount + 1; k < kShortCount + kBandCount; ++k) {
      const double step = double{t[k]} - t[k - 1];
      const double psv1 = kTwoPi / t[k] * sd[k], psv0 = kTwoPi / t[k - 1] * sd[k - 1];
      if (k < kShortCount + kAsiCount) asi += (double{sa[k]} + sa[k - 1]) / 2 * step;
      vsi += (double{sv[k]} + sv[k - 1]) / 2 * step;
      hi += (psv1 + psv0) / 2 * step;
    }
    int32_t best = 0;
    for (int32_t k = 1; k < kSpecMeasCount; ++k)
      if (sa[k] > sa[best]) best = k;
    *ASI = static_cast<float>(asi);
    *VSI = static_cast<float>(vsi);
    *HI = static_cast<float>(hi);
    *TP = sa[best] > 0 ? t[best] : 0.0f;
    return 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

SISMCALC_API float SUSTMAX(const int32_t* N, const float* X) {
  const int32_t n = *N;
  if (n < 1) return 0.0f;
  // The largest magnitude of each half cycle (a run of samples of one sign); zeros end nothing.
  float top[3] = {0, 0, 0};
  int32_t found = 0;
  float run = 0;
  int sign = 0;
  auto close = [&] {
    if (sign == 0) return;
    ++found;
    if (run > top[2]) {
      top[2] = run;
      if (top[2] > top[1]) std::swap(top[1], top[2]);
      if (top[1] > top[0]) std::swap(top[0], top[1]);
    }
  };
  for (int32_t i = 0; i < n; ++i) {
    const float x = X[i];
    const int s = x > 0 ? 1 : (x < 0 ? -1 : 0);
    if (s == 0) continue;
    if (s != sign) {
      close();
      sign = s;
      run = 0;
    }
    run = std::max(run, std::fabs(x));
  }
  close();
  return found >= 3 ? top[2] : 0.0f;
}

SISMCALC_API float EDA(const int32_t* N, const float* DT, const float* ACC, const float* FC) {
  const int32_t n = *N;
  const float dt = *DT, fc = *FC;
  const int32_t p = sismcalc::detail::PaddedLength(n);
  if (!SeriesOk(n, dt) || p == 0 || !(fc > 0.0f) || !std::isfinite(fc)) return 0.0f;
  try {
    sismcalc::detail::RealTransform transform(p, p);
    double* y = transform.Scratch();
    transform.Forward(ACC, n);
    const double df = 1.0 / (double{dt} * p);
    double* re = transform.Re();
    double* im = transform.Im();
    // Zero-phase, with the gain of a fourth-order Butterworth low-pass.
    auto gain = [&](double f) { return 1.0 / std::sqrt(1.0 + std::pow(f / fc, 8)); };
    for (int32_t k = 1; k < p / 2; ++k) {
      const double g = gain(k * df);
      re[k] *= g;
      im[k] *= g;
    }
    transform.Nyquist() *= gain(p / 2 * df);
    transform.Inverse(y);
    double peak = 0;
    for (int32_t i = 0; i < n; ++i) peak = std::max(peak, std::fabs(y[i]));
    return static_cast<float>(peak / p);
  } catch (const std::bad_alloc&) {
    return 0.0f;
  }
}

SISMCALC_API float A95(const int32_t* N, const float* ACC) {
  const int32_t n = *N;
  if (n < 1) return 0.0f;
  try {
    std::vector<double> sq(static_cast<std::size_t>(n));
    double total = 0;
    for (int32_t i = 0; i < n; ++i) total += sq[i] = double{ACC[i]} * ACC[i];
    if (!(total > 0) || !std::isfinite(total)) return 0.0f;
    // The smallest a^2 whose samples at or below it hold 95 % of the sum: a weighted
    // selection, partitioning around a middle element as a sort would, in linear time.
    double need = 0.95 * total;
    auto lo = sq.begin(), hi = sq.end();
    while (hi - lo > 1) {
      const auto mid = lo + (hi - lo) / 2;
      std::nth_element(lo, mid, hi);
      double below = 0;
      for (auto it = lo; it != mid; ++it) below += *it;
      if (below >= need) {
        hi = mid;
      } else if (below + *mid >= need) {
        return static_cast<float>(std::sqrt(*mid));
      } else {
        need -= below + *mid;
        lo = mid + 1;
      }
    }
    return static_cast<float>(std::sqrt(lo != sq.end() ? *lo : sq.back()));
  } catch (const std::bad_alloc&) {
    return 0.0f;
  }
}

SISMCALC_API float MEANPRD(const int32_t* N, const float* DT, const float* ACC) {
  const int32_t n = *N;
  const float dt = *DT;
  const int32_t p = sismcalc::detail::PaddedLength(n);
  if (!SeriesOk(n, dt) || p == 0) return 0.0f;
  try {
    sismcalc::detail::RealTransform transform(p);
    transform.Forward(ACC, n);
    const double df = 1.0 / (double{dt} * p);
    const double* re = transform.Re();
    const double* im = transform.Im();
    double num = 0, den = 0;
    for (int32_t k = 1; k <= p / 2; ++k) {
      const double f = k * df;
      if (f < 0.25 || f > 20.0) continue;
      const double c2 = k < p / 2 ? re[k] * re[k] + im[k] * im[k] : transform.Nyquist() * transform.Nyquist();
      num += c2 / f;
      den += c2;
    }
    return den > 0 && std::isfinite(num / den) ? static_cast<float>(num / den) : 0.0f;
  } catch (const std::bad_alloc&) {
    return 0.0f;
  }
}

SISMCALC_API float BRACKDUR(const int32_t* N, const float* DT, const float* ACC, const float* LEVEL) {
  const int32_t n = *N;
  const float dt = *DT, level = *LEVEL;
  if (!SeriesOk(n, dt) || !(level > 0.0f)) return 0.0f;
  int32_t first = -1, last = -1;
  for (int32_t i = 0; i < n; ++i)
    if (std::fabs(ACC[i]) >= level) {
      if (first < 0) first = i;
      last = i;
    }
  return first < 0 ? 0.0f : static_cast<float>((last - first) * double{dt});
}

SISMCALC_API float UNIFDUR(const int32_t* N, const float* DT, const float* ACC, const float* LEVEL) {
  const int32_t n = *N;
  const float dt = *DT, level = *LEVEL;
  if (!SeriesOk(n, dt) || !(level > 0.0f)) return 0.0f;
  int64_t count = 0;
  for (int32_t i = 0; i < n; ++i) count += std::fabs(ACC[i]) >= level;
  return static_cast<float>(static_cast<double>(count) * dt);
}

SISMCALC_API float PEAKTIME(const int32_t* N, const float* DT, const float* X) {
  const int32_t n = *N;
  if (n < 1 || !(*DT > 0.0f)) return 0.0f;
  int32_t at = 0;
  for (int32_t i = 1; i < n; ++i)
    if (std::fabs(X[i]) > std::fabs(X[at])) at = i;
  return static_cast<float>(at * double{*DT});
}

SISMCALC_API int32_t SVASPEC(const int32_t* NP, const float* PRD, const float* H, const int32_t* N,
                             const float* DT, const float* ACC, const float* VEL, float* SVA) {
  const int32_t np = *NP, n = *N;
  const float h = *H, dt = *DT;
  if (!SeriesOk(n, dt) || np < 1 || !(h >= 0.0f && h < 1.0f)) return 0;
  try {
    return AbsoluteVelocitySpectrum(np, PRD, h, n, dt, ACC, VEL, SVA) ? 1 : 0;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

SISMCALC_API int32_t LPGMCLASS(const int32_t* N, const float* DT, const float* X, const float* Y, const float* VX,
                               const float* VY, float* SVAMAX, int32_t* CLASS) {
  const int32_t n = *N;
  const float dt = *DT;
  if (!SeriesOk(n, dt)) return 0;
  float prd[32];
  for (int k = 0; k < 32; ++k) prd[k] = static_cast<float>(1.6 + 0.2 * k);
  float sx[32], sy[32];
  int32_t np = 32;
  const float h = 0.05f;
  if (SVASPEC(&np, prd, &h, N, DT, X, VX, sx) != 1 || SVASPEC(&np, prd, &h, N, DT, Y, VY, sy) != 1) return 0;
  float peak = 0;
  for (int k = 0; k < 32; ++k) peak = std::max({peak, sx[k], sy[k]});
  // JMA's limits in cm/s: class 1 from 5, 2 from 15, 3 from 50, 4 from 100.
  *SVAMAX = peak;
  *CLASS = peak >= 100 ? 4 : peak >= 50 ? 3 : peak >= 15 ? 2 : peak >= 5 ? 1 : 0;
  return 1;
}

}  // extern "C"
