// Orientation-independent spectra of a horizontal pair: RotD50 and RotD100 of 2 x 30,000
// samples at 100 periods and 180 angles (goal: at most 100 ms on one core), at the samples
// only and with the peaks between the samples; beside them the bare oscillator walks of the
// same pair at whole sample intervals, the reference of the angle search (goal: RotD at most
// 2x the walks, 8 ms); the cumulative measures of one component.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "bench/reference_walks.h"
#include "sismcalc.h"

namespace {

constexpr int32_t kPeriods = sism::bench::kReferencePeriods;
constexpr int32_t kSamples = sism::bench::kReferenceSamples;

using sism::bench::Record;

// The argument is the least number of steps per oscillator period (0: whole sample intervals).
void BM_ROTDSPEC(benchmark::State& state) {
  const std::vector<float> x = Record(7), y = Record(8);
  std::vector<float> prd(kPeriods), rotd(2 * kPeriods), angle(kPeriods);
  const std::vector<float> pct = {50.0f, 100.0f};
  float t1 = 0.01f, t2 = 10.0f, h = 0.05f, dt = 0.01f;
  int32_t np = kPeriods, n = kSamples, npct = 2, steps = static_cast<int32_t>(state.range(0));
  LOGPRD(&t1, &t2, &np, prd.data());
  for (auto _ : state) {
    ROTDSPEC(&np, prd.data(), &h, &n, &dt, x.data(), y.data(), &npct, pct.data(), rotd.data(), angle.data(),
             nullptr, &steps);
    benchmark::DoNotOptimize(rotd.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ROTDSPEC)->Arg(0)->Arg(32)->Unit(benchmark::kMillisecond);

// The walks RotD needs without any search over directions (bench/reference_walks.h).
BENCHMARK(sism::bench::MachineReference)->Name("BM_BareWalks")->Unit(benchmark::kMillisecond);

void BM_CumulativeMeasures(benchmark::State& state) {
  const std::vector<float> x = Record(7);
  std::vector<float> husid(kSamples);
  float dt = 0.01f, f5 = 0.05f, f75 = 0.75f, f95 = 0.95f;
  int32_t n = kSamples;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ARIAS(&n, &dt, x.data()));
    benchmark::DoNotOptimize(CAV(&n, &dt, x.data()));
    benchmark::DoNotOptimize(SIGDUR(&n, &dt, x.data(), &f5, &f75));
    benchmark::DoNotOptimize(SIGDUR(&n, &dt, x.data(), &f5, &f95));
    HUSID(&n, &dt, x.data(), husid.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CumulativeMeasures)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
