#include "draw/spectrum.h"

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/ensure_series.h"
#include "draw/axes.h"
#include "state/graph_kinds.h"
#include "tests/support/fake_draw_host.h"
#include "tests/support/noise_record.h"
#include "tests/support/recording_dc.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

using test::RecordingDc;

TEST(SpectrumAxes, UnspecifiedLogarithmicAxisSpansThreeDecadesBelowTheRoundLimit) {
  GraphSettings gs;
  gs.Axis[AxisFourier].Specify = false;
  gs.Axis[AxisFourier].Log = true;
  const AxisRecord a = SpectrumValueAxis(gs, AxisFourier, 123);
  EXPECT_FLOAT_EQ(a.Max, 200);
  EXPECT_FLOAT_EQ(a.Min, 0.2f);
  EXPECT_TRUE(a.Flags & AxisLog);
  gs.Axis[AxisFourier].Log = false;
  EXPECT_FLOAT_EQ(SpectrumValueAxis(gs, AxisFourier, 123).Min, 0);
}

TEST(SpectrumAxes, SpecifiedLogarithmicMinimumOfZeroStillGivesAnAxis) {
  GraphSettings gs;
  AxisSettings& s = gs.Axis[AxisAccResponse];
  s.Specify = true;
  s.Log = true;
  s.Max = 1000;
  s.Min = 0;
  const AxisRecord a = SpectrumValueAxis(gs, AxisAccResponse, 50);
  EXPECT_FLOAT_EQ(a.Max, 1000);
  EXPECT_GT(a.Min, 0);
  EXPECT_LT(a.Min, a.Max);
}

TEST(SpectrumAxes, ZeroSpectrumGetsAUsableAxis) {
  GraphSettings gs;
  gs.Axis[AxisPower].Specify = false;
  const AxisRecord a = SpectrumValueAxis(gs, AxisPower, 0);
  EXPECT_GT(a.Max, a.Min);
}

TEST(SpectrumAxes, SpectraOverPeriodSkipPointsBeyondTheLongestPeriod) {
  GraphSettings gs;
  gs.SpectraOnPeriod = true;
  gs.Axis[AxisPeriod].Log = true;
  gs.Axis[AxisPeriod].Min = 0.02f;
  gs.Axis[AxisPeriod].Max = 10;
  FourierData f;
  f.NH = 2048;
  f.DF = 0.05f;
  const SpectrumXAxis x = FrequencyOrPeriodAxis(gs, f);
  EXPECT_EQ(x.first, 4);
  EXPECT_GE(x.last, 990);
  for (int32_t i = x.first; i <= x.last; ++i) {
    EXPECT_LE(x.x[static_cast<std::size_t>(i - 1)], 10.0f);
    EXPECT_GE(x.x[static_cast<std::size_t>(i - 1)], 0.02f);
  }
}

TEST(SpectrumAxes, FrequencyAxisLeavesOutTheZeroFrequency) {
  GraphSettings gs;
  gs.Axis[AxisFrequency].Log = false;
  gs.Axis[AxisFrequency].Max = 20;
  FourierData f;
  f.NH = 100;
  f.DF = 0.5f;
  const SpectrumXAxis x = FrequencyOrPeriodAxis(gs, f);
  EXPECT_EQ(x.first, 2);
  EXPECT_EQ(x.last, 39);
  EXPECT_FLOAT_EQ(x.x[38], 19);
  f.NH = 0;  // not computed: nothing to draw
  EXPECT_EQ(FrequencyOrPeriodAxis(gs, f).last, 0);
}

TEST(SpectrumAxes, PeriodAxisWithoutAnyPeriodOfTheListDrawsNothing) {
  GraphSettings gs;
  gs.Axis[AxisPeriod].Log = true;
  gs.Axis[AxisPeriod].Min = 20;
  gs.Axis[AxisPeriod].Max = 50;
  const SpectrumXAxis x = PeriodAxis(gs, {0.1f, 0.5f, 1, 5});
  EXPECT_GT(x.first, x.last);
  gs.Axis[AxisPeriod].Min = 0.3f;
  gs.Axis[AxisPeriod].Max = 2;
  const SpectrumXAxis y = PeriodAxis(gs, {0.1f, 0.5f, 1, 5});
  EXPECT_EQ(y.first, 2);
  EXPECT_EQ(y.last, 3);
}

TEST(SpectrumAxes, CorrelationRunsFromMinusOneToOne) {
  GraphSettings gs;
  gs.Axis[AxisCorrelation].Specify = false;
  const AxisRecord a = CorrelationAxis(gs);
  EXPECT_FLOAT_EQ(a.Min, -1);
  EXPECT_FLOAT_EQ(a.Max, 1);
}

TEST(Tripartite, RangeGivesEqualDecades) {
  // A 150 x 100 mm plot from 0.02 to 5 s: the vertical range spans 39.7 times.
  EXPECT_NEAR(1000 / TripartiteMinimum(1000, 0.02, 5, 15000, 10000), 39.7, 0.05);
}

struct TripartiteFixture : ::testing::Test {
  RecordingDc dc;
  cGraphicExtensions gx;
  GraphFrame frame;
  void SetUp() override {
    gx.SetHdc(&dc);
    gx.SetWindow(30000, 30000, 30000, 30000);
    frame.Left = 2000;
    frame.Top = 1000;
    frame.Width = 15000;
    frame.Height = 10000;
    frame.X.Flags = frame.Y.Flags = AxisLog;
    frame.X.Min = 0.02f;
    frame.X.Max = 5;
    frame.Y.Max = 1000;
    frame.Y.Min = static_cast<float>(TripartiteMinimum(1000, 0.02, 5, 15000, 10000));
    frame.AxisFont.Height = 300;
    frame.AxisFont.Name = "Arial";
  }
  bool Inside(double x, double y) const {
    return x >= frame.Left - 1 && x <= frame.Left + frame.Width + 1 && y >= frame.Top - 1 &&
           y <= frame.Top + frame.Height + 1;
  }
};

TEST_F(TripartiteFixture, LinesRunAtFortyFiveDegreesInsideThePlot) {
  const std::vector<TripartiteLine> lines = TripartiteLines(frame);
  int disp = 0, acc = 0;
  for (const TripartiteLine& l : lines) {
    EXPECT_TRUE(Inside(l.x1, l.y1) && Inside(l.x2, l.y2)) << l.value;
    const double slope = (l.y2 - l.y1) / (l.x2 - l.x1);
    // Page y grows downwards: constant displacement falls with period, acceleration rises.
    EXPECT_NEAR(slope, l.displacement ? 1.0 : -1.0, 1e-3) << l.value;
    (l.displacement ? disp : acc)++;
  }
  EXPECT_GE(disp, 3);
  EXPECT_GE(acc, 3);
}

TEST_F(TripartiteFixture, LineValuesHoldAlongTheirLines) {
  const double lu = std::log(5 / 0.02), lw = std::log(frame.Y.Max / frame.Y.Min);
  for (const TripartiteLine& l : TripartiteLines(frame)) {
    const double T = 0.02 * std::exp((l.x1 - frame.Left) / frame.Width * lu);
    const double v = frame.Y.Min * std::exp((frame.Top + frame.Height - l.y1) / frame.Height * lw);
    const double value = l.displacement ? v * T / 6.2831853072 : 6.2831853072 * v / T;
    EXPECT_NEAR(value / l.value, 1, 1e-3);
  }
}

TEST_F(TripartiteFixture, LabelsAlongTheLinesStayInsideThePlotWithUnitsOnce) {
  DrawTripartiteGrid(gx, frame, "(cm) | (cm/s/s)");
  ASSERT_FALSE(dc.texts.empty());
  int withDispUnit = 0, withAccUnit = 0;
  for (const test::RecordedText& t : dc.texts) {
    const double a = t.font.escapement / 10.0 * 3.14159265358979 / 180;
    EXPECT_NEAR(std::fabs(t.font.escapement), 450, 1) << t.text;
    EXPECT_EQ(t.align, 26);
    // Right-aligned: the text runs back from its anchor along its angle.
    const double w = static_cast<double>(t.text.size()) * t.font.height / 2;
    EXPECT_TRUE(Inside(t.x, t.y)) << t.text;
    EXPECT_TRUE(Inside(t.x - w * std::cos(a), t.y + w * std::sin(a))) << t.text;
    withDispUnit += t.text.find("(cm)") != std::string::npos;
    withAccUnit += t.text.find("(cm/s/s)") != std::string::npos;
  }
  EXPECT_EQ(withDispUnit, 1);
  EXPECT_EQ(withAccUnit, 1);
}

TEST_F(TripartiteFixture, NoGridUnlessBothAxesAreLogarithmic) {
  frame.Y.Flags = 0;
  frame.Y.Min = 0;
  EXPECT_TRUE(TripartiteLines(frame).empty());
}

// Whole pages through the dispatcher.
struct SpectrumPages : ::testing::Test {
  AppState app;
  DrawSession session;
  test::FakeHost host;
  test::ScriptedUi ui;

  void Record(int32_t chans, int32_t n, bool zero = false) {
    std::vector<std::string> labels;
    for (int32_t ch = 1; ch <= chans; ++ch) labels.push_back("C" + std::to_string(ch));
    test::NoiseRecord(app, labels, n, 3, zero ? 0.0f : 20.0f);
    for (LineSettings& l : app.graph.WaveLine) l.Style = 0;
    app.calc.RecalcFlags = RecalcIntegration | RecalcFourier | RecalcResponse;
  }
  // Solid component lines, so each series arrives as polylines of many points.
  int SeriesDrawn() const {
    int n = 0;
    for (const auto& p : host.screen.polylines) n += p.size() > 10;
    return n;
  }
  std::vector<std::string> LegendTexts() const {
    std::vector<std::string> out;
    for (const test::RecordedText& t : host.screen.texts)
      if (t.text.rfind("C", 0) == 0 && t.text.size() == 2) out.push_back(t.text);
    return out;
  }
};

TEST_F(SpectrumPages, EveryKindDrawsItsSeriesAndLegend) {
  Record(3, 2000);
  for (int32_t kind = KindFourier; kind <= KindEnergy; ++kind) {
    host.screen.Clear();
    DrawGraph(app, session, host, ui, TargetScreen, kind);
    EXPECT_TRUE(ui.messages.empty()) << kind;
    EXPECT_EQ(SeriesDrawn(), 3) << kind;
    EXPECT_EQ(LegendTexts(), (std::vector<std::string>{"C1", "C2", "C3"})) << kind;
  }
}

TEST_F(SpectrumPages, ComponentOfZeroWidthIsLeftOut) {
  Record(3, 2000);
  app.graph.WaveLine[2].Width = 0;
  DrawGraph(app, session, host, ui, TargetScreen, KindFourier);
  EXPECT_EQ(LegendTexts(), (std::vector<std::string>{"C1", "C3"}));
}

TEST_F(SpectrumPages, FlatRecordOfOneChannelDrawsASanePage) {
  Record(1, 64, true);
  app.graph.Axis[AxisPseudoVelResponse].Specify = false;
  for (int32_t kind = KindFourier; kind <= KindEnergy; ++kind) {
    host.screen.Clear();
    EXPECT_NO_THROW(DrawGraph(app, session, host, ui, TargetScreen, kind)) << kind;
    EXPECT_EQ(host.log.back(), "Refresh") << kind;
  }
}

TEST_F(SpectrumPages, FourierViewFollowsTheTimeAxisOnlyWhenItsWindowDoes) {
  Record(2, 2000);
  app.calc.FourDurationType = 1;
  DrawGraph(app, session, host, ui, TargetScreen, KindFourier);
  EXPECT_TRUE(session.timeAxisActive);
  app.calc.FourDurationType = 0;
  app.calc.RecalcFlags |= RecalcFourier;
  DrawGraph(app, session, host, ui, TargetScreen, KindFourier);
  EXPECT_FALSE(session.timeAxisActive);
  DrawGraph(app, session, host, ui, TargetScreen, KindPSv);
  EXPECT_FALSE(session.timeAxisActive);
}

}  // namespace
}  // namespace sism
