// PARZEN on a spectrum of 2^15 values at DF = 0.01 Hz: band widths 0.4 Hz (43 lags) and 4 Hz
// (431 lags); and on the 2^19 frequencies of a 2-hour record at 100 Hz (padded to 2^20 points)
// with the default 0.2 Hz band (about 2,260 lags), beside the direct sum over every lag, which
// costs N (2L + 1) multiply-adds and is the reference. The counter gives the time per output.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "sismcalc.h"

namespace {

struct Case {
  int32_t n;
  float df, bw;
};

// 0, 1: short spectrum, narrow and wide band; 2: two hours at 100 Hz.
Case CaseOf(int64_t arg) {
  if (arg == 2) return {1 << 19, 100.0f / (1 << 20), 0.2f};
  return {1 << 15, 0.01f, arg == 0 ? 0.4f : 4.0f};
}

std::vector<float> Spectrum(int32_t n) {
  std::mt19937 gen(2);
  std::uniform_real_distribution<float> uniform(0.0f, 10.0f);
  std::vector<float> spectrum(n);
  for (auto& v : spectrum) v = uniform(gen);
  return spectrum;
}

int64_t Lags(const Case& c) {
  return static_cast<int64_t>(2.0 / (1.8543047 / c.bw) / c.df);
}

void BM_PARZEN(benchmark::State& state) {
  const Case c = CaseOf(state.range(0));
  const std::vector<float> spectrum = Spectrum(c.n);
  std::vector<float> s = spectrum;
  for (auto _ : state) {
    std::copy(spectrum.begin(), spectrum.end(), s.begin());
    benchmark::DoNotOptimize(PARZEN(&c.n, &c.df, &c.bw, s.data()));
    benchmark::ClobberMemory();
  }
  state.counters["lags"] = static_cast<double>(Lags(c));
  state.counters["per_output"] =
      benchmark::Counter(c.n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PARZEN)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Reference: the direct weighted sum over every lag in double precision, with the window's
// weights (the single-precision rounding of the sine's argument left out: it costs nothing).
void BM_DirectParzenSum(benchmark::State& state) {
  const Case c = CaseOf(state.range(0));
  const std::vector<float> spectrum = Spectrum(c.n);
  const int64_t lags = std::min<int64_t>(Lags(c), c.n - 1), n = c.n;
  std::vector<double> w(static_cast<std::size_t>(lags + 1));
  const double u = 1.8543047 / c.bw;
  w[0] = 0.75 * u * c.df;
  for (int64_t i = 1; i <= lags; ++i) {
    const double x = 3.1415927 * u * c.df * static_cast<double>(i) / 2;
    const double r = std::sin(x) / x;
    w[i] = w[0] * r * r * r * r;
  }
  std::vector<double> s(spectrum.begin(), spectrum.end()), t(s.size());
  for (auto _ : state) {
    for (int64_t k = 0; k < n; ++k) t[k] = w[0] * s[k];
    for (int64_t i = 1; i <= lags; ++i) {
      const double wi = w[i];
      for (int64_t k = i; k < n; ++k) t[k] += wi * s[k - i];
      for (int64_t k = 0; k < n - i; ++k) t[k] += wi * s[k + i];
    }
    benchmark::DoNotOptimize(t.data());
    benchmark::ClobberMemory();
  }
  state.counters["lags"] = static_cast<double>(lags);
  state.counters["per_output"] =
      benchmark::Counter(c.n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DirectParzenSum)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
