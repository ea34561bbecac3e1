// Response spectra with the peaks between the samples (RESPECSUB) against a finely stepped
// oscillator solved by Runge-Kutta, and against RESPEC2 when nothing is split.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "sismcalc.h"
#include "tests/support/fine_oscillator.h"

namespace {

using sism::test::SolveOscillatorFinely;

struct Spectrum {
  std::vector<float> sd, sv, sa, ve;
};

Spectrum Spectra(const std::vector<float>& prd, float h, float dt, const std::vector<float>& acc,
                 int32_t steps, bool split = true) {
  int32_t np = static_cast<int32_t>(prd.size()), n = static_cast<int32_t>(acc.size());
  Spectrum s{std::vector<float>(np, -7.0f), std::vector<float>(np, -7.0f), std::vector<float>(np, -7.0f),
             std::vector<float>(np, -7.0f)};
  const int32_t ok = split ? RESPECSUB(&np, prd.data(), &h, &n, &dt, acc.data(), s.sd.data(), s.sv.data(),
                                       s.sa.data(), s.ve.data(), &steps)
                           : RESPEC2(&np, prd.data(), &h, &n, &dt, acc.data(), s.sd.data(), s.sv.data(),
                                     s.sa.data(), s.ve.data());
  EXPECT_EQ(ok, 1);
  return s;
}

// Noise smoothed a little, as a recorder's anti-alias filter leaves it: white noise would put
// corners into the relative velocity between any two samples, whatever the period.
std::vector<float> Noise(int32_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::normal_distribution<double> noise(0.0, 80.0);
  std::vector<float> acc(n);
  double smooth = 0.0;
  for (float& a : acc) a = static_cast<float>(smooth = 0.6 * smooth + 0.4 * noise(gen));
  return acc;
}

// The period the library's oscillator has: w is rounded to single precision.
double LibraryPeriod(float t) {
  return 2 * 3.14159265358979323846 / static_cast<float>(6.2831855f / t);
}

TEST(PeaksBetweenSamples, SineAtTheOscillatorsPeriodPeaksBetweenSamples) {
  // 50 samples per second and a 0.08-second oscillator: four samples per cycle, a sine starting
  // at 45 degrees, and the peaks of the resonant response fall midway between the samples.
  const float dt = 0.02f, period = 0.08f, h = 0.05f;
  std::vector<float> acc(200);
  for (size_t i = 0; i < acc.size(); ++i)
    acc[i] = static_cast<float>(100 * std::sin(2 * 3.14159265358979323846 * (i * dt / period + 0.125)));
  const auto truth = SolveOscillatorFinely(LibraryPeriod(period), h, dt, acc.data(), 200, 4000);

  const Spectrum split = Spectra({period}, h, dt, acc, 32);
  EXPECT_NEAR(split.sa[0], truth.sa, 0.005 * truth.sa);
  EXPECT_NEAR(split.sd[0], truth.sd, 0.005 * truth.sd);
  EXPECT_NEAR(split.sv[0], truth.sv, 0.005 * truth.sv);
  EXPECT_LE(split.sa[0], truth.sa * (1 + 1e-6));  // values of the exact response, never above it

  // At the samples only the peak is missed by far, and that is what RESPEC2 gives.
  const Spectrum samples = Spectra({period}, h, dt, acc, 0, false);
  EXPECT_LT(samples.sa[0], 0.85 * truth.sa);
  EXPECT_EQ(Spectra({period}, h, dt, acc, 0).sa[0], samples.sa[0]);
}

TEST(PeaksBetweenSamples, NoiseSpectraWithinHalfAPercentOfTheFineSolution) {
  const float dt = 0.01f;
  const std::vector<float> acc = Noise(1200, 3);
  const std::vector<float> prd = {0.012f, 0.02f, 0.035f, 0.05f, 0.08f, 0.13f, 0.2f, 0.32f, 0.5f, 2.0f};
  for (float h : {0.0f, 0.05f, 0.2f}) {
    const Spectrum s = Spectra(prd, h, dt, acc, 32);
    for (size_t k = 0; k < prd.size(); ++k) {
      SCOPED_TRACE(testing::Message() << "T=" << prd[k] << " h=" << h);
      const auto truth = SolveOscillatorFinely(LibraryPeriod(prd[k]), h, dt, acc.data(), 1200);
      EXPECT_NEAR(s.sa[k], truth.sa, 0.005 * truth.sa);
      EXPECT_NEAR(s.sd[k], truth.sd, 0.005 * truth.sd);
      // The relative velocity also follows the ground's own corners, at every period: its peak
      // between samples is a matter of the record's sampling, not of the oscillator's.
      EXPECT_NEAR(s.sv[k], truth.sv, 0.03 * truth.sv);
    }
  }
}

TEST(PeaksBetweenSamples, WholeIntervalsGiveRespec2) {
  const float dt = 0.01f, h = 0.05f;
  const std::vector<float> acc = Noise(700, 8);
  // Periods shorter and longer than the interval, and rigid entries.
  const std::vector<float> all = {0.004f, 0.0f, 0.01f, 0.03f, 0.5f, -1.0f, 4.0f};
  struct Case {
    const std::vector<float>* prd;
    int32_t steps;
  };
  for (const Case& c : {Case{&all, 0}}) {
    SCOPED_TRACE(testing::Message() << "steps=" << c.steps);
    const Spectrum split = Spectra(*c.prd, h, dt, acc, c.steps);
    const Spectrum whole = Spectra(*c.prd, h, dt, acc, 0, false);
    EXPECT_EQ(split.sd, whole.sd);
    EXPECT_EQ(split.sv, whole.sv);
    EXPECT_EQ(split.sa, whole.sa);
    EXPECT_EQ(split.ve, whole.ve);
  }
}

TEST(PeaksBetweenSamples, SplittingRaisesPeaksOnlyAndKeepsTheEnergy) {
  const float dt = 0.01f, h = 0.05f;
  const std::vector<float> acc = Noise(900, 21);
  const std::vector<float> prd = {0.0f, 0.015f, 0.04f, 0.1f, 0.3f, 1.0f, 3.0f};
  const Spectrum split = Spectra(prd, h, dt, acc, 32);
  const Spectrum whole = Spectra(prd, h, dt, acc, 0, false);
  for (size_t k = 1; k < prd.size(); ++k) {
    SCOPED_TRACE(testing::Message() << "T=" << prd[k]);
    // The samples are among the steps, so a peak can only grow.
    EXPECT_GE(split.sa[k], whole.sa[k] * (1 - 1e-6f));
    EXPECT_GE(split.sd[k], whole.sd[k] * (1 - 1e-6f));
    // The input energy is summed at the samples either way.
    EXPECT_NEAR(split.ve[k], whole.ve[k], 1e-4f * whole.ve[k] + 1e-6f);
  }
  EXPECT_EQ(split.sa[0], whole.sa[0]);  // rigid: the peak ground acceleration
  EXPECT_NEAR(split.sa[6], whole.sa[6], 1e-3f * whole.sa[6]);  // 300 samples per cycle: hardly more
}

TEST(PeaksBetweenSamples, EachPeriodIndependentOfItsNeighbours) {
  // Periods needing different splits, in any order, give what each gives alone.
  const float dt = 0.005f, h = 0.05f;
  const std::vector<float> acc = Noise(600, 5);
  std::vector<float> prd;
  for (int k = 0; k < 41; ++k)
    prd.push_back(k % 10 == 7 ? 0.0f : 0.004f * static_cast<float>(1 + (k * 13) % 41));
  const Spectrum all = Spectra(prd, h, dt, acc, 32);
  for (size_t k = 0; k < prd.size(); ++k) {
    const Spectrum one = Spectra({prd[k]}, h, dt, acc, 32);
    EXPECT_EQ(all.sd[k], one.sd[0]) << k;
    EXPECT_EQ(all.sv[k], one.sv[0]) << k;
    EXPECT_EQ(all.sa[k], one.sa[0]) << k;
    EXPECT_EQ(all.ve[k], one.ve[0]) << k;
  }
}

TEST(PeaksBetweenSamples, RejectedArgumentsLeaveOutputsUntouched) {
  const std::vector<float> acc = Noise(50, 1);
  const float prd[2] = {0.1f, 0.5f};
  struct Case {
    int32_t np, n, steps;
    float h, dt;
  };
  const Case cases[] = {
      {2, 50, -1, 0.05f, 0.01f},    // negative step count
      {2, 50, 1001, 0.05f, 0.01f},  // beyond the finest split
      {0, 50, 32, 0.05f, 0.01f},    // no period
      {2, 1, 32, 0.05f, 0.01f},     // one sample
      {2, 50, 32, 1.0f, 0.01f},     // critical damping
      {2, 50, 32, 0.05f, 0.0f},     // no interval
  };
  for (const Case& c : cases) {
    float sd[2] = {-1, -1}, sv[2] = {-1, -1}, sa[2] = {-1, -1}, ve[2] = {-1, -1};
    SCOPED_TRACE(testing::Message() << "np=" << c.np << " n=" << c.n << " steps=" << c.steps);
    EXPECT_EQ(RESPECSUB(&c.np, prd, &c.h, &c.n, &c.dt, acc.data(), sd, sv, sa, ve, &c.steps), 0);
    EXPECT_EQ(sd[0], -1.0f);
    EXPECT_EQ(sa[1], -1.0f);
    EXPECT_EQ(ve[0], -1.0f);
  }
}

}  // namespace
