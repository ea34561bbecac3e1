// JMA intensity of a 600-second three-component record at 100 Hz (goal: at most 30 ms each).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "sismcalc.h"

namespace {

constexpr int32_t kSamples = 60000;
constexpr float kStep = 0.01f;

struct Record {
  std::vector<float> x, y, z;
};

Record MakeRecord() {
  std::mt19937 gen(21);
  std::normal_distribution<float> noise(0.0f, 30.0f);
  Record r{std::vector<float>(kSamples), std::vector<float>(kSamples), std::vector<float>(kSamples)};
  for (int32_t i = 0; i < kSamples; ++i) {
    const float envelope = static_cast<float>(std::exp(-std::pow((i - 15000) / 8000.0, 2)));
    r.x[i] = noise(gen) * envelope;
    r.y[i] = noise(gen) * envelope;
    r.z[i] = 0.5f * noise(gen) * envelope;
  }
  return r;
}

template <float (*Fn)(const int32_t*, const float*, const float*, const float*, const float*)>
void BM_Intensity(benchmark::State& state) {
  const Record r = MakeRecord();
  const int32_t n = kSamples;
  const float dt = kStep;
  for (auto _ : state) benchmark::DoNotOptimize(Fn(&n, &dt, r.x.data(), r.y.data(), r.z.data()));
}
BENCHMARK(BM_Intensity<SIJMA10>)->Name("SIJMA10")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Intensity<SIJMA>)->Name("SIJMA")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
