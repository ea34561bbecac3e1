// Constant-ductility spectra against a direct solution written here: Newmark's average-acceleration
// steps with Newton iterations on the bilinear force, and bisection on the yield strength below
// the largest one that reaches the target; the elastic limit; the equal-displacement rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/samples.h"
#include "sismcalc.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<float> Synthetic() {
  std::vector<float> acc;
  for (int i = 0; i < 3000; ++i) {
    const double t = i * 0.01, e = t * std::exp(-t / 5);
    acc.push_back(static_cast<float>(80 * e * (std::sin(2 * kPi * 0.9 * t) + 0.7 * std::sin(2 * kPi * 3.3 * t + 0.5))));
  }
  return acc;
}

std::vector<float> RealNs() {
  std::ifstream in(sism::test::SamplesDir() / "jma" / "Q4169D2004.csv");
  std::vector<float> acc;
  std::string line;
  while (std::getline(in, line)) {
    std::replace(line.begin(), line.end(), ',', ' ');
    std::istringstream s(line);
    double a, b, c;
    if (s >> a >> b >> c) acc.push_back(static_cast<float>(a));
  }
  double mean = 0;
  for (float a : acc) mean += a;
  for (float& a : acc) a = static_cast<float>(a - mean / static_cast<double>(acc.size()));
  return acc;
}

// Peak |u| / uy of the bilinear oscillator (unit mass, post-yield ratio alpha) by Newmark's
// average acceleration with Newton-Raphson on the restoring force, steps of at most T/20.
double DirectDuctility(double period, double h, double alpha, double uy, const std::vector<float>& a, double dt) {
  const double w = 2 * kPi / period, k = w * w, c = 2 * h * w, fy = k * uy;
  const int sub = std::max(1, static_cast<int>(std::ceil(20 * dt / period)));
  const double s = dt / sub;
  double u = 0, v = 0, acc = -a[0], fs = 0, up = 0, peak = 0;  // up: plastic offset of the kinematic model
  auto force = [&](double x, double& tangent) {
    // Elastic about the plastic offset, bounded by the two lines alpha k x +- (1 - alpha) fy.
    const double trial = k * (x - up);
    const double hi = alpha * k * x + (1 - alpha) * fy, lo = alpha * k * x - (1 - alpha) * fy;
    if (trial > hi) return tangent = alpha * k, hi;
    if (trial < lo) return tangent = alpha * k, lo;
    return tangent = k, trial;
  };
  for (std::size_t i = 0; i + 1 < a.size(); ++i)
    for (int j = 1; j <= sub; ++j) {
      const double g = a[i] + (double{a[i + 1]} - a[i]) * j / sub;
      double x = u;  // Newton on r(x) = a(x) + c v(x) + fs(x) + g
      for (int it = 0; it < 50; ++it) {
        const double du = x - u, an = 4 * du / (s * s) - 4 * v / s - acc, vn = 2 * du / s - v;
        double kt = 0;
        const double f = force(x, kt);
        const double r = an + c * vn + f + g;
        if (std::fabs(r) < 1e-12 * (1 + std::fabs(g))) break;
        x -= r / (4 / (s * s) + 2 * c / s + kt);
      }
      const double du = x - u;
      const double an = 4 * du / (s * s) - 4 * v / s - acc;
      v = 2 * du / s - v;
      acc = an;
      u = x;
      double kt = 0;
      fs = force(u, kt);
      up = u - fs / k;
      peak = std::max(peak, std::fabs(u));
    }
  return peak / uy;
}

// R = Fe / Fy of the largest strength reaching mu: downward in steps of 2 % from the elastic
// strength until the ductility reaches mu, then bisection between the last two strengths.
double DirectReduction(double period, double mu, const std::vector<float>& a, float dt, double alpha = 0) {
  const int32_t n = static_cast<int32_t>(a.size()), np = 1;
  const float t = static_cast<float>(period), h = 0.05f;
  float sd = 0, sv = 0, sa = 0;
  RESPEC(&np, &t, &h, &n, &dt, a.data(), &sd, &sv, &sa);
  double lo = 1, hi = 1;  // reductions below and at or above the target
  while (DirectDuctility(period, 0.05, alpha, sd / hi, a, dt) < mu) lo = hi, hi *= 1.02;
  for (int it = 0; it < 30; ++it) {
    const double mid = std::sqrt(lo * hi);
    (DirectDuctility(period, 0.05, alpha, sd / mid, a, dt) < mu ? lo : hi) = mid;
  }
  return hi;
}

struct Spectra {
  std::vector<float> r, say, sdm, sdy;
};

Spectra RunCdspec(const std::vector<float>& prd, const std::vector<float>& mu, const std::vector<float>& a, float dt,
            float alpha = 0) {
  const int32_t np = static_cast<int32_t>(prd.size()), nmu = static_cast<int32_t>(mu.size()),
                n = static_cast<int32_t>(a.size());
  const float h = 0.05f;
  Spectra s;
  s.r.assign(prd.size() * mu.size(), -1.0f);
  s.say = s.sdm = s.sdy = s.r;
  EXPECT_EQ(CDSPEC(&np, prd.data(), &h, &alpha, &nmu, mu.data(), &n, &dt, a.data(), s.r.data(), s.say.data(),
                   s.sdm.data(), s.sdy.data()),
            1);
  return s;
}

TEST(Ductility, UnitDuctilityIsTheElasticSpectrum) {
  const std::vector<float> a = Synthetic(), prd = {0.0f, 0.05f, 0.3f, 1.0f, 3.0f};
  const Spectra s = RunCdspec(prd, {1.0f}, a, 0.01f);
  int32_t np = 5, n = static_cast<int32_t>(a.size());
  const float h = 0.05f, dt = 0.01f;
  std::vector<float> sd(5), sv(5), sa(5);
  ASSERT_EQ(RESPEC(&np, prd.data(), &h, &n, &dt, a.data(), sd.data(), sv.data(), sa.data()), 1);
  for (std::size_t k = 0; k < prd.size(); ++k) {
    SCOPED_TRACE(prd[k]);
    EXPECT_EQ(s.r[k], 1.0f);
    EXPECT_EQ(s.sdy[k], sd[k]);
    EXPECT_EQ(s.sdm[k], sd[k]);
    const double w = prd[k] > 0 ? 6.2831855f / prd[k] : 0;
    EXPECT_NEAR(s.say[k], prd[k] > 0 ? w * w * sd[k] : sa[k], 1e-4 * sa[k]);
  }
}

TEST(Ductility, AgreesWithDirectNewmarkBisection) {
  const std::vector<float> a = Synthetic(), prd = {0.2f, 0.5f, 1.0f, 2.0f}, mu = {2.0f, 4.0f};
  for (float alpha : {0.0f, 0.05f}) {
    const Spectra s = RunCdspec(prd, mu, a, 0.01f, alpha);
    for (std::size_t j = 0; j < mu.size(); ++j)
      for (std::size_t k = 0; k < prd.size(); ++k) {
        SCOPED_TRACE(::testing::Message() << "T " << prd[k] << " mu " << mu[j] << " alpha " << alpha);
        const std::size_t at = k + prd.size() * j;
        const double r = DirectReduction(prd[k], mu[j], a, 0.01f, alpha);
        EXPECT_NEAR(s.r[at], r, 0.02 * r);
        // The displacements and the strength hang together.
        const double w = 6.2831855f / prd[k];
        EXPECT_NEAR(s.sdm[at], mu[j] * s.sdy[at], 1e-5 * s.sdm[at]);
        EXPECT_NEAR(s.say[at], w * w * s.sdy[at], 1e-4 * s.say[at]);
      }
  }
}

TEST(Ductility, ChannelsAtOnceEqualEachAlone) {
  // Three channels of different strength and shape, one of them silent.
  const std::vector<float> a = Synthetic();
  const auto n = static_cast<int32_t>(a.size());
  std::vector<float> all(3 * a.size(), 0.0f);
  for (std::size_t i = 0; i < a.size(); ++i) {
    all[i] = a[i];
    all[2 * a.size() + i] = 0.5f * a[a.size() - 1 - i];
  }
  const std::vector<float> prd = {0.0f, 0.01f, 0.03f, 0.2f, 1.0f, 4.0f}, mu = {1.0f, 2.0f, 4.0f, 8.0f};
  const int32_t nch = 3, np = 6, nmu = 4;
  const float h = 0.05f, alpha = 0.05f, dt = 0.01f;
  const std::size_t cells = prd.size() * mu.size();
  std::vector<float> r(3 * cells), say(r.size()), sdm(r.size()), sdy(r.size());
  ASSERT_EQ(CDSPECN(&nch, &np, prd.data(), &h, &alpha, &nmu, mu.data(), &n, &dt, all.data(), r.data(), say.data(),
                    sdm.data(), sdy.data()),
            1);
  for (std::size_t c = 0; c < 3; ++c) {
    SCOPED_TRACE(c);
    const std::vector<float> one(all.begin() + static_cast<std::ptrdiff_t>(c * a.size()),
                                 all.begin() + static_cast<std::ptrdiff_t>((c + 1) * a.size()));
    const Spectra s = RunCdspec(prd, mu, one, dt, alpha);
    for (std::size_t k = 0; k < cells; ++k) {
      EXPECT_EQ(r[c * cells + k], s.r[k]) << k;
      EXPECT_EQ(say[c * cells + k], s.say[k]) << k;
      EXPECT_EQ(sdm[c * cells + k], s.sdm[k]) << k;
      EXPECT_EQ(sdy[c * cells + k], s.sdy[k]) << k;
    }
  }
  const int32_t none = 0;
  EXPECT_EQ(CDSPECN(&none, &np, prd.data(), &h, &alpha, &nmu, mu.data(), &n, &dt, all.data(), r.data(), say.data(),
                    sdm.data(), sdy.data()),
            0);
}

TEST(Ductility, RealRecordFollowsEqualDisplacementAndRigidLimits) {
  SKIP_WITHOUT_SAMPLES();
  const std::vector<float> a = RealNs();
  ASSERT_GT(a.size(), 10000u);
  const std::vector<float> prd = {0.02f, 1.0f, 10.0f}, mu = {2.0f, 4.0f};
  const Spectra s = RunCdspec(prd, mu, a, 0.01f);
  for (std::size_t j = 0; j < mu.size(); ++j) {
    SCOPED_TRACE(mu[j]);
    EXPECT_LT(s.r[0 + 3 * j], 1.15f);     // stiff: the strength cannot drop
    EXPECT_GE(s.r[0 + 3 * j], 1.0f);
    EXPECT_NEAR(s.r[2 + 3 * j], mu[j], 0.15 * mu[j]);  // flexible: equal displacements
    const double r = DirectReduction(1.0, mu[j], a, 0.01f);
    EXPECT_NEAR(s.r[1 + 3 * j], r, 0.02 * r);
  }
}

TEST(Ductility, RefusesWhatHasNoMeaning) {
  const std::vector<float> a = Synthetic(), prd = {1.0f};
  const int32_t np = 1, nmu = 1, n = static_cast<int32_t>(a.size()), zero = 0;
  const float h = 0.05f, dt = 0.01f, alpha = 0, below = 0.5f, one = 1;
  float r = -1, say = -1, sdm = -1, sdy = -1;
  EXPECT_EQ(CDSPEC(&np, prd.data(), &h, &alpha, &nmu, &below, &n, &dt, a.data(), &r, &say, &sdm, &sdy), 0);
  EXPECT_EQ(CDSPEC(&np, prd.data(), &h, &one, &nmu, &one, &n, &dt, a.data(), &r, &say, &sdm, &sdy), 0);
  EXPECT_EQ(CDSPEC(&zero, prd.data(), &h, &alpha, &nmu, &one, &n, &dt, a.data(), &r, &say, &sdm, &sdy), 0);
  EXPECT_EQ(r, -1.0f);
  // A record at rest needs no strength.
  const std::vector<float> rest(100, 0.0f);
  const int32_t m = 100;
  const float two = 2;
  ASSERT_EQ(CDSPEC(&np, prd.data(), &h, &alpha, &nmu, &two, &m, &dt, rest.data(), &r, &say, &sdm, &sdy), 1);
  EXPECT_EQ(r, 1.0f);
  EXPECT_EQ(say, 0.0f);
}

}  // namespace
