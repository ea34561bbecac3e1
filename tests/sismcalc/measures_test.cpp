// The ground-motion measures against implementations written here from their definitions, on a
// synthetic record and on a real one (the JMA sample, skipped without the samples).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/samples.h"
#include "sismcalc.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kG = 980.665;

struct Record {
  std::string name;
  float dt = 0.01f;
  std::vector<float> acc, vel;  // vel: trapezoid integral of acc
  int32_t N() const { return static_cast<int32_t>(acc.size()); }
};

std::vector<float> Integrate(const std::vector<float>& a, double dt) {
  std::vector<float> v(a.size());
  double s = 0;
  for (std::size_t i = 1; i < a.size(); ++i) v[i] = static_cast<float>(s += (double{a[i - 1]} + a[i]) / 2 * dt);
  return v;
}

// Three tones under a rising and decaying envelope, with a quiet lead-in.
Record Synthetic() {
  Record r{"synthetic", 0.01f, {}, {}};
  for (int i = 0; i < 4000; ++i) {
    const double t = i * 0.01, e = t < 2 ? 0 : (t - 2) * std::exp(-(t - 2) / 6);
    r.acc.push_back(static_cast<float>(
        60 * e * (std::sin(2 * kPi * 1.3 * t) + 0.5 * std::sin(2 * kPi * 4.1 * t + 1) + 0.4 * std::sin(2 * kPi * 17 * t))));
  }
  r.vel = Integrate(r.acc, r.dt);
  return r;
}

// The NS component of the JMA sample: lines of three numbers after its header.
bool RealRecord(Record& r) {
  std::ifstream in(sism::test::SamplesDir() / "jma" / "Q4169D2004.csv");
  if (!in) return false;
  r = {"jma", 0.01f, {}, {}};
  std::string line;
  while (std::getline(in, line)) {
    std::replace(line.begin(), line.end(), ',', ' ');
    std::istringstream s(line);
    double a, b, c;
    if (s >> a >> b >> c) r.acc.push_back(static_cast<float>(a));
  }
  double mean = 0;
  for (float a : r.acc) mean += a;
  mean /= static_cast<double>(r.acc.size());
  for (float& a : r.acc) a = static_cast<float>(a - mean);
  r.vel = Integrate(r.acc, r.dt);
  return r.acc.size() > 1000;
}

std::vector<Record> Records() {
  std::vector<Record> list{Synthetic()};
  Record real;
  if (RealRecord(real)) list.push_back(real);
  return list;
}

// Integral of f(a(t)) dt with a linear between samples, by the midpoint rule on 400 pieces a step.
template <typename F>
double FineIntegral(const float* a, int32_t from, int32_t to, double dt, F f) {
  double s = 0;
  for (int32_t i = from; i < to; ++i)
    for (int k = 0; k < 400; ++k) {
      const double x = a[i] + (double{a[i + 1]} - a[i]) * (k + 0.5) / 400;
      s += f(x) * dt / 400;
    }
  return s;
}

double Near(double expected, double rel) {
  return std::max(std::fabs(expected) * rel, 1e-6);
}

TEST(Measures, RootMeanSquareWindowAndIntensity) {
  for (const Record& r : Records()) {
    SCOPED_TRACE(r.name);
    const int32_t n = r.N();
    double sum = 0;
    for (float a : r.acc) sum += double{a} * a;
    const int32_t one = 1;
    EXPECT_NEAR(RMSAT(&one, &n, r.acc.data()), std::sqrt(sum / n), Near(std::sqrt(sum / n), 1e-5));

    // The Husid window: the times at which the integral of a^2 reaches 5 % and 95 %.
    std::vector<double> cum(static_cast<std::size_t>(n), 0.0);
    for (int32_t i = 1; i < n; ++i) cum[i] = cum[i - 1] + (double{r.acc[i - 1]} * r.acc[i - 1] + double{r.acc[i]} * r.acc[i]) / 2;
    auto when = [&](double f) {
      const double level = f * cum.back();
      for (int32_t i = 1; i < n; ++i)
        if (cum[i] >= level) return i - 1 + (level - cum[i - 1]) / (cum[i] - cum[i - 1]);
      return double(n - 1);
    };
    const double t5 = when(0.05), t95 = when(0.95);
    double inside = 0;
    int count = 0;
    for (int32_t i = 0; i < n; ++i)
      if (i >= t5 && i <= t95) inside += double{r.acc[i]} * r.acc[i], ++count;
    const float f5 = 0.05f, f95 = 0.95f;
    int32_t i1 = 0, i2 = 0;
    ASSERT_EQ(SIGWIN(&n, r.acc.data(), &f5, &f95, &i1, &i2), 1);
    EXPECT_EQ(i2 - i1 + 1, count);
    EXPECT_GE(i1 - 1, t5);
    const double rms = std::sqrt(inside / count);
    const double ic = std::pow(rms, 1.5) * std::sqrt((t95 - t5) * r.dt);
    EXPECT_NEAR(CHARINT(&n, &r.dt, r.acc.data()), ic, Near(ic, 1e-4));

    double sed = 0;
    for (int32_t i = 1; i < n; ++i) sed += (double{r.vel[i - 1]} * r.vel[i - 1] + double{r.vel[i]} * r.vel[i]) / 2 * r.dt;
    EXPECT_NEAR(SEDENS(&n, &r.dt, r.vel.data()), sed, Near(sed, 1e-5));
  }
  // No motion, a window the wrong way round: nothing.
  const std::vector<float> zero(100, 0.0f);
  const int32_t n = 100;
  const float f5 = 0.05f, f95 = 0.95f;
  int32_t i1 = -1, i2 = -1;
  EXPECT_EQ(SIGWIN(&n, zero.data(), &f95, &f5, &i1, &i2), 0);
  EXPECT_EQ(SIGWIN(&n, zero.data(), &f5, &f95, &i1, &i2), 0);
  EXPECT_EQ(i1, -1);
  const int32_t two = 2, three = 3;
  EXPECT_EQ(RMSAT(&three, &two, zero.data()), 0.0f);
}

TEST(Measures, ThresholdedAndStandardisedCav) {
  for (const Record& r : Records()) {
    SCOPED_TRACE(r.name);
    const int32_t n = r.N();
    const float five = 5, zero = 0;
    const double cav5 = FineIntegral(r.acc.data(), 0, n - 1, r.dt, [](double a) { return std::fabs(a) >= 5 ? std::fabs(a) : 0; });
    EXPECT_NEAR(CAVTHR(&n, &r.dt, r.acc.data(), &five), cav5, Near(cav5, 1e-3));
    EXPECT_NEAR(CAVTHR(&n, &r.dt, r.acc.data(), &zero), CAV(&n, &r.dt, r.acc.data()), Near(cav5, 1e-5));

    // Whole seconds whose largest sample reaches 0.025 g.
    const int perSecond = static_cast<int>(std::lround(1 / r.dt));
    double std = 0;
    for (int32_t first = 0; first + 1 < n; first += perSecond) {
      const int32_t last = std::min(first + perSecond, n - 1);
      double peak = 0;
      for (int32_t i = first; i <= last; ++i) peak = std::max(peak, std::fabs(double{r.acc[i]}));
      if (peak >= 0.025 * kG) std += FineIntegral(r.acc.data(), first, last, r.dt, [](double a) { return std::fabs(a); });
    }
    EXPECT_NEAR(CAVSTD(&n, &r.dt, r.acc.data()), std, Near(std, 1e-3));
    EXPECT_GT(std, 0);
  }
}

TEST(Measures, SpectrumIntensitiesAndPredominantPeriod) {
  for (const Record& r : Records()) {
    SCOPED_TRACE(r.name);
    const int32_t n = r.N();
    const float h = 0.05f;
    // Independently: the elastic spectra on a grid of 0.005 s, integrated by the trapezoid rule.
    std::vector<float> t;
    for (int k = 0; k <= 480; ++k) t.push_back(static_cast<float>(0.1 + 0.005 * k));
    int32_t np = static_cast<int32_t>(t.size());
    std::vector<float> sd(t.size()), sv(t.size()), sa(t.size());
    ASSERT_EQ(RESPEC(&np, t.data(), &h, &n, &r.dt, r.acc.data(), sd.data(), sv.data(), sa.data()), 1);
    double asi = 0, vsi = 0, hi = 0;
    for (std::size_t k = 1; k < t.size(); ++k) {
      const double step = double{t[k]} - t[k - 1];
      if (t[k] <= 0.5001) asi += (sa[k] + sa[k - 1]) / 2 * step;
      vsi += (sv[k] + sv[k - 1]) / 2 * step;
      hi += (2 * kPi / t[k] * sd[k] + 2 * kPi / t[k - 1] * sd[k - 1]) / 2 * step;
    }
    float a = 0, v = 0, hh = 0, tp = 0;
    ASSERT_EQ(SPECMEAS(&h, &n, &r.dt, r.acc.data(), &a, &v, &hh, &tp), 1);
    EXPECT_NEAR(a, asi, Near(asi, 0.01));
    EXPECT_NEAR(v, vsi, Near(vsi, 0.01));
    EXPECT_NEAR(hh, hi, Near(hi, 0.01));
    // The predominant period is where the fine spectrum peaks, to the coarser grid's spacing.
    const auto best = std::max_element(sa.begin(), sa.end()) - sa.begin();
    if (t[best] < 2.5f) {
      EXPECT_NEAR(tp, t[best], 0.03);
    }
  }
  const int32_t n = 100;
  const std::vector<float> zero(100, 0.0f);
  const float h = 0.05f, dt = 0.01f, bad = 1.0f;
  float a = -1, v = -1, hh = -1, tp = -1;
  ASSERT_EQ(SPECMEAS(&h, &n, &dt, zero.data(), &a, &v, &hh, &tp), 1);
  EXPECT_EQ(tp, 0.0f);
  EXPECT_EQ(SPECMEAS(&bad, &n, &dt, zero.data(), &a, &v, &hh, &tp), 0);
}

TEST(Measures, SustainedPeaksA95AndDurations) {
  for (const Record& r : Records()) {
    SCOPED_TRACE(r.name);
    const int32_t n = r.N();
    // Half cycles: between the sign changes, skipping zeros.
    std::vector<double> peaks;
    double run = 0;
    int sign = 0;
    for (float x : r.acc) {
      if (x == 0) continue;
      const int s = x > 0 ? 1 : -1;
      if (s != sign && sign != 0) peaks.push_back(run), run = 0;
      sign = s;
      run = std::max(run, std::fabs(double{x}));
    }
    peaks.push_back(run);
    std::sort(peaks.rbegin(), peaks.rend());
    EXPECT_FLOAT_EQ(SUSTMAX(&n, r.acc.data()), static_cast<float>(peaks[2]));

    std::vector<double> sq;
    for (float x : r.acc) sq.push_back(double{x} * x);
    std::sort(sq.begin(), sq.end());
    double total = 0, cum = 0;
    for (double s : sq) total += s;
    double a95 = 0;
    for (double s : sq)
      if ((cum += s) >= 0.95 * total) {
        a95 = std::sqrt(s);
        break;
      }
    EXPECT_NEAR(A95(&n, r.acc.data()), a95, Near(a95, 1e-5));

    for (float level : {5.0f, static_cast<float>(0.05 * kG)}) {
      int first = -1, last = -1, count = 0;
      for (int32_t i = 0; i < n; ++i)
        if (std::fabs(r.acc[i]) >= level) last = i, first = first < 0 ? i : first, ++count;
      EXPECT_NEAR(BRACKDUR(&n, &r.dt, r.acc.data(), &level), first < 0 ? 0 : (last - first) * r.dt, 1e-4);
      EXPECT_NEAR(UNIFDUR(&n, &r.dt, r.acc.data(), &level), count * r.dt, 1e-4);
    }
    const auto at = std::max_element(r.acc.begin(), r.acc.end(), [](float a, float b) { return std::fabs(a) < std::fabs(b); });
    EXPECT_NEAR(PEAKTIME(&n, &r.dt, r.acc.data()), (at - r.acc.begin()) * r.dt, 1e-4);
  }
  // Two half cycles have no third peak; a level never reached has no duration.
  const std::vector<float> two = {0, 3, 1, -2, -4};
  const int32_t n = 5;
  const float dt = 0.01f, high = 10;
  EXPECT_EQ(SUSTMAX(&n, two.data()), 0.0f);
  EXPECT_EQ(BRACKDUR(&n, &dt, two.data(), &high), 0.0f);
}

TEST(Measures, LowPassPeakAndMeanPeriodAgainstDirectTransform) {
  for (const Record& full : Records()) {
    SCOPED_TRACE(full.name);
    // 2048 samples around the strongest motion, transformed directly.
    const auto peak = std::max_element(full.acc.begin(), full.acc.end(), [](float a, float b) { return std::fabs(a) < std::fabs(b); });
    const std::ptrdiff_t from = std::clamp<std::ptrdiff_t>(peak - full.acc.begin() - 1024, 0, static_cast<std::ptrdiff_t>(full.acc.size()) - 2048);
    const std::vector<float> acc(full.acc.begin() + from, full.acc.begin() + from + 2048);
    const int32_t n = 2048;
    const double dt = full.dt, df = 1 / (n * dt);
    std::vector<std::complex<double>> c(n / 2 + 1);
    for (int k = 0; k <= n / 2; ++k)
      for (int i = 0; i < n; ++i) c[k] += double{acc[i]} * std::polar(1.0, -2 * kPi * k * i / n);
    double num = 0, den = 0;
    for (int k = 1; k <= n / 2; ++k) {
      const double f = k * df;
      if (f < 0.25 || f > 20) continue;
      num += std::norm(c[k]) / f, den += std::norm(c[k]);
    }
    EXPECT_NEAR(MEANPRD(&n, &full.dt, acc.data()), num / den, Near(num / den, 1e-4));

    // The inverse of the spectrum with the Butterworth gain at 9 Hz.
    std::vector<std::complex<double>> g(c);
    for (int k = 0; k <= n / 2; ++k) g[k] *= 1 / std::sqrt(1 + std::pow(k * df / 9, 8));
    double top = 0;
    for (int i = 0; i < n; ++i) {
      double y = g[0].real() + g[n / 2].real() * (i % 2 ? -1 : 1);
      for (int k = 1; k < n / 2; ++k) y += 2 * (g[k] * std::polar(1.0, 2 * kPi * k * i / n)).real();
      top = std::max(top, std::fabs(y / n));
    }
    const float fc = 9;
    EXPECT_NEAR(EDA(&n, &full.dt, acc.data(), &fc), top, Near(top, 1e-4));
  }
}

// Absolute velocity of the oscillator by fine Runge-Kutta steps, the ground velocity exact for
// an acceleration linear between samples.
double FineSva(double period, double h, double dt, const std::vector<float>& a) {
  const double w = 2 * kPi / period;
  const int sub = std::max(1, static_cast<int>(std::ceil(200 * dt / period)));
  const double s = dt / sub;
  auto f = [&](double g, double x, double v) { return -g - 2 * h * w * v - w * w * x; };
  double x = 0, v = 0, vg = 0, best = 0;
  for (std::size_t i = 0; i + 1 < a.size(); ++i) {
    const double a0 = a[i], rise = (double{a[i + 1]} - a0) / dt;
    for (int k = 0; k < sub; ++k) {
      const double t0 = k * s, g0 = a0 + rise * t0, gm = g0 + rise * s / 2, g1 = g0 + rise * s;
      const double k1x = v, k1v = f(g0, x, v), k2x = v + s / 2 * k1v, k2v = f(gm, x + s / 2 * k1x, v + s / 2 * k1v);
      const double k3x = v + s / 2 * k2v, k3v = f(gm, x + s / 2 * k2x, v + s / 2 * k2v);
      const double k4x = v + s * k3v, k4v = f(g1, x + s * k3x, v + s * k3v);
      x += s / 6 * (k1x + 2 * k2x + 2 * k3x + k4x);
      v += s / 6 * (k1v + 2 * k2v + 2 * k3v + k4v);
    }
    vg += (a0 + double{a[i + 1]}) / 2 * dt;
    best = std::max(best, std::fabs(v + vg));
  }
  return best;
}

TEST(Measures, AbsoluteVelocityResponseAndLongPeriodClass) {
  for (const Record& r : Records()) {
    SCOPED_TRACE(r.name);
    const int32_t n = r.N();
    const std::vector<float> prd = {0.5f, 1.6f, 4.0f, 7.8f};
    int32_t np = 4;
    const float h = 0.05f;
    std::vector<float> sva(4), given(4);
    ASSERT_EQ(SVASPEC(&np, prd.data(), &h, &n, &r.dt, r.acc.data(), nullptr, sva.data()), 1);
    ASSERT_EQ(SVASPEC(&np, prd.data(), &h, &n, &r.dt, r.acc.data(), r.vel.data(), given.data()), 1);
    for (int k = 0; k < 4; ++k) {
      const double fine = FineSva(prd[k], 0.05, r.dt, r.acc);
      EXPECT_NEAR(sva[k], fine, Near(fine, 0.01)) << prd[k];
      EXPECT_NEAR(given[k], sva[k], Near(fine, 1e-4));
    }
    // The class follows JMA's limits on the largest Sva of either component over 1.6-7.8 s.
    double top = 0;
    std::vector<float> all(32);
    std::vector<float> periods;
    for (int k = 0; k < 32; ++k) periods.push_back(static_cast<float>(1.6 + 0.2 * k));
    np = 32;
    ASSERT_EQ(SVASPEC(&np, periods.data(), &h, &n, &r.dt, r.acc.data(), nullptr, all.data()), 1);
    for (float s : all) top = std::max(top, double{s});
    for (auto [target, cls] : {std::pair{3.0, 0}, {10.0, 1}, {20.0, 2}, {70.0, 3}, {150.0, 4}}) {
      std::vector<float> x(r.acc), y(r.acc.size(), 0.0f);
      for (float& a : x) a = static_cast<float>(a * target / top);
      float svaMax = 0;
      int32_t got = -1;
      ASSERT_EQ(LPGMCLASS(&n, &r.dt, y.data(), x.data(), nullptr, nullptr, &svaMax, &got), 1);
      EXPECT_EQ(got, cls) << target;
      EXPECT_NEAR(svaMax, target, target * 1e-4);
    }
  }
}

}  // namespace
