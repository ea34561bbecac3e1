// FFTRI against FFTW's real-to-complex transform at 2^15 and 2^20 points (goal: within 3x of the
// double-precision FFTW plan). FFTRI's time includes everything a call does: twiddles, scratch,
// conversion from and to float; FFTW's plan is made once, outside the timing.
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "sismcalc.h"

namespace {

std::vector<float> Record(int32_t n) {
  std::mt19937 gen(3);
  std::normal_distribution<float> noise(0.0f, 100.0f);
  std::vector<float> x(static_cast<size_t>(n));
  for (auto& v : x) v = noise(gen);
  return x;
}

void BM_FFTRI(benchmark::State& state) {
  const int32_t n = int32_t{1} << state.range(0);
  const std::vector<float> x = Record(n);
  std::vector<float> re(n / 2), im(n / 2);
  for (auto _ : state) {
    benchmark::DoNotOptimize(FFTRI(&n, x.data(), re.data(), im.data()));
    benchmark::ClobberMemory();
  }
}

void BM_FFTW_r2c_double(benchmark::State& state) {
  const int n = 1 << state.range(0);
  double* in = fftw_alloc_real(n);
  fftw_complex* out = fftw_alloc_complex(n / 2 + 1);
  fftw_plan plan = fftw_plan_dft_r2c_1d(n, in, out, FFTW_MEASURE);
  const std::vector<float> x = Record(n);
  for (int i = 0; i < n; ++i) in[i] = x[i];
  for (auto _ : state) {
    fftw_execute(plan);
    benchmark::ClobberMemory();
  }
  fftw_destroy_plan(plan);
  fftw_free(out);
  fftw_free(in);
}

void BM_FFTW_r2c_float(benchmark::State& state) {
  const int n = 1 << state.range(0);
  float* in = fftwf_alloc_real(n);
  fftwf_complex* out = fftwf_alloc_complex(n / 2 + 1);
  fftwf_plan plan = fftwf_plan_dft_r2c_1d(n, in, out, FFTW_MEASURE);
  const std::vector<float> x = Record(n);
  for (int i = 0; i < n; ++i) in[i] = x[i];
  for (auto _ : state) {
    fftwf_execute(plan);
    benchmark::ClobberMemory();
  }
  fftwf_destroy_plan(plan);
  fftwf_free(out);
  fftwf_free(in);
}

BENCHMARK(BM_FFTRI)->Arg(15)->Arg(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FFTW_r2c_double)->Arg(15)->Arg(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FFTW_r2c_float)->Arg(15)->Arg(20)->Unit(benchmark::kMicrosecond);

// Keeps the CPU time per iteration of every run so that the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration && run.iterations > 0)
        cpuSeconds_[run.benchmark_name()] = run.cpu_accumulated_time / static_cast<double>(run.iterations);
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    for (const char* size : {"15", "20"}) {
      const double ours = Get("BM_FFTRI/", size);
      const double fftw = Get("BM_FFTW_r2c_double/", size), fftwf = Get("BM_FFTW_r2c_float/", size);
      if (ours > 0 && fftw > 0 && fftwf > 0)
        std::printf("FFTRI / FFTW r2c at 2^%s: %.2f x the double plan (goal <= 3), %.2f x the float plan\n",
                    size, ours / fftw, ours / fftwf);
    }
  }

 private:
  double Get(const std::string& name, const char* size) const {
    const auto it = cpuSeconds_.find(name + size);
    return it == cpuSeconds_.end() ? 0.0 : it->second;
  }
  std::map<std::string, double> cpuSeconds_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
