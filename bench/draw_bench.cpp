// Series drawing speed: one strip of a long record through the clipped, dashed path
// and the whole plotter, on a context that only counts.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench/counting_dc.h"
#include "draw/axes.h"
#include "draw/graphic_extensions.h"

namespace {

using namespace sism;

using bench::CountingDc;

GraphFrame StripOf(int n) {
  GraphFrame f;
  f.Left = 1500;
  f.Top = 500;
  f.Width = 15000;
  f.Height = 2000;
  f.X = AxisRecord{static_cast<float>(n) / 100, 0, 10, 1, 0, "", ""};
  f.Y = AxisRecord{500, -500, 500, 100, 0, "", ""};
  f.XData.resize(n);
  f.YData.resize(n);
  for (int i = 0; i < n; ++i) {
    f.XData[i] = i / 100.0f;
    f.YData[i] = 700 * std::sin(i * 0.05f) * std::exp(-i / 20000.0f);  // beyond the plot at first
  }
  f.First = 1;
  f.Last = n;
  f.SeriesLine = LineRecord{255, 30, 0};
  return f;
}

void BM_PlotSeriesSolid(benchmark::State& state) {
  CountingDc dc;
  cGraphicExtensions gx;
  gx.SetHdc(&dc);
  gx.SetWindow(1000, 200, 17000, 3400);
  const GraphFrame f = StripOf(static_cast<int>(state.range(0)));
  for (auto _ : state) PlotSeries(gx, f);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PlotSeriesSolid)->Arg(10000)->Arg(100000);

void BM_PlotSeriesDashed(benchmark::State& state) {
  CountingDc dc;
  cGraphicExtensions gx;
  gx.SetHdc(&dc);
  gx.SetWindow(1000, 200, 17000, 3400);
  GraphFrame f = StripOf(static_cast<int>(state.range(0)));
  f.SeriesLine.Style = 3;
  for (auto _ : state) PlotSeries(gx, f);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PlotSeriesDashed)->Arg(10000)->Arg(100000);

}  // namespace

BENCHMARK_MAIN();
