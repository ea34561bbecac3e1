// Spectrum, relation and orbit page speed: one page of each kind for a 3-channel record (16,384
// frequency points, 120 periods, three pairs) on a context that only counts, and the switch from
// acceleration to the pseudo-velocity spectrum of a 3 x 30,000-sample record with the
// response spectra computed on the way, and the default report page with its analyses.
#include <benchmark/benchmark.h>

#include <cmath>
#include <iostream>
#include <memory>

#include "analysis/ensure_series.h"
#include "app/shell/console_ui.h"
#include "bench/counting_dc.h"
#include "draw/draw_graph.h"
#include "draw/orbit.h"
#include "draw/pointer.h"
#include "draw/relation.h"
#include "draw/spectrum.h"
#include "state/graph_kinds.h"

namespace {

using namespace sism;
using bench::CountingDc;

AppState Record(int32_t n) {
  AppState app;
  StrongRecord& r = app.record;
  r.SampFreq = 100;
  r.DataCount = n;
  r.ChanCount = 3;
  r.RedimHeader(3);
  r.RedimAcc(n, 3);
  for (int32_t ch = 1; ch <= 3; ++ch) {
    r.Label(ch) = "C" + std::to_string(ch);
    for (int32_t i = 1; i <= n; ++i)
      r.Acc(i, ch) = static_cast<float>(300 * std::sin(i * (0.05 + 0.02 * ch)) * std::exp(-i / 9000.0) +
                                        20 * std::sin(i * 1.3 * ch));
  }
  ComputePeaks(r);
  app.view.DrawChan.assign(3, true);
  app.calc.FourDurationType = 0;  // whole record: 32,768 points padded, 16,384 frequencies
  app.calc.RecalcFlags = RecalcIntegration | RecalcFourier | RecalcResponse;
  return app;
}

// Paints one page of `kind` with `painter` into a counting context per iteration.
void RunPage(benchmark::State& state, AppState& app, int32_t kind, const Painter& painter, int32_t width,
             int32_t height) {
  ConsoleUi ui(std::cerr);
  BringSeriesUpToDate(app, kind, ui);
  CountingDc dc;
  cGraphicExtensions gx;
  gx.SetHdc(&dc);
  gx.SetWindow(1000, 700, 20000, 14000);
  const TemplateFacts facts;
  const std::vector<int32_t> channels{1, 2, 3};
  for (auto _ : state) {
    GraphFrame frame;
    frame.Left = 2000;
    frame.Top = 1500;
    frame.Width = width;
    frame.Height = height;
    frame.AxisFont.Height = 300;
    PaintContext context{app, gx, frame, kind, channels, 0, ui, facts};
    painter(context);
    benchmark::DoNotOptimize(dc.calls);
  }
  state.SetLabel(KindName(kind));
}

void BM_SpectrumPage(benchmark::State& state) {
  AppState app = Record(30000);
  RunPage(state, app, static_cast<int32_t>(state.range(0)), SpectrumPainter, 15000, 10000);
}
BENCHMARK(BM_SpectrumPage)->DenseRange(KindFourier, KindEnergy)->Unit(benchmark::kMillisecond);

// A relation page of three channel pairs.
void BM_RelationPage(benchmark::State& state) {
  AppState app = Record(30000);
  app.view.RelationPairs = {{1, 2}, {1, 3}, {2, 3}};
  app.calc.RecalcFlags |= RecalcRelations;
  RunPage(state, app, static_cast<int32_t>(state.range(0)), RelationPainter, 15000, 10000);
}
BENCHMARK(BM_RelationPage)->DenseRange(KindSpectralRatio, KindResponseRatio)->Unit(benchmark::kMillisecond);

// An orbit page of 30 windows of 10 s each in 6 columns.
void BM_OrbitPage(benchmark::State& state) {
  AppState app = Record(30000);
  app.graph.OrbitTime = 2;
  app.graph.OrbitStart = 0;
  app.graph.OrbitEnd = 300;
  app.graph.OrbitInt = 10;
  app.graph.OrbitCols = 6;
  app.graph.OrbitComp1 = 1;
  app.graph.OrbitComp2 = 2;
  RunPage(state, app, KindAccOrbit, OrbitPainter, 5000, 5000);
}
BENCHMARK(BM_OrbitPage)->Unit(benchmark::kMillisecond);

// The screen as the window gives it to the dispatcher, counting only.
class CountingHost : public DrawHost {
 public:
  CountingDc dc;
  void SetViewArea(int32_t, int32_t) override {}
  int32_t ViewWidth() override { return 1200; }
  int32_t ViewHeight() override { return 800; }
  DeviceContext* ViewDc() override { return &dc; }
  void RefreshView() override {}
  std::unique_ptr<PrintDocument> StartPrintDocument(const std::string&, DeviceContext*) override { return nullptr; }
  int32_t ReferencePixelsPerInchX() override { return 96; }
  int32_t ReferencePixelsPerInchY() override { return 96; }
  int32_t ScreenTwipsPerPixelX() override { return 15; }
  int32_t ScreenTwipsPerPixelY() override { return 15; }
  std::unique_ptr<ClipboardPicture> StartClipboardPicture(ClipboardFormats, int32_t, int32_t, int32_t,
                                                          int32_t) override {
    return nullptr;
  }
};

// The screen drawing of `kind` with the analyses `pending` recomputed each time, after the
// acceleration was shown.
void RunScreen(benchmark::State& state, int32_t kind, int32_t pending) {
  ConsoleUi ui(std::cerr);
  AppState app = Record(30000);
  DrawSession session;
  CountingHost host;
  DrawGraph(app, session, host, ui, TargetScreen, KindAcc);
  for (auto _ : state) {
    app.calc.RecalcFlags |= pending;
    DrawGraph(app, session, host, ui, TargetScreen, kind, 0);
    benchmark::DoNotOptimize(host.dc.calls);
  }
}

// As after a new record or a new damping.
void BM_SwitchToPSv(benchmark::State& state) {
  RunScreen(state, KindPSv, RecalcResponse);
}
BENCHMARK(BM_SwitchToPSv)->Unit(benchmark::kMillisecond);

// The default report page as after a load: integration, Fourier and response spectra
// computed, then the page drawn.
void BM_DefaultReportPage(benchmark::State& state) {
  RunScreen(state, KindReport, RecalcIntegration | RecalcFourier | RecalcResponse);
}
BENCHMARK(BM_DefaultReportPage)->Unit(benchmark::kMillisecond);

// The status-bar readout under the pointer, after a time-history (1) or Fourier (4) page
// of a 3 x 30,000-sample record was drawn on a 1200 x 800 screen.
void BM_PointerReadout(benchmark::State& state) {
  ConsoleUi ui(std::cerr);
  AppState app = Record(30000);
  DrawSession session;
  CountingHost host;
  DrawGraph(app, session, host, ui, TargetScreen, static_cast<int32_t>(state.range(0)));
  double x = 300;
  for (auto _ : state) {
    benchmark::DoNotOptimize(PointerReadout(app, session, x, 150));
    x = x < 900 ? x + 1 : 300;
  }
}
BENCHMARK(BM_PointerReadout)->Arg(KindAcc)->Arg(KindFourier)->Unit(benchmark::kMicrosecond);

}  // namespace
BENCHMARK_MAIN();
