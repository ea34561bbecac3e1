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
  PolyFit(int32_t n, int32_t deg) : n_(n), deg_(deg), m_(deg - 1), u_(static_cast<size_t>(n)) {
    double pw[2 * kMaxDegree + 1];
    for (int32_t i = 0; i < n; ++i) {
      const double u = u_[static_cast<size_t>(i)] = static_cast<double>(i) / (n - 1);
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
  // The abscissae i / (n - 1), computed once.
  const std::vector<double>& U() const { return u_; }
  // c[2..deg] of the fit to d[0..n).
  bool Solve(const std::vector<double>& d, double* c) const {
    double y[kMaxDegree] = {};
    switch (m_) {  // the sums' count fixed, so that they stay in registers
      case 1: Moments<1>(d, y); break;
      case 2: Moments<2>(d, y); break;
      case 3: Moments<3>(d, y); break;
      case 4: Moments<4>(d, y); break;
      case 5: Moments<5>(d, y); break;
      case 6: Moments<6>(d, y); break;
      case 7: Moments<7>(d, y); break;
      case 8: Moments<8>(d, y); break;
      default: Moments<kMaxDegree - 1>(d, y); break;
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
  // y[r] = sum over i of u^(r+2) d[i], r < M, in the order of i.
  template <int M>
  void Moments(const std::vector<double>& d, double* y) const {
    double sum[M] = {};
    for (int32_t i = 0; i < n_; ++i) {
      const double u = u_[static_cast<size_t>(i)];
      double p = u * u * d[static_cast<size_t>(i)];
      for (int r = 0; r < M; ++r, p *= u) sum[r] += p;
    }
    for (int r = 0; r < M; ++r) y[r] = sum[r];
  }

  int32_t n_, deg_, m_;
  std::vector<double> u_;
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
  // Four running maxima each: the largest magnitude is the same in any order, and the fits of
  // neighbouring samples, independent, overlap.
  const std::vector<double>& u = fit.U();
  double dm[4] = {}, fm[4] = {};
  int32_t i = 0;
  for (; i + 4 <= n; i += 4) {
    // Horner's rule for the four side by side, as FitAt does it for one.
    double y[4] = {};
    const double* x = u.data() + i;
    for (int32_t k = deg; k >= 2; --k)
      for (int32_t l = 0; l < 4; ++l) y[l] = (y[l] + c[k]) * x[l];
    for (int32_t l = 0; l < 4; ++l) {
      dm[l] = std::max(dm[l], std::fabs(d[static_cast<size_t>(i + l)]));
      fm[l] = std::max(fm[l], std::fabs(y[l] * x[l]));
    }
  }
  for (; i < n; ++i) {
    const auto at = static_cast<size_t>(i);
    dm[0] = std::max(dm[0], std::fabs(d[at]));
    fm[0] = std::max(fm[0], std::fabs(FitAt(c, deg, u[at])));
  }
  const double dmax = std::max(std::max(dm[0], dm[1]), std::max(dm[2], dm[3]));
  const double fmax = std::max(std::max(fm[0], fm[1]), std::max(fm[2], fm[3]));
  return dmax > 0 ? fmax / dmax : 0;
}

// The record as the processing filters it: less its mean, Hann tapers over the fraction `taper`
// at each end, the zero-phase Butterworth high-pass as BUTTER runs it with its pads, the pads
// removed. The low-pass leaves the displacement as it is and is left out. Zeros ahead of the
// record stay zeros through the forward pass, and the backward pass over them would only fill
// the pad that is removed: both passes start at the record.
class Filtered {
 public:
  // The record less its mean and tapered, the same for every corner tried.
  Filtered(const float* x, int32_t n, double taper) : n_(n), tapered_(static_cast<size_t>(n)) {
    double mean = 0;
    for (int32_t i = 0; i < n; ++i) mean += x[i];
    mean /= n;
    const auto nt = static_cast<int32_t>(std::floor(taper * n));
    for (int32_t i = 0; i < n; ++i) {
      double g = 1;
      const int32_t edge = std::min(i, n - 1 - i);
      if (edge < nt) g = 0.5 * (1 - std::cos(sismcalc::detail::kPi * edge / nt));
      tapered_[static_cast<size_t>(i)] = (x[i] - mean) * g;
    }
  }

  // y: the tapered record through the high-pass at fl.
  bool Run(double dt, double fl, int32_t order) {
    const int32_t pad = ButterworthPad(dt, fl, 0, order);
    if (pad < 0) return false;
    const int64_t total = int64_t{n_} + pad;
    y.assign(static_cast<size_t>(total), 0.0);
    std::copy(tapered_.begin(), tapered_.end(), y.begin());
    const std::vector<sismcalc::detail::Section> s = ButterworthSections(order, fl, 0, dt);
    RunSections(s, y.data(), total, false);
    RunSections(s, y.data(), total, true);
    y.resize(static_cast<size_t>(n_));
    return true;
  }

  std::vector<double> y;

 private:
  int32_t n_;
  std::vector<double> tapered_;
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
    Filtered f(ACC, n, taper);
    const PolyFit fit(n, deg);
    std::vector<double> d;
    bool ok = true;
    // The ratio less the target: <= 0 where the corner is high enough.
    auto excess = [&](double fc) {
      if (!f.Run(dt, fc, order)) {
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
