#include "draw/relation.h"

#include <gtest/gtest.h>

#include <cmath>

#include "state/graph_kinds.h"
#include "tests/support/fake_draw_host.h"
#include "tests/support/noise_record.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

TEST(RelationAxes, LogSpectralRatioAxisRunsTwoDecadesBelowItsLimit) {
  GraphSettings gs;
  gs.Axis[AxisSpectralRatio].Specify = false;
  gs.Axis[AxisSpectralRatio].Log = true;
  const AxisRecord a = SpectrumValueAxis(gs, AxisSpectralRatio, 7.3f, 100);
  EXPECT_FLOAT_EQ(a.Max, 10);
  EXPECT_FLOAT_EQ(a.Min, 0.1f);
}

TEST(RelationAxes, LagMaximumBeyondTheLagsIsLimitedToThem) {
  GraphSettings gs;
  gs.Axis[AxisTimeLag].Max = 1000;
  FourierData f;
  f.NH = 64;  // h = 32 lags each side at 100 Hz: 0.64 s
  const SpectrumXAxis x = SymmetricLagAxis(gs, f, 100);
  EXPECT_EQ(x.first, 1);
  EXPECT_EQ(x.last, 65);
  EXPECT_FLOAT_EQ(x.x[32], 0);  // zero lag at element h + 1
  EXPECT_NEAR(x.x[0], -0.64f, 1e-6);
  EXPECT_NEAR(x.x[64], 0.64f, 1e-6);
  gs.Axis[AxisTimeLag].Max = 0.1f;
  const SpectrumXAxis y = SymmetricLagAxis(gs, f, 100);
  EXPECT_EQ(y.first, 28);
  EXPECT_EQ(y.last, 38);
}

TEST(RelationAxes, PhaseAxisSpansOneTurn) {
  GraphSettings gs;
  gs.Axis[AxisPhase].Specify = false;
  AxisRecord a = PhaseAxis(gs);
  EXPECT_FLOAT_EQ(a.Min, -180);
  EXPECT_FLOAT_EQ(a.Max, 180);
  gs.Axis[AxisPhase].Specify = true;
  gs.Axis[AxisPhase].Max = 360;
  a = PhaseAxis(gs);
  EXPECT_FLOAT_EQ(a.Min, 0);
}

TEST(PhaseWrap, LeavesAtOneEdgeAndReentersAtTheOther) {
  AxisRecord x, y;
  x.Min = 0;
  x.Max = 10;
  y.Min = -180;
  y.Max = 180;
  const std::vector<float> f{1, 2, 3, 4};
  const float phase[] = {150, 170, -170, -150};  // passes +180 between 2 and 3
  const PhaseRuns r = WrapPhase(x, y, f, phase, 1, 4);
  ASSERT_EQ(r.x.size(), 7u);
  EXPECT_FLOAT_EQ(r.y[2], 180);  // leaves at the top, half way (170 -> 190)
  EXPECT_FLOAT_EQ(r.x[2], 2.5f);
  EXPECT_TRUE(std::isnan(r.y[3]));  // the run ends
  EXPECT_FLOAT_EQ(r.y[4], -180);    // and re-enters at the bottom at the same frequency
  EXPECT_FLOAT_EQ(r.x[4], 2.5f);
  EXPECT_FLOAT_EQ(r.y[5], -170);
  // No step between consecutive drawn points crosses more than half the axis.
  for (std::size_t i = 1; i < r.y.size(); ++i)
    if (std::isfinite(r.y[i]) && std::isfinite(r.y[i - 1])) {
      EXPECT_LE(std::fabs(r.y[i] - r.y[i - 1]), 180);
    }
}

TEST(PhaseWrap, SmoothPhaseIsLeftAlone) {
  AxisRecord x, y;
  x.Max = 10;
  y.Min = -180;
  y.Max = 180;
  const std::vector<float> f{1, 2, 3};
  const float phase[] = {-100, 0, 100};
  EXPECT_EQ(WrapPhase(x, y, f, phase, 1, 3).y, (std::vector<float>{-100, 0, 100}));
}

struct RelationPages : ::testing::Test {
  AppState app;
  DrawSession session;
  test::FakeHost host;
  test::ScriptedUi ui;
  void SetUp() override {
    test::NoiseRecord(app, {"NS", "EW", "UD"}, 2048, 5, 10);
    app.view.RelationPairs = {{1, 2}, {1, 3}};
    app.calc.RecalcFlags = RecalcFourier | RecalcResponse | RecalcRelations;
  }
  bool HasText(const std::string& s) const {
    for (const test::RecordedText& t : host.screen.texts)
      if (t.text == s) return true;
    return false;
  }
};

TEST_F(RelationPages, TwoPairsGiveTwoLegendEntriesInEveryKind) {
  const char* join[] = {"/", "-", "*", "*", "*", "/"};
  for (int32_t kind = KindSpectralRatio; kind <= KindResponseRatio; ++kind) {
    host.screen.Clear();
    DrawGraph(app, session, host, ui, TargetScreen, kind);
    EXPECT_TRUE(ui.messages.empty()) << kind;
    const std::string j = join[kind - KindSpectralRatio];
    // Ratios are Y over X and name Y first; the others name X first.
    const bool ratio = kind == KindSpectralRatio || kind == KindResponseRatio;
    EXPECT_TRUE(HasText(ratio ? "EW" + j + "NS" : "NS" + j + "EW")) << kind;
    EXPECT_TRUE(HasText(ratio ? "UD" + j + "NS" : "NS" + j + "UD")) << kind;
  }
}

TEST_F(RelationPages, RatioLegendNamesTheNumeratorFirst) {
  // EW is NS three times over, so EW/NS is 3 and NS/EW a third.
  for (int32_t i = 1; i <= app.record.DataCount; ++i) app.record.Acc(i, 2) = 3 * app.record.Acc(i, 1);
  ComputePeaks(app.record);
  app.view.RelationPairs = {{1, 2}};
  for (int32_t kind : {KindSpectralRatio, KindResponseRatio}) {
    host.screen.Clear();
    DrawGraph(app, session, host, ui, TargetScreen, kind);
    ASSERT_EQ(app.series.relation.Pairs.size(), 1u);
    const RelationPair& p = app.series.relation.Pairs[0];
    const std::vector<float>& v = kind == KindSpectralRatio ? p.Ratio : p.RespRatio;
    ASSERT_GT(v.size(), 10u);
    EXPECT_NEAR(v[10], 3, 1e-3) << kind;
    EXPECT_TRUE(HasText("EW/NS")) << kind;
    EXPECT_FALSE(HasText("NS/EW")) << kind;
  }
}

TEST_F(RelationPages, NoPairDrawsNoSeries) {
  app.view.RelationPairs.clear();
  DrawGraph(app, session, host, ui, TargetScreen, KindCoherence);
  EXPECT_FALSE(HasText("NS*EW"));
}

TEST_F(RelationPages, PhaseIsNeverAStrokeAcrossThePlot) {
  DrawGraph(app, session, host, ui, TargetScreen, KindPhaseDifference);
  const GraphFrame& f = session.lastFrame;
  ASSERT_GT(f.Height, 0);
  const double half = f.Height / 2.0;  // the context is given page coordinates
  int checked = 0;
  for (const auto& line : host.screen.polylines) {
    if (line.size() < 20) continue;  // axes, ticks and legend samples
    for (std::size_t i = 1; i < line.size(); ++i) {
      EXPECT_LE(std::abs(line[i].y - line[i - 1].y), half + 2);
      ++checked;
    }
  }
  EXPECT_GT(checked, 100);
}

}  // namespace
}  // namespace sism
