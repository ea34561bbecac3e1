// PARZEN on a spectrum of 2^15 values at DF = 0.01 Hz: band widths 0.4 Hz (43 lags) and 4 Hz
// (431 lags). The cost is N (2L + 1) multiply-adds; the counter gives the time of one.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "sismcalc.h"

namespace {

void BM_PARZEN(benchmark::State& state) {
  const int32_t n = 1 << 15;
  const float df = 0.01f, bw = static_cast<float>(state.range(0)) / 10.0f;
  std::mt19937 gen(2);
  std::uniform_real_distribution<float> uniform(0.0f, 10.0f);
  std::vector<float> spectrum(n);
  for (auto& v : spectrum) v = uniform(gen);
  std::vector<float> s = spectrum;
  for (auto _ : state) {
    benchmark::DoNotOptimize(PARZEN(&n, &df, &bw, s.data()));
    benchmark::ClobberMemory();
  }
  const double lags = static_cast<int>(2.0 / (1.8543047 / bw) / df);
  state.counters["per_multiply_add"] = benchmark::Counter(
      n * (2 * lags + 1), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PARZEN)->Arg(4)->Arg(40)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
