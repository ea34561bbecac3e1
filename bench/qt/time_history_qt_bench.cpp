// A 2-hour, three-channel record drawn whole onto the screen picture of the window
// (a QImage 1600 px wide), as the main window draws it.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "bench/decaying_channels.h"
#include "draw/qt/page_output.h"
#include "draw/time_history.h"

namespace {

using namespace sism;

void BM_LongRecordOnQImage(benchmark::State& state) {
  const int32_t n = 720000, f = 100;
  const bench::DecayingChannels record = bench::MakeDecayingChannels(n, 200000);
  GraphSettings gs;
  gs.Axis[AxisTime].Specify = false;
  const TemplateFacts facts;
  ScreenPicture picture;
  cGraphicExtensions gx;
  for (auto _ : state) {
    picture.Begin(1600, 900);
    gx.SetHdc(&picture.Dc());
    gx.SetWindow(1600, 900, 17000, 9500);
    GraphFrame frame;
    frame.Left = 1500;
    frame.Top = 500;
    frame.Width = 15000;
    frame.Height = 2000;
    PaintTimeHistory(gx, frame, gs, facts, 1, f, n, record.channels);
    gx.SetHdc(nullptr);
    picture.End();
  }
}
BENCHMARK(BM_LongRecordOnQImage)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
