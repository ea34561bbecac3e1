// INTEGFFT (the frequency-domain integrator: a forward and two inverse transforms of twice the
// padded length) on records of 2^15 and 2^20 samples, with INTEGTRA and INTEGLAT for comparison.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "sismcalc.h"

namespace {

std::vector<float> Record(int32_t n) {
  std::mt19937 gen(9);
  std::normal_distribution<float> noise(0.0f, 100.0f);
  std::vector<float> acc(static_cast<size_t>(n));
  for (auto& v : acc) v = noise(gen);
  return acc;
}

void BM_INTEGFFT(benchmark::State& state) {
  const int32_t n = int32_t{1} << state.range(0);
  const std::vector<float> acc = Record(n);
  std::vector<float> vel(n), disp(n);
  const float dt = 0.01f, fc = 0.05f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(INTEGFFT(&n, &dt, acc.data(), vel.data(), disp.data(), &fc));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_INTEGFFT)->Arg(15)->Arg(20)->Unit(benchmark::kMicrosecond);

void BM_INTEGTRA_bilinear(benchmark::State& state) {
  const int32_t n = int32_t{1} << state.range(0), method = 3;
  const std::vector<float> acc = Record(n);
  std::vector<float> vel(n), disp(n);
  const float dt = 0.01f, t1 = 10.0f, t2 = 10.0f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(INTEGTRA(&n, &dt, acc.data(), vel.data(), disp.data(), &method, &t1, &t2));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_INTEGTRA_bilinear)->Arg(15)->Arg(20)->Unit(benchmark::kMicrosecond);

void BM_INTEGLAT(benchmark::State& state) {
  const int32_t n = int32_t{1} << state.range(0);
  const std::vector<float> acc = Record(n);
  std::vector<float> vel(n), disp(n);
  const float dt = 0.01f, fc = 0.05f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(INTEGLAT(&n, &dt, acc.data(), vel.data(), disp.data(), &fc));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_INTEGLAT)->Arg(15)->Arg(20)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
