// Peaks between the samples against the closed-form response of an oscillator to an acceleration
// linear between the samples, evaluated densely in every interval: any period, damping and rate.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "sismcalc.h"

namespace {

struct Peaks {
  double sd = 0, sv = 0, sa = 0;
};

// The free vibration left in each interval, from the state at its start, written out with sines
// and cosines at 64 or more points per interval and 400 or more per oscillator period.
Peaks ClosedForm(double w, double h, double dt, const std::vector<float>& acc) {
  const double wd = w * std::sqrt(1 - h * h), w2 = w * w;
  const int k = std::max(64, static_cast<int>(std::ceil(400 * dt * w / (2 * M_PI))));
  Peaks p;
  double d = 0, v = 0;
  for (size_t i = 0; i + 1 < acc.size(); ++i) {
    const double a0 = acc[i], s = (acc[i + 1] - a0) / dt;
    const double h0 = d - (-a0 / w2 + 2 * h * s / (w2 * w)), b = (v + s / w2 + h * w * h0) / wd;
    for (int j = 1; j <= k; ++j) {
      const double t = dt * j / k, e = std::exp(-h * w * t), c = std::cos(wd * t), sn = std::sin(wd * t);
      d = -(a0 + s * t) / w2 + 2 * h * s / (w2 * w) + e * (h0 * c + b * sn);
      v = -s / w2 + e * ((b * wd - h * w * h0) * c - (h0 * wd + h * w * b) * sn);
      p.sd = std::max(p.sd, std::fabs(d));
      p.sv = std::max(p.sv, std::fabs(v));
      p.sa = std::max(p.sa, std::fabs(w2 * d + 2 * h * w * v));
    }
  }
  return p;
}

// Broadband: white noise under a smooth envelope, its corners at every sample.
std::vector<float> Broadband(double rate, double seconds, unsigned seed) {
  std::mt19937 gen(seed);
  std::normal_distribution<double> noise(0.0, 100.0);
  std::vector<float> acc(static_cast<size_t>(rate * seconds));
  for (size_t i = 0; i < acc.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    acc[i] = static_cast<float>(noise(gen) * std::exp(-std::pow((t - seconds / 3) / (seconds / 5), 2)));
  }
  return acc;
}

TEST(ExactPeaks, WithinHalfAPercentAtEveryPeriodDampingAndRate) {
  std::vector<float> prd;
  for (int k = 0; k <= 18; ++k) prd.push_back(static_cast<float>(0.01 * std::pow(2000.0, k / 18.0)));
  int32_t np = static_cast<int32_t>(prd.size()), nstep = 32;
  for (double rate : {20.0, 50.0, 200.0}) {
    const std::vector<float> acc = Broadband(rate, 24, static_cast<unsigned>(rate));
    float dt = static_cast<float>(1 / rate);
    int32_t n = static_cast<int32_t>(acc.size());
    for (float h : {0.0f, 0.05f, 0.3f}) {
      std::vector<float> sd(prd.size()), sv(prd.size()), sa(prd.size()), ve(prd.size());
      std::vector<float> sd2(prd.size()), sv2(prd.size()), sa2(prd.size()), ve2(prd.size());
      ASSERT_EQ(RESPECSUB(&np, prd.data(), &h, &n, &dt, acc.data(), sd.data(), sv.data(), sa.data(),
                          ve.data(), &nstep),
                1);
      ASSERT_EQ(
          RESPEC2(&np, prd.data(), &h, &n, &dt, acc.data(), sd2.data(), sv2.data(), sa2.data(), ve2.data()),
          1);
      double missedAtSamples = 0;
      for (size_t k = 0; k < prd.size(); ++k) {
        SCOPED_TRACE(testing::Message() << rate << " Hz, h=" << h << ", T=" << prd[k]);
        const Peaks truth = ClosedForm(static_cast<float>(6.2831855f / prd[k]), h, dt, acc);
        EXPECT_NEAR(sd[k], truth.sd, 0.005 * truth.sd);
        EXPECT_NEAR(sv[k], truth.sv, 0.005 * truth.sv);
        EXPECT_NEAR(sa[k], truth.sa, 0.005 * truth.sa);
        // Values of the response itself: never above the true peaks (the reference, sampled
        // itself, may miss them by 1e-4).
        EXPECT_LE(sa[k], truth.sa * (1 + 1e-4));
        EXPECT_LE(sv[k], truth.sv * (1 + 1e-4));
        EXPECT_EQ(ve[k], ve2[k]);  // the energy stays summed at the samples
        missedAtSamples = std::max(missedAtSamples, 1 - sv2[k] / truth.sv);
      }
      // The samples alone miss by far more, so the comparison has teeth.
      EXPECT_GT(missedAtSamples, 0.02);
    }
  }
}

TEST(ExactPeaks, ZeroRecordAndRigidEntries) {
  const std::vector<float> zero(300, 0.0f);
  const std::vector<float> prd = {0.0f, 0.05f, 2.0f};
  int32_t np = 3, n = 300, nstep = 1;
  float h = 0.05f, dt = 0.01f;
  std::vector<float> sd(3, -1), sv(3, -1), sa(3, -1), ve(3, -1);
  ASSERT_EQ(RESPECSUB(&np, prd.data(), &h, &n, &dt, zero.data(), sd.data(), sv.data(), sa.data(), ve.data(),
                      &nstep),
            1);
  EXPECT_EQ(sd, std::vector<float>(3, 0.0f));
  EXPECT_EQ(sa, std::vector<float>(3, 0.0f));
}

}  // namespace
