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

#include "sismcalc.h"

namespace {

constexpr int32_t kPeriods = 100;
constexpr int32_t kSamples = 30000;

std::vector<float> Record(unsigned seed) {
  std::mt19937 gen(seed);
  std::normal_distribution<float> noise(0.0f, 50.0f);
  std::vector<float> acc(kSamples);
  for (int32_t i = 0; i < kSamples; ++i)
    acc[i] = noise(gen) * static_cast<float>(std::exp(-std::pow((i - 6000) / 4000.0, 2)));
  return acc;
}

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

// The two oscillators of every period walked through the record four periods side by side, as
// RotD walks them, keeping only each component's largest squared displacement: the recurrence's
// cost without any search over directions.
typedef double Pair2 __attribute__((vector_size(16)));

void BM_BareWalks(benchmark::State& state) {
  const std::vector<float> x = Record(7), y = Record(8);
  std::vector<float> prd(kPeriods);
  float t1 = 0.01f, t2 = 10.0f;
  int32_t np = kPeriods;
  LOGPRD(&t1, &t2, &np, prd.data());
  constexpr int kLanes = 4;
  const double h = 0.05, dt = 0.01;
  for (auto _ : state) {
    double total = 0;
    for (int32_t first = 0; first < kPeriods; first += kLanes) {
      double a11[kLanes], a12[kLanes], a21[kLanes], a22[kLanes], b1[kLanes], b2[kLanes];
      for (int l = 0; l < kLanes; ++l) {
        // The free motion over one step, exactly; a load term of the same size as the true one.
        const double w = 2 * 3.141592653589793 / prd[first + l], wd = w * std::sqrt(1 - h * h);
        const double e = std::exp(-h * w * dt), sn = std::sin(wd * dt), cs = std::cos(wd * dt);
        a11[l] = e * (h * w / wd * sn + cs), a12[l] = e * sn / wd;
        a21[l] = -e * w * w / wd * sn, a22[l] = e * (cs - h * w / wd * sn);
        b1[l] = (a11[l] - 1) / (2 * w * w), b2[l] = a21[l] / (2 * w * w);
      }
      Pair2 d[kLanes], v[kLanes], peak[kLanes];
      for (int l = 0; l < kLanes; ++l) d[l] = v[l] = peak[l] = Pair2{0.0, 0.0};
      Pair2 prev = {x[0], y[0]};
      for (int32_t i = 1; i < kSamples; ++i) {
        const Pair2 cur = {x[i], y[i]};
        for (int l = 0; l < kLanes; ++l) {
          const Pair2 dn = a11[l] * d[l] + a12[l] * v[l] + (b1[l] * prev + b1[l] * cur);
          const Pair2 vn = a21[l] * d[l] + a22[l] * v[l] + (b2[l] * prev + b2[l] * cur);
          d[l] = dn;
          v[l] = vn;
          const Pair2 sq = d[l] * d[l];
          peak[l] = sq > peak[l] ? sq : peak[l];
        }
        prev = cur;
      }
      for (int l = 0; l < kLanes; ++l) total += peak[l][0] + peak[l][1];
    }
    benchmark::DoNotOptimize(total);
  }
  state.SetLabel("reference: 2 x 100 oscillators, whole sample intervals");
}
BENCHMARK(BM_BareWalks)->Unit(benchmark::kMillisecond);

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
