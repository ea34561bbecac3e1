// Signal-to-noise ratio of a record on a frequency grid, and the band where it is high enough.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <vector>

#include "internal.h"
#include "sismcalc.h"

namespace {

// Fourier amplitude (continuous transform: coefficients times P dt) of x[i1..i2] less its mean,
// with 5 % cosine tapers at both ends, zero-padded to the transform's length.
void WindowAmplitude(const float* x, int32_t i1, int32_t i2, double dt, sismcalc::detail::RealTransform& t,
                     std::vector<float>& amp) {
  const int32_t m = i2 - i1 + 1;
  std::vector<double> w(static_cast<size_t>(m));
  double mean = 0;
  for (int32_t i = 0; i < m; ++i) mean += x[i1 + i];
  mean /= m;
  const int32_t nt = std::max(1, m / 20);
  for (int32_t i = 0; i < m; ++i) {
    double g = 1;
    const int32_t edge = std::min(i, m - 1 - i);
    if (edge < nt) g = 0.5 * (1 - std::cos(sismcalc::detail::kPi * (edge + 0.5) / nt));
    w[static_cast<size_t>(i)] = (x[i1 + i] - mean) * g;
  }
  t.Forward(w.data(), m);
  const int32_t nh = t.Length() / 2;
  const double scale = dt;
  amp.resize(static_cast<size_t>(nh));
  for (int32_t k = 0; k < nh; ++k)
    amp[static_cast<size_t>(k)] = static_cast<float>(std::hypot(t.Re()[k], t.Im()[k]) * scale);
}

// The log frequency where the line between (la, sa) and (lb, sb) meets thr.
double Crossing(double la, double sa, double lb, double sb, double thr) {
  if (sa == sb) return la;
  return la + (thr - sa) * (lb - la) / (sb - sa);
}

}  // namespace

extern "C" {

SISMCALC_API int32_t SNRSPEC(const int32_t* N, const float* DT, const float* X, const int32_t* N1, const int32_t* N2,
                             const int32_t* S1, const int32_t* S2, const float* B, const int32_t* NO,
                             const float* FO, float* SIG, float* NOI, float* SNR) {
  const int32_t n = *N, n1 = *N1, n2 = *N2, s1 = *S1, s2 = *S2, no = *NO;
  const float dt = *DT;
  if (n < 4 || no < 1 || !(dt > 0) || !std::isfinite(dt) || n1 < 1 || n2 > n || n2 - n1 < 1 || s1 < 1 || s2 > n ||
      s2 - s1 < 1 || !(*B > 0))
    return 0;
  try {
    const int32_t ln = n2 - n1 + 1, ls = s2 - s1 + 1;
    // Both windows on the bins of the longer one, so that the spectra share their frequencies.
    const int32_t p = sismcalc::detail::PaddedLength(std::max(ln, ls));
    if (p == 0) return 0;
    sismcalc::detail::RealTransform t(p);
    std::vector<float> sig, noi;
    WindowAmplitude(X, s1 - 1, s2 - 1, dt, t, sig);
    WindowAmplitude(X, n1 - 1, n2 - 1, dt, t, noi);
    // Stationary noise grows in amplitude with the square root of its duration.
    const double scale = std::sqrt(static_cast<double>(ls) / ln);
    for (float& v : noi) v = static_cast<float>(v * scale);
    const int32_t nh = p / 2;
    const auto df = static_cast<float>(1.0 / (double{dt} * p));
    const float* spectra[2] = {sig.data(), noi.data()};
    float* smoothed[2] = {SIG, NOI};
    if (sismcalc::detail::KonnoSmooth(nh, df, *B, 2, spectra, no, FO, smoothed) != 1) return 0;
    for (int32_t k = 0; k < no; ++k) {
      const double s = SIG[k], z = NOI[k];
      SNR[k] = z > 0 ? static_cast<float>(std::min(s / z, 1e30)) : (s > 0 ? 1e30f : 0.0f);
    }
    return 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

SISMCALC_API int32_t SNRBAND(const int32_t* NO, const float* FO, const float* SNR, const float* THR,
                             const float* FMIN, const float* FMAX, float* FHP, float* FLP) {
  const int32_t no = *NO;
  const double thr = *THR, fmin = *FMIN, fmax = *FMAX;
  if (no < 2 || !(thr > 0) || !(fmax > fmin) || !(fmin > 0)) return 0;
  for (int32_t k = 1; k < no; ++k)
    if (!(FO[k] > FO[k - 1]) || !(FO[k - 1] > 0)) return 0;
  // The run of grid points at or above the threshold that spans the most decades inside the band.
  int32_t bestLo = -1, bestHi = -1;
  double bestSpan = -1;
  for (int32_t k = 0; k < no;) {
    if (FO[k] < fmin || FO[k] > fmax || !(SNR[k] >= thr)) {
      ++k;
      continue;
    }
    int32_t j = k;
    while (j + 1 < no && FO[j + 1] <= fmax && SNR[j + 1] >= thr) ++j;
    const double span = std::log10(double{FO[j]} / FO[k]);
    if (span > bestSpan) {
      bestSpan = span;
      bestLo = k;
      bestHi = j;
    }
    k = j + 1;
  }
  if (bestLo < 0) return 0;
  // The ends where the ratio crosses the threshold, between grid points, kept inside the band.
  double lo = std::log10(double{FO[bestLo]}), hi = std::log10(double{FO[bestHi]});
  if (bestLo > 0 && FO[bestLo - 1] >= fmin)
    lo = Crossing(std::log10(double{FO[bestLo - 1]}), SNR[bestLo - 1], lo, SNR[bestLo], thr);
  if (bestHi + 1 < no && FO[bestHi + 1] <= fmax)
    hi = Crossing(hi, SNR[bestHi], std::log10(double{FO[bestHi + 1]}), SNR[bestHi + 1], thr);
  *FHP = static_cast<float>(std::max(std::pow(10.0, lo), fmin));
  *FLP = static_cast<float>(std::min(std::pow(10.0, hi), fmax));
  return 1;
}

}  // extern "C"
