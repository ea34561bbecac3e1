// Orientation-independent response spectra of a horizontal pair (RotDnn): for each period the
// peak oscillator displacement along every direction 0..179 degrees, and percentiles over the
// directions, as pseudo-acceleration.
//
// The displacement along direction t of the pair's response (x(i), y(i)) is x cos t + y sin t,
// and its peak over time is the support of the point set {+-(x(i), y(i))} in that direction.
// Only points on that set's convex hull can give a peak. One walk through the record keeps the
// points extreme in a few directions so far and, as candidates, the points outside the polygon
// those span at the time; the candidates are then sifted against the final polygon and the 180
// directions measured on the few left. Nothing of the histories is stored, so long records and
// fine sub-steps cost no memory; oscillators of one sub-step count walk side by side.
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

// Oscillators of up to kLanes periods with the same sub-step count, walked side by side: their
// recurrences are independent, so the walk runs at the processor's throughput rather than at
// the latency of one recurrence.
constexpr int kLanes = 4;

struct LaneCoef {
  double a11[kLanes], a12[kLanes], a21[kLanes], a22[kLanes];
  double b11[kLanes], b12[kLanes], b21[kLanes], b22[kLanes];
};

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

// The points of a response that can be extreme in some direction, gathered in one pass.
class HullCandidates {
 public:
  explicit HullCandidates(const Directions& d) : d_(d) {
    for (int k = 0; k < kProbes; ++k) best_[k] = -1.0, ex_[k] = ey_[k] = 0.0;
  }

  // Inside the circle within the polygon: neither a new extreme (every probe's extreme lies on
  // or beyond that circle) nor on the hull. Most points end here.
  bool WellInside(double x, double y) const { return x * x + y * y < inner2_; }
  // The square of that circle's radius; -1 while there is no polygon.
  double Inner2() const { return inner2_; }

  void Visit(double x, double y) {
    if (WellInside(x, y)) return;
    VisitOuter(x, y);
  }

  // A point outside that circle.
  [[gnu::noinline]] void VisitOuter(double x, double y) {
    // Clearly inside the current polygon: no probe's extreme (each at least as far out as the
    // polygon's corners) and no corner of the hull. Most points outside the circle end here;
    // those near an edge take the full way below.
    if (!stale_) {
      // Near the last point found clearly inside, closer than that point's distance to the
      // nearest edge less the margin: inside by the margin as well.
      const double dx = x - anchorX_, dy = y - anchorY_;
      if (dx * dx + dy * dy < anchorR2_) return;
      const double depth = DepthInside(x, y);
      if (depth > margin_) {
        anchorX_ = x, anchorY_ = y;
        anchorR2_ = (depth - margin_) * (depth - margin_);
        return;
      }
    }
    // The point extreme along each probe direction so far, turned to its positive side.
    bool grew = false;
    for (int k = 0; k < kProbes; ++k) {
      const double p = x * d_.probeCos[k] + y * d_.probeSin[k];
      const double a = std::fabs(p);
      const bool up = a > best_[k];
      const double sign = p < 0 ? -1.0 : 1.0;
      best_[k] = up ? a : best_[k];
      ex_[k] = up ? sign * x : ex_[k];
      ey_[k] = up ? sign * y : ey_[k];
      grew |= up;
    }
    if (grew) {
      // A new corner: kept, and the polygon is rebuilt when next needed.
      stale_ = true;
      candidates_.push_back({x, y});
      return;
    }
    if (stale_) Rebuild();
    if (!Inside(x, y)) candidates_.push_back({x, y});
  }

  // After the pass: the candidates outside the final polygon, and its corners.
  void Close() {
    Rebuild();
    std::vector<Point> kept;
    for (int k = 0; k < kProbes; ++k) kept.push_back({ex_[k], ey_[k]});
    for (const Point& p : candidates_)
      if (!(p.x * p.x + p.y * p.y < inner2_) && !Inside(p.x, p.y)) kept.push_back(p);
    candidates_.swap(kept);
  }

  // Peak magnitude along each of the 180 directions (after Close).
  void Peaks(std::array<double, kAngles>& peak) const {
    peak.fill(0.0);
    for (const Point& p : candidates_)
      for (int k = 0; k < kAngles; ++k) peak[k] = std::max(peak[k], std::fabs(p.x * d_.cos[k] + p.y * d_.sin[k]));
  }

 private:
  // The polygon of the extreme points and their opposites, corners in counter-clockwise order
  // (extreme points move round the hull as the direction turns), and the square of the largest
  // circle inside it.
  void Rebuild() {
    stale_ = false;
    anchorR2_ = -1;
    edges_.clear();
    auto add = [&](double x, double y) {
      if (edges_.empty() || x != edges_.back().x || y != edges_.back().y) edges_.push_back({x, y});
    };
    for (int k = 0; k < kProbes; ++k) add(ex_[k], ey_[k]);
    for (int k = 0; k < kProbes; ++k) add(-ex_[k], -ey_[k]);
    while (edges_.size() > 1 && edges_.front().x == edges_.back().x && edges_.front().y == edges_.back().y)
      edges_.pop_back();
    // A polygon without area (a response along one line) rejects nothing.
    double area = 0, inner2 = HUGE_VAL;
    const std::size_t m = edges_.size();
    for (std::size_t i = 0; i < m; ++i) {
      const Point& a = edges_[i];
      const Point& b = edges_[i + 1 == m ? 0 : i + 1];
      const double cross = a.x * b.y - a.y * b.x;
      area += cross;
      const double dx = b.x - a.x, dy = b.y - a.y;
      inner2 = std::min(inner2, cross <= 0 ? 0.0 : cross * cross / (dx * dx + dy * dy));
    }
    if (m < 3 || !(area > 0)) {
      edges_.clear();
      edgeCount_ = 0;
      inner2_ = -1;
      return;
    }
    inner2_ = inner2 * (1 - 1e-12);
    // Each edge as a line: inside where ux * y - uy * x > k. Unused slots repeat the first edge.
    edgeCount_ = static_cast<int>(m);
    for (int i = 0; i < kMaxEdges; ++i) {
      const std::size_t e = static_cast<std::size_t>(i) < m ? static_cast<std::size_t>(i) : 0;
      const Point& a = edges_[e];
      const Point& b = edges_[e + 1 == m ? 0 : e + 1];
      ux_[i] = b.x - a.x;
      uy_[i] = b.y - a.y;
      k_[i] = ux_[i] * a.y - uy_[i] * a.x;
      // The edge's value over its length is the distance inside it.
      edgeScale_[i] = 1 / std::sqrt(ux_[i] * ux_[i] + uy_[i] * uy_[i]);
    }
    margin_ = 1e-6 * std::sqrt(inner2_);
  }

  // The least distance of the point inside the polygon's edges (negative outside); a point
  // deeper than margin_ is inside by more than rounding could blur. -inf without a polygon.
  double DepthInside(double x, double y) const {
    if (edgeCount_ == 0) return -HUGE_VAL;
    double least = HUGE_VAL;
    for (int i = 0; i < kMaxEdges; ++i) least = std::min(least, (ux_[i] * y - uy_[i] * x - k_[i]) * edgeScale_[i]);
    return least;
  }

  // Strictly inside the polygon; never, when it has no area.
  bool Inside(double x, double y) const {
    if (edgeCount_ == 0) return false;
    double least = HUGE_VAL;
    for (int i = 0; i < kMaxEdges; ++i) least = std::min(least, ux_[i] * y - uy_[i] * x - k_[i]);
    return least > 0;
  }

  static constexpr int kMaxEdges = 2 * kProbes;
  const Directions& d_;
  double best_[kProbes], ex_[kProbes], ey_[kProbes];
  bool stale_ = false;
  std::vector<Point> edges_;
  int edgeCount_ = 0;
  double ux_[kMaxEdges] = {}, uy_[kMaxEdges] = {}, k_[kMaxEdges] = {}, edgeScale_[kMaxEdges] = {};
  double margin_ = 0;
  double anchorX_ = 0, anchorY_ = 0, anchorR2_ = -1;
  double inner2_ = -1;
  std::vector<Point> candidates_;
};

// Gives hull[l] the relative displacements of lane l's two oscillators (at rest at
// the first sample) after every step at which they lie outside lane l's circle (x^2 + y^2 not
// below its Inner2), `sub` equal steps per sample interval with the ground acceleration linear
// between the samples. The lanes sit side by side in one
// vector per component, so that a step of all four is a few vector operations; the test is
// made for every lane before any visit, so that the walk keeps its state in registers on the
// common path. Lanes from `used` on are idle. The arithmetic of each lane is that of a walk
// alone, operation for operation (no fused multiply-adds: the peaks are pinned bit for bit).
typedef double Lanes4 __attribute__((vector_size(32)));
static_assert(kLanes == 4);

SISMCALC_VECTOR_CLONES void WalkLanes(const LaneCoef& c, int used, int32_t n, int32_t sub, const float* ax,
                                      const float* ay, HullCandidates* const* hull) {
  Lanes4 a11, a12, a21, a22, b11, b12, b21, b22, lim;
  for (int l = 0; l < kLanes; ++l) {
    const bool on = l < used;
    a11[l] = on ? c.a11[l] : 0, a12[l] = on ? c.a12[l] : 0, a21[l] = on ? c.a21[l] : 0, a22[l] = on ? c.a22[l] : 0;
    b11[l] = on ? c.b11[l] : 0, b12[l] = on ? c.b12[l] : 0, b21[l] = on ? c.b21[l] : 0, b22[l] = on ? c.b22[l] : 0;
    lim[l] = on ? hull[l]->Inner2() : HUGE_VAL;
  }
  Lanes4 dx = {}, dy = {}, vx = {}, vy = {};
  // sub is a power of two: multiplying by its reciprocal is the division.
  const double bySub = 1.0 / sub;
  double px = ax[0], py = ay[0];
  for (int32_t i = 1; i < n; ++i) {
    const double cx = ax[i], cy = ay[i];
    const double rx = (cx - px) * bySub, ry = (cy - py) * bySub;
    double lx = px, ly = py;
    for (int32_t j = 1; j <= sub; ++j) {
      // The last sub-step ends on the sample itself.
      const double hx = j == sub ? cx : px + rx * static_cast<double>(j);
      const double hy = j == sub ? cy : py + ry * static_cast<double>(j);
      const Lanes4 dxn = a11 * dx + a12 * vx + (b11 * lx + b12 * hx);
      const Lanes4 dyn = a11 * dy + a12 * vy + (b11 * ly + b12 * hy);
      const Lanes4 vxn = a21 * dx + a22 * vx + (b21 * lx + b22 * hx);
      const Lanes4 vyn = a21 * dy + a22 * vy + (b21 * ly + b22 * hy);
      dx = dxn, dy = dyn, vx = vxn, vy = vyn;
      const auto out = !(dx * dx + dy * dy < lim);
      bool any = false;
      for (int l = 0; l < kLanes; ++l) any |= out[l] != 0;
      if (__builtin_expect(any, 0))
        for (int l = 0; l < used; ++l)
          if (!(dx[l] * dx[l] + dy[l] * dy[l] < lim[l])) {
            hull[l]->VisitOuter(dx[l], dy[l]);
            lim[l] = hull[l]->Inner2();
          }
      lx = hx, ly = hy;
    }
    px = cx, py = cy;
  }
}

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

// The results of every period, written to the caller's arrays only when all are done.
class RotDResults {
 public:
  RotDResults(int32_t np, int32_t npct, const float* pct, bool peaks)
      : np_(np), npct_(npct), pct_(pct), rotd_(static_cast<std::size_t>(np) * npct), angle_(np),
        peaks_(peaks ? static_cast<std::size_t>(np) * kAngles : 0) {}

  void Set(int32_t k, const HullCandidates& hull, double scale) {
    std::array<double, kAngles> peak, sorted;
    hull.Peaks(peak);
    const auto top = std::max_element(peak.begin(), peak.end());
    angle_[k] = static_cast<float>(top - peak.begin());
    if (!peaks_.empty())
      for (int t = 0; t < kAngles; ++t) peaks_[static_cast<std::size_t>(t) * np_ + k] = static_cast<float>(scale * peak[t]);
    sorted = peak;
    std::sort(sorted.begin(), sorted.end());
    for (int32_t j = 0; j < npct_; ++j)
      rotd_[static_cast<std::size_t>(j) * np_ + k] = static_cast<float>(scale * Percentile(sorted, pct_[j]));
  }

  void CopyOut(float* rotd, float* angle, float* peaks) const {
    std::copy(rotd_.begin(), rotd_.end(), rotd);
    if (angle) std::copy(angle_.begin(), angle_.end(), angle);
    if (peaks) std::copy(peaks_.begin(), peaks_.end(), peaks);
  }

 private:
  int32_t np_, npct_;
  const float* pct_;
  std::vector<float> rotd_, angle_, peaks_;
};

}  // namespace

extern "C" {

SISMCALC_API int32_t ROTDSPEC(const int32_t* NP, const float* PRD, const float* H, const int32_t* N,
                              const float* DT, const float* X, const float* Y, const int32_t* NPCT,
                              const float* PCT, float* ROTD, float* ANG100, float* PEAKS, const int32_t* NSTEP) {
  const int32_t np = *NP, n = *N, npct = *NPCT, nstep = *NSTEP;
  const float h = *H, dt = *DT;
  if (!ArgsOk(np, h, n, dt, npct, PCT, nstep)) return 0;
  try {
    static const Directions directions;
    RotDResults results(np, npct, PCT, PEAKS != nullptr);
    // Periods by sub-step count, so that those walked together step alike.
    std::vector<std::vector<int32_t>> byClass(sismcalc::detail::kSubClasses);
    for (int32_t k = 0; k < np; ++k) {
      if (PRD[k] > 0.0f) {
        byClass[nstep > 0 ? SubClass(PRD[k], dt, nstep) : 0].push_back(k);
        continue;
      }
      // A rigid oscillator moves with the ground: w^2 times its displacement is the ground
      // acceleration itself.
      HullCandidates hull(directions);
      for (int32_t i = 0; i < n; ++i) hull.Visit(X[i], Y[i]);
      hull.Close();
      results.Set(k, hull, 1.0);
    }
    for (int cls = 0; cls < sismcalc::detail::kSubClasses; ++cls) {
      const std::vector<int32_t>& periods = byClass[cls];
      const int32_t sub = int32_t{1} << cls;
      for (std::size_t first = 0; first < periods.size(); first += kLanes) {
        const int lanes = static_cast<int>(std::min<std::size_t>(kLanes, periods.size() - first));
        LaneCoef lc;
        double w2[kLanes];
        std::vector<HullCandidates> hulls(static_cast<std::size_t>(lanes), HullCandidates(directions));
        HullCandidates* lane[kLanes] = {};
        for (int l = 0; l < lanes; ++l) lane[l] = &hulls[static_cast<std::size_t>(l)];
        for (int l = 0; l < lanes; ++l) {
          const double w = static_cast<float>(kTwoPi / PRD[periods[first + l]]);
          const StepCoef c = NigjenCoefficients(w, h, double{dt} / sub);
          lc.a11[l] = c.a11, lc.a12[l] = c.a12, lc.a21[l] = c.a21, lc.a22[l] = c.a22;
          lc.b11[l] = c.b11, lc.b12[l] = c.b12, lc.b21[l] = c.b21, lc.b22[l] = c.b22;
          w2[l] = w * w;
        }
        WalkLanes(lc, lanes, n, sub, X, Y, lane);
        for (int l = 0; l < lanes; ++l) {
          hulls[static_cast<std::size_t>(l)].Close();
          results.Set(periods[first + l], hulls[static_cast<std::size_t>(l)], w2[l]);
        }
      }
    }
    results.CopyOut(ROTD, ANG100, PEAKS);
    return 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

}  // extern "C"
