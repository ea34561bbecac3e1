// Orientation-independent response spectra of a horizontal pair (RotDnn): for each period the
// peak oscillator displacement along every direction 0..179 degrees, and percentiles over the
// directions, as pseudo-acceleration.
//
// The displacement along direction t of the pair's response (x(i), y(i)) is x cos t + y sin t,
// and its peak over time is the support of the point set {+-(x(i), y(i))} in that direction.
// Only points on that set's convex hull can give a peak, so one walk finds the points extreme
// in a few directions, a second keeps the points outside the polygon they span, and the 180
// directions are measured on those few points. The walks do not store the histories, so long
// records and fine sub-steps cost no memory.
#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <vector>

#include "internal.h"
#include "sismcalc.h"

namespace {

using sismcalc::detail::kMaxStepsPerPeriod;
using sismcalc::detail::kTwoPi;
using sismcalc::detail::NigjenCoefficients;
using sismcalc::detail::StepCoef;
using sismcalc::detail::SubClass;

constexpr int kAngles = 180;
// Directions whose extreme points span the filtering polygon; with their opposites the
// polygon has up to 16 corners.
constexpr int kProbes = 8;

struct Point {
  double x, y;
};

// Calls visit(x, y) with the relative displacements of the two oscillators (at rest at the first
// sample) after every step, `sub` equal steps per sample interval with the ground acceleration
// linear between the samples.
template <typename Visit>
void WalkOscillators(const StepCoef& c, int32_t n, int32_t sub, const float* ax, const float* ay, Visit&& visit) {
  double dx = 0, vx = 0, dy = 0, vy = 0;
  double px = ax[0], py = ay[0];
  auto step = [&](double lx, double hx, double ly, double hy) {
    const double ndx = c.a11 * dx + c.a12 * vx + (c.b11 * lx + c.b12 * hx);
    const double nvx = c.a21 * dx + c.a22 * vx + (c.b21 * lx + c.b22 * hx);
    const double ndy = c.a11 * dy + c.a12 * vy + (c.b11 * ly + c.b12 * hy);
    const double nvy = c.a21 * dy + c.a22 * vy + (c.b21 * ly + c.b22 * hy);
    dx = ndx, vx = nvx, dy = ndy, vy = nvy;
    visit(dx, dy);
  };
  for (int32_t i = 1; i < n; ++i) {
    const double cx = ax[i], cy = ay[i];
    if (sub > 1) {
      const double rx = (cx - px) / sub, ry = (cy - py) / sub;
      double lx = px, ly = py;
      for (int32_t j = 1; j < sub; ++j) {
        const double hx = px + rx * j, hy = py + ry * j;
        step(lx, hx, ly, hy);
        lx = hx, ly = hy;
      }
      step(lx, cx, ly, cy);
    } else {
      step(px, cx, py, cy);
    }
    px = cx, py = cy;
  }
}

// A rigid oscillator moves with the ground: its "displacement" scaled by w^2 = 1 is the ground
// acceleration itself.
template <typename Visit>
void WalkGround(int32_t n, const float* ax, const float* ay, Visit&& visit) {
  for (int32_t i = 0; i < n; ++i) visit(double{ax[i]}, double{ay[i]});
}

struct Directions {
  std::array<double, kProbes> probeCos, probeSin;
  std::array<double, kAngles> cos, sin;
  Directions() {
    const double pi = kTwoPi / 2;
    for (int k = 0; k < kProbes; ++k) {
      probeCos[k] = std::cos(pi * k / kProbes);
      probeSin[k] = std::sin(pi * k / kProbes);
    }
    for (int k = 0; k < kAngles; ++k) {
      const double t = pi * k / kAngles;
      cos[k] = std::cos(t);
      sin[k] = std::sin(t);
    }
    // Exact axes, so that direction 0 and 90 give the components' own peaks.
    cos[0] = 1, sin[0] = 0, cos[90] = 0, sin[90] = 1;
    probeCos[0] = 1, probeSin[0] = 0, probeCos[kProbes / 2] = 0, probeSin[kProbes / 2] = 1;
  }
};

// The points of a response that can be extreme in some direction.
class HullCandidates {
 public:
  explicit HullCandidates(const Directions& d) : d_(d) { best_.fill(-1.0); }

  // First walk: the point extreme along each probe direction, turned to its positive side.
  void Probe(double x, double y) {
    for (int k = 0; k < kProbes; ++k) {
      const double p = x * d_.probeCos[k] + y * d_.probeSin[k];
      const double a = std::fabs(p);
      if (a > best_[k]) {
        best_[k] = a;
        extreme_[k] = p < 0 ? Point{-x, -y} : Point{x, y};
      }
    }
  }

  // Between the walks: the polygon of the extreme points and their opposites, corners in
  // counter-clockwise order (extreme points move round the hull as the direction turns).
  void Close() {
    std::vector<Point> corners;
    for (int k = 0; k < kProbes; ++k) corners.push_back(extreme_[k]);
    for (int k = 0; k < kProbes; ++k) corners.push_back({-extreme_[k].x, -extreme_[k].y});
    // The corners are kept whatever the edge tests below say of them after rounding.
    kept_.assign(extreme_.begin(), extreme_.end());
    for (const Point& p : corners)
      if (edges_.empty() || p.x != edges_.back().x || p.y != edges_.back().y) edges_.push_back(p);
    while (edges_.size() > 1 && edges_.front().x == edges_.back().x && edges_.front().y == edges_.back().y)
      edges_.pop_back();
    // A polygon without area (a response along one line) rejects nothing: every point stays.
    double area = 0;
    for (std::size_t i = 0; i < edges_.size(); ++i) {
      const Point& a = edges_[i];
      const Point& b = edges_[(i + 1) % edges_.size()];
      area += a.x * b.y - a.y * b.x;
    }
    if (edges_.size() < 3 || !(area > 0)) {
      edges_.clear();
      inner2_ = -1;
      return;
    }
    // Points within the largest circle inside the polygon need no edge tests.
    double inner = HUGE_VAL;
    for (std::size_t i = 0; i < edges_.size(); ++i) {
      const Point& a = edges_[i];
      const Point& b = edges_[(i + 1) % edges_.size()];
      const double len = std::hypot(b.x - a.x, b.y - a.y);
      inner = std::min(inner, (a.x * b.y - a.y * b.x) / len);
    }
    inner2_ = inner > 0 ? inner * inner * (1 - 1e-12) : -1;
  }

  // Second walk: keeps the points not strictly inside the polygon.
  void Filter(double x, double y) {
    if (x * x + y * y < inner2_) return;
    const std::size_t m = edges_.size();
    bool inside = m > 0;
    for (std::size_t i = 0; i < m && inside; ++i) {
      const Point& a = edges_[i];
      const Point& b = edges_[i + 1 == m ? 0 : i + 1];
      inside = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x) > 0;
    }
    if (!inside) kept_.push_back({x, y});
  }

  // Peak magnitude along each of the 180 directions.
  void Peaks(std::array<double, kAngles>& peak) const {
    peak.fill(0.0);
    for (const Point& p : kept_)
      for (int k = 0; k < kAngles; ++k) peak[k] = std::max(peak[k], std::fabs(p.x * d_.cos[k] + p.y * d_.sin[k]));
  }

 private:
  const Directions& d_;
  std::array<double, kProbes> best_;
  std::array<Point, kProbes> extreme_{};
  std::vector<Point> edges_;
  double inner2_ = -1;
  std::vector<Point> kept_;
};

// Percentile p (0..100) of the sorted values, linear between neighbouring ranks.
double Percentile(const std::array<double, kAngles>& sorted, double p) {
  const double q = p / 100 * (kAngles - 1);
  const int lo = std::min(static_cast<int>(q), kAngles - 1);
  const int hi = std::min(lo + 1, kAngles - 1);
  return sorted[lo] + (sorted[hi] - sorted[lo]) * (q - lo);
}

bool ArgsOk(int32_t np, float h, int32_t n, float dt, int32_t npct, const float* pct, int32_t nstep) {
  if (!(dt > 0.0f) || !std::isfinite(dt) || np < 1 || n < 2 || !(h >= 0.0f && h < 1.0f) || npct < 1 ||
      nstep < 0 || nstep > kMaxStepsPerPeriod)
    return false;
  for (int32_t j = 0; j < npct; ++j)
    if (!(pct[j] >= 0.0f && pct[j] <= 100.0f)) return false;
  return true;
}

}  // namespace

extern "C" {

SISMCALC_API int32_t ROTDSPEC(const int32_t* NP, const float* PRD, const float* H, const int32_t* N,
                              const float* DT, const float* X, const float* Y, const int32_t* NPCT,
                              const float* PCT, float* ROTD, float* ANG100, const int32_t* NSTEP) {
  const int32_t np = *NP, n = *N, npct = *NPCT, nstep = *NSTEP;
  const float h = *H, dt = *DT;
  if (!ArgsOk(np, h, n, dt, npct, PCT, nstep)) return 0;
  try {
    static const Directions directions;
    std::vector<float> rotd(static_cast<std::size_t>(np) * npct), angle(np);
    std::array<double, kAngles> peak, sorted;
    for (int32_t k = 0; k < np; ++k) {
      const float t = PRD[k];
      HullCandidates hull(directions);
      double scale = 1.0;
      if (t > 0.0f) {
        const double w = static_cast<float>(kTwoPi / t);
        const int32_t sub = nstep > 0 ? int32_t{1} << SubClass(t, dt, nstep) : 1;
        const StepCoef c = NigjenCoefficients(w, h, double{dt} / sub);
        WalkOscillators(c, n, sub, X, Y, [&](double x, double y) { hull.Probe(x, y); });
        hull.Close();
        WalkOscillators(c, n, sub, X, Y, [&](double x, double y) { hull.Filter(x, y); });
        scale = w * w;
      } else {
        WalkGround(n, X, Y, [&](double x, double y) { hull.Probe(x, y); });
        hull.Close();
        WalkGround(n, X, Y, [&](double x, double y) { hull.Filter(x, y); });
      }
      hull.Peaks(peak);
      const auto top = std::max_element(peak.begin(), peak.end());
      angle[k] = static_cast<float>(top - peak.begin());
      sorted = peak;
      std::sort(sorted.begin(), sorted.end());
      for (int32_t j = 0; j < npct; ++j)
        rotd[static_cast<std::size_t>(j) * np + k] = static_cast<float>(scale * Percentile(sorted, PCT[j]));
    }
    std::copy(rotd.begin(), rotd.end(), ROTD);
    if (ANG100) std::copy(angle.begin(), angle.end(), ANG100);
    return 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

}  // extern "C"
