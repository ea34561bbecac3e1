// Response spectra: 120 periods on a 300-second record at 100 Hz, at the samples only and with
// the peaks between the samples.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "sismcalc.h"

namespace {

constexpr int32_t kPeriods = 120;
constexpr int32_t kSamples = 30000;

std::vector<float> Record() {
  std::mt19937 gen(7);
  std::normal_distribution<float> noise(0.0f, 50.0f);
  std::vector<float> acc(kSamples);
  for (int32_t i = 0; i < kSamples; ++i)
    acc[i] = noise(gen) * static_cast<float>(std::exp(-std::pow((i - 6000) / 4000.0, 2)));
  return acc;
}

void BM_RESPEC2(benchmark::State& state) {
  const std::vector<float> acc = Record();
  std::vector<float> prd(kPeriods), sd(kPeriods), sv(kPeriods), sa(kPeriods), ve(kPeriods);
  float t1 = 0.02f, t2 = 10.0f, h = 0.05f, dt = 0.01f;
  int32_t np = kPeriods, n = kSamples;
  LOGPRD(&t1, &t2, &np, prd.data());
  for (auto _ : state) {
    RESPEC2(&np, prd.data(), &h, &n, &dt, acc.data(), sd.data(), sv.data(), sa.data(), ve.data());
    benchmark::DoNotOptimize(sd.data());
    benchmark::ClobberMemory();
  }
  // Seconds per period and sample (goal: at most 1 ns).
  state.counters["per_period_sample"] =
      benchmark::Counter(double{kPeriods} * kSamples,
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RESPEC2)->Unit(benchmark::kMillisecond);

// The argument is NSTEP: 0 takes the peaks at the samples, any other value also between them, found
// exactly in the intervals that can hold them (goal: at most twice RESPEC2).
void BM_RESPECSUB(benchmark::State& state) {
  const std::vector<float> acc = Record();
  std::vector<float> prd(kPeriods), sd(kPeriods), sv(kPeriods), sa(kPeriods), ve(kPeriods);
  float t1 = 0.02f, t2 = 10.0f, h = 0.05f, dt = 0.01f;
  int32_t np = kPeriods, n = kSamples, steps = static_cast<int32_t>(state.range(0));
  LOGPRD(&t1, &t2, &np, prd.data());
  for (auto _ : state) {
    RESPECSUB(&np, prd.data(), &h, &n, &dt, acc.data(), sd.data(), sv.data(), sa.data(), ve.data(), &steps);
    benchmark::DoNotOptimize(sd.data());
    benchmark::ClobberMemory();
  }
  state.counters["per_period_sample"] =
      benchmark::Counter(double{kPeriods} * kSamples,
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RESPECSUB)->Arg(0)->Arg(32)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
