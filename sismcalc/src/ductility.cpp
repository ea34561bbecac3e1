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

// One batch of inelastic histories, lane by lane: the ground acceleration, the oscillator (per unit
// mass), the yield displacement, and the ductility past which the history may stop.
struct Batch {
  const float* acc[kLanes];
  double k[kLanes], c[kLanes], alpha[kLanes], uy[kLanes], cap[kLanes];
  double mu[kLanes];  // out: the peak |u| over uy, or cap once passed
};

// The histories of every lane with the ground acceleration linear between the samples and `sub`
// steps per interval.
// (kShared: every lane has the same ground acceleration, which is then read once per sample.)
template <bool kShared>
[[gnu::always_inline]] inline void BatchHistories(Batch& b, int32_t n, double dt, int32_t sub) {
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
    a[j] = -double{b.acc[j][0]};
  }
  for (int32_t i = 0; i + 1 < n; ++i) {
    double g0[kLanes], dg[kLanes];
    if constexpr (kShared) {
      g0[0] = b.acc[0][i];
      dg[0] = (double{b.acc[0][i + 1]} - g0[0]) / sub;
    } else {
      for (int j = 0; j < kLanes; ++j) {
        g0[j] = b.acc[j][i];
        dg[j] = (double{b.acc[j][i + 1]} - g0[j]) / sub;
      }
    }
    for (int32_t s = 1; s <= sub; ++s) {
#pragma GCC ivdep
      for (int j = 0; j < kLanes; ++j) {
        const double ag = kShared ? g0[0] + dg[0] * s : g0[j] + dg[j] * s;
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

SISMCALC_VECTOR_CLONES void RunBatch(Batch& b, int32_t n, double dt, int32_t sub) {
  BatchHistories<false>(b, n, dt, sub);
}

SISMCALC_VECTOR_CLONES void RunSharedBatch(Batch& b, int32_t n, double dt, int32_t sub) {
  BatchHistories<true>(b, n, dt, sub);
}

// The sub-steps that keep a Newmark step at most a tenth of the period.
int32_t SubSteps(double t, double dt) {
  return static_cast<int32_t>(std::clamp(std::ceil(10 * dt / t), 1.0, 1024.0));
}

struct Trial {
  double r, mu;  // strength reduction Fe / Fy and the ductility it gives (mu < 0: not yet known)
};

// A history asked for: the reduction, the ductility past which it may stop, and what it is for
// (a target's refinement, or with tag < 0 the ladder's trial -1 - tag).
struct Request {
  double r, cap;
  int tag;
};

// The search of one period for each target: the smallest reduction R (the largest strength) whose
// ductility reaches the target, from trials on a geometric ladder from R = 1 shared by the targets,
// the bracket then refined by regula falsi (Illinois) on log ductility against log R. The targets
// refine side by side and the ladder's trials may be asked before they are needed; each target's
// trials and results are those of a search of that target alone.
class PeriodSearch {
 public:
  PeriodSearch(const float* mu, int32_t nmu, double* out) : mu_(mu), out_(out), targets_(static_cast<std::size_t>(nmu)) {
    for (std::size_t j = 0; j < targets_.size(); ++j)
      if (mu_[j] == 1.0f) Finish(j, 1.0);  // unit ductility is the elastic oscillator itself
  }

  bool Done() const {
    return std::all_of(targets_.begin(), targets_.end(), [](const Target& t) { return t.done; });
  }

  // A history this search needs now, if any; with `spare`, also a ladder trial that a target may
  // need later.
  bool Next(bool spare, Request& q) {
    for (std::size_t j = 0; j < targets_.size(); ++j) {
      Target& t = targets_[j];
      if (t.done || t.busy) continue;
      if (!t.refining && !Bracket(j)) continue;
      if (t.done) continue;
      if (t.steps >= 40 || t.r1 - t.r0 <= 1e-3) {
        Finish(j, std::exp(t.r1));
        continue;
      }
      double x = t.f1 - t.f0 > 0 ? t.r0 - t.f0 * (t.r1 - t.r0) / (t.f1 - t.f0) : (t.r0 + t.r1) / 2;
      if (!(x > t.r0 && x < t.r1)) x = (t.r0 + t.r1) / 2;
      t.x = x;
      t.busy = true;
      q = {std::exp(x), 2 * double{mu_[j]}, static_cast<int>(j)};
      return true;
    }
    if ((needRung_ || (spare && Searching())) && AskRung(q)) return true;
    return false;
  }

  void Give(const Request& q, double mu) {
    if (q.tag < 0) {
      rungs_[static_cast<std::size_t>(-1 - q.tag)].mu = mu;
      return;
    }
    const auto j = static_cast<std::size_t>(q.tag);
    Target& t = targets_[j];
    t.busy = false;
    ++t.steps;
    const double fx = std::log(mu / mu_[j]);
    if (fx >= 0) {
      t.r1 = t.x, t.f1 = fx;
      if (t.side == 1) t.f0 /= 2;
      t.side = 1;
    } else {
      t.r0 = t.x, t.f0 = fx;
      if (t.side == -1) t.f1 /= 2;
      t.side = -1;
    }
    if (std::fabs(fx) < 1e-4) Finish(j, std::exp(t.x));
  }

 private:
  static constexpr double kLadder = 1.4, kMaxR = 1e4;
  // Ladder trials asked ahead of the known ones, at most.
  static constexpr std::size_t kAhead = 6;

  struct Target {
    bool done = false, refining = false, busy = false;
    double r0 = 0, r1 = 0, f0 = 0, f1 = 0, x = 0;
    int side = 0, steps = 0;
  };

  void Finish(std::size_t j, double r) {
    out_[j] = r;
    targets_[j].done = true;
  }

  // Whether some target still looks for its bracket on the ladder.
  bool Searching() const {
    return std::any_of(targets_.begin(), targets_.end(), [](const Target& t) { return !t.done && !t.refining; });
  }

  // The next rung of the ladder, unless the ladder has ended or is far enough ahead.
  bool AskRung(Request& q) {
    std::size_t known = 0;
    while (known < rungs_.size() && rungs_[known].mu >= 0) ++known;
    if (rungs_.size() >= known + kAhead) return false;
    const double r = rungs_.empty() ? 1.0 : rungs_.back().r * kLadder;
    if (!rungs_.empty() && !(r <= kMaxR)) return false;
    rungs_.push_back({r, -1.0});
    needRung_ = false;
    q = {r, 1e30, -static_cast<int>(rungs_.size())};
    return true;
  }

  // Finds target j's bracket on the known start of the ladder: true once it refines (or is done);
  // false while it waits for a trial, asking for the next rung when that is the one it needs.
  bool Bracket(std::size_t j) {
    Target& t = targets_[j];
    const double goal = mu_[j];
    std::size_t scan = 0;
    while (scan < rungs_.size() && rungs_[scan].mu >= 0 && rungs_[scan].mu < goal) ++scan;
    if (scan < rungs_.size() && rungs_[scan].mu < 0) return false;  // still running
    if (scan == rungs_.size()) {
      const double r = rungs_.empty() ? 1.0 : rungs_.back().r * kLadder;
      if (rungs_.empty() || r <= kMaxR) {
        needRung_ = true;
        return false;
      }
      Finish(j, rungs_.back().r);
      return true;
    }
    if (scan == 0) {
      Finish(j, rungs_[0].r);
      return true;
    }
    t.r0 = std::log(rungs_[scan - 1].r), t.r1 = std::log(rungs_[scan].r);
    t.f0 = std::log(rungs_[scan - 1].mu / goal), t.f1 = std::log(rungs_[scan].mu / goal);
    t.side = 0, t.steps = 0;
    t.refining = true;
    return true;
  }

  const float* mu_;
  double* out_;
  std::vector<Target> targets_;
  std::vector<Trial> rungs_;
  bool needRung_ = false;
};

struct PeriodTask {
  const float* acc;  // the channel's ground acceleration
  double* r;         // its reductions, one per target
  double w, sd;      // circular frequency, elastic peak displacement
};

// The reductions of the tasks (all of one sub-step count, of any channels). Each batch takes
// the histories the searches need now, then fills the lanes left with ladder trials asked ahead:
// a lane's history does not depend on the others', so the results are those of one at a time.
void SolveTasks(const std::vector<PeriodTask>& tasks, double h, double alpha, const float* mu, int32_t nmu,
                int32_t n, double dt, int32_t sub) {
  std::vector<PeriodSearch> searches;
  searches.reserve(tasks.size());
  for (const PeriodTask& t : tasks) searches.emplace_back(mu, nmu, t.r);
  const bool shared = std::all_of(tasks.begin(), tasks.end(), [&](const PeriodTask& t) { return t.acc == tasks[0].acc; });
  Batch b{};
  while (true) {
    int lanes = 0;
    std::size_t of[kLanes];
    Request asked[kLanes];
    for (std::size_t s = 0; s < searches.size() && lanes < kLanes; ++s)
      while (lanes < kLanes && searches[s].Next(false, asked[lanes])) of[lanes++] = s;
    // Ladder trials ahead, one search's at a time in turn, so that each reaches its bracket soon.
    for (bool more = true; more && lanes < kLanes;) {
      more = false;
      for (std::size_t s = 0; s < searches.size() && lanes < kLanes; ++s)
        if (searches[s].Next(true, asked[lanes])) of[lanes++] = s, more = true;
    }
    if (lanes == 0) {
      if (std::all_of(searches.begin(), searches.end(), [](const PeriodSearch& p) { return p.Done(); })) return;
      continue;  // a search finished a target while asking; ask again
    }
    for (int j = 0; j < kLanes; ++j) {
      if (j >= lanes) {
        // An idle lane repeats a harmless oscillator that stops at once.
        b.acc[j] = tasks[0].acc;
        b.k[j] = 1, b.c[j] = 0, b.alpha[j] = 0, b.uy[j] = 1, b.cap[j] = 0;
        continue;
      }
      const PeriodTask& t = tasks[of[j]];
      b.acc[j] = t.acc;
      b.k[j] = t.w * t.w, b.c[j] = 2 * h * t.w, b.alpha[j] = alpha;
      b.uy[j] = t.sd / asked[j].r;
      b.cap[j] = asked[j].cap;
    }
    if (shared)
      RunSharedBatch(b, n, dt, sub);
    else
      RunBatch(b, n, dt, sub);
    for (int j = 0; j < lanes; ++j) searches[of[j]].Give(asked[j], b.mu[j]);
  }
}

}  // namespace

extern "C" {

SISMCALC_API int32_t CDSPECN(const int32_t* NCH, const int32_t* NP, const float* PRD, const float* H,
                             const float* ALPHA, const int32_t* NMU, const float* MU, const int32_t* N,
                             const float* DT, const float* ACC, float* R, float* SAY, float* SDM, float* SDY) {
  const int32_t nch = *NCH, np = *NP, nmu = *NMU, n = *N;
  const float h = *H, alpha = *ALPHA, dt = *DT;
  if (nch < 1 || np < 1 || nmu < 1 || n < 2 || !(dt > 0.0f) || !std::isfinite(dt) || !(h >= 0.0f && h < 1.0f) ||
      !(alpha >= 0.0f && alpha < 1.0f))
    return 0;
  for (int32_t j = 0; j < nmu; ++j)
    if (!(MU[j] >= 1.0f) || !std::isfinite(MU[j])) return 0;
  try {
    const auto nps = static_cast<std::size_t>(np), nmus = static_cast<std::size_t>(nmu);
    const auto chans = static_cast<std::size_t>(nch), ns = static_cast<std::size_t>(n);
    std::vector<float> sd(nps * chans), sv(nps), sa(nps);
    std::vector<double> pga(chans, 0.0);
    // Per channel and period the reductions of each target; periods without motion stay elastic.
    std::vector<double> r(chans * nps * nmus, 1.0);
    // Periods with motion of every channel, grouped by their sub-step count, so that the channels'
    // searches share batches.
    std::vector<std::vector<PeriodTask>> bySub(1025);
    for (std::size_t c = 0; c < chans; ++c) {
      const float* acc = ACC + c * ns;
      float* sdc = sd.data() + c * nps;
      if (RESPEC(NP, PRD, H, N, DT, acc, sdc, sv.data(), sa.data()) != 1) return 0;
      for (int32_t i = 0; i < n; ++i) pga[c] = std::max(pga[c], std::fabs(double{acc[i]}));
      for (std::size_t k = 0; k < nps; ++k)
        if (PRD[k] > 0 && sdc[k] > 0)
          bySub[static_cast<std::size_t>(SubSteps(PRD[k], dt))].push_back(
              {acc, r.data() + (c * nps + k) * nmus, kTwoPi / PRD[k], sdc[k]});
    }
    for (std::size_t s = 1; s < bySub.size(); ++s)
      if (!bySub[s].empty()) SolveTasks(bySub[s], h, alpha, MU, nmu, n, dt, static_cast<int32_t>(s));
    for (std::size_t c = 0; c < chans; ++c)
      for (std::size_t k = 0; k < nps; ++k) {
        const double t = PRD[k], se = sd[c * nps + k];
        const double w = t > 0 ? kTwoPi / t : 0;
        for (std::size_t j = 0; j < nmus; ++j) {
          const std::size_t at = k + nps * j + nps * nmus * c;
          if (!(t > 0)) {
            // Rigid: it moves with the ground and needs the peak ground acceleration.
            R[at] = 1.0f;
            SAY[at] = static_cast<float>(pga[c]);
            SDM[at] = SDY[at] = 0.0f;
            continue;
          }
          const double red = r[(c * nps + k) * nmus + j], uy = se / red;
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

SISMCALC_API int32_t CDSPEC(const int32_t* NP, const float* PRD, const float* H, const float* ALPHA,
                            const int32_t* NMU, const float* MU, const int32_t* N, const float* DT,
                            const float* ACC, float* R, float* SAY, float* SDM, float* SDY) {
  const int32_t one = 1;
  return CDSPECN(&one, NP, PRD, H, ALPHA, NMU, MU, N, DT, ACC, R, SAY, SDM, SDY);
}

}  // extern "C"
