// Whatever shows series after a change (drawing, export, the peaks report) sees them as a
// fresh computation under the current settings and view would give them.
#include <gtest/gtest.h>

#include <random>

#include "app/shell/export.h"
#include "app/shell/forms/calc_dialog.h"
#include "app/shell/peaks_report.h"
#include "app/shell/view_commands.h"
#include "draw/draw_graph.h"
#include "tests/support/fake_draw_host.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

// Three channels of reddish noise at 100 Hz, 160 s long, drawn with labels.
AppState NoiseRecord() {
  AppState app;
  StrongRecord& r = app.record;
  const int32_t chans = 3, n = 16000;
  r.SampFreq = 100;
  r.DataCount = n;
  r.ChanCount = chans;
  r.RedimHeader(chans);
  r.RedimAcc(n, chans);
  std::mt19937 gen(11);
  std::normal_distribution<float> noise(0, 10);
  float prev = 0;
  for (int32_t i = 1; i <= n; ++i) {
    prev = 0.9f * prev + noise(gen);
    for (int32_t ch = 1; ch <= chans; ++ch) r.Acc(i, ch) = prev * static_cast<float>(ch) + noise(gen);
  }
  for (int32_t ch = 1; ch <= chans; ++ch) r.Label(ch) = "C" + std::to_string(ch);
  ComputePeaks(r);
  app.view.DrawChan.assign(chans, true);
  for (int32_t ch = 1; ch <= chans; ++ch) app.view.LabelCopies.push_back(r.Label(ch));
  app.view.RelationPairs = {{1, 2}};
  app.calc.RecalcFlags = RecalcIntegration | RecalcFourier | RecalcResponse | RecalcRelations;
  app.graph.Axis[AxisTime].Min = 0;
  app.graph.Axis[AxisTime].Max = 80;
  return app;
}

// The export text of a kind computed from nothing under the same settings.
std::string FreshExport(const AppState& app, int32_t kind) {
  AppState fresh = app;
  fresh.series.Clear();
  fresh.series.Invalidate();
  test::ScriptedUi ui;
  BringSeriesUpToDate(fresh, kind, ui);
  return ExportText(fresh, kind, ExportComma, false);
}

class StaleSeries : public ::testing::Test {
 protected:
  AppState app = NoiseRecord();
  DrawSession session;
  test::FakeHost host;
  test::ScriptedUi ui;

  std::string Export(int32_t kind) {
    BringSeriesUpToDate(app, kind, ui);
    return ExportText(app, kind, ExportComma, false);
  }
  void ShowAcceleration() {
    app.view.GraphKind = KindAcc;
    DrawGraph(app, session, host, ui, TargetScreen, KindAcc);
  }
};

TEST_F(StaleSeries, DampingAppliedWhileAccelerationIsShownReachesTheExport) {
  ShowAcceleration();
  const std::string before = Export(KindSa);
  CalcDialogModel dialog(app.calc);
  ASSERT_TRUE(dialog.LeaveBox(CalcDialogModel::BoxRespDamping, "20"));
  ASSERT_TRUE(dialog.Apply(app.calc));
  ShowAcceleration();  // redrawn after Apply; acceleration needs no response spectra
  const std::string after = Export(KindSa);
  EXPECT_NE(after, before);
  EXPECT_EQ(after, FreshExport(app, KindSa));
}

TEST_F(StaleSeries, MovedTimeWindowReachesTheFourierExport) {
  app.calc.FourDurationType = 1;  // the spectra follow the time axis
  ShowAcceleration();
  const std::string before = Export(KindFourier);
  SetTimeWindow(app, {40, 120});
  ShowAcceleration();
  const std::string after = Export(KindFourier);
  EXPECT_NE(after, before);
  EXPECT_EQ(after, FreshExport(app, KindFourier));
  // Relations are built on the same spectra.
  EXPECT_EQ(Export(KindSpectralRatio), FreshExport(app, KindSpectralRatio));
}

TEST_F(StaleSeries, MovedTimeWindowLeavesSpectraOfAFixedStretchAlone) {
  app.calc.FourDurationType = 0;  // whole record
  Export(KindFourier);
  SetTimeWindow(app, {40, 120});
  ShowAcceleration();
  EXPECT_EQ(app.calc.RecalcFlags & RecalcFourier, 0);
  EXPECT_EQ(Export(KindFourier), FreshExport(app, KindFourier));
}

TEST_F(StaleSeries, PeaksReportSeesTheNewDamping) {
  BringSeriesUpToDate(app, KindSa, ui);
  app.calc.RespDamping = 20;
  app.calc.RecalcFlags |= RecalcResponse | RecalcRelations;
  ShowAcceleration();
  BringSeriesUpToDate(app, KindSa, ui);
  AppState fresh = app;
  fresh.series.Invalidate();
  BringSeriesUpToDate(fresh, KindSa, ui);
  EXPECT_EQ(PeaksReportText(app, KindSa, FullIndexWindow(app, KindSa)),
            PeaksReportText(fresh, KindSa, FullIndexWindow(fresh, KindSa)));
}

TEST_F(StaleSeries, OnlyWhatWasRecomputedIsCleared) {
  app.calc.RecalcFlags = RecalcIntegration | RecalcResponse;
  BringSeriesUpToDate(app, KindVel, ui);
  EXPECT_EQ(app.calc.RecalcFlags, RecalcResponse);
  EXPECT_TRUE(app.series.motionValid);
  EXPECT_FALSE(app.series.responseValid);
}

}  // namespace
}  // namespace sism
