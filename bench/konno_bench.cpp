// Konno-Ohmachi smoothing of a 16,384-point spectrum onto the 401-point log grid 0.01-100 Hz (goal:
// at most 5 ms), and the Butterworth band-pass of a 300-second record at 100 Hz.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "sismcalc.h"

namespace {

void BM_KONNO(benchmark::State& state) {
  int32_t n = 16384, no = 401;
  float df = 100.0f / n, b = static_cast<float>(state.range(0)), f1 = 0.01f, f2 = 100.0f;
  std::mt19937 gen(3);
  std::exponential_distribution<float> e(1.0f);
  std::vector<float> s(static_cast<size_t>(n)), grid(401), out(401);
  for (float& v : s) v = e(gen);
  LOGPRD(&f1, &f2, &no, grid.data());
  for (auto _ : state) {
    KONNO(&n, &df, s.data(), &b, &no, grid.data(), out.data());
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_KONNO)->Arg(20)->Arg(40)->Arg(188)->Unit(benchmark::kMillisecond);

void BM_BUTTER(benchmark::State& state) {
  int32_t n = 30000, order = 4, passes = static_cast<int32_t>(state.range(0)), keep = 0;
  float dt = 0.01f, fl = 0.1f, fh = 25.0f;
  std::mt19937 gen(5);
  std::normal_distribution<float> noise(0.0f, 50.0f);
  std::vector<float> x(static_cast<size_t>(n));
  for (auto _ : state) {
    state.PauseTiming();
    for (float& v : x) v = noise(gen);
    state.ResumeTiming();
    BUTTER(&n, &dt, &fl, &fh, &order, &passes, &keep, x.data());
    benchmark::DoNotOptimize(x.data());
  }
}
BENCHMARK(BM_BUTTER)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
