// Butterworth filters: gains at the corners measured on sines, zero phase of the forward and backward
// filter, the causal filter against second-order sections written out here, padding and rejections.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <random>
#include <vector>

#include "sismcalc.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Filtered {
  int32_t written;
  std::vector<float> x;
};

Filtered Butter(std::vector<float> x, float dt, float fl, float fh, int32_t order, int32_t passes,
                int32_t keep = 0) {
  int32_t n = static_cast<int32_t>(x.size());
  const int32_t pad = BUTTERPAD(&dt, &fl, &fh, &order);
  x.resize(x.size() + 2 * static_cast<size_t>(std::max(pad, 0)), 12345.0f);
  const int32_t written = BUTTER(&n, &dt, &fl, &fh, &order, &passes, &keep, x.data());
  return {written, x};
}

// Amplitude and phase of the sine of f Hz in y, fitted by least squares over the record's middle half
// (away from the transients at the ends).
std::complex<double> SineAt(const std::vector<float>& y, size_t n, double f, double dt) {
  double cc = 0, ss = 0, yc = 0, ys = 0;
  for (size_t i = n / 4; i < 3 * n / 4; ++i) {
    const double c = std::cos(2 * kPi * f * i * dt), s = std::sin(2 * kPi * f * i * dt);
    cc += c * c;
    ss += s * s;
    yc += y[i] * c;
    ys += y[i] * s;
  }
  return {yc / cc, ys / ss};
}

std::vector<float> Sine(size_t n, double f, double dt) {
  std::vector<float> x(n);
  for (size_t i = 0; i < n; ++i) x[i] = static_cast<float>(std::cos(2 * kPi * f * i * dt));
  return x;
}

double Db(double gain) {
  return 20 * std::log10(gain);
}

TEST(Butterworth, GainAtTheCornerForEveryOrder) {
  const float dt = 0.01f;
  const size_t n = 40000;
  for (int32_t order = 1; order <= 8; ++order) {
    SCOPED_TRACE(testing::Message() << "order " << order);
    // High-pass at 0.5 Hz and low-pass at 10 Hz, each alone.
    for (const auto& [fl, fh, f] : {std::tuple{0.5f, 0.0f, 0.5}, std::tuple{0.0f, 10.0f, 10.0}}) {
      const std::vector<float> x = Sine(n, f, dt);
      const Filtered causal = Butter(x, dt, fl, fh, order, 1);
      ASSERT_EQ(causal.written, static_cast<int32_t>(n));
      EXPECT_NEAR(Db(std::abs(SineAt(causal.x, n, f, dt))), -3.0103, 0.01);
      const Filtered twice = Butter(x, dt, fl, fh, order, 2);
      const std::complex<double> c = SineAt(twice.x, n, f, dt);
      EXPECT_NEAR(Db(std::abs(c)), -6.0206, 0.01);
      EXPECT_NEAR(std::arg(c), 0.0, 1e-3);  // zero phase
    }
  }
}

TEST(Butterworth, BandPassPassesTheMiddleAndStopsTheEnds) {
  const float dt = 0.005f;
  const size_t n = 40000;
  auto gain = [&](double f) {
    const Filtered y = Butter(Sine(n, f, dt), dt, 0.1f, 25.0f, 4, 2);
    return std::abs(SineAt(y.x, n, f, dt));
  };
  EXPECT_NEAR(gain(2.0), 1.0, 1e-3);
  EXPECT_LT(gain(0.02), 1e-4);  // 4th order, forward and backward: (f/fl)^8
  EXPECT_LT(gain(90.0), 1e-4);
}

// The sections written out from the analog prototype's poles: each pair (or the single real pole)
// through the bilinear transform with the corner prewarped.
std::vector<double> DirectSections(const std::vector<float>& x, double dt, double fc, int order,
                                   bool highPass) {
  const double k = 2 / dt, wc = k * std::tan(kPi * fc * dt);
  std::vector<double> y(x.begin(), x.end());
  auto run = std::vector<std::vector<double>>{};
  for (int p = 0; p < (order + 1) / 2; ++p) {
    const std::complex<double> pole = std::polar(1.0, kPi * (2 * p + 1 + order) / (2.0 * order));
    std::vector<double> b, a;
    if (std::abs(pole.imag()) < 1e-12) {  // real pole -1: (s + wc) or s / (s + wc)
      a = {k + wc, wc - k};
      b = highPass ? std::vector<double>{k, -k} : std::vector<double>{wc, wc};
    } else {
      const double q = -2 * pole.real();
      a = {k * k + q * wc * k + wc * wc, 2 * wc * wc - 2 * k * k, k * k - q * wc * k + wc * wc};
      b = highPass ? std::vector<double>{k * k, -2 * k * k, k * k}
                   : std::vector<double>{wc * wc, 2 * wc * wc, wc * wc};
    }
    // Direct form I.
    std::vector<double> out(y.size());
    for (size_t i = 0; i < y.size(); ++i) {
      double acc = 0;
      for (size_t j = 0; j < b.size(); ++j)
        if (i >= j) acc += b[j] * y[i - j];
      for (size_t j = 1; j < a.size(); ++j)
        if (i >= j) acc -= a[j] * out[i - j];
      out[i] = acc / a[0];
    }
    y = out;
  }
  return y;
}

TEST(Butterworth, CausalFilterEqualsSectionsWrittenOut) {
  std::mt19937 gen(4);
  std::normal_distribution<double> noise(0.0, 30.0);
  std::vector<float> x(3000);
  for (float& v : x) v = static_cast<float>(noise(gen));
  const float dt = 0.01f;
  for (int order : {1, 2, 3, 4, 5}) {
    SCOPED_TRACE(testing::Message() << "order " << order);
    // Kept pads: the whole padded record, so the zeros in front are part of the comparison.
    const Filtered lib = Butter(x, dt, 0.3f, 0.0f, order, 1, 1);
    float fl = 0.3f, fh = 0.0f;
    int32_t o = order;
    const int32_t pad = BUTTERPAD(&dt, &fl, &fh, &o);
    ASSERT_EQ(lib.written, static_cast<int32_t>(x.size()) + 2 * pad);
    std::vector<float> padded(static_cast<size_t>(pad), 0.0f);
    padded.insert(padded.end(), x.begin(), x.end());
    padded.resize(padded.size() + static_cast<size_t>(pad), 0.0f);
    const std::vector<double> direct = DirectSections(padded, dt, 0.3, order, true);
    double worst = 0, peak = 0;
    for (size_t i = 0; i < direct.size(); ++i) {
      worst = std::max(worst, std::fabs(lib.x[i] - direct[i]));
      peak = std::max(peak, std::fabs(direct[i]));
    }
    EXPECT_LT(worst, 1e-5 * peak);
    const Filtered low = Butter(x, dt, 0.0f, 7.0f, order, 1);
    const std::vector<double> lowDirect = DirectSections(x, dt, 7.0, order, false);
    // Without kept pads the record's own stretch comes back: zeros in front change nothing causal.
    for (size_t i = 0; i < x.size(); i += 97) EXPECT_NEAR(low.x[i], lowDirect[i], 1e-4 * peak) << i;
  }
}

TEST(Butterworth, PadLengthFollowsTheLowCut) {
  float dt = 0.01f, fl = 0.1f, fh = 20.0f, none = 0.0f;
  int32_t order = 4;
  // 1.5 * 4 / 0.1 = 60 s in all: 30 s, 3000 samples, at each end.
  EXPECT_EQ(BUTTERPAD(&dt, &fl, &fh, &order), 3000);
  EXPECT_EQ(BUTTERPAD(&dt, &none, &fh, &order), 15);  // the high cut without a low cut
  EXPECT_EQ(BUTTERPAD(&dt, &none, &none, &order), -1);
}

TEST(Butterworth, RejectedArgumentsLeaveTheRecord) {
  std::vector<float> x(100, 1.0f);
  struct Case {
    float dt, fl, fh;
    int32_t order, passes, keep, n;
  };
  const Case cases[] = {
      {0.01f, 0.0f, 0.0f, 4, 1, 0, 100},   // no corner
      {0.01f, 5.0f, 2.0f, 4, 1, 0, 100},   // inverted band
      {0.01f, 60.0f, 0.0f, 4, 1, 0, 100},  // low cut above half the sampling rate
      {0.01f, 1.0f, 0.0f, 0, 1, 0, 100},   // order 0
      {0.01f, 1.0f, 0.0f, 13, 1, 0, 100},  // order beyond 12
      {0.01f, 1.0f, 0.0f, 4, 3, 0, 100},   // three passes
      {0.0f, 1.0f, 0.0f, 4, 1, 0, 100},    // no step
      {0.01f, 1.0f, 0.0f, 4, 1, 0, 0},     // no samples
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BUTTER(&c.n, &c.dt, &c.fl, &c.fh, &c.order, &c.passes, &c.keep, x.data()), 0);
    EXPECT_EQ(x[0], 1.0f);
  }
}

}  // namespace
