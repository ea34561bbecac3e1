// INTEGTRA, INTEGFFT and INTEGLAT: polynomials integrated exactly, baseline fits, rejections, and a
// wavelet integrated in the frequency domain.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "sismcalc.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;

struct Integrated {
  int32_t result = -99;
  std::vector<float> vel, disp;
};

// Outputs start as a sentinel so that a test can tell whether they were written.
constexpr float kUnwritten = -12345.0f;

Integrated Integtra(const std::vector<float>& acc, float dt, int32_t method, float t1 = 0, float t2 = 0) {
  Integrated r;
  const int32_t n = static_cast<int32_t>(acc.size());
  r.vel.assign(acc.size() + 1, kUnwritten);
  r.disp.assign(acc.size() + 1, kUnwritten);
  r.result = INTEGTRA(&n, &dt, acc.data(), r.vel.data(), r.disp.data(), &method, &t1, &t2);
  return r;
}

TEST(Integtra, ConstantAccelerationGivesLineAndParabola) {
  const float dt = 0.01f, c = 3.0f;
  const Integrated r = Integtra(std::vector<float>(500, c), dt, 0);
  EXPECT_EQ(r.result, 0);
  for (int i = 0; i < 500; ++i) {
    ASSERT_NEAR(r.vel[i], c * double(dt) * i, 1e-5) << i;
    ASSERT_NEAR(r.disp[i], c * double(dt) * dt * i * i / 2, 1e-5) << i;
  }
  EXPECT_EQ(r.vel[500], kUnwritten);
}

TEST(Integtra, LineThroughTheOriginIsRemovedByMethodOne) {
  const Integrated r = Integtra(std::vector<float>(400, -2.0f), 0.02f, 1);
  EXPECT_EQ(r.result, 400);
  for (int i = 0; i < 400; ++i) {
    ASSERT_NEAR(r.vel[i], 0.0, 1e-5) << i;
    ASSERT_NEAR(r.disp[i], 0.0, 1e-5) << i;
  }
}

TEST(Integtra, LineIsRemovedByMethodTwo) {
  const Integrated r = Integtra(std::vector<float>(400, 5.0f), 0.01f, 2);
  EXPECT_EQ(r.result, 0);
  for (int i = 0; i < 400; ++i) ASSERT_NEAR(r.vel[i], 0.0, 1e-5) << i;
}

// Acceleration +1 then -1: the velocity rises and falls on two lines that meet at sample 999.5, and
// method 3 fits one to each window and breaks where they cross.
TEST(Integtra, BilinearFitBreaksWhereTheLinesMeet) {
  std::vector<float> acc(2000, 1.0f);
  for (int i = 1000; i < 2000; ++i) acc[i] = -1.0f;
  const Integrated r = Integtra(acc, 0.01f, 3, 5.0f, 5.0f);
  EXPECT_EQ(r.result, 999);
  // Sample 999 (the peak, 9.99) already belongs to the rear line, which passes 10.00 there.
  for (int i = 0; i < 2000; ++i) ASSERT_NEAR(r.vel[i], i == 999 ? -0.01 : 0.0, 2e-4) << i;
}

TEST(Integtra, ParabolaThroughTheOriginIsRemovedByMethodFour) {
  const float dt = 0.01f;
  std::vector<float> acc(1000);
  for (int i = 0; i < 1000; ++i) acc[i] = static_cast<float>(1.0 + 0.5 * i * dt);  // velocity quadratic
  const Integrated r = Integtra(acc, dt, 4, 2.0f, 2.0f);
  EXPECT_EQ(r.result, 0);
  for (int i = 0; i < 1000; ++i) ASSERT_NEAR(r.vel[i], 0.0, 1e-4) << i;
}

TEST(Integtra, OtherMethodsIntegrateWithoutCorrection) {
  const Integrated plain = Integtra(std::vector<float>(100, 1.0f), 0.01f, 0);
  const Integrated other = Integtra(std::vector<float>(100, 1.0f), 0.01f, 7);
  EXPECT_EQ(other.result, 0);
  EXPECT_EQ(other.vel, plain.vel);
  EXPECT_EQ(other.disp, plain.disp);
}

struct Refusal {
  const char* name;
  int32_t n, method;
  float dt, t1, t2;
};

class IntegtraRefuses : public testing::TestWithParam<Refusal> {};

TEST_P(IntegtraRefuses, WritesNothing) {
  const Refusal c = GetParam();
  std::vector<float> acc(100, 1.0f), vel(100, kUnwritten), disp(100, kUnwritten);
  EXPECT_EQ(INTEGTRA(&c.n, &c.dt, acc.data(), vel.data(), disp.data(), &c.method, &c.t1, &c.t2), 0);
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(vel[i], kUnwritten);
    ASSERT_EQ(disp[i], kUnwritten);
  }
}

INSTANTIATE_TEST_SUITE_P(Arguments, IntegtraRefuses,
                         testing::Values(Refusal{"NoSamples", 0, 0, 0.01f, 0, 0},
                                         Refusal{"NegativeCount", -3, 1, 0.01f, 0, 0},
                                         Refusal{"ZeroStep", 100, 0, 0.0f, 0, 0},
                                         Refusal{"OneSampleFrontWindow", 100, 3, 0.01f, 0.01f, 0.2f},
                                         Refusal{"OneSampleRearWindow", 100, 3, 0.01f, 0.2f, 0.01f},
                                         Refusal{"OneSampleRecordMethodOne", 1, 1, 0.01f, 0, 0},
                                         Refusal{"OneSampleRecordMethodTwo", 1, 2, 0.01f, 0, 0},
                                         Refusal{"ParabolaFromTheOriginAlone", 100, 4, 0.01f, 0.01f, 0.0f}),
                         [](const testing::TestParamInfo<Refusal>& info) { return info.param.name; });

// A wavelet d(t) = exp(-((t - t0)/s)^2) sin(w t) is a displacement that starts and ends at rest;
// its second derivative is the acceleration. Integration in the frequency domain with a low cut far
// below the wavelet's band returns d' and d.
struct Wavelet {
  static constexpr double t0 = 10.0, s = 1.0, w = kTwoPi * 2.0;
  static double D(double t) { return std::exp(-std::pow((t - t0) / s, 2)) * std::sin(w * t); }
  static double V(double t) {
    const double g = std::exp(-std::pow((t - t0) / s, 2)), dg = -2 * (t - t0) / (s * s) * g;
    return dg * std::sin(w * t) + g * w * std::cos(w * t);
  }
  static double A(double t) {
    const double g = std::exp(-std::pow((t - t0) / s, 2)), dg = -2 * (t - t0) / (s * s) * g;
    const double ddg = (-2 / (s * s) + 4 * std::pow(t - t0, 2) / std::pow(s, 4)) * g;
    return ddg * std::sin(w * t) + 2 * dg * w * std::cos(w * t) - g * w * w * std::sin(w * t);
  }
};

TEST(Integfft, RecoversVelocityAndDisplacementOfAWavelet) {
  const int32_t n = 2000;
  const float dt = 0.01f, fc = 0.05f;
  std::vector<float> acc(n), vel(n), disp(n);
  for (int i = 0; i < n; ++i) acc[i] = static_cast<float>(Wavelet::A(i * double(dt)));
  EXPECT_EQ(INTEGFFT(&n, &dt, acc.data(), vel.data(), disp.data(), &fc), 0);
  EXPECT_EQ(disp[0], 0.0f);
  for (int i = 0; i < n; ++i) {
    const double t = i * double(dt);
    ASSERT_NEAR(vel[i], Wavelet::V(t), 2e-3 * 12.6) << i;
    ASSERT_NEAR(disp[i], Wavelet::D(t), 2e-3) << i;
  }
}

TEST(Integfft, RemovesTheMeanEvenWithoutLowCut) {
  const int32_t n = 1024;
  const float dt = 0.01f, fc = 0.0f;
  std::vector<float> acc(n, 0.0f), vel(n), disp(n);
  for (int i = 0; i < n; ++i) acc[i] = static_cast<float>(std::sin(kTwoPi * 40 * i / 2048.0));
  EXPECT_EQ(INTEGFFT(&n, &dt, acc.data(), vel.data(), disp.data(), &fc), 0);
  // The padded transform has no DC bin left, so the velocity of 2048 points averages to 0; here
  // only the first 1024 are returned, but all values stay finite and DISP starts at 0.
  for (int i = 0; i < n; ++i) ASSERT_TRUE(std::isfinite(vel[i]) && std::isfinite(disp[i]));
  EXPECT_EQ(disp[0], 0.0f);
}

TEST(Integfft, RefusesAnEmptyRecord) {
  const int32_t n = 0;
  const float dt = 0.01f, fc = 0.1f;
  float acc = 1.0f, vel = kUnwritten, disp = kUnwritten;
  EXPECT_EQ(INTEGFFT(&n, &dt, &acc, &vel, &disp, &fc), 0);
  EXPECT_EQ(vel, kUnwritten);
  EXPECT_EQ(disp, kUnwritten);
}

TEST(Integlat, WithoutLowCutIsTheTrapezoidRuleFromRest) {
  const int32_t n = 300;
  const float dt = 0.005f, fc = 0.0f;
  std::vector<float> acc(n), vel(n), disp(n);
  for (int i = 0; i < n; ++i) acc[i] = static_cast<float>(std::sin(0.05 * i) + 0.3);
  EXPECT_EQ(INTEGLAT(&n, &dt, acc.data(), vel.data(), disp.data(), &fc), 0);
  double v = 0, d = 0, previousA = 0, previousV = 0;
  for (int i = 0; i < n; ++i) {
    v += (previousA + acc[i]) * dt / 2;
    d += (previousV + v) * dt / 2;
    previousA = acc[i];
    previousV = v;
    ASSERT_NEAR(vel[i], v, 1e-6) << i;
    ASSERT_NEAR(disp[i], d, 1e-6) << i;
  }
}

TEST(Integlat, LowCutKeepsAConstantAccelerationFromDrifting) {
  const int32_t n = 20000;
  const float dt = 0.01f, fc = 0.1f;
  std::vector<float> acc(n, 1.0f), vel(n), disp(n);
  EXPECT_EQ(INTEGLAT(&n, &dt, acc.data(), vel.data(), disp.data(), &fc), 0);
  // Without the cut the velocity would reach 200; the band-limited integrator settles back to 0.
  EXPECT_LT(std::abs(vel[n - 1]), 0.01);
  EXPECT_LT(std::abs(disp[n - 1]), 0.1);
}

TEST(Integlat, RefusesRecordsOfTwoSamplesOrFewer) {
  const int32_t n = 2;
  const float dt = 0.01f, fc = 0.0f;
  float acc[2] = {1, 1}, vel[2] = {kUnwritten, kUnwritten}, disp[2] = {kUnwritten, kUnwritten};
  EXPECT_EQ(INTEGLAT(&n, &dt, acc, vel, disp, &fc), 0);
  EXPECT_EQ(vel[0], kUnwritten);
  EXPECT_EQ(disp[1], kUnwritten);
}

}  // namespace
