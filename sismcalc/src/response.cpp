// Response spectra of damped single-degree-of-freedom oscillators (Nigam-Jennings recurrence),
// energy spectrum, spectrum intensity and the logarithmic period list.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "internal.h"
#include "sismcalc.h"

namespace {

using sismcalc::detail::kTwoPi;

using sismcalc::detail::NigjenCoefficients;
using sismcalc::detail::StepCoef;

// Periods are independent, so a block of them runs side by side through the samples: the
// inner loop then works on whole vectors of periods, as wide as the processor allows.
constexpr int kBlock = 16;

// exp(lambda dt / 2^j) of one lane, lambda = -h w + i wd, for the search between the samples.
struct SearchGrid {
  double tr[9], ti[9];
};

struct BlockCoef {
  double a11[kBlock], a12[kBlock], a21[kBlock], a22[kBlock];
  double b11[kBlock], b12[kBlock], b21[kBlock], b22[kBlock];
  double w2[kBlock], h2w[kBlock];
  // For the search between the samples: the free vibration left in a step is
  // Re(Z exp(lambda t)) with Z = H0 - i G, H0 = d0 + lo iw2 - rise c2h, G = (v0 + rise r2 + hw H0) iwd
  // (rise = hi - lo); ed, ev, ea bound how far |d|, |v|, |a| can rise inside the step above the
  // larger of their values at its ends, per unit of |Z|.
  double iw2[kBlock], c2h[kBlock], r2[kBlock], hw[kBlock], iwd[kBlock];
  double ed[kBlock], ev[kBlock], ea[kBlock];
  double w[kBlock], h[kBlock];
  SearchGrid grid[kBlock];
};

struct BlockResult {
  // Largest magnitudes of relative displacement, relative velocity and absolute acceleration;
  // the sum of acc(i) v(i).
  double sd[kBlock], sv[kBlock], sa[kBlock], work[kBlock];
};

// One step of lanes first .. first + kWidth * kGroups - 1 with the ground acceleration going
// linearly from lo to hi; the maxima take the state at the step's end.
template <typename Vec, typename Bits, int kWidth, int kGroups>
[[gnu::always_inline]] inline void Advance(const BlockCoef& c, int first, double lo, double hi,
                                           Vec (&d)[kGroups], Vec (&v)[kGroups], Vec (&sd)[kGroups],
                                           Vec (&sv)[kGroups], Vec (&sa)[kGroups]) {
  constexpr auto kMagnitude = static_cast<long long>(~(1ULL << 63));
  const Bits magnitude = Bits{} + kMagnitude;
#pragma GCC unroll 8
  for (int g = 0; g < kGroups; ++g) {
    Vec a11, a12, a21, a22, b11, b12, b21, b22, w2, h2w;
    const int o = first + g * kWidth;
    std::memcpy(&a11, c.a11 + o, sizeof(Vec));
    std::memcpy(&a12, c.a12 + o, sizeof(Vec));
    std::memcpy(&a21, c.a21 + o, sizeof(Vec));
    std::memcpy(&a22, c.a22 + o, sizeof(Vec));
    std::memcpy(&b11, c.b11 + o, sizeof(Vec));
    std::memcpy(&b12, c.b12 + o, sizeof(Vec));
    std::memcpy(&b21, c.b21 + o, sizeof(Vec));
    std::memcpy(&b22, c.b22 + o, sizeof(Vec));
    std::memcpy(&w2, c.w2 + o, sizeof(Vec));
    std::memcpy(&h2w, c.h2w + o, sizeof(Vec));
    const Vec dn = a11 * d[g] + a12 * v[g] + (b11 * lo + b12 * hi);
    const Vec vn = a21 * d[g] + a22 * v[g] + (b21 * lo + b22 * hi);
    // The absolute acceleration with its sign turned: only its magnitude is kept.
    const Vec an = w2 * dn + h2w * vn;
    d[g] = dn;
    v[g] = vn;
    const Vec ad = (Vec)((Bits)dn & magnitude);
    const Vec av = (Vec)((Bits)vn & magnitude);
    const Vec aa = (Vec)((Bits)an & magnitude);
    sd[g] = ad > sd[g] ? ad : sd[g];
    sv[g] = av > sv[g] ? av : sv[g];
    sa[g] = aa > sa[g] ? aa : sa[g];
  }
}

// The search inside a step evaluates the response at 2^j + 1 points (j <= kSearchLevels) and
// then where the parabola through the largest and its neighbours peaks, with points close enough
// that the parabola's miss, at most (w step)^4 / 40 of the free vibration's amplitude, stays below
// kSearchTolerance of the peak so far.
constexpr int kSearchLevels = 8;
constexpr int kMaxSearchPoints = 1 << kSearchLevels;
constexpr double kSearchTolerance = 1e-3;
constexpr double kParabolaMiss = 40 * kSearchTolerance;
// A step whose peak can exceed the maxima by less than kSkipTolerance of them is not searched.
constexpr double kSkipTolerance = 1e-3;
constexpr double kSkip = 1 + kSkipTolerance;

SearchGrid MakeGrid(double w, double h, double dt) {
  SearchGrid g;
  const double wd = w * std::sqrt(1 - h * h);
  for (int j = 0; j <= kSearchLevels; ++j) {
    const double step = dt / (1 << j), decay = std::exp(-h * w * step);
    g.tr[j] = decay * std::cos(wd * step);
    g.ti[j] = decay * std::sin(wd * step);
  }
  return g;
}

// The largest |x| among x[0..count] (count >= 2) at `best`, and where the parabola through it and
// its neighbours (the two next to it at an end) peaks, in points, when that is a peak of the same
// sign within one point of it; otherwise -1.
double ParabolaPeakAt(const double* x, int count, int& best) {
  best = 0;
  for (int j = 1; j <= count; ++j)
    if (std::fabs(x[j]) > std::fabs(x[best])) best = j;
  const int m = std::clamp(best, 1, count - 1);
  const double curve = x[m - 1] - 2 * x[m] + x[m + 1], slope = (x[m + 1] - x[m - 1]) / 2;
  if (!(curve * x[best] < 0.0)) return -1.0;
  const double at = m - slope / curve;
  return at >= 0.0 && at <= count && std::fabs(at - best) <= 1.0 ? at : -1.0;
}

// The largest |d|, |v| and |a| of one oscillator inside a step of dt from state (d0, v0), the ground
// acceleration going linearly from lo to hi, raised into md, mv, ma. Inside the step each is a line
// plus the damped free vibration Re(C exp(lambda t)) (C = Z, lambda Z, lambda^2 Z for d, v, a).
[[gnu::noinline]] void StepPeaks(double w, double h, const SearchGrid& grid, double dt, double d0, double v0,
                                 double lo, double hi, double& md, double& mv, double& ma) {
  const double wd = w * std::sqrt(1.0 - h * h), w2 = w * w;
  const double s = (hi - lo) / dt;
  const double h0 = d0 + lo / w2 - 2 * h * s / (w2 * w);
  const double g = (v0 + s / w2 + h * w * h0) / wd;
  // Complex products written out: the library's own would check every one for infinities.
  const double lr = -h * w, li = wd;
  const double dr = h0, di = -g;
  const double vr = lr * dr - li * di, vi = lr * di + li * dr;
  const double ar = lr * vr - li * vi, ai = lr * vi + li * vr;
  double need = 1.0;
  auto points = [&](double c2, double peak) {
    if (c2 <= 0.0) return;
    const double c = std::sqrt(c2), target = peak > 0.0 ? peak : c;
    need = std::max(need, dt * w * std::sqrt(std::sqrt(c / (kParabolaMiss * target))));
  };
  points(dr * dr + di * di, md);
  points(vr * vr + vi * vi, mv);
  points(ar * ar + ai * ai, ma);
  int level = 1;
  while (level < kSearchLevels && (1 << level) < need) ++level;
  const int k = 1 << level;
  const double tr = grid.tr[level], ti = grid.ti[level];
  const double step = dt / k, dLine = 2 * h * s / (w2 * w), vLine = -s / w2;
  double xd[kMaxSearchPoints + 1], xv[kMaxSearchPoints + 1], xa[kMaxSearchPoints + 1];
  double er = 1.0, ei = 0.0;
  for (int j = 0; j <= k; ++j) {
    const double ground = lo + s * (step * j);
    xd[j] = dLine - ground / w2 + (dr * er - di * ei);
    xv[j] = vLine + (vr * er - vi * ei);
    xa[j] = ground + (ar * er - ai * ei);
    const double nr = er * tr - ei * ti;
    ei = er * ti + ei * tr;
    er = nr;
  }
  // The response itself where the parabolas peak: never above the true peak.
  const double* series[3] = {xd, xv, xa};
  double* peaks[3] = {&md, &mv, &ma};
  for (int q = 0; q < 3; ++q) {
    int best = 0;
    const double at = ParabolaPeakAt(series[q], k, best);
    double p = std::fabs(series[q][best]);
    if (at >= 0.0) {
      const double t = at * step, decay = std::exp(-h * w * t), pr = decay * std::cos(wd * t);
      const double pi = decay * std::sin(wd * t), ground = lo + s * t;
      double x = 0.0;
      if (q == 0) x = dLine - ground / w2 + (dr * pr - di * pi);
      if (q == 1) x = vLine + (vr * pr - vi * pi);
      if (q == 2) x = ground + (ar * pr - ai * pi);
      p = std::max(p, std::fabs(x));
    }
    *peaks[q] = std::max(*peaks[q], p);
  }
}

// Lane-wise square root in place (by reference: vector arguments would change the calling
// convention between the builds for different processors).
template <typename Vec, int kWidth>
[[gnu::always_inline]] inline void SqrtInPlace(Vec& x) {
  for (int l = 0; l < kWidth; ++l) x[l] = std::sqrt(x[l]);
}

// The walk with the peaks between the samples keeps, for every chunk of kChunk steps and every
// lane, the state at the chunk's start and bounds of |d|, |v|, |a| inside the chunk. Once the
// record's sampled maxima are known, only the chunks whose bounds exceed them are walked again,
// step by step, and searched (RefineLanes).
constexpr int32_t kChunk = 64;

struct ChunkStore {
  int32_t chunks = 0;
  // [chunk * kBlock + lane]: the start state, and how high |d|, |v|, |a| can reach in the chunk.
  std::vector<double> d0, v0, bd, bv, ba;
  // Per chunk, from the record alone: the largest |acc| at its samples and |acc(i+1) - acc(i)|.
  std::vector<double> ground, rise;
};

// Runs lanes first .. first + kWidth * kGroups - 1 of the block. Few enough groups per pass
// that the state stays in registers; the coefficients are read from memory each step. With a
// chunk store the walk also writes each chunk's start state and bounds there.
template <typename Vec, typename Bits, int kWidth, int kGroups, bool kChunked>
[[gnu::always_inline]] inline void RunLanes(const BlockCoef& c, int first, const float* acc, int32_t n,
                                            BlockResult& r, ChunkStore* store) {
  static_assert(sizeof(Vec) == kWidth * sizeof(double) && sizeof(Bits) == sizeof(Vec));
  Vec d[kGroups], v[kGroups], sd[kGroups], sv[kGroups], sa[kGroups], work[kGroups];
  Vec gd[kGroups], gv[kGroups], ga[kGroups];
  for (int g = 0; g < kGroups; ++g) {
    // At rest at the first sample; the maxima start from 0.
    d[g] = v[g] = sd[g] = sv[g] = sa[g] = work[g] = gd[g] = gv[g] = ga[g] = Vec{};
  }
  double prev = acc[0];
  if constexpr (!kChunked) {
    for (int32_t i = 1; i < n; ++i) {
      const double cur = acc[i];
      Advance<Vec, Bits, kWidth, kGroups>(c, first, prev, cur, d, v, sd, sv, sa);
      for (int g = 0; g < kGroups; ++g) work[g] += cur * v[g];
      prev = cur;
    }
  } else {
    constexpr auto kMagnitude = static_cast<long long>(~(1ULL << 63));
    const Bits magnitude = Bits{} + kMagnitude;
    int32_t at = 0;
    for (int32_t i0 = 0, ch = 0; i0 < n - 1; i0 += kChunk, at += kBlock, ++ch) {
      const int32_t end = std::min(i0 + kChunk, n - 1);
      for (int g = 0; g < kGroups; ++g) {
        const int o = at + first + g * kWidth;
        std::memcpy(store->d0.data() + o, &d[g], sizeof(Vec));
        std::memcpy(store->v0.data() + o, &v[g], sizeof(Vec));
        // The chunk's maxima include its start, already in the record's maxima.
        Vec w2, h2w;
        std::memcpy(&w2, c.w2 + first + g * kWidth, sizeof(Vec));
        std::memcpy(&h2w, c.h2w + first + g * kWidth, sizeof(Vec));
        sd[g] = (Vec)((Bits)d[g] & magnitude);
        sv[g] = (Vec)((Bits)v[g] & magnitude);
        sa[g] = (Vec)((Bits)(w2 * d[g] + h2w * v[g]) & magnitude);
      }
      for (int32_t i = i0 + 1; i <= end; ++i) {
        const double cur = acc[i];
        Advance<Vec, Bits, kWidth, kGroups>(c, first, prev, cur, d, v, sd, sv, sa);
        for (int g = 0; g < kGroups; ++g) work[g] += cur * v[g];
        prev = cur;
      }
      // The largest free vibration |Z| = |H0 - i G| (of StepPeaks) the chunk's states and ground
      // allow, and with it the bounds of |d|, |v|, |a| inside its steps.
      const double ground = store->ground[ch], rise = store->rise[ch];
      for (int g = 0; g < kGroups; ++g) {
        const int o = first + g * kWidth;
        Vec iw2, c2h, r2, hw, iwd, ed, ev, ea;
        std::memcpy(&iw2, c.iw2 + o, sizeof(Vec));
        std::memcpy(&c2h, c.c2h + o, sizeof(Vec));
        std::memcpy(&r2, c.r2 + o, sizeof(Vec));
        std::memcpy(&hw, c.hw + o, sizeof(Vec));
        std::memcpy(&iwd, c.iwd + o, sizeof(Vec));
        std::memcpy(&ed, c.ed + o, sizeof(Vec));
        std::memcpy(&ev, c.ev + o, sizeof(Vec));
        std::memcpy(&ea, c.ea + o, sizeof(Vec));
        Vec w, w2;
        std::memcpy(&w, c.w + o, sizeof(Vec));
        std::memcpy(&w2, c.w2 + o, sizeof(Vec));
        const Vec dLine = iw2 * ground + c2h * rise, vLine = r2 * rise;
        const Vec hb = sd[g] + dLine, gb = (sv[g] + vLine + hw * hb) * iwd;
        Vec zb = hb * hb + gb * gb;
        SqrtInPlace<Vec, kWidth>(zb);
        // Or the line's largest value plus the whole free vibration, when that is lower.
        Vec bd = sd[g] + ed * zb, bv = sv[g] + ev * zb, ba = sa[g] + ea * zb;
        const Vec fd = dLine + zb, fv = vLine + w * zb, fa = ground + w2 * zb;
        bd = fd < bd ? fd : bd;
        bv = fv < bv ? fv : bv;
        ba = fa < ba ? fa : ba;
        std::memcpy(store->bd.data() + at + o, &bd, sizeof(Vec));
        std::memcpy(store->bv.data() + at + o, &bv, sizeof(Vec));
        std::memcpy(store->ba.data() + at + o, &ba, sizeof(Vec));
        gd[g] = sd[g] > gd[g] ? sd[g] : gd[g];
        gv[g] = sv[g] > gv[g] ? sv[g] : gv[g];
        ga[g] = sa[g] > ga[g] ? sa[g] : ga[g];
      }
    }
    for (int g = 0; g < kGroups; ++g) {
      sd[g] = gd[g];
      sv[g] = gv[g];
      sa[g] = ga[g];
    }
  }
  for (int g = 0; g < kGroups; ++g) {
    const int o = first + g * kWidth;
    std::memcpy(r.sd + o, &sd[g], sizeof(Vec));
    std::memcpy(r.sv + o, &sv[g], sizeof(Vec));
    std::memcpy(r.sa + o, &sa[g], sizeof(Vec));
    std::memcpy(r.work + o, &work[g], sizeof(Vec));
  }
}

// Walks chunk ch of lanes first .. first + kWidth * kGroups - 1 again from its stored start,
// bounding in each step how high |d|, |v| and |a| can rise between its ends: the larger end value
// plus the rise bound, or the line's larger end value plus the whole free vibration (amplitudes
// z, w z, w^2 z). Steps whose bound exceeds the maxima are searched by StepPeaks.
template <typename Vec, typename Bits, int kWidth, int kGroups>
[[gnu::always_inline]] inline void RefineChunk(const BlockCoef& c, int first, int32_t ch, const float* acc,
                                               int32_t n, double dt, const ChunkStore& st, BlockResult& r) {
  constexpr auto kMagnitude = static_cast<long long>(~(1ULL << 63));
  const Bits magnitude = Bits{} + kMagnitude;
  constexpr int kLanes = kWidth * kGroups;
  Vec d[kGroups], v[kGroups], a[kGroups], md[kGroups], mv[kGroups], ma[kGroups];
  auto limits = [&]() {
    for (int g = 0; g < kGroups; ++g) {
      const int o = first + g * kWidth;
      std::memcpy(&md[g], r.sd + o, sizeof(Vec));
      std::memcpy(&mv[g], r.sv + o, sizeof(Vec));
      std::memcpy(&ma[g], r.sa + o, sizeof(Vec));
      md[g] *= kSkip;
      mv[g] *= kSkip;
      ma[g] *= kSkip;
    }
  };
  limits();
  const std::size_t at = static_cast<std::size_t>(ch) * kBlock;
  for (int g = 0; g < kGroups; ++g) {
    const int o = first + g * kWidth;
    Vec w2, h2w;
    std::memcpy(&d[g], st.d0.data() + at + o, sizeof(Vec));
    std::memcpy(&v[g], st.v0.data() + at + o, sizeof(Vec));
    std::memcpy(&w2, c.w2 + o, sizeof(Vec));
    std::memcpy(&h2w, c.h2w + o, sizeof(Vec));
    a[g] = w2 * d[g] + h2w * v[g];
  }
  const int32_t i0 = ch * kChunk, end = std::min(i0 + kChunk, n - 1);
  for (int32_t i = i0; i < end; ++i) {
    const double lo = acc[i], hi = acc[i + 1], rise = hi - lo;
    const double la = std::max(std::fabs(lo), std::fabs(hi));
    Vec slack[kGroups], d0[kGroups], v0[kGroups];
    for (int g = 0; g < kGroups; ++g) {
      const int o = first + g * kWidth;
      Vec a11, a12, a21, a22, b11, b12, b21, b22, w, w2, h2w, iw2, c2h, r2, hw, iwd, ed, ev, ea;
      std::memcpy(&a11, c.a11 + o, sizeof(Vec));
      std::memcpy(&a12, c.a12 + o, sizeof(Vec));
      std::memcpy(&a21, c.a21 + o, sizeof(Vec));
      std::memcpy(&a22, c.a22 + o, sizeof(Vec));
      std::memcpy(&b11, c.b11 + o, sizeof(Vec));
      std::memcpy(&b12, c.b12 + o, sizeof(Vec));
      std::memcpy(&b21, c.b21 + o, sizeof(Vec));
      std::memcpy(&b22, c.b22 + o, sizeof(Vec));
      std::memcpy(&w, c.w + o, sizeof(Vec));
      std::memcpy(&w2, c.w2 + o, sizeof(Vec));
      std::memcpy(&h2w, c.h2w + o, sizeof(Vec));
      std::memcpy(&iw2, c.iw2 + o, sizeof(Vec));
      std::memcpy(&c2h, c.c2h + o, sizeof(Vec));
      std::memcpy(&r2, c.r2 + o, sizeof(Vec));
      std::memcpy(&hw, c.hw + o, sizeof(Vec));
      std::memcpy(&iwd, c.iwd + o, sizeof(Vec));
      std::memcpy(&ed, c.ed + o, sizeof(Vec));
      std::memcpy(&ev, c.ev + o, sizeof(Vec));
      std::memcpy(&ea, c.ea + o, sizeof(Vec));
      const Vec dLine = c2h * rise;
      const Vec h0 = d[g] + (iw2 * lo - dLine), gg = (v[g] + r2 * rise + hw * h0) * iwd;
      Vec z = h0 * h0 + gg * gg;
      SqrtInPlace<Vec, kWidth>(z);
      const Vec dn = a11 * d[g] + a12 * v[g] + (b11 * lo + b12 * hi);
      const Vec vn = a21 * d[g] + a22 * v[g] + (b21 * lo + b22 * hi);
      const Vec an = w2 * dn + h2w * vn;
      const auto m = magnitude;
      const Vec ld0 = (Vec)((Bits)(dLine - lo * iw2) & m), ld1 = (Vec)((Bits)(dLine - hi * iw2) & m);
      const Vec ad = (Vec)((Bits)d[g] & m), adn = (Vec)((Bits)dn & m);
      const Vec av = (Vec)((Bits)v[g] & m), avn = (Vec)((Bits)vn & m);
      const Vec aa = (Vec)((Bits)a[g] & m), aan = (Vec)((Bits)an & m);
      Vec bd = (ad > adn ? ad : adn) + ed * z, bv = (av > avn ? av : avn) + ev * z;
      Vec ba = (aa > aan ? aa : aan) + ea * z;
      const Vec fd = (ld0 > ld1 ? ld0 : ld1) + z, fv = (Vec)((Bits)(r2 * rise) & m) + w * z;
      const Vec fa = la + w2 * z;
      bd = fd < bd ? fd : bd;
      bv = fv < bv ? fv : bv;
      ba = fa < ba ? fa : ba;
      slack[g] = (Vec)((Bits)(md[g] - bd) | (Bits)(mv[g] - bv) | (Bits)(ma[g] - ba));
      d0[g] = d[g];
      v0[g] = v[g];
      d[g] = dn;
      v[g] = vn;
      a[g] = an;
    }
    Bits any = (Bits)slack[0];
    for (int g = 1; g < kGroups; ++g) any |= (Bits)slack[g];
    long long bits[kWidth];
    std::memcpy(bits, &any, sizeof(Bits));
    long long hit = 0;
    for (int l = 0; l < kWidth; ++l) hit |= bits[l];
    if (__builtin_expect(hit >= 0, 1)) continue;
    double sl[kLanes], ds[kLanes], vs[kLanes];
    for (int g = 0; g < kGroups; ++g) {
      std::memcpy(sl + g * kWidth, &slack[g], sizeof(Vec));
      std::memcpy(ds + g * kWidth, &d0[g], sizeof(Vec));
      std::memcpy(vs + g * kWidth, &v0[g], sizeof(Vec));
    }
    for (int l = 0; l < kLanes; ++l)
      if (std::signbit(sl[l])) {
        const int o = first + l;
        StepPeaks(c.w[o], c.h[o], c.grid[o], dt, ds[l], vs[l], lo, hi, r.sd[o], r.sv[o], r.sa[o]);
      }
    limits();
  }
}

// Raises the maxima of a pass of lanes by the peaks between the samples. A chunk is walked again
// only when one of its lanes' bounds exceeds that lane's maxima.
template <typename Vec, typename Bits, int kWidth, int kGroups>
[[gnu::always_inline]] inline void RefineLanes(const BlockCoef& c, int first, const float* acc, int32_t n,
                                               double dt, const ChunkStore& st, BlockResult& r) {
  constexpr int kLanes = kWidth * kGroups;
  for (int32_t ch = 0; ch < st.chunks; ++ch) {
    const std::size_t at = static_cast<std::size_t>(ch) * kBlock + static_cast<std::size_t>(first);
    bool hit = false;
    for (int l = 0; l < kLanes; ++l)
      hit |= (st.bd[at + l] > r.sd[first + l] * kSkip) | (st.bv[at + l] > r.sv[first + l] * kSkip) |
             (st.ba[at + l] > r.sa[first + l] * kSkip);
    if (hit) RefineChunk<Vec, Bits, kWidth, kGroups>(c, first, ch, acc, n, dt, st, r);
  }
}

template <typename Vec, typename Bits, int kWidth, int kGroups>
[[gnu::always_inline]] inline void RunBlockWith(const BlockCoef& c, const float* acc, int32_t n, double dt,
                                                int lanes, BlockResult& r, ChunkStore* store) {
  static_assert(kBlock % (kWidth * kGroups) == 0);
  // Passes holding no used lane are left out, and a last pass whose used lanes fit one
  // vector runs one group only.
  for (int first = 0; first < lanes; first += kWidth * kGroups) {
    if (lanes - first <= kWidth) {
      if (store) {
        RunLanes<Vec, Bits, kWidth, 1, true>(c, first, acc, n, r, store);
        RefineLanes<Vec, Bits, kWidth, 1>(c, first, acc, n, dt, *store, r);
      } else {
        RunLanes<Vec, Bits, kWidth, 1, false>(c, first, acc, n, r, store);
      }
    } else if (store) {
      RunLanes<Vec, Bits, kWidth, kGroups, true>(c, first, acc, n, r, store);
      RefineLanes<Vec, Bits, kWidth, kGroups>(c, first, acc, n, dt, *store, r);
    } else {
      RunLanes<Vec, Bits, kWidth, kGroups, false>(c, first, acc, n, r, store);
    }
  }
}

typedef double Vec2 __attribute__((vector_size(16)));
typedef double Vec4 __attribute__((vector_size(32)));
typedef double Vec8 __attribute__((vector_size(64)));
typedef long long Bits2 __attribute__((vector_size(16)));
typedef long long Bits4 __attribute__((vector_size(32)));
typedef long long Bits8 __attribute__((vector_size(64)));

void RunBlockBase(const BlockCoef& c, const float* acc, int32_t n, double dt, int lanes, BlockResult& r,
                  ChunkStore* store) {
  RunBlockWith<Vec2, Bits2, 2, 2>(c, acc, n, dt, lanes, r, store);
}

#if defined(__x86_64__) || defined(__i386__)
[[gnu::target("avx2,fma")]] void RunBlockAvx2(const BlockCoef& c, const float* acc, int32_t n, double dt,
                                              int lanes, BlockResult& r, ChunkStore* store) {
  RunBlockWith<Vec4, Bits4, 4, 2>(c, acc, n, dt, lanes, r, store);
}

[[gnu::target("avx512f")]] void RunBlockAvx512(const BlockCoef& c, const float* acc, int32_t n, double dt,
                                               int lanes, BlockResult& r, ChunkStore* store) {
  RunBlockWith<Vec8, Bits8, 8, 2>(c, acc, n, dt, lanes, r, store);
}
#endif

using BlockKernel = void (*)(const BlockCoef&, const float*, int32_t, double, int, BlockResult&, ChunkStore*);

BlockKernel ChooseKernel() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx512f")) return RunBlockAvx512;
  if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma")) return RunBlockAvx2;
#endif
  return RunBlockBase;
}

// The chunks' ground figures of ChunkStore.
void MeasureGround(const float* acc, int32_t n, ChunkStore& store) {
  store.chunks = (n - 2) / kChunk + 1;
  const auto size = static_cast<std::size_t>(store.chunks);
  for (auto* v : {&store.d0, &store.v0, &store.bd, &store.bv, &store.ba}) v->resize(size * kBlock);
  store.ground.assign(size, 0.0);
  store.rise.assign(size, 0.0);
  for (int32_t ch = 0; ch < store.chunks; ++ch) {
    const int32_t i0 = ch * kChunk, end = std::min(i0 + kChunk, n - 1);
    double g = std::fabs(double{acc[i0]}), r = 0.0;
    for (int32_t i = i0 + 1; i <= end; ++i) {
      g = std::max(g, std::fabs(double{acc[i]}));
      r = std::max(r, std::fabs(double{acc[i]} - acc[i - 1]));
    }
    store.ground[ch] = g;
    store.rise[ch] = r;
  }
}

// The Nigam-Jennings recurrence for a block of oscillators at rest at the first sample, keeping
// only the maxima (with a chunk store, those between the samples too) and the input work of each.
// Lanes from `lanes` on may be left unrun.
void NIGJEN(const BlockCoef& c, const float* acc, int32_t n, double dt, int lanes, BlockResult& r,
            ChunkStore* store) {
  static const BlockKernel kernel = ChooseKernel();
  kernel(c, acc, n, dt, lanes, r, store);
}

// The outputs of one period; any pointer may be null.
struct Outputs {
  float* sd;
  float* sv;
  float* sa;
  float* ve;      // energy-equivalent velocity; written for positive periods only
  bool veRigid0;  // write VE = 0 for rigid entries
};

float PeakAbs(int32_t n, const float* acc) {
  float peak = 0.0f;
  for (int32_t i = 0; i < n; ++i) peak = std::fmax(peak, std::fabs(acc[i]));
  return peak;
}

// Runs every positive period of prd through the recurrence; rigid entries (period <= 0) get
// SD = SV = 0 and SA = peak ground acceleration. `exact` takes the maxima between the samples too.
// Requires n >= 1.
void Spectra(int32_t np, const float* prd, float h, int32_t n, float dt, const float* acc, const Outputs& out,
             bool exact = false) {
  int idx[kBlock];
  int count = 0;
  float pga = -1.0f;
  ChunkStore store;
  if (exact) MeasureGround(acc, n, store);
  auto flush = [&]() {
    const double step = double{dt};
    BlockCoef k;
    for (int lane = 0; lane < kBlock; ++lane) {
      // Unused lanes repeat the first period; their results are dropped.
      const double w = static_cast<float>(kTwoPi / prd[idx[lane < count ? lane : 0]]);
      const StepCoef c = NigjenCoefficients(w, h, step);
      k.a11[lane] = c.a11;
      k.a12[lane] = c.a12;
      k.a21[lane] = c.a21;
      k.a22[lane] = c.a22;
      k.b11[lane] = c.b11;
      k.b12[lane] = c.b12;
      k.b21[lane] = c.b21;
      k.b22[lane] = c.b22;
      k.w2[lane] = c.w2;
      k.h2w[lane] = c.h2w;
      const double w2 = w * w, hd = h;
      k.iw2[lane] = 1 / w2;
      k.c2h[lane] = 2 * hd / (w2 * w * step);
      k.r2[lane] = 1 / (w2 * step);
      k.hw[lane] = hd * w;
      k.iwd[lane] = 1 / (w * std::sqrt(1 - hd * hd));
      // The rise inside a step is at most step^2/8 |x''|, and never more than twice the free
      // vibration's amplitude.
      const double rise = std::min(step * step * w2 / 8, 2.0);
      k.ed[lane] = rise;
      k.ev[lane] = rise * w;
      k.ea[lane] = rise * w2;
      k.w[lane] = w;
      k.h[lane] = hd;
      k.grid[lane] = MakeGrid(w, hd, step);
    }
    BlockResult r;
    NIGJEN(k, acc, n, step, count, r, exact ? &store : nullptr);
    for (int lane = 0; lane < count; ++lane) {
      const int at = idx[lane];
      if (out.sd) out.sd[at] = static_cast<float>(r.sd[lane]);
      if (out.sv) out.sv[at] = static_cast<float>(r.sv[lane]);
      if (out.sa) out.sa[at] = static_cast<float>(r.sa[lane]);
      if (out.ve) {
        // Input energy per unit mass. Summed at the samples it can come out below zero for a
        // very short record, which has no energy equivalent velocity but 0.
        const double ein = std::max(-r.work[lane] * dt, 0.0);
        out.ve[at] = ein == 0.0 ? 0.0f : static_cast<float>(std::sqrt(2.0 * ein));
      }
    }
    count = 0;
  };
  for (int32_t i = 0; i < np; ++i) {
    if (prd[i] > 0.0f) {
      idx[count++] = i;
      if (count == kBlock) flush();
      continue;
    }
    if (pga < 0.0f) pga = PeakAbs(n, acc);
    if (out.sd) out.sd[i] = 0.0f;
    if (out.sv) out.sv[i] = 0.0f;
    if (out.sa) out.sa[i] = pga;
    if (out.ve && out.veRigid0) out.ve[i] = 0.0f;
  }
  if (count > 0) flush();
}

// Damping from 0 up to (not including) critical: at or above critical the damped frequency has
// no value, and below 0 the response grows without bound. NaN is refused with them.
bool DampingOk(float h) {
  return h >= 0.0f && h < 1.0f;
}

using sismcalc::detail::kMaxStepsPerPeriod;

bool SpectraArgsOk(int32_t np, float h, int32_t n, float dt) {
  return dt > 0.0f && np > 0 && n > 1 && DampingOk(h);
}

// Spectrum intensity: trapezoid integral over period of the pseudo-velocity spectrum.
float SpectrumIntensity(int32_t np, float t1, float t2, float h, int32_t n, float dt, const float* acc,
                        bool t2AboveT1) {
  // A zero step would divide by zero in the recurrence and give not-a-number.
  if (!(dt > 0.0f) || np < 0 || n < 1 || !DampingOk(h)) return 0.0f;
  if (t1 <= 0.0f) t1 = 0.1f;
  if (t2 <= 0.0f) t2 = 2.5f;
  if (t2AboveT1 && t2 <= t1) t2 = 2.5f;
  if (np < 2 || t1 == t2) return 0.0f;  // no period list, nothing to integrate
  try {
    std::vector<float> prd(np), sd(np);
    if (LOGPRD(&t1, &t2, &np, prd.data()) == 0) return 0.0f;
    Spectra(np, prd.data(), h, n, dt, acc, Outputs{sd.data(), nullptr, nullptr, nullptr, false});
    double si = 0.0;
    double prev = 0.0;
    for (int32_t k = 0; k < np; ++k) {
      const double w = static_cast<float>(kTwoPi / prd[k]);
      const double psv = w * sd[k];
      if (k > 0) si += (psv + prev) * (double{prd[k]} - prd[k - 1]) / 2;
      prev = psv;
    }
    return static_cast<float>(si);
  } catch (const std::bad_alloc&) {
    return 0.0f;
  }
}

}  // namespace

namespace sismcalc::detail {

StepCoef NigjenCoefficients(double w, double h, double dt) {
  const double q = std::sqrt(1.0 - h * h);
  const double wd = q * w;
  const double e = std::exp(-h * w * dt);
  const double s = std::sin(wd * dt);
  const double c = std::cos(wd * dt);
  const double w2 = w * w;
  const double w3dt = w2 * w * dt;
  const double w2dt = w2 * dt;
  const double sq = s / q;
  StepCoef k;
  k.a11 = e * (h * sq + c);
  k.a12 = e * s / (q * w);
  k.a21 = -e * w * sq;
  k.a22 = e * (c - h * sq);
  k.b11 = e * (sq * (h / w2 + (2 * h * h - 1) / w3dt) + c * (2 * h / w3dt + 1 / w2)) - 2 * h / w3dt;
  k.b12 = -e * (sq * (2 * h * h - 1) / w3dt + c * 2 * h / w3dt) - 1 / w2 + 2 * h / w3dt;
  k.b21 = 1 / w2dt - e * (sq * (h / w2dt + 1 / w) + c / w2dt);
  k.b22 = e * (sq * h / w2dt + c / w2dt) - 1 / w2dt;
  k.w2 = w2;
  k.h2w = 2 * h * w;
  return k;
}

int SubClass(float t, float dt, int32_t perPeriod) {
  const double need = double{dt} * perPeriod / t;
  int cls = 0;
  while (cls < kSubClasses - 1 && (int32_t{1} << cls) < need) ++cls;
  return cls;
}

}  // namespace sismcalc::detail

extern "C" {

SISMCALC_API int32_t LOGPRD(const float* T1, const float* T2, const int32_t* N, float* PRD) {
  const float t1 = *T1, t2 = *T2;
  const int32_t n = *N;
  // Periods must be positive: a logarithm of zero or less has no value.
  if (n < 2 || t1 == t2 || !(t1 > 0.0f) || !(t2 > 0.0f) || !std::isfinite(t1) || !std::isfinite(t2)) return 0;
  const double r = std::pow(10.0, std::log10(double{t2} / t1) / (n - 1));
  PRD[0] = t1;
  for (int32_t k = 1; k < n; ++k) PRD[k] = static_cast<float>(PRD[k - 1] * r);
  return 1;
}

SISMCALC_API int32_t RESPEC(const int32_t* NP, const float* PRD, const float* H, const int32_t* N,
                            const float* DT, const float* ACC, float* SD, float* SV, float* SA) {
  if (!SpectraArgsOk(*NP, *H, *N, *DT)) return 0;
  Spectra(*NP, PRD, *H, *N, *DT, ACC, Outputs{SD, SV, SA, nullptr, false});
  return 1;
}

SISMCALC_API int32_t RESPEC2(const int32_t* NP, const float* PRD, const float* H, const int32_t* N,
                             const float* DT, const float* ACC, float* SD, float* SV, float* SA, float* VE) {
  if (!SpectraArgsOk(*NP, *H, *N, *DT)) return 0;
  Spectra(*NP, PRD, *H, *N, *DT, ACC, Outputs{SD, SV, SA, VE, false});
  return 1;
}

SISMCALC_API int32_t RESPECSUB(const int32_t* NP, const float* PRD, const float* H, const int32_t* N,
                               const float* DT, const float* ACC, float* SD, float* SV, float* SA, float* VE,
                               const int32_t* NSTEP) {
  const int32_t perPeriod = *NSTEP;
  if (!SpectraArgsOk(*NP, *H, *N, *DT) || perPeriod < 0 || perPeriod > kMaxStepsPerPeriod) return 0;
  try {
    Spectra(*NP, PRD, *H, *N, *DT, ACC, Outputs{SD, SV, SA, VE, false}, perPeriod > 0);
  } catch (const std::bad_alloc&) {
    return 0;  // no room for the chunks' states
  }
  return 1;
}

SISMCALC_API int32_t ENGSPEC(const int32_t* NP, const float* PRD, const float* H, const int32_t* N,
                             const float* DT, const float* ACC, float* VE) {
  if (!SpectraArgsOk(*NP, *H, *N, *DT)) return 0;
  Spectra(*NP, PRD, *H, *N, *DT, ACC, Outputs{nullptr, nullptr, nullptr, VE, true});
  return 1;
}

SISMCALC_API float SPINT(const int32_t* NP, const float* T1, const float* T2, const float* H,
                         const int32_t* N, const float* DT, const float* ACC) {
  return SpectrumIntensity(*NP, *T1, *T2, *H, *N, *DT, ACC, false);
}

SISMCALC_API float SPECINT(const int32_t* NP, const float* T1, const float* T2, const float* H,
                           const int32_t* N, const float* DT, const float* ACC) {
  return SpectrumIntensity(*NP, *T1, *T2, *H, *N, *DT, ACC, true);
}

}  // extern "C"
