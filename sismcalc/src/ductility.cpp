// Constant-ductility response spectra of a bilinear oscillator: at each period the yield
// strength that makes the peak displacement the target multiple of the yield displacement.
// The inelastic histories step by Newmark's average-acceleration rule; the bilinear force is
// piecewise linear in the step's displacement, so each step is solved exactly on its branch.
// The searches of several periods run side by side: each history is a chain of dependent
// operations, and a few independent ones keep the processor busy.
#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "internal.h"
#include "sismcalc.h"

namespace {

using sismcalc::detail::kTwoPi;

constexpr int kLanes = 8;

// One batch of inelastic histories, lane by lane: the oscillator (per unit mass), the yield
// displacement, and the ductility past which the history may stop.
struct Batch {
  double k[kLanes], c[kLanes], alpha[kLanes], uy[kLanes], cap[kLanes];
  double mu[kLanes];  // out: the peak |u| over uy, or cap once passed
};

// The histories of every lane with the ground acceleration linear between the samples and `sub`
// steps per interval.
SISMCALC_VECTOR_CLONES void RunBatch(Batch& b, int32_t n, double dt, int32_t sub, const float* acc) {
  const double hs = dt / sub;
  const double twoByH = 2 / hs, fourByH = 4 / hs, fourByH2 = 4 / (hs * hs);
  double k[kLanes], ak[kLanes], q[kLanes], toElastic[kLanes], toYield[kLanes], vload[kLanes], limit[kLanes];
  double u[kLanes], v[kLanes], a[kLanes], fs[kLanes], peak[kLanes];
  for (int j = 0; j < kLanes; ++j) {
    const double keff = fourByH2 + 2 * b.c[j] / hs;
    k[j] = b.k[j];
    ak[j] = b.alpha[j] * b.k[j];
    q[j] = (1 - b.alpha[j]) * b.k[j] * b.uy[j];
    // Reciprocals once: a division in the step would sit on its chain of dependent operations.
    toElastic[j] = 1 / (keff + k[j]);
    toYield[j] = 1 / (keff + ak[j]);
    vload[j] = fourByH + b.c[j];
    limit[j] = b.cap[j] * b.uy[j];
    u[j] = v[j] = fs[j] = peak[j] = 0;
    a[j] = -double{acc[0]};
  }
  for (int32_t i = 0; i + 1 < n; ++i) {
    const double g0 = acc[i], dg = (double{acc[i + 1]} - g0) / sub;
    for (int32_t s = 1; s <= sub; ++s) {
      const double ag = g0 + dg * s;
#pragma GCC ivdep
      for (int j = 0; j < kLanes; ++j) {
        // keff du + fs(u + du) = rhs with fs the elastic trial clamped to the two bounding lines:
        // its left side rises with du, so the root is the middle one of the elastic root and the
        // roots on the upper and the lower line.
        const double rhs = vload[j] * v[j] + a[j] - ag;
        const double de = (rhs - fs[j]) * toElastic[j];
        const double base = rhs - ak[j] * u[j];
        const double dup = (base - q[j]) * toYield[j], dlo = (base + q[j]) * toYield[j];
        const double du = std::max(dup, std::min(de, dlo));
        const double un = u[j] + du;
        fs[j] = std::min(std::max(fs[j] + k[j] * du, ak[j] * un - q[j]), ak[j] * un + q[j]);
        const double vn = twoByH * du - v[j];
        a[j] = fourByH2 * du - fourByH * v[j] - a[j];
        v[j] = vn;
        u[j] = un;
        peak[j] = std::max(peak[j], std::fabs(un));
      }
    }
    if ((i & 63) == 63) {
      bool all = true;
      for (int j = 0; j < kLanes; ++j) all = all && peak[j] > limit[j];
      if (all) break;
    }
  }
  for (int j = 0; j < kLanes; ++j) b.mu[j] = peak[j] > limit[j] ? b.cap[j] : peak[j] / b.uy[j];
}

// The sub-steps that keep a Newmark step at most a tenth of the period.
int32_t SubSteps(double t, double dt) {
  return static_cast<int32_t>(std::clamp(std::ceil(10 * dt / t), 1.0, 1024.0));
}

struct Trial {
  double r, mu;  // strength reduction Fe / Fy and the ductility it gives
};

// The search of one period, target by target: the smallest reduction R (the largest strength)
// whose ductility reaches the target, from trials on a geometric ladder from R = 1 shared by the
// targets, the bracket then refined by regula falsi (Illinois) on log ductility against log R.
// Next() names the reduction to try (0 when every target is done); Give() takes its ductility.
class PeriodSearch {
 public:
  PeriodSearch(const float* mu, int32_t nmu, double* out) : mu_(mu), nmu_(nmu), out_(out) { Skip(); }

  double Next() {
    while (target_ < nmu_) {
      const double goal = mu_[target_];
      if (!refining_) {
        if (trials_.empty()) return Ask(1.0, 1e30);
        while (scan_ < trials_.size() && trials_[scan_].mu < goal) ++scan_;
        if (scan_ == trials_.size()) {
          const double r = trials_.back().r * kLadder;
          if (r <= kMaxR) return Ask(r, 1e30);
          Finish(trials_.back().r);
          continue;
        }
        if (scan_ == 0) {
          Finish(trials_[0].r);
          continue;
        }
        r0_ = std::log(trials_[scan_ - 1].r), r1_ = std::log(trials_[scan_].r);
        f0_ = std::log(trials_[scan_ - 1].mu / goal), f1_ = std::log(trials_[scan_].mu / goal);
        side_ = 0, steps_ = 0;
        refining_ = true;
      }
      if (steps_ >= 40 || r1_ - r0_ <= 1e-3) {
        Finish(std::exp(r1_));
        continue;
      }
      double x = f1_ - f0_ > 0 ? r0_ - f0_ * (r1_ - r0_) / (f1_ - f0_) : (r0_ + r1_) / 2;
      if (!(x > r0_ && x < r1_)) x = (r0_ + r1_) / 2;
      x_ = x;
      return Ask(std::exp(x), 2 * goal);
    }
    return 0;
  }

  double Cap() const { return cap_; }

  void Give(double mu) {
    if (!refining_) {
      trials_.push_back({asked_, mu});
      return;
    }
    ++steps_;
    const double fx = std::log(mu / mu_[target_]);
    if (fx >= 0) {
      r1_ = x_, f1_ = fx;
      if (side_ == 1) f0_ /= 2;
      side_ = 1;
    } else {
      r0_ = x_, f0_ = fx;
      if (side_ == -1) f1_ /= 2;
      side_ = -1;
    }
    if (std::fabs(fx) < 1e-4) Finish(std::exp(x_));
  }

 private:
  static constexpr double kLadder = 1.4, kMaxR = 1e4;

  double Ask(double r, double cap) {
    asked_ = r;
    cap_ = cap;
    return r;
  }
  void Finish(double r) {
    out_[target_++] = r;
    refining_ = false;
    scan_ = 0;
    Skip();
  }
  // Unit ductility is the elastic oscillator itself.
  void Skip() {
    while (target_ < nmu_ && mu_[target_] == 1.0f) out_[target_++] = 1.0;
  }

  const float* mu_;
  int32_t nmu_, target_ = 0;
  double* out_;
  std::vector<Trial> trials_;
  std::size_t scan_ = 0;
  bool refining_ = false;
  double r0_ = 0, r1_ = 0, f0_ = 0, f1_ = 0, x_ = 0, asked_ = 0, cap_ = 0;
  int side_ = 0, steps_ = 0;
};

struct PeriodTask {
  int32_t k;     // period index
  double w, sd;  // circular frequency, elastic peak displacement
};

// The reductions of the tasks (all of one sub-step count) into r[k * nmu + j].
void SolveTasks(const std::vector<PeriodTask>& tasks, double h, double alpha, const float* mu, int32_t nmu,
                int32_t n, double dt, int32_t sub, const float* acc, std::vector<double>& r) {
  std::vector<PeriodSearch> searches;
  searches.reserve(tasks.size());
  for (const PeriodTask& t : tasks)
    searches.emplace_back(mu, nmu, r.data() + static_cast<std::size_t>(t.k) * static_cast<std::size_t>(nmu));
  int lane[kLanes];
  std::size_t next = 0;
  for (int j = 0; j < kLanes; ++j) lane[j] = -1;
  Batch b{};
  while (true) {
    int active = 0;
    for (int j = 0; j < kLanes; ++j) {
      // A lane keeps its period until that period's search is done, then takes the next.
      double want = lane[j] >= 0 ? searches[static_cast<std::size_t>(lane[j])].Next() : 0;
      while (want == 0 && next < searches.size()) {
        lane[j] = static_cast<int>(next++);
        want = searches[static_cast<std::size_t>(lane[j])].Next();
      }
      if (want == 0) {
        lane[j] = -1;
        // An idle lane repeats a harmless oscillator that stops at once.
        b.k[j] = 1, b.c[j] = 0, b.alpha[j] = 0, b.uy[j] = 1, b.cap[j] = 0;
        continue;
      }
      ++active;
      const PeriodTask& t = tasks[static_cast<std::size_t>(lane[j])];
      b.k[j] = t.w * t.w, b.c[j] = 2 * h * t.w, b.alpha[j] = alpha;
      b.uy[j] = t.sd / want;
      b.cap[j] = searches[static_cast<std::size_t>(lane[j])].Cap();
    }
    if (active == 0) return;
    RunBatch(b, n, dt, sub, acc);
    for (int j = 0; j < kLanes; ++j)
      if (lane[j] >= 0) searches[static_cast<std::size_t>(lane[j])].Give(b.mu[j]);
  }
}

}  // namespace

extern "C" {

SISMCALC_API int32_t CDSPEC(const int32_t* NP, const float* PRD, const float* H, const float* ALPHA,
                            const int32_t* NMU, const float* MU, const int32_t* N, const float* DT,
                            const float* ACC, float* R, float* SAY, float* SDM, float* SDY) {
  const int32_t np = *NP, nmu = *NMU, n = *N;
  const float h = *H, alpha = *ALPHA, dt = *DT;
  if (np < 1 || nmu < 1 || n < 2 || !(dt > 0.0f) || !std::isfinite(dt) || !(h >= 0.0f && h < 1.0f) ||
      !(alpha >= 0.0f && alpha < 1.0f))
    return 0;
  for (int32_t j = 0; j < nmu; ++j)
    if (!(MU[j] >= 1.0f) || !std::isfinite(MU[j])) return 0;
  try {
    const auto nps = static_cast<std::size_t>(np), nmus = static_cast<std::size_t>(nmu);
    std::vector<float> sd(nps), sv(nps), sa(nps);
    if (RESPEC(NP, PRD, H, N, DT, ACC, sd.data(), sv.data(), sa.data()) != 1) return 0;
    double pga = 0;
    for (int32_t i = 0; i < n; ++i) pga = std::max(pga, std::fabs(double{ACC[i]}));
    // Periods with motion, grouped by their sub-step count; the others are elastic throughout.
    std::vector<double> r(nps * nmus, 1.0);
    std::vector<std::vector<PeriodTask>> bySub(1025);
    for (int32_t k = 0; k < np; ++k)
      if (PRD[k] > 0 && sd[static_cast<std::size_t>(k)] > 0)
        bySub[static_cast<std::size_t>(SubSteps(PRD[k], dt))].push_back({k, kTwoPi / PRD[k], sd[static_cast<std::size_t>(k)]});
    for (std::size_t sub = 1; sub < bySub.size(); ++sub)
      if (!bySub[sub].empty())
        SolveTasks(bySub[sub], h, alpha, MU, nmu, n, dt, static_cast<int32_t>(sub), ACC, r);
    for (std::size_t k = 0; k < nps; ++k) {
      const double t = PRD[k], se = sd[k];
      const double w = t > 0 ? kTwoPi / t : 0;
      for (std::size_t j = 0; j < nmus; ++j) {
        const std::size_t at = k + nps * j;
        if (!(t > 0)) {
          // Rigid: it moves with the ground and needs the peak ground acceleration.
          R[at] = 1.0f;
          SAY[at] = static_cast<float>(pga);
          SDM[at] = SDY[at] = 0.0f;
          continue;
        }
        const double red = r[k * nmus + j], uy = se / red;
        R[at] = static_cast<float>(red);
        SAY[at] = static_cast<float>(w * w * uy);
        SDM[at] = static_cast<float>(MU[j] * uy);
        SDY[at] = static_cast<float>(uy);
      }
    }
    return 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

}  // extern "C"
