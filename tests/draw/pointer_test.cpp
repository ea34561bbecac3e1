#include "draw/pointer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "common/text.h"
#include "draw/axes.h"
#include "state/graph_kinds.h"
#include "tests/support/fake_draw_host.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

TEST(AxisValueAt, UndoesAxisPosition) {
  const AxisRecord linear{0, -2, 8, 2, AxisNumbers, "", ""};
  AxisRecord log = linear;
  log.Min = 0.1f;
  log.Max = 100;
  log.Flags |= AxisLog;
  for (const AxisRecord& a : {linear, log})
    for (bool vertical : {false, true})
      for (double v : {0.5, 1.0, 3.7}) {
        const double pos = AxisPosition(a, v, 1000, 5000, vertical);
        EXPECT_NEAR(AxisValueAt(a, pos, 1000, 5000, vertical), v, 1e-9) << vertical;
      }
  EXPECT_TRUE(std::isnan(AxisValueAt(linear, 1, 0, 0, false)));
}

// A 60 s record whose channel ch holds ch * 100 + (sample - 1) / 100, so the value read
// tells the channel and the sample.
struct PointerFixture : ::testing::Test {
  AppState app;
  DrawSession session;
  test::FakeHost host;
  test::ScriptedUi ui;
  void SetUp() override {
    StrongRecord& r = app.record;
    r.SampFreq = 100;
    r.DataCount = 6000;
    r.ChanCount = 3;
    r.RedimHeader(3);
    r.RedimAcc(6000, 3);
    for (int32_t ch = 1; ch <= 3; ++ch) {
      r.Label(ch) = "C" + std::to_string(ch);
      for (int32_t i = 1; i <= 6000; ++i) r.Acc(i, ch) = static_cast<float>(ch * 100) + (i - 1) / 100.0f;
    }
    ComputePeaks(r);
    app.view.DrawChan.assign(3, true);
    app.graph.Axis[AxisTime].Specify = false;
    app.calc.RecalcFlags = -1;
  }
  // Pixel of a page position.
  double Px(double page) const { return page / session.screenUnitsPerPixel; }
};

TEST_F(PointerFixture, TimeHistoryReadsTheChannelAndSampleUnderThePointer) {
  app.view.GraphKind = KindAcc;
  DrawGraph(app, session, host, ui, TargetScreen, KindAcc);
  ASSERT_GT(session.screenUnitsPerPixel, 0);
  const GraphFrame& f = session.screenFrame;
  const double pitch = f.Height + app.graph.WaveSpace * 100.0;
  const double x = f.Left + AxisPosition(f.X, 12.5, 0, f.Width, false);
  const std::string text = PointerReadout(app, session, Px(x), Px(f.Top + pitch + f.Height / 2.0));
  EXPECT_EQ(text.rfind("C2   ", 0), 0u) << text;
  const double t = AxisValueAtPixel(session, Px(x));
  const double expected = 200 + std::nearbyint(t * 100) / 100;
  EXPECT_NE(text.find(" " + FormatNumber(expected, "#0.0#")), std::string::npos) << text << " " << t;
  // Between strips, left of the plot and before any drawing: nothing.
  EXPECT_EQ(PointerReadout(app, session, Px(x), Px(f.Top + f.Height + 50)), "");
  EXPECT_EQ(PointerReadout(app, session, Px(f.Left - 300), Px(f.Top + 100)), "");
  EXPECT_EQ(PointerReadout(app, DrawSession{}, 10, 10), "");
}

TEST_F(PointerFixture, SpectrumReadsTheSeriesNearestThePointer) {
  app.view.GraphKind = KindFourier;
  DrawGraph(app, session, host, ui, TargetScreen, KindFourier);
  const GraphFrame& f = session.screenFrame;
  const double x = f.Left + f.Width / 2.0;
  // Pointing at the curve of channel 3 at that frequency.
  const std::string probe = PointerReadout(app, session, Px(x), Px(f.Top + 10));
  ASSERT_FALSE(probe.empty());
  const std::vector<int32_t> three{3};
  const KindSeries s = SeriesOfKind(app, KindFourier, three)[0];
  int64_t best = -1;
  double bestD = 1e300;
  for (int32_t i = f.First; i <= f.Last; ++i) {
    const double d = std::fabs(AxisPosition(f.X, f.XData[static_cast<size_t>(i - 1)], f.Left, f.Width, false) - x);
    if (d < bestD) {
      bestD = d;
      best = i;
    }
  }
  const double y = AxisPosition(f.Y, s.data[best - 1], f.Top, f.Height, true);
  const std::string text = PointerReadout(app, session, Px(x), Px(y));
  EXPECT_EQ(text.rfind("C3   ", 0), 0u) << text;
}

}  // namespace
}  // namespace sism
