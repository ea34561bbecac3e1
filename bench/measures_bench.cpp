// The ground-motion measures on one core: every channel and pair measure of a three-component
// record of 30,000 samples (goal: at most 20 ms), and the constant-ductility spectra of one
// component for 5 ductilities at 100 periods (goal: at most 200 ms).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "analysis/motion_measures.h"
#include "sismcalc.h"

namespace {

constexpr int32_t kSamples = 30000;
constexpr float kDt = 0.01f;

struct Component {
  std::vector<float> acc, vel, disp;
};

// Tones of several periods under a rising and decaying envelope, integrated by the trapezoid rule.
Component MakeComponent(int c) {
  Component x;
  double v = 0, d = 0, prev = 0;
  for (int32_t i = 0; i < kSamples; ++i) {
    const double t = i * double{kDt}, e = t * std::exp(-t / 30);
    const double a = 40 * e * (std::sin(7.1 * t + c) + 0.6 * std::sin(2.3 * t + 1 + c) + 0.3 * std::sin(17.0 * t));
    v += (prev + a) / 2 * kDt;
    d += v * kDt;
    prev = a;
    x.acc.push_back(static_cast<float>(a));
    x.vel.push_back(static_cast<float>(v));
    x.disp.push_back(static_cast<float>(d));
  }
  return x;
}

void BM_AllMeasuresThreeComponents(benchmark::State& state) {
  const Component c[3] = {MakeComponent(0), MakeComponent(1), MakeComponent(2)};
  for (auto _ : state) {
    for (const Component& x : c) {
      sism::ChannelMeasures m = sism::MeasureChannel(x.acc.data(), x.vel.data(), x.disp.data(), kSamples, kDt, 5);
      benchmark::DoNotOptimize(m);
    }
    sism::PairMeasures p =
        sism::MeasurePair(c[0].acc.data(), c[1].acc.data(), c[0].vel.data(), c[1].vel.data(), kSamples, kDt);
    benchmark::DoNotOptimize(p);
  }
}
BENCHMARK(BM_AllMeasuresThreeComponents)->Unit(benchmark::kMillisecond);

void BM_ConstantDuctility5x100(benchmark::State& state) {
  const Component x = MakeComponent(0);
  std::vector<float> prd(100);
  const float t1 = 0.05f, t2 = 10.0f, h = 0.05f, alpha = 0;
  int32_t np = 100, nmu = 5, n = kSamples;
  LOGPRD(&t1, &t2, &np, prd.data());
  const std::vector<float> mu = {1.5f, 2, 4, 6, 8};
  std::vector<float> r(500), say(500), sdm(500), sdy(500);
  for (auto _ : state) {
    CDSPEC(&np, prd.data(), &h, &alpha, &nmu, mu.data(), &n, &kDt, x.acc.data(), r.data(), say.data(), sdm.data(),
           sdy.data());
    benchmark::DoNotOptimize(r.data());
  }
}
BENCHMARK(BM_ConstantDuctility5x100)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
