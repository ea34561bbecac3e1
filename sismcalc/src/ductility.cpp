// Constant-ductility response spectra of a bilinear oscillator: at each period the yield
// strength that makes the peak displacement the target multiple of the yield displacement.
// The inelastic histories step by Newmark's average-acceleration rule; the bilinear force is
// piecewise linear in the step's displacement, so each step is solved exactly on its branch.
#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "internal.h"
#include "sismcalc.h"

namespace {

using sismcalc::detail::kTwoPi;

struct Oscillator {
  double w2, c, alpha;  // per unit mass: stiffness w^2, damping 2 h w, post-yield stiffness ratio
};

// Peak |u| over the yield displacement for yield displacement uy, the ground acceleration
// linear between the samples and `sub` Newmark steps per interval; stops early once the
// ductility passes `cap`, returning it.
double Ductility(const Oscillator& o, double uy, int32_t n, double dt, int32_t sub, const float* acc, double cap) {
  const double hs = dt / sub;
  const double k = o.w2, keff = 4 / (hs * hs) + 2 * o.c / hs;
  const double fy = k * uy, q = (1 - o.alpha) * fy, ak = o.alpha * k;
  const double limit = cap * uy;
  double u = 0, v = 0, a = -double{acc[0]}, fs = 0, peak = 0;
  for (int32_t i = 0; i + 1 < n; ++i) {
    const double g0 = acc[i], dg = (double{acc[i + 1]} - g0) / sub;
    for (int32_t s = 1; s <= sub; ++s) {
      const double ag = g0 + dg * s;
      // keff du + fs(u + du) = rhs; the elastic branch first, then the bound it would pass.
      const double rhs = -ag + (4 / hs + o.c) * v + a;
      double du = (rhs - fs) / (keff + k);
      double f = fs + k * du;
      const double up = ak * (u + du) + q, lo = ak * (u + du) - q;
      if (f > up) {
        du = (rhs - ak * u - q) / (keff + ak);
        f = ak * (u + du) + q;
      } else if (f < lo) {
        du = (rhs - ak * u + q) / (keff + ak);
        f = ak * (u + du) - q;
      }
      const double vn = 2 * du / hs - v;
      a = 4 * du / (hs * hs) - 4 * v / hs - a;
      v = vn;
      u += du;
      fs = f;
      peak = std::max(peak, std::fabs(u));
    }
    if (peak > limit) return cap;
  }
  return peak / uy;
}

// The sub-steps that keep a Newmark step at most a tenth of the period.
int32_t SubSteps(double t, double dt) {
  return static_cast<int32_t>(std::clamp(std::ceil(10 * dt / t), 1.0, 1024.0));
}

struct Trial {
  double r, mu;  // strength reduction Fe / Fy and the ductility it gives
};

// The smallest reduction R (the largest strength) whose ductility reaches `target`, from the
// trials so far (ascending R), adding trials on a geometric ladder and refining the bracket by
// regula falsi (Illinois) on log ductility against log R.
double ReductionFor(double target, std::vector<Trial>& trials, double sd, const Oscillator& o, int32_t n,
                    double dt, int32_t sub, const float* acc) {
  auto run = [&](double r, double cap) { return Ductility(o, sd / r, n, dt, sub, acc, cap); };
  constexpr double kLadder = 1.35, kMaxR = 1e4;
  std::size_t j = 0;
  while (true) {
    if (j == trials.size()) {
      const double r = trials.back().r * kLadder;
      if (r > kMaxR) return trials.back().r;
      trials.push_back({r, run(r, 1e30)});
    }
    if (trials[j].mu >= target) break;
    ++j;
  }
  if (j == 0) return trials[0].r;
  double r0 = std::log(trials[j - 1].r), r1 = std::log(trials[j].r);
  double f0 = std::log(trials[j - 1].mu / target), f1 = std::log(trials[j].mu / target);
  int side = 0;
  for (int it = 0; it < 40 && r1 - r0 > 2e-4; ++it) {
    double x = (f1 - f0) > 0 ? r0 - f0 * (r1 - r0) / (f1 - f0) : (r0 + r1) / 2;
    if (!(x > r0 && x < r1)) x = (r0 + r1) / 2;
    const double mu = run(std::exp(x), 2 * target);
    const double fx = std::log(mu / target);
    if (fx >= 0) {
      r1 = x, f1 = fx;
      if (side == 1) f0 /= 2;
      side = 1;
    } else {
      r0 = x, f0 = fx;
      if (side == -1) f1 /= 2;
      side = -1;
    }
    if (std::fabs(fx) < 1e-5) return std::exp(x);
  }
  return std::exp(r1);
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
    std::vector<float> sd(static_cast<std::size_t>(np)), sv(sd.size()), sa(sd.size());
    if (RESPEC(NP, PRD, H, N, DT, ACC, sd.data(), sv.data(), sa.data()) != 1) return 0;
    double pga = 0;
    for (int32_t i = 0; i < n; ++i) pga = std::max(pga, std::fabs(double{ACC[i]}));
    std::vector<Trial> trials;
    for (int32_t k = 0; k < np; ++k) {
      const double t = PRD[k];
      const double w = t > 0 ? kTwoPi / t : 0;
      const double se = sd[k];
      trials.clear();
      const Oscillator o{w * w, 2 * h * w, alpha};
      const int32_t sub = t > 0 ? SubSteps(t, dt) : 1;
      for (int32_t j = 0; j < nmu; ++j) {
        const std::size_t at = static_cast<std::size_t>(k) + static_cast<std::size_t>(np) * static_cast<std::size_t>(j);
        const double mu = MU[j];
        if (!(t > 0) || !(se > 0) || mu == 1.0) {
          // Rigid, at rest or elastic: the elastic strength.
          R[at] = 1.0f;
          SAY[at] = static_cast<float>(t > 0 ? w * w * se : pga);
          SDM[at] = SDY[at] = static_cast<float>(se);
          continue;
        }
        if (trials.empty()) trials.push_back({1.0, Ductility(o, se, n, dt, sub, ACC, 1e30)});
        const double r = ReductionFor(mu, trials, se, o, n, dt, sub, ACC);
        const double uy = se / r;
        R[at] = static_cast<float>(r);
        SAY[at] = static_cast<float>(w * w * uy);
        SDM[at] = static_cast<float>(mu * uy);
        SDY[at] = static_cast<float>(uy);
      }
    }
    return 1;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

}  // extern "C"
