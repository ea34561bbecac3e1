#include "draw/orbit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "analysis/ensure_series.h"
#include "state/graph_kinds.h"
#include "tests/support/fake_draw_host.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

struct OrbitPages : ::testing::Test {
  AppState app;
  DrawSession session;
  test::FakeHost host;
  test::ScriptedUi ui;

  // Channels of slow sines out of phase, so every orbit is a loop of many points.
  void Record(int32_t chans, int32_t n) {
    StrongRecord& r = app.record;
    r.SampFreq = 100;
    r.DataCount = n;
    r.ChanCount = chans;
    r.RedimHeader(chans);
    r.RedimAcc(n, chans);
    for (int32_t ch = 1; ch <= chans; ++ch) {
      r.Label(ch) = "C" + std::to_string(ch);
      for (int32_t i = 1; i <= n; ++i) r.Acc(i, ch) = 50 * static_cast<float>(std::sin(0.01 * i + ch));
    }
    ComputePeaks(r);
    app.view.DrawChan.assign(static_cast<std::size_t>(chans), true);
    app.graph.Axis[AxisTime].Unit = "(sec)";
    app.graph.OrbitComp1 = 2;
    app.graph.OrbitComp2 = 1;
    app.calc.RecalcFlags = RecalcIntegration;
  }
  void Grid(float start, float end, float interval, int32_t cols) {
    app.graph.OrbitTime = 2;
    app.graph.OrbitStart = start;
    app.graph.OrbitEnd = end;
    app.graph.OrbitInt = interval;
    app.graph.OrbitCols = cols;
  }
  void Draw(int32_t kind = KindAccOrbit) {
    host.screen.Clear();
    DrawGraph(app, session, host, ui, TargetScreen, kind);
  }
  int SeriesDrawn() const {
    int n = 0;
    for (const auto& p : host.screen.polylines) n += p.size() > 10;
    return n;
  }
  std::vector<test::RecordedText> TextsEqualTo(const std::string& s) const {
    std::vector<test::RecordedText> out;
    for (const test::RecordedText& t : host.screen.texts)
      if (t.text == s) out.push_back(t);
    return out;
  }
  std::vector<std::string> TextsEndingIn(const std::string& s) const {
    std::vector<std::string> out;
    for (const test::RecordedText& t : host.screen.texts)
      if (t.text.size() >= s.size() && t.text.compare(t.text.size() - s.size(), s.size(), s) == 0)
        out.push_back(t.text);
    return out;
  }
};

TEST_F(OrbitPages, SpecifiedWindowsFillTwoColumnsWithTheLastCellEmpty) {
  Record(3, 4000);
  Grid(0, 30, 10, 2);
  const OrbitLayout layout = OrbitWindows(app);
  EXPECT_EQ(layout.columns, 2);
  EXPECT_EQ(layout.rows, 2);
  ASSERT_EQ(layout.windows.size(), 3u);
  const int32_t firsts[] = {1, 1001, 2001}, columns[] = {1, 2, 1}, rows[] = {1, 1, 2};
  for (std::size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(layout.windows[k].first, firsts[k]) << k;
    EXPECT_EQ(layout.windows[k].last, firsts[k] + 999) << k;
    EXPECT_EQ(layout.windows[k].column, columns[k]) << k;
    EXPECT_EQ(layout.windows[k].row, rows[k]) << k;
  }
  // The second window has an empty cell below it, so its axis carries the numbers too.
  EXPECT_FALSE(layout.windows[0].xNumbers);
  EXPECT_TRUE(layout.windows[1].xNumbers);
  EXPECT_TRUE(layout.windows[2].xNumbers);
  EXPECT_TRUE(layout.windows[0].yNumbers);
  EXPECT_FALSE(layout.windows[1].yNumbers);
  EXPECT_TRUE(layout.windows[2].yNumbers);
  const PageGeometry page = ComputePageGeometry(app, KindAccOrbit, 3);
  EXPECT_EQ(page.columns, layout.columns);
  EXPECT_EQ(page.rows, layout.rows);
}

TEST_F(OrbitPages, GridPageNumbersTheAxesOnlyWhereNothingLiesBelowOrLeft) {
  Record(3, 4000);
  Grid(0, 30, 10, 2);
  Draw();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(SeriesDrawn(), 3);
  EXPECT_EQ(TextsEndingIn(" sec"), (std::vector<std::string>{"0-10 sec", "10-20 sec", "20-30 sec"}));

  const PageGeometry page = ComputePageGeometry(app, KindAccOrbit, 3);
  const int32_t pitch = page.plotWidth + app.graph.WaveSpace * 100;
  auto column = [&](int32_t x) { return (x - page.plotLeft) / pitch + 1; };
  // Rows by where their plots end: an x title lies below its own plot's bottom.
  auto row = [&](int32_t y) { return (y - page.plotTop - page.plotHeight) / pitch + 1; };
  // The x title (channel 2) goes under the numbered horizontal axes: second window of
  // the first row, first window of the second row.
  std::vector<std::pair<int32_t, int32_t>> cells;
  for (const test::RecordedText& t : TextsEqualTo("C2")) cells.emplace_back(column(t.x), row(t.y));
  std::sort(cells.begin(), cells.end());
  EXPECT_EQ(cells, (std::vector<std::pair<int32_t, int32_t>>{{1, 2}, {2, 1}}));
  // The y title (channel 1) beside the first column only.
  for (const test::RecordedText& t : TextsEqualTo("C1")) EXPECT_LT(t.x, page.plotLeft + page.plotWidth);
  EXPECT_EQ(TextsEqualTo("C1").size(), 2u);
  EXPECT_EQ(session.drawnFirst, 1);
  EXPECT_EQ(session.drawnLast, 3000);
}

TEST_F(OrbitPages, EveryMotionDrawsItsOrbit) {
  Record(3, 3000);
  for (int32_t kind : {KindAccOrbit, KindVelOrbit, KindDispOrbit}) {
    Draw(kind);
    EXPECT_TRUE(ui.messages.empty()) << kind;
    EXPECT_EQ(SeriesDrawn(), 1) << kind;
    EXPECT_EQ(TextsEndingIn(" sec"), std::vector<std::string>{"0-30 sec"}) << kind;
  }
}

TEST_F(OrbitPages, ChannelBeyondTheRecordDrawsNothing) {
  Record(3, 3000);
  app.graph.OrbitComp1 = 4;
  Draw();
  EXPECT_EQ(SeriesDrawn(), 0);
  EXPECT_TRUE(TextsEqualTo("C1").empty());
  EXPECT_TRUE(TextsEndingIn(" sec").empty());
  app.graph.OrbitComp1 = 2;
  app.graph.OrbitComp2 = 0;
  Draw();
  EXPECT_EQ(SeriesDrawn(), 0);
  EXPECT_TRUE(TextsEqualTo("C2").empty());
}

TEST_F(OrbitPages, WindowOfTheTimeHistoriesWithoutASpecifiedTimeAxisShowsTheWholeRecord) {
  Record(2, 2500);
  app.graph.OrbitTime = 1;
  app.graph.Axis[AxisTime].Specify = false;
  Draw();
  EXPECT_EQ(session.drawnFirst, 1);
  EXPECT_EQ(session.drawnLast, 2500);
  EXPECT_EQ(TextsEndingIn(" sec"), std::vector<std::string>{"0-25 sec"});
}

TEST_F(OrbitPages, WindowOfTheTimeHistoriesFollowsASpecifiedTimeAxis) {
  Record(2, 2500);
  app.graph.OrbitTime = 1;
  app.graph.Axis[AxisTime].Specify = true;
  app.graph.Axis[AxisTime].Min = 5;
  app.graph.Axis[AxisTime].Max = 12.5f;
  Draw();
  EXPECT_EQ(session.drawnFirst, 501);
  EXPECT_EQ(session.drawnLast, 1250);
  EXPECT_EQ(TextsEndingIn(" sec"), std::vector<std::string>{"5-12.5 sec"});
}

TEST_F(OrbitPages, ZeroIntervalOrEndBeforeStartDrawsOneSanePlot) {
  Record(3, 4000);
  Grid(0, 30, 0, 2);
  EXPECT_EQ(OrbitWindows(app).windows.size(), 1u);
  EXPECT_NO_THROW(Draw());
  EXPECT_EQ(host.log.back(), "Refresh");
  EXPECT_EQ(SeriesDrawn(), 1);
  EXPECT_EQ(TextsEndingIn(" sec"), std::vector<std::string>{"0-30 sec"});

  Grid(30, 10, 10, 2);
  const PageGeometry page = ComputePageGeometry(app, KindAccOrbit, 3);
  EXPECT_EQ(page.columns * page.rows, 1);
  EXPECT_EQ(OrbitWindows(app).windows.size(), 1u);
  EXPECT_NO_THROW(Draw());
  EXPECT_EQ(host.log.back(), "Refresh");
  EXPECT_EQ(SeriesDrawn(), 0);
  EXPECT_TRUE(TextsEndingIn(" sec").empty());
  EXPECT_EQ(TextsEqualTo("C2").size(), 1u);  // the frame and its axes are there
}

TEST_F(OrbitPages, HugeGridDrawsAtMostTheCapOnAPageSizedForIt) {
  Record(3, 20000);
  Grid(0, 200, 0.01f, 3);
  Draw();
  const OrbitLayout layout = OrbitWindows(app);
  EXPECT_EQ(layout.total, 20000);
  EXPECT_EQ(static_cast<int32_t>(layout.windows.size()), kMaxOrbitWindows);
  const PageGeometry page = ComputePageGeometry(app, KindAccOrbit, 3);
  EXPECT_EQ(page.columns, layout.columns);
  EXPECT_EQ(page.rows, layout.rows);
  EXPECT_EQ(page.rows, (kMaxOrbitWindows - 1) / 3 + 1);
  // One legend per window drawn, the last saying how many were left out.
  std::vector<std::string> legends;
  for (const test::RecordedText& t : host.screen.texts)
    if (t.text.find(" sec") != std::string::npos) legends.push_back(t.text);
  ASSERT_EQ(static_cast<int32_t>(legends.size()), kMaxOrbitWindows);
  EXPECT_NE(legends.back().find("400 of 20000"), std::string::npos) << legends.back();
}

}  // namespace
}  // namespace sism
