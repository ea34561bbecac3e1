// Time-history page speed on a context that only counts: three strips of a 300 s record at
// 100 Hz, every sample and every 4th, and of a 2-hour record on a screen 1600 px wide.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench/counting_dc.h"
#include "bench/decaying_channels.h"
#include "draw/time_history.h"

namespace {

using namespace sism;

using bench::CountingDc;

// Three strips of `n` samples at 100 Hz, the whole record, on a viewport `pixels` wide.
void RunPage(benchmark::State& state, int32_t n, float decay, int32_t increment, int32_t pixels) {
  const bench::DecayingChannels record = bench::MakeDecayingChannels(n, decay);
  GraphSettings gs;
  gs.Axis[AxisTime].Specify = false;
  gs.WaveIncrement = increment;
  CountingDc dc;
  cGraphicExtensions gx;
  gx.SetHdc(&dc);
  gx.SetWindow(pixels, pixels * 9500 / 17000, 17000, 9500);
  const TemplateFacts facts;
  for (auto _ : state) {
    GraphFrame frame;
    frame.Left = 1500;
    frame.Top = 500;
    frame.Width = 15000;
    frame.Height = 2000;
    PaintTimeHistory(gx, frame, gs, facts, 1, 100, n, record.channels);
    benchmark::DoNotOptimize(dc.calls);
  }
}

// 300 s: every sample and every 4th, 1000 px.
void BM_TimeHistoryPage(benchmark::State& state) {
  RunPage(state, 30000, 8000, static_cast<int32_t>(state.range(0)), 1000);
}
BENCHMARK(BM_TimeHistoryPage)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

// 3 x 720,000 samples (2 hours at 100 Hz), the whole record on a page 1600 px wide.
void BM_LongRecordScreenPage(benchmark::State& state) {
  RunPage(state, 720000, 200000, 1, 1600);
}
BENCHMARK(BM_LongRecordScreenPage)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
