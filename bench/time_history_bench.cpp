// Time-history page speed on a context that only counts: three strips of a 300 s record at
// 100 Hz, every sample and every 4th, and of a 2-hour record on a screen 1600 px wide.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench/counting_dc.h"
#include "draw/time_history.h"

namespace {

using namespace sism;

using bench::CountingDc;

void BM_TimeHistoryPage(benchmark::State& state) {
  const int32_t n = 30000, f = 100;
  std::vector<std::vector<float>> data(3, std::vector<float>(n));
  std::vector<TimeHistoryChannel> channels;
  for (int c = 0; c < 3; ++c) {
    for (int i = 0; i < n; ++i) data[c][i] = 300 * std::sin(i * 0.07f + c) * std::exp(-i / 8000.0f);
    channels.push_back({"C" + std::to_string(c + 1), 300, data[c].data(), n});
  }
  GraphSettings gs;
  gs.Axis[AxisTime].Specify = false;
  gs.WaveIncrement = static_cast<int32_t>(state.range(0));
  CountingDc dc;
  cGraphicExtensions gx;
  gx.SetHdc(&dc);
  gx.SetWindow(1000, 1000, 17000, 8000);
  const TemplateFacts facts;
  for (auto _ : state) {
    GraphFrame frame;
    frame.Left = 1500;
    frame.Top = 500;
    frame.Width = 15000;
    frame.Height = 2000;
    PaintTimeHistory(gx, frame, gs, facts, 1, f, n, channels);
    benchmark::DoNotOptimize(dc.calls);
  }
}
BENCHMARK(BM_TimeHistoryPage)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

// 3 x 720,000 samples (2 hours at 100 Hz), the whole record on a page 1600 px wide.
void BM_LongRecordScreenPage(benchmark::State& state) {
  const int32_t n = 720000, f = 100;
  std::vector<std::vector<float>> data(3, std::vector<float>(n));
  std::vector<TimeHistoryChannel> channels;
  for (int c = 0; c < 3; ++c) {
    for (int i = 0; i < n; ++i) data[c][i] = 300 * std::sin(i * 0.07f + c) * std::exp(-i / 200000.0f);
    channels.push_back({"C" + std::to_string(c + 1), 300, data[c].data(), n});
  }
  GraphSettings gs;
  gs.Axis[AxisTime].Specify = false;
  CountingDc dc;
  cGraphicExtensions gx;
  gx.SetHdc(&dc);
  gx.SetWindow(1600, 900, 17000, 9500);
  const TemplateFacts facts;
  for (auto _ : state) {
    GraphFrame frame;
    frame.Left = 1500;
    frame.Top = 500;
    frame.Width = 15000;
    frame.Height = 2000;
    PaintTimeHistory(gx, frame, gs, facts, 1, f, n, channels);
    benchmark::DoNotOptimize(dc.calls);
  }
}
BENCHMARK(BM_LongRecordScreenPage)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
