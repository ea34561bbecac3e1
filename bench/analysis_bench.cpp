// A redraw that needs every result set of a 3-channel, 100 Hz, 300 s record:
// integration, smoothed Fourier spectra, 120-period response spectra, three relation pairs.
#include <benchmark/benchmark.h>

#include <iostream>
#include <random>

#include "analysis/drivers.h"
#include "app/shell/console_ui.h"
#include "bench/reference_walks.h"

namespace {

sism::AppState LongRecord() {
  sism::AppState s;
  sism::StrongRecord& r = s.record;
  r.SampFreq = 100;
  r.DataCount = 300 * 100;
  r.ChanCount = 3;
  r.RedimHeader(3);
  r.RedimAcc(r.DataCount, 3);
  std::mt19937 gen(1);
  std::normal_distribution<float> noise(0, 50);
  for (int32_t ch = 1; ch <= 3; ++ch) {
    float prev = 0;
    for (int32_t i = 1; i <= r.DataCount; ++i) r.Acc(i, ch) = prev = 0.9f * prev + noise(gen);
  }
  sism::ComputePeaks(r);
  s.calc.FourDurationType = 0;
  s.view.RelationPairs = {{1, 2}, {2, 3}, {1, 3}};
  return s;
}

void BM_AllResultSets(benchmark::State& state) {
  sism::AppState s = LongRecord();
  s.record.DataCount = static_cast<int32_t>(state.range(0)) * 100;
  sism::ConsoleUi ui(std::cerr);
  for (auto _ : state) {
    s.series.Invalidate();
    int32_t pending = sism::kAllSeries;
    sism::RunAnalysisDrivers(s, pending, ui);
    benchmark::DoNotOptimize(s.series.relation.Pairs.data());
  }
  state.SetLabel("3 channels, 100 Hz; goal <= 100 ms at 300 s");
}
BENCHMARK(BM_AllResultSets)->Arg(300)->Unit(benchmark::kMillisecond);

// The response driver alone on the same record, 120 periods on the default period axis; the
// argument turns the peaks between samples on (1) or off (0).
void BM_ResponseDriver(benchmark::State& state) {
  sism::AppState s = LongRecord();
  s.calc.RespPeaksBetweenSamples = state.range(0) != 0;
  sism::ConsoleUi ui(std::cerr);
  for (auto _ : state) {
    sism::RunResponseDriver(s, ui);
    benchmark::DoNotOptimize(s.series.response.R(sism::RespSA, 1, 1));
  }
  state.SetLabel(s.calc.RespPeaksBetweenSamples ? "peaks between samples" : "peaks at the samples");
}
BENCHMARK(BM_ResponseDriver)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A 2-hour, 3-channel, 100 Hz record (2^20 points padded): the Fourier driver with the default
// smoothing band (goal: at most 150 ms), with Konno-Ohmachi smoothing of every bin instead, and
// the response driver at 100 periods (goal: at most 500 ms), what the Fourier and response pages
// wait for.
void BM_TwoHourFourier(benchmark::State& state) {
  sism::AppState s = LongRecord();
  s.record.DataCount = 7200 * 100;
  s.record.RedimAcc(s.record.DataCount, 3);
  std::mt19937 gen(2);
  std::normal_distribution<float> noise(0, 50);
  for (int32_t ch = 1; ch <= 3; ++ch)
    for (int32_t i = 1; i <= s.record.DataCount; ++i) s.record.Acc(i, ch) = noise(gen);
  sism::ComputePeaks(s.record);
  sism::ConsoleUi ui(std::cerr);
  if (state.range(0) == 0 || state.range(0) == 2) {
    if (state.range(0) == 2) s.calc.FourierSmoothing = sism::kSmoothKonno;
    for (auto _ : state) {
      sism::RunFourierDriver(s, ui);
      benchmark::DoNotOptimize(s.series.fourier.A.Column(1));
    }
    state.SetLabel(state.range(0) == 2 ? "Fourier, Konno-Ohmachi b " + std::to_string(s.calc.KonnoB)
                                       : "Fourier, Parzen " + std::to_string(s.calc.WindowWidth) + " Hz");
  } else {
    s.calc.RespSteps = 100;
    for (auto _ : state) {
      sism::RunResponseDriver(s, ui);
      benchmark::DoNotOptimize(s.series.response.R(sism::RespSA, 1, 1));
    }
    state.SetLabel("response, 100 periods");
  }
}
BENCHMARK(BM_TwoHourFourier)->Name("BM_TwoHourRecord")->Arg(0)->Arg(2)->Arg(1)->Unit(benchmark::kMillisecond);

// The constant-ductility driver of a 3-channel 60 s record: 5 ductilities x 120 periods each.
void BM_DuctilityDriver(benchmark::State& state) {
  sism::AppState s = LongRecord();
  s.record.DataCount = 60 * 100;
  sism::ConsoleUi ui(std::cerr);
  for (auto _ : state) {
    sism::RunDuctilityDriver(s, ui);
    benchmark::DoNotOptimize(s.series.ductility.Values[0].data());
  }
  state.SetLabel("3 channels x 5 ductilities x 120 periods, 6000 samples");
}
BENCHMARK(BM_DuctilityDriver)->Unit(benchmark::kMillisecond);

// The machine's speed that day, beside the pages' figures.
BENCHMARK(sism::bench::MachineReference)->Name("BM_MachineReference")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
