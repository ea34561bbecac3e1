// Response spectra against oscillators solved independently: a fine Runge-Kutta integration,
// free vibration, resonance and the rigid and very flexible limits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "sismcalc.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Spectrum {
  std::vector<float> sd, sv, sa, ve;
};

Spectrum Respec2(const std::vector<float>& prd, float h, float dt, const std::vector<float>& acc,
                 int32_t* result = nullptr) {
  int32_t np = static_cast<int32_t>(prd.size()), n = static_cast<int32_t>(acc.size());
  Spectrum s{std::vector<float>(np, -7.0f), std::vector<float>(np, -7.0f), std::vector<float>(np, -7.0f),
             std::vector<float>(np, -7.0f)};
  const int32_t r =
      RESPEC2(&np, prd.data(), &h, &n, &dt, acc.data(), s.sd.data(), s.sv.data(), s.sa.data(), s.ve.data());
  if (result) *result = r;
  return s;
}

// Ground acceleration: band-limited noise under a smooth envelope, at rest at both ends.
std::vector<float> NoiseRecord(int32_t n, float dt, unsigned seed = 11) {
  std::mt19937 gen(seed);
  std::normal_distribution<double> noise(0.0, 100.0);
  std::vector<float> acc(n);
  double smooth = 0.0;
  for (int32_t i = 0; i < n; ++i) {
    smooth = 0.7 * smooth + 0.3 * noise(gen);
    const double t = i * dt, t_end = n * dt;
    acc[i] = static_cast<float>(smooth * std::sin(kPi * t / t_end) * std::sin(kPi * t / t_end));
  }
  return acc;
}

// Maxima of the oscillator's response by classical Runge-Kutta with many substeps per sample,
// the ground acceleration interpolated linearly between samples.
struct Reference {
  double sd = 0, sv = 0, sa = 0, ve = 0;
};

Reference SolveOscillator(double period, double h, double dt, const std::vector<float>& acc) {
  const double w = 2 * kPi / period;
  const int sub = 64;
  const double step = dt / sub;
  double x = 0, v = 0, work = 0;
  Reference r;
  auto deriv = [&](double a, double xs, double vs, double& dx, double& dv) {
    dx = vs;
    dv = -a - 2 * h * w * vs - w * w * xs;
  };
  for (size_t i = 0; i + 1 < acc.size(); ++i) {
    for (int s = 0; s < sub; ++s) {
      auto ground = [&](double frac) { return acc[i] + (acc[i + 1] - double{acc[i]}) * frac; };
      const double f0 = double(s) / sub, fm = (s + 0.5) / sub, f1 = (s + 1.0) / sub;
      double k1x, k1v, k2x, k2v, k3x, k3v, k4x, k4v;
      deriv(ground(f0), x, v, k1x, k1v);
      deriv(ground(fm), x + step / 2 * k1x, v + step / 2 * k1v, k2x, k2v);
      deriv(ground(fm), x + step / 2 * k2x, v + step / 2 * k2v, k3x, k3v);
      deriv(ground(f1), x + step * k3x, v + step * k3v, k4x, k4v);
      x += step / 6 * (k1x + 2 * k2x + 2 * k3x + k4x);
      v += step / 6 * (k1v + 2 * k2v + 2 * k3v + k4v);
    }
    r.sd = std::max(r.sd, std::fabs(x));
    r.sv = std::max(r.sv, std::fabs(v));
    r.sa = std::max(r.sa, std::fabs(w * w * x + 2 * h * w * v));
    work += acc[i + 1] * v;
  }
  r.ve = std::sqrt(2 * -work * dt);
  return r;
}

float Ratio(float a, float b) {
  return a / b;
}

TEST(LogPeriods, SpacesPeriodsEvenlyInLogarithm) {
  float t1 = 0.02f, t2 = 5.0f, prd[4];
  int32_t n = 4;
  ASSERT_EQ(LOGPRD(&t1, &t2, &n, prd), 1);
  EXPECT_FLOAT_EQ(prd[0], 0.02f);
  EXPECT_NEAR(prd[1], 0.1260, 5e-5);
  EXPECT_NEAR(prd[2], 0.7937, 5e-5);
  EXPECT_NEAR(prd[3], 5.000, 5e-5);

  // Descending when the first limit is the larger one.
  float desc[3];
  n = 3;
  ASSERT_EQ(LOGPRD(&t2, &t1, &n, desc), 1);
  EXPECT_FLOAT_EQ(desc[0], 5.0f);
  EXPECT_NEAR(desc[1], std::sqrt(0.1), 1e-6);
  EXPECT_NEAR(desc[2], 0.02, 1e-7);
}

TEST(LogPeriods, RejectsListsWithoutSpread) {
  struct Case {
    float t1, t2;
    int32_t n;
  };
  const Case cases[] = {
      {0.1f, 1.0f, 1},    // one period
      {0.1f, 1.0f, 0},    // none
      {1.0f, 1.0f, 10},   // equal limits
      {0.0f, 1.0f, 10},   // logarithm of 0
      {-1.0f, 1.0f, 10},  // negative period
      {0.1f, -2.0f, 10},
  };
  for (const Case& c : cases) {
    float prd[10];
    std::fill(std::begin(prd), std::end(prd), -3.0f);
    int32_t n = c.n;
    EXPECT_EQ(LOGPRD(&c.t1, &c.t2, &n, prd), 0) << c.t1 << " " << c.t2 << " " << c.n;
    EXPECT_EQ(prd[0], -3.0f);
  }
}

TEST(ResponseSpectrum, MatchesFineNumericalSolutionOfTheOscillator) {
  const float dt = 0.01f;
  const std::vector<float> acc = NoiseRecord(1500, dt);
  const std::vector<float> prd = {0.05f, 0.1f, 0.3f, 1.0f, 3.0f, 10.0f};
  for (float h : {0.0f, 0.02f, 0.05f, 0.2f}) {
    const Spectrum s = Respec2(prd, h, dt, acc);
    for (size_t k = 0; k < prd.size(); ++k) {
      const double w = static_cast<float>(6.2831855f / prd[k]);
      const Reference r = SolveOscillator(2 * kPi / w, h, dt, acc);
      SCOPED_TRACE(testing::Message() << "T=" << prd[k] << " h=" << h);
      EXPECT_NEAR(s.sd[k], r.sd, 2e-6 * r.sd);
      EXPECT_NEAR(s.sv[k], r.sv, 2e-6 * r.sv);
      EXPECT_NEAR(s.sa[k], r.sa, 2e-6 * r.sa);
      EXPECT_NEAR(s.ve[k], r.ve, 2e-6 * r.ve);
    }
  }
}

TEST(ResponseSpectrum, EachPeriodIndependentOfItsNeighbours) {
  // Many periods in any order, rigid entries among them, give what each gives alone.
  const float dt = 0.005f, h = 0.05f;
  const std::vector<float> acc = NoiseRecord(900, dt, 5);
  std::vector<float> prd;
  for (int k = 0; k < 37; ++k)
    prd.push_back(k % 9 == 4 ? 0.0f : 0.03f * static_cast<float>(1 + (k * 17) % 37));
  const Spectrum all = Respec2(prd, h, dt, acc);
  for (size_t k = 0; k < prd.size(); ++k) {
    const Spectrum one = Respec2({prd[k]}, h, dt, acc);
    EXPECT_EQ(all.sd[k], one.sd[0]) << k;
    EXPECT_EQ(all.sv[k], one.sv[0]) << k;
    EXPECT_EQ(all.sa[k], one.sa[0]) << k;
    EXPECT_EQ(all.ve[k], one.ve[0]) << k;
  }
}

TEST(ResponseSpectrum, UndampedFreeVibrationKeepsItsAmplitude) {
  // One pulse, then free vibration: displacement and velocity amplitudes are tied by w, and the
  // acceleration is -w^2 times the displacement.
  const float dt = 0.001f, period = 0.5f;
  std::vector<float> acc(20000, 0.0f);
  acc[10] = 100.0f;
  const Spectrum s = Respec2({period}, 0.0f, dt, acc);
  const double w = static_cast<float>(6.2831855f / period);
  EXPECT_NEAR(s.sv[0], w * s.sd[0], 1e-4 * s.sv[0]);
  EXPECT_NEAR(s.sa[0], w * w * s.sd[0], 1e-6 * s.sa[0]);

  // The amplitude seen in the first cycles equals that of the whole record.
  std::vector<float> early(acc.begin(), acc.begin() + 1000);
  EXPECT_NEAR(Respec2({period}, 0.0f, dt, early).sd[0], s.sd[0], 1e-4 * s.sd[0]);
}

TEST(ResponseSpectrum, ResonanceReachesTheSteadyStateAmplitude) {
  // Harmonic ground motion at the oscillator's own period: x = a0 / (2 h w^2) once the transient
  // has died out (h w t >> 1).
  const float dt = 0.005f, period = 1.0f, h = 0.05f, a0 = 50.0f;
  const double w = 2 * kPi / period;
  std::vector<float> acc(12000);
  for (size_t i = 0; i < acc.size(); ++i) acc[i] = static_cast<float>(a0 * std::sin(w * i * dt));
  const Spectrum s = Respec2({period}, h, dt, acc);
  const double steady = a0 / (2 * h * w * w);
  EXPECT_NEAR(s.sd[0], steady, 0.01 * steady);
  EXPECT_NEAR(s.sv[0], steady * w, 0.01 * steady * w);
}

TEST(ResponseSpectrum, RigidAndFlexibleLimits) {
  // Ground displacement: a smooth 2-second pulse u(t) = D sin^4(pi t / 2) in a 60-second record.
  const float dt = 0.005f;
  const double d0 = 10.0, tp = 2.0;
  std::vector<float> acc(12000, 0.0f);
  for (size_t i = 0; i * dt <= tp; ++i) {
    const double q = kPi * i * dt / tp, c = std::cos(q), s = std::sin(q);
    // Second derivative of d0 sin^4(q).
    acc[i] = static_cast<float>(d0 * (kPi / tp) * (kPi / tp) * (12 * s * s * c * c - 4 * s * s * s * s));
  }
  const float pga =
      *std::max_element(acc.begin(), acc.end(), [](float a, float b) { return std::fabs(a) < std::fabs(b); });
  const Spectrum s = Respec2({0.0f, -1.0f, 0.02f, 20.0f}, 0.05f, dt, acc);
  EXPECT_EQ(s.sa[0], std::fabs(pga));  // rigid entries
  EXPECT_EQ(s.sd[0], 0.0f);
  EXPECT_EQ(s.sv[0], 0.0f);
  EXPECT_EQ(s.ve[0], -7.0f);  // left as it was
  EXPECT_EQ(s.sa[1], std::fabs(pga));
  EXPECT_NEAR(Ratio(s.sa[2], std::fabs(pga)), 1.0, 0.01);  // stiff: moves with the ground
  EXPECT_NEAR(s.sd[3], d0, 0.05 * d0);                     // flexible: stays where it was
}

TEST(ResponseSpectrum, ZeroRecordGivesZeroEverywhere) {
  const std::vector<float> acc(500, 0.0f);
  const Spectrum s = Respec2({0.1f, 1.0f, 5.0f}, 0.05f, 0.01f, acc);
  for (size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(s.sd[k], 0.0f);
    EXPECT_EQ(s.sv[k], 0.0f);
    EXPECT_EQ(s.sa[k], 0.0f);
    EXPECT_EQ(s.ve[k], 0.0f);
    EXPECT_FALSE(std::signbit(s.ve[k]));
  }
}

TEST(ResponseSpectrum, ShortRecordGivesZeroEnergyNotNaN) {
  // Two samples against slow oscillators: the summed input work comes out slightly negative.
  const std::vector<float> acc = {2.0f, -1.0f};
  const std::vector<float> prd = {5.0f, 20.0f};
  const float h = 0.05f, dt = 0.01f;
  const Spectrum s = Respec2(prd, h, dt, acc);
  int32_t np = 2, n = 2;
  float ve[2] = {-1, -1};
  ASSERT_EQ(ENGSPEC(&np, prd.data(), &h, &n, &dt, acc.data(), ve), 1);
  for (size_t k = 0; k < 2; ++k) {
    SCOPED_TRACE(testing::Message() << "period " << prd[k]);
    EXPECT_EQ(s.ve[k], 0.0f);
    EXPECT_EQ(ve[k], 0.0f);
  }
}

TEST(ResponseSpectrum, RejectedArgumentsLeaveOutputsUntouched) {
  struct Case {
    int32_t np, n;
    float h, dt;
  };
  const Case cases[] = {
      {2, 100, 0.05f, 0.0f},  {2, 100, 0.05f, -0.01f}, {0, 100, 0.05f, 0.01f}, {-1, 100, 0.05f, 0.01f},
      {2, 1, 0.05f, 0.01f},   {2, 0, 0.05f, 0.01f},    {2, 100, 1.0f, 0.01f},  {2, 100, 1.5f, 0.01f},
      {2, 100, -0.1f, 0.01f}, {2, 100, NAN, 0.01f},
  };
  const std::vector<float> acc = NoiseRecord(100, 0.01f);
  const float prd[2] = {0.5f, 1.0f};
  for (const Case& c : cases) {
    float sd[2] = {-1, -1}, sv[2] = {-1, -1}, sa[2] = {-1, -1}, ve[2] = {-1, -1};
    SCOPED_TRACE(testing::Message() << "np=" << c.np << " n=" << c.n << " h=" << c.h << " dt=" << c.dt);
    EXPECT_EQ(RESPEC(&c.np, prd, &c.h, &c.n, &c.dt, acc.data(), sd, sv, sa), 0);
    EXPECT_EQ(RESPEC2(&c.np, prd, &c.h, &c.n, &c.dt, acc.data(), sd, sv, sa, ve), 0);
    EXPECT_EQ(ENGSPEC(&c.np, prd, &c.h, &c.n, &c.dt, acc.data(), ve), 0);
    EXPECT_EQ(sd[0], -1.0f);
    EXPECT_EQ(sv[1], -1.0f);
    EXPECT_EQ(sa[0], -1.0f);
    EXPECT_EQ(ve[0], -1.0f);
  }
}

TEST(ResponseSpectrum, RespecAndEngspecAgreeWithRespec2) {
  const float dt = 0.01f, h = 0.05f;
  const std::vector<float> acc = NoiseRecord(800, dt);
  const std::vector<float> prd = {0.2f, 0.0f, 2.0f};
  const Spectrum s = Respec2(prd, h, dt, acc);
  int32_t np = 3, n = 800;
  float sd[3], sv[3], sa[3], ve[3] = {-1, -1, -1};
  ASSERT_EQ(RESPEC(&np, prd.data(), &h, &n, &dt, acc.data(), sd, sv, sa), 1);
  ASSERT_EQ(ENGSPEC(&np, prd.data(), &h, &n, &dt, acc.data(), ve), 1);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(sd[k], s.sd[k]);
    EXPECT_EQ(sv[k], s.sv[k]);
    EXPECT_EQ(sa[k], s.sa[k]);
  }
  EXPECT_EQ(ve[0], s.ve[0]);
  EXPECT_EQ(ve[1], 0.0f);  // the rigid entry has no energy
  EXPECT_EQ(ve[2], s.ve[2]);
}

// Trapezoid integral over period of w SD, from the public period list and spectrum.
double IntensityByHand(float t1, float t2, int32_t np, float h, float dt, const std::vector<float>& acc) {
  std::vector<float> prd(np);
  EXPECT_EQ(LOGPRD(&t1, &t2, &np, prd.data()), 1);
  const Spectrum s = Respec2(prd, h, dt, acc);
  double si = 0;
  for (int32_t k = 1; k < np; ++k) {
    const double w1 = static_cast<float>(6.2831855f / prd[k - 1]),
                 w2 = static_cast<float>(6.2831855f / prd[k]);
    si += (w1 * s.sd[k - 1] + w2 * s.sd[k]) * (double{prd[k]} - prd[k - 1]) / 2;
  }
  return si;
}

float Spint(int32_t np, float t1, float t2, float h, float dt, const std::vector<float>& acc,
            bool second = false) {
  int32_t n = static_cast<int32_t>(acc.size());
  return second ? SPECINT(&np, &t1, &t2, &h, &n, &dt, acc.data())
                : SPINT(&np, &t1, &t2, &h, &n, &dt, acc.data());
}

TEST(SpectrumIntensity, IntegratesPseudoVelocityOverThePeriodBand) {
  const float dt = 0.01f, h = 0.2f;
  const std::vector<float> acc = NoiseRecord(1000, dt);
  const double band = IntensityByHand(0.1f, 2.5f, 20, h, dt, acc);
  EXPECT_NEAR(Spint(20, 0.1f, 2.5f, h, dt, acc), band, 1e-5 * band);
  // Limits of 0 or less stand for 0.1 s and 2.5 s.
  EXPECT_NEAR(Spint(20, 0.0f, 0.0f, h, dt, acc), band, 1e-5 * band);
  EXPECT_NEAR(Spint(20, -1.0f, 2.5f, h, dt, acc), band, 1e-5 * band);
  EXPECT_NEAR(Spint(20, 0.0f, 0.0f, h, dt, acc, true), band, 1e-5 * band);
  // The second form also takes 2.5 s for an upper limit not above the lower one.
  EXPECT_NEAR(Spint(20, 0.1f, 0.05f, h, dt, acc, true), band, 1e-5 * band);
  const double narrow = IntensityByHand(0.5f, 1.0f, 8, h, dt, acc);
  EXPECT_NEAR(Spint(8, 0.5f, 1.0f, h, dt, acc, true), narrow, 1e-5 * narrow);
}

TEST(SpectrumIntensity, KeepsNoStateBetweenCalls) {
  const float dt = 0.01f, h = 0.2f;
  const std::vector<float> strong = NoiseRecord(1000, dt, 1), weak = NoiseRecord(1000, dt, 2);
  const float first = Spint(15, 0.1f, 2.5f, h, dt, weak);
  Spint(15, 0.1f, 2.5f, h, dt, strong);
  EXPECT_EQ(Spint(15, 0.1f, 2.5f, h, dt, weak), first);
  Spint(15, 0.1f, 2.5f, h, dt, strong, true);
  EXPECT_EQ(Spint(15, 0.1f, 2.5f, h, dt, weak, true), first);
}

TEST(SpectrumIntensity, NothingToIntegrateGivesZero) {
  const std::vector<float> acc = NoiseRecord(300, 0.01f);
  for (bool second : {false, true}) {
    SCOPED_TRACE(second ? "SPECINT" : "SPINT");
    EXPECT_EQ(Spint(1, 0.1f, 2.5f, 0.05f, 0.01f, acc, second), 0.0f);  // one period
    EXPECT_EQ(Spint(0, 0.1f, 2.5f, 0.05f, 0.01f, acc, second), 0.0f);
    EXPECT_EQ(Spint(-3, 0.1f, 2.5f, 0.05f, 0.01f, acc, second), 0.0f);
    EXPECT_EQ(Spint(10, 0.1f, 2.5f, 0.05f, 0.0f, acc, second), 0.0f);  // no time step
    EXPECT_EQ(Spint(10, 0.1f, 2.5f, 0.05f, -0.01f, acc, second), 0.0f);
    EXPECT_EQ(Spint(10, 0.1f, 2.5f, 1.0f, 0.01f, acc, second), 0.0f);   // critical damping
    EXPECT_EQ(Spint(10, 2.5f, 2.5f, 0.05f, 0.01f, acc, second), 0.0f);  // no band
    EXPECT_EQ(Spint(10, 0.1f, 2.5f, 0.05f, 0.01f, {}, second), 0.0f);   // no samples
  }
  // A single sample leaves the oscillators at rest.
  EXPECT_EQ(Spint(10, 0.1f, 2.5f, 0.05f, 0.01f, {5.0f}), 0.0f);
}

}  // namespace
