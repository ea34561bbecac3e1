// FILTER: band-pass 0.1-10 Hz of a record at 100 Hz, 2^15 and 2^20 samples (one forward and one
// inverse real transform each).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "sismcalc.h"

namespace {

void BM_FILTER(benchmark::State& state) {
  const int32_t n = int32_t{1} << state.range(0);
  std::mt19937 gen(5);
  std::normal_distribution<float> noise(0.0f, 100.0f);
  std::vector<float> x(static_cast<size_t>(n));
  for (auto& v : x) v = noise(gen);
  const float dt = 0.01f, fl = 0.1f, fh = 10.0f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FILTER(&n, &dt, &fl, &fh, x.data()));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FILTER)->Arg(15)->Arg(20)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
