// JMA instrumental intensity against closed-form cases: a weighted sinusoid, scaling, rotation,
// window lengths, short, silent and very weak records.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "sismcalc.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Record {
  std::vector<float> x, y, z;
  int32_t Size() const { return static_cast<int32_t>(x.size()); }
};

float Sijma(const Record& r, float dt) {
  const int32_t n = r.Size();
  return SIJMA(&n, &dt, r.x.data(), r.y.data(), r.z.data());
}

float Sijma10(const Record& r, float dt) {
  const int32_t n = r.Size();
  return SIJMA10(&n, &dt, r.x.data(), r.y.data(), r.z.data());
}

// Three components of shaped noise; `level` scales them.
Record Noise(int32_t n, double level, unsigned seed = 3) {
  std::mt19937 gen(seed);
  std::normal_distribution<double> noise(0.0, level);
  Record r{std::vector<float>(n), std::vector<float>(n), std::vector<float>(n)};
  double s[3] = {0, 0, 0};
  for (int32_t i = 0; i < n; ++i) {
    const double envelope = std::sin(kPi * (i + 0.5) / n);
    for (int c = 0; c < 3; ++c) s[c] = 0.8 * s[c] + noise(gen);
    r.x[i] = static_cast<float>(s[0] * envelope);
    r.y[i] = static_cast<float>(s[1] * envelope);
    r.z[i] = static_cast<float>(0.5 * s[2] * envelope);
  }
  return r;
}

Record Scaled(const Record& r, float k) {
  Record s = r;
  for (auto* v : {&s.x, &s.y, &s.z})
    for (float& e : *v) e *= k;
  return s;
}

// The standard weighting at f Hz: low cut at 0.5 Hz, high cut at 10 Hz, period effect 1/sqrt(f).
double Weight(double f) {
  const double y = (f / 10) * (f / 10);
  const double high = 1 + 0.694 * y + 0.241 * y * y + 0.0557 * std::pow(y, 3) + 0.009664 * std::pow(y, 4) +
                      0.00134 * std::pow(y, 5) + 0.000155 * std::pow(y, 6);
  return std::sqrt(1 - std::exp(-std::pow(f / 0.5, 3))) / std::sqrt(high) / std::sqrt(f);
}

TEST(Intensity, WeightedSinusoidHasTheClosedFormLevel) {
  // A sinusoid periodic in the record passes the filter as A G(f) sin. |sin| >= u for a share
  // 1 - 2 asin(u) / pi of the time, so 0.3 s of 20.48 s is reached at u = cos(pi / 2 * 0.3 / 20.48).
  const float dt = 0.01f;
  const int32_t n = 2048;
  for (int bin : {12, 41, 150, 400}) {
    const double f = bin / (n * double{dt});
    const double amp = 80.0;
    Record r{std::vector<float>(n), std::vector<float>(n, 0.0f), std::vector<float>(n, 0.0f)};
    for (int32_t i = 0; i < n; ++i) r.x[i] = static_cast<float>(amp * std::sin(2 * kPi * bin * i / n));
    const double level = amp * Weight(f) * std::cos(kPi / 2 * 0.3 / (n * double{dt}));
    EXPECT_NEAR(Sijma(r, dt), 2 * std::log10(level) + 0.94, 0.01) << f << " Hz";
  }
}

TEST(Intensity, TenfoldMotionAddsTwo) {
  const float dt = 0.01f;
  const Record r = Noise(3000, 20.0);
  const float base = Sijma(r, dt);
  ASSERT_GT(base, 1.0f);
  EXPECT_NEAR(Sijma(Scaled(r, 10.0f), dt), base + 2.0f, 1e-4);
  const Record longer = Noise(4500, 20.0, 8);
  const float base10 = Sijma10(longer, dt);
  ASSERT_GT(base10, 1.0f);
  EXPECT_NEAR(Sijma10(Scaled(longer, 10.0f), dt), base10 + 2.0f, 1e-4);
}

TEST(Intensity, DependsOnlyOnTheLengthOfTheVector) {
  // Turning the horizontal pair, or swapping components, leaves every vector length alone.
  const float dt = 0.01f;
  const Record r = Noise(2500, 30.0, 4);
  Record turned = r, swapped{r.z, r.x, r.y};
  const double c = std::cos(0.7), s = std::sin(0.7);
  for (int32_t i = 0; i < r.Size(); ++i) {
    turned.x[i] = static_cast<float>(c * r.x[i] - s * r.y[i]);
    turned.y[i] = static_cast<float>(s * r.x[i] + c * r.y[i]);
  }
  const float base = Sijma(r, dt);
  EXPECT_NEAR(Sijma(turned, dt), base, 1e-4);
  EXPECT_NEAR(Sijma(swapped, dt), base, 1e-5);
}

TEST(Intensity, RecordsShorterThanTenSecondsHaveNoWindow) {
  struct Case {
    float dt;
    int32_t shortest;  // samples in 10 s
  };
  for (const Case c : {Case{0.01f, 1000}, Case{0.005f, 2000}, Case{0.02f, 500}}) {
    SCOPED_TRACE(c.dt);
    const Record tooShort = Noise(c.shortest - 1, 50.0);
    EXPECT_EQ(Sijma10(tooShort, c.dt), 0.0f);
    EXPECT_GT(Sijma(tooShort, c.dt), 1.0f);
    EXPECT_GT(Sijma10(Noise(c.shortest, 50.0), c.dt), 1.0f);
  }
}

TEST(Intensity, OneWindowIsTheRecordPaddedToTheWindowLength) {
  // At 100 Hz: taper 100 samples, step 1000, window 1200 padded to 2048. A record of exactly one
  // step has nothing under its tapers, so its window is the record followed by zeros.
  const float dt = 0.01f;
  const Record r = Noise(1000, 40.0);
  Record padded = r;
  for (auto* v : {&padded.x, &padded.y, &padded.z}) v->resize(2048, 0.0f);
  EXPECT_FLOAT_EQ(Sijma10(r, dt), Sijma(padded, dt));
  EXPECT_NE(Sijma(r, dt), Sijma(padded, dt));  // the 0.3 s share differs with the length
}

TEST(Intensity, LaterWindowsAreTaperedAtBothEnds) {
  // A record of two steps: the second window is samples 901..2000, the first 100 under a rising
  // taper T(100) .. T(1) with T(j) = 0.5 + 0.5 cos(pi j / 100). Strong motion only in the
  // second step makes that window the largest.
  const float dt = 0.01f;
  Record r = Noise(2000, 40.0, 9);
  for (auto* v : {&r.x, &r.y, &r.z})
    for (int i = 0; i < 1000; ++i) (*v)[i] *= 0.05f;
  Record second{std::vector<float>(2048, 0.0f), std::vector<float>(2048, 0.0f),
                std::vector<float>(2048, 0.0f)};
  for (int q = 1; q <= 1100; ++q) {
    const int src = 900 + q;  // 1-based source sample
    const double taper = q <= 100 ? 0.5 + 0.5 * std::cos(double{3.1415927f} * (101 - q) / 100) : 1.0;
    second.x[q - 1] = static_cast<float>(r.x[src - 1] * taper);
    second.y[q - 1] = static_cast<float>(r.y[src - 1] * taper);
    second.z[q - 1] = static_cast<float>(r.z[src - 1] * taper);
  }
  EXPECT_FLOAT_EQ(Sijma10(r, dt), Sijma(second, dt));
}

TEST(Intensity, SilentAndVeryWeakRecordsGiveZero) {
  const float dt = 0.01f;
  const Record silent{std::vector<float>(3000, 0.0f), std::vector<float>(3000, 0.0f),
                      std::vector<float>(3000, 0.0f)};
  EXPECT_EQ(Sijma(silent, dt), 0.0f);
  EXPECT_EQ(Sijma10(silent, dt), 0.0f);
  // A level below about 0.339 gal gives a negative value, reported as 0.
  const Record weak = Noise(3000, 0.01);
  EXPECT_EQ(Sijma(weak, dt), 0.0f);
  EXPECT_EQ(Sijma10(weak, dt), 0.0f);
  // Samples that are not numbers have no intensity, nor has a window holding them.
  // The first window (samples 1..1100) is the weakest either way.
  Record quiet = Noise(3000, 20.0);
  for (auto* v : {&quiet.x, &quiet.y, &quiet.z})
    std::for_each(v->begin(), v->begin() + 1100, [](float& e) { e *= 0.01f; });
  Record broken = quiet;
  broken.y[100] = NAN;
  EXPECT_EQ(Sijma(broken, dt), 0.0f);
  EXPECT_GT(Sijma10(broken, dt), 1.0f);
  EXPECT_EQ(Sijma10(broken, dt), Sijma10(quiet, dt));
}

TEST(Intensity, RejectsMissingSamplesAndStep) {
  // Null arrays show that nothing is read.
  struct Case {
    int32_t n;
    float dt;
  };
  for (const Case c :
       {Case{0, 0.01f}, Case{-4, 0.01f}, Case{3000, 0.0f}, Case{3000, -0.01f}, Case{3000, NAN}}) {
    EXPECT_EQ(SIJMA(&c.n, &c.dt, nullptr, nullptr, nullptr), 0.0f);
    EXPECT_EQ(SIJMA10(&c.n, &c.dt, nullptr, nullptr, nullptr), 0.0f);
  }
  // A step longer than 10 s leaves no room for a window.
  const Record r = Noise(50, 20.0);
  EXPECT_EQ(Sijma10(r, 12.0f), 0.0f);
}

// Long records at several sampling steps, where the search for the 0.3 s level looks only at
// the largest lengths: the values are those of sorting every length, as first computed.
TEST(Intensity, LongRecordsKeepTheirValues) {
  struct Case {
    float dt;
    int32_t n;
    unsigned seed;
    float whole, windowed;
  };
  const Case cases[] = {{0.01f, 360000, 9, 4.95460606f, 4.95845795f},
                        {0.005f, 400000, 10, 4.80774736f, 4.75822735f},
                        {0.02f, 90000, 11, 5.20369387f, 5.18960047f},
                        {0.001f, 600000, 12, 4.17036009f, 4.14732552f}};
  for (const Case& c : cases) {
    // Shaped noise under two bursts, at 30 % and 70 % of the record.
    std::mt19937 gen(c.seed);
    std::normal_distribution<double> noise(0, 30);
    Record r{std::vector<float>(c.n), std::vector<float>(c.n), std::vector<float>(c.n)};
    double s[3] = {0, 0, 0};
    const double length = c.n * static_cast<double>(c.dt);
    for (int32_t i = 0; i < c.n; ++i) {
      const double t = static_cast<float>(static_cast<float>(i) * c.dt);
      const double e = std::exp(-std::pow((t - 0.3 * length) / 20.0, 2)) +
                       0.4 * std::exp(-std::pow((t - 0.7 * length) / 8.0, 2)) + 0.01;
      for (double& v : s) v = 0.85 * v + noise(gen);
      r.x[i] = static_cast<float>(s[0] * e);
      r.y[i] = static_cast<float>(s[1] * e);
      r.z[i] = static_cast<float>(0.6 * s[2] * e);
    }
    EXPECT_EQ(Sijma(r, c.dt), c.whole) << c.dt;
    EXPECT_EQ(Sijma10(r, c.dt), c.windowed) << c.dt;
  }
}

}  // namespace
