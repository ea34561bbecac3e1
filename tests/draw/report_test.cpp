#include "draw/report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "draw/axes.h"
#include "state/graph_kinds.h"
#include "tests/support/fake_draw_host.h"
#include "tests/support/noise_record.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

TEST(ReportChannels, SevenChannelsMakeThreePagesTheLastOfOneChannel) {
  EXPECT_EQ(ReportChannels(0, 7), (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(ReportChannels(1, 7), (std::vector<int32_t>{4, 5, 6}));
  EXPECT_EQ(ReportChannels(2, 7), (std::vector<int32_t>{7}));
  EXPECT_TRUE(ReportChannels(3, 7).empty());
  EXPECT_TRUE(ReportChannels(-1, 7).empty());
  EXPECT_TRUE(ReportChannels(INT_MAX, 7).empty());
}

struct ReportPages : ::testing::Test {
  AppState app;
  DrawSession session;
  test::FakeHost host;
  test::ScriptedUi ui;
  void SetUp() override {
    test::NoiseRecord(app, {"C1", "C2", "C3", "C4", "C5", "C6", "C7"}, 2048, 3, 10);
    app.record.RecDate = "2011/03/11";
    app.record.RecTime = "14:46:00";
    app.graph.Header.clear();
    app.graph.Footer.clear();
    app.calc.RecalcFlags = -1;  // everything pending, as after a load
  }
  void Entries(const std::vector<ReportGraph>& entries) {
    ResizeReportGraphs(app.graph, static_cast<int32_t>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) app.graph.RepGraph[i + 1] = entries[i];
  }
  void Draw(int32_t selector) {
    host.screen.Clear();
    DrawGraph(app, session, host, ui, TargetScreen, KindReport, selector);
  }
  bool TextStartsWith(const std::string& prefix) const {
    for (const test::RecordedText& t : host.screen.texts)
      if (t.text.compare(0, prefix.size(), prefix) == 0) return true;
    return false;
  }
};

TEST_F(ReportPages, EachPageShowsTheChannelsOfItsSelector) {
  Draw(2);  // the default page: time histories, spectra and a text
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(TextStartsWith("C7 (peak:"));  // time histories
  EXPECT_EQ(std::count_if(host.screen.texts.begin(), host.screen.texts.end(),
                          [](const test::RecordedText& t) { return t.text == "C7"; }),
            2);  // the two spectra's legends
  for (const char* other : {"C1", "C4", "C6"}) EXPECT_FALSE(TextStartsWith(other)) << other;
  EXPECT_EQ(session.reportState, 2);

  Draw(1);
  EXPECT_TRUE(TextStartsWith("C4 (peak:"));
  EXPECT_TRUE(TextStartsWith("C6 (peak:"));
  EXPECT_FALSE(TextStartsWith("C7"));
}

TEST_F(ReportPages, TextEntryShowsDateAndTimeInItsRectangle) {
  Entries({{0, 100, 10, 20, 30, "%d %t"}});
  Draw(0);
  const std::vector<std::string> calls = host.screen.Calls("DrawText");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].rfind("DrawText 2000 3000 12000 4000 ", 0), 0u) << calls[0];
  ASSERT_EQ(host.screen.texts.size(), 1u);
  EXPECT_EQ(host.screen.texts[0].text, "2011/03/11 14:46:00");
}

TEST_F(ReportPages, OrbitAndRelationEntriesLeaveTheirRectangleEmpty) {
  Entries({});
  Draw(0);
  const std::vector<std::string> emptyPage = host.screen.log;
  Entries({{KindAccOrbit, 60, 60, 10, 10, ""},
            {KindSpectralRatio, 60, 60, 80, 10, ""},
            {KindResponseRatio, 60, 60, 10, 80, ""},
            {KindReport, 60, 60, 80, 80, ""}});
  Draw(0);
  EXPECT_EQ(host.screen.log, emptyPage);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ReportPages, DegenerateEntriesDrawASanePage) {
  app.graph.RepGraphCount = 0;
  Draw(0);
  EXPECT_TRUE(host.screen.texts.empty());

  Entries({{KindAcc, 0, 20, 10, 10, ""},
           {KindFourier, 60, -5, 10, 10, ""},
           {0, 0, 0, 10, 10, "no area"},
           {KindSa, 60, 60, INT_MAX - 10, 10, ""},
           {0, 100, 10, INT_MIN, INT_MIN, "far away"}});
  Draw(0);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(host.screen.texts.empty());

  // Off the page is still drawn where the entry says; the device clips it.
  Entries({{KindVel, 140, 18, 900, 900, ""}});
  Draw(0);
  EXPECT_TRUE(TextStartsWith("C1 (peak:"));

  // A selector past the last channel leaves the graphs out but keeps the texts.
  app.graph = GraphSettings{};
  app.graph.Header.clear();
  app.graph.Footer.clear();
  Draw(5);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(TextStartsWith("C"));
  EXPECT_EQ(host.screen.texts.size(), 1u);
}

TEST_F(ReportPages, OnlyTheAnalysesOfItsEntriesAreRun) {
  EXPECT_EQ(SeriesNeeds(app, KindReport), RecalcIntegration | RecalcFourier | RecalcResponse);
  Entries({{0, 100, 10, 20, 30, "%d"}, {KindSpectralRatio, 60, 60, 80, 10, ""}});
  EXPECT_EQ(SeriesNeeds(app, KindReport), 0);
  Entries({{KindAcc, 140, 18, 15, 5, ""}, {KindVelOrbit, 60, 60, 80, 10, ""}});
  EXPECT_EQ(SeriesNeeds(app, KindReport), RecalcIntegration);

  app.graph = GraphSettings{};
  Draw(0);
  EXPECT_TRUE(app.calc.RecalcFlags & RecalcRelations);  // left pending for the relation views
  EXPECT_FALSE(app.calc.RecalcFlags & RecalcResponse);
}

TEST_F(ReportPages, SideBySideTitlesGoUpInLinesOverTheirOwnGraphs) {
  Draw(0);  // the default page: the Fourier spectrum and pSv side by side
  const ReportGraph& fourier = app.graph.RepGraph[3];
  const ReportGraph& psv = app.graph.RepGraph[4];
  ASSERT_EQ(fourier.Type, KindFourier);
  ASSERT_EQ(psv.Type, KindPSv);
  ASSERT_EQ(fourier.Top, psv.Top);
  // The Fourier title no longer runs on over the pSv graph: it goes up in lines that share
  // their left end, the last one where a single line would stand.
  const test::RecordedText* first = nullptr;
  for (const test::RecordedText& t : host.screen.texts)
    if (t.text.rfind("Fourier Spectrum", 0) == 0) first = &t;
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->text.find("Parzen"), std::string::npos) << first->text;
  EXPECT_LT(first->x, psv.Left * 100);
  std::string joined = first->text;
  int32_t y = first->y;
  for (const test::RecordedText& t : host.screen.texts)
    if (t.x == first->x && t.y > y && t.y < fourier.Top * 100) joined += " " + t.text, y = t.y;
  EXPECT_EQ(joined, "Fourier Spectrum (Time:0-20.48s, Parzen:0.2Hz, arcs below 0.3 Hz)");
}

TEST(TitleLines, BreakAtBlanksWithinTheWidthAndKeepAShortTitleWhole) {
  test::RecordingDc dc;
  cGraphicExtensions gx;
  gx.SetHdc(&dc);
  gx.SetWindow(20000, 10000, 20000, 10000);
  gx.SetFontSize(300);
  const std::string title = "Fourier Spectrum (Time:0-40.96s, Parzen:0.2Hz)";
  EXPECT_EQ(TitleLines(gx, title, 0), std::vector<std::string>{title});
  const int32_t whole = gx.GetTextWidth(title);
  EXPECT_EQ(TitleLines(gx, title, whole), std::vector<std::string>{title});
  const std::vector<std::string> lines = TitleLines(gx, title, whole / 2);
  ASSERT_GE(lines.size(), 2u);
  std::string joined;
  for (const std::string& l : lines) {
    EXPECT_LE(gx.GetTextWidth(l), whole / 2) << l;
    joined += (joined.empty() ? "" : " ") + l;
  }
  EXPECT_EQ(joined, title);
}

}  // namespace
}  // namespace sism
