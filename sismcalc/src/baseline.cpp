// Polynomial baselines of displacement, the residual ratio of the fit, and the search for the
// lowest high-pass corner whose displacement meets that ratio.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <new>
#include <utility>
#include <vector>

#include "internal.h"
#include "sismcalc.h"

namespace {

using sismcalc::detail::ButterworthPad;
using sismcalc::detail::ButterworthSections;
using sismcalc::detail::RunSections;

constexpr int32_t kMaxDegree = 10;

// Velocity and displacement of a from rest by the trapezoid rule; d[0..n).
void Displacement(const double* a, int32_t n, double dt, std::vector<double>& d) {
  d.assign(static_cast<size_t>(n), 0.0);
  double v = 0, x = 0;
  for (int32_t i = 1; i < n; ++i) {
    const double vn = v + 0.5 * dt * (a[i - 1] + a[i]);
    x += 0.5 * dt * (v + vn);
    v = vn;
    d[static_cast<size_t>(i)] = x;
  }
}

// Least-squares fits of sum c_k u^k, k = 2..deg, u = i/(n-1) (no constant or linear term) to
// series of n samples. The normal matrix depends on n and deg only: it is factored once
// (Cholesky) for every series fitted.
class PolyFit {
 public:
  PolyFit(int32_t n, int32_t deg) : n_(n), deg_(deg), m_(deg - 1) {
    double pw[2 * kMaxDegree + 1];
    for (int32_t i = 0; i < n; ++i) {
      const double u = static_cast<double>(i) / (n - 1);
      pw[0] = 1;
      for (int32_t k = 1; k <= 2 * deg; ++k) pw[k] = pw[k - 1] * u;
      for (int32_t r = 0; r < m_; ++r)
        for (int32_t q = 0; q <= r; ++q) l_[r][q] += pw[r + q + 4];
    }
    for (int32_t r = 0; r < m_ && ok_; ++r) {
      for (int32_t q = 0; q <= r; ++q) {
        double v = l_[r][q];
        for (int32_t k = 0; k < q; ++k) v -= l_[r][k] * l_[q][k];
        if (q == r) {
          if (!(v > 1e-300)) ok_ = false;
          l_[r][r] = std::sqrt(std::max(v, 1e-300));
        } else {
          l_[r][q] = v / l_[q][q];
        }
      }
    }
  }
  bool Ok() const { return ok_; }
  // c[2..deg] of the fit to d[0..n).
  bool Solve(const std::vector<double>& d, double* c) const {
    double y[kMaxDegree] = {};
    for (int32_t i = 0; i < n_; ++i) {
      const double u = static_cast<double>(i) / (n_ - 1);
      double p = u * u * d[static_cast<size_t>(i)];
      for (int32_t r = 0; r < m_; ++r, p *= u) y[r] += p;
    }
    for (int32_t r = 0; r < m_; ++r) {
      for (int32_t k = 0; k < r; ++k) y[r] -= l_[r][k] * y[k];
      y[r] /= l_[r][r];
    }
    for (int32_t r = m_ - 1; r >= 0; --r) {
      for (int32_t k = r + 1; k < m_; ++k) y[r] -= l_[k][r] * y[k];
      y[r] /= l_[r][r];
    }
    for (int32_t r = 0; r < m_; ++r) c[r + 2] = y[r];
    return ok_ && std::all_of(c + 2, c + deg_ + 1, [](double v) { return std::isfinite(v); });
  }

 private:
  int32_t n_, deg_, m_;
  double l_[kMaxDegree][kMaxDegree] = {};
  bool ok_ = true;
};

double FitAt(const double* c, int32_t deg, double u) {
  double y = 0;
  for (int32_t k = deg; k >= 2; --k) y = (y + c[k]) * u;
  return y * u;
}

// max |fit| / max |d|, 0 when the record does not move, -1 when the fit fails.
double ResidualRatio(const PolyFit& fit, const std::vector<double>& d, int32_t deg) {
  double c[kMaxDegree + 1] = {};
  const auto n = static_cast<int32_t>(d.size());
  if (!fit.Solve(d, c)) return -1;
  double dmax = 0, fmax = 0;
  for (int32_t i = 0; i < n; ++i) {
    dmax = std::max(dmax, std::fabs(d[static_cast<size_t>(i)]));
    fmax = std::max(fmax, std::fabs(FitAt(c, deg, static_cast<double>(i) / (n - 1))));
  }
  return dmax > 0 ? fmax / dmax : 0;
}

// The record as the processing filters it: less its mean, Hann tapers over the fraction `taper`
// at each end, the zero-phase Butterworth high-pass as BUTTER runs it with its pads, the pads
// removed. The low-pass leaves the displacement as it is and is left out. Zeros ahead of the
// record stay zeros through the forward pass, and the backward pass over them would only fill
// the pad that is removed: both passes start at the record.
struct Filtered {
  std::vector<double> y;
  bool Run(const float* x, int32_t n, double dt, double taper, double fl, int32_t order) {
    const int32_t pad = ButterworthPad(dt, fl, 0, order);
    if (pad < 0) return false;
    const int64_t total = int64_t{n} + pad;
    y.assign(static_cast<size_t>(total), 0.0);
    double mean = 0;
    for (int32_t i = 0; i < n; ++i) mean += x[i];
    mean /= n;
    const auto nt = static_cast<int32_t>(std::floor(taper * n));
    for (int32_t i = 0; i < n; ++i) {
      double g = 1;
      const int32_t edge = std::min(i, n - 1 - i);
      if (edge < nt) g = 0.5 * (1 - std::cos(sismcalc::detail::kPi * edge / nt));
      y[static_cast<size_t>(i)] = (x[i] - mean) * g;
    }
    const std::vector<sismcalc::detail::Section> s = ButterworthSections(order, fl, 0, dt);
    RunSections(s, y.data(), total, false);
    RunSections(s, y.data(), total, true);
    y.resize(static_cast<size_t>(n));
    return true;
  }
};

bool FilterArgs(double dt, double fl, int32_t order) {
  if (!(dt > 0) || !std::isfinite(dt) || order < 1 || order > sismcalc::detail::kMaxButterworthOrder) return false;
  return fl > 0 && std::isfinite(fl) && fl < 0.5 / dt;
}

bool BaselineArgs(int32_t n, int32_t deg, double dt) {
  return n >= deg + 2 && deg >= 2 && deg <= kMaxDegree && dt > 0 && std::isfinite(dt);
}

}  // namespace

extern "C" {

SISMCALC_API int32_t POLYBASE(const int32_t* N, const float* DT, float* ACC, const int32_t* DEG, float* COEF) {
  const int32_t n = *N, deg = *DEG;
  const double dt = *DT;
  if (!BaselineArgs(n, deg, dt)) return 0;
  try {
    std::vector<double> a(ACC, ACC + n), d;
    Displacement(a.data(), n, dt, d);
    double c[kMaxDegree + 1] = {};
    if (!PolyFit(n, deg).Solve(d, c)) return 0;
    // d2/dt2 of c_k u^k with u = t/T is k (k-1) c_k u^(k-2) / T^2.
    const double span = (n - 1) * dt;
    for (int32_t i = 0; i < n; ++i) {
      const double u = static_cast<double>(i) / (n - 1);
      double y = 0;
      for (int32_t k = deg; k >= 2; --k) y = y * u + k * (k - 1) * c[k];
      ACC[i] = static_cast<float>(a[static_cast<size_t>(i)] - y / (span * span));
    }
    if (COEF != nullptr)
      for (int32_t k = 2; k <= deg; ++k) COEF[k - 2] = static_cast<float>(c[k] / std::pow(span, k));
    return 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

SISMCALC_API float DISPRATIO(const int32_t* N, const float* DT, const float* ACC, const int32_t* DEG) {
  const int32_t n = *N, deg = *DEG;
  const double dt = *DT;
  if (!BaselineArgs(n, deg, dt)) return 0;
  try {
    std::vector<double> a(ACC, ACC + n), d;
    Displacement(a.data(), n, dt, d);
    return static_cast<float>(std::max(0.0, ResidualRatio(PolyFit(n, deg), d, deg)));
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

SISMCALC_API int32_t RIDDERFC(const int32_t* N, const float* DT, const float* ACC, const float* FC0,
                              const float* FCMAX, const int32_t* ORDER, const float* TAPER,
                              const int32_t* DEG, const float* TARGET, const float* TOL, const int32_t* MAXITER,
                              float* FC, float* RATIO) {
  const int32_t n = *N, order = *ORDER, deg = *DEG, maxIter = *MAXITER;
  const double dt = *DT, fc0 = *FC0, fcMax = *FCMAX, taper = *TAPER, target = *TARGET, tol = *TOL;
  if (!BaselineArgs(n, deg, dt) || maxIter < 1 || !(taper >= 0) || !(taper < 0.5) ||
      !(target > 0) || !(tol > 0) || !FilterArgs(dt, fc0, order) || !FilterArgs(dt, fcMax, order) ||
      fcMax < fc0)
    return 0;
  try {
    Filtered f;
    const PolyFit fit(n, deg);
    std::vector<double> d;
    bool ok = true;
    // The ratio less the target: <= 0 where the corner is high enough.
    auto excess = [&](double fc) {
      if (!f.Run(ACC, n, dt, taper, fc, order)) {
        ok = false;
        return 0.0;
      }
      Displacement(f.y.data(), n, dt, d);
      const double r = ResidualRatio(fit, d, deg);
      if (r < 0) ok = false;
      return r - target;
    };
    double lo = fc0, glo = excess(lo);
    if (!ok) return 0;
    if (glo <= 0) {
      *FC = static_cast<float>(lo);
      *RATIO = static_cast<float>(glo + target);
      return 1;
    }
    double hi = fcMax, ghi = excess(hi);
    if (!ok) return 0;
    if (ghi > 0) {
      *FC = static_cast<float>(hi);
      *RATIO = static_cast<float>(ghi + target);
      return -1;
    }
    // Ridders' method; the bracket's upper end always meets the target.
    for (int32_t it = 0; it < maxIter && hi - lo > tol; ++it) {
      const double mid = 0.5 * (lo + hi), gmid = excess(mid);
      if (!ok) return 0;
      const double s = std::sqrt(gmid * gmid - glo * ghi);
      double x = mid;
      if (s > 0) x = mid + (mid - lo) * (glo > ghi ? 1.0 : -1.0) * gmid / s;
      x = std::clamp(x, lo, hi);
      const double gx = (x == mid) ? gmid : excess(x);
      if (!ok) return 0;
      // The lowest pair of neighbouring points across which the excess changes sign.
      std::pair<double, double> pts[4] = {{lo, glo}, {mid, gmid}, {x, gx}, {hi, ghi}};
      std::sort(std::begin(pts), std::end(pts));
      for (int k = 0; k < 3; ++k)
        if (pts[k].second > 0 && pts[k + 1].second <= 0) {
          lo = pts[k].first, glo = pts[k].second;
          hi = pts[k + 1].first, ghi = pts[k + 1].second;
          break;
        }
    }
    *FC = static_cast<float>(hi);
    *RATIO = static_cast<float>(ghi + target);
    return 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

}  // extern "C"
