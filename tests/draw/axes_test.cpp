#include "draw/axes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/support/recording_dc.h"

namespace sism {
namespace {

using test::RecordingDc;

// A 100 x 50 mm plot at (10 mm, 10 mm) on a page mapped 1:1.
struct AxesFixture : ::testing::Test {
  RecordingDc dc;
  cGraphicExtensions gx;
  GraphFrame f;
  void SetUp() override {
    gx.SetHdc(&dc);
    gx.SetWindow(20000, 10000, 20000, 10000);
    f.Left = 1000;
    f.Top = 1000;
    f.Width = 10000;
    f.Height = 5000;
    f.AxisFont.Height = 300;
    f.TitleFont.Height = 400;
    f.X = AxisRecord{10, 0, 2, 1, AxisByPainter | AxisTicks | AxisNumbers, "", ""};
    f.Y = AxisRecord{1, 0, 1, 1, 0, "", ""};
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const auto& t : dc.texts) out.push_back(t.text);
    return out;
  }
  // Vertical tick lengths below the plot, by x.
  std::vector<std::pair<int32_t, int32_t>> XTicks() const {
    std::vector<std::pair<int32_t, int32_t>> out;
    for (const auto& l : dc.lines)
      if (l.x1 == l.x2 && l.y2 == 6000 && l.y1 > 6000) out.push_back({l.x1, l.y1 - l.y2});
    return out;
  }
};

TEST_F(AxesFixture, LinearAxisNumbersLabelsAndShortTicks) {
  DrawFrameAndAxes(gx, f);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"0", "2", "4", "6", "8", "10"}));
  for (const auto& t : dc.texts) {
    EXPECT_EQ(t.y, 6000 + 150);
    EXPECT_EQ(t.align, TaCenter | TaTop);
  }
  EXPECT_EQ(dc.texts[1].x, 3000);
  const auto ticks = XTicks();
  ASSERT_EQ(ticks.size(), 11u);
  for (size_t i = 0; i < ticks.size(); ++i) {
    EXPECT_EQ(ticks[i].first, 1000 + 1000 * static_cast<int32_t>(i));
    EXPECT_EQ(ticks[i].second, i % 2 == 0 ? 100 : 75) << i;  // s div 3 and s div 4
  }
  // The frame is the last thing drawn: a hollow polygon over everything else.
  ASSERT_FALSE(dc.polygons.empty());
  EXPECT_EQ(dc.polygons.back(),
            (std::vector<DcPoint>{{1000, 1000}, {1000, 6000}, {11000, 6000}, {11000, 1000}}));
  EXPECT_EQ(dc.brush.style, BrushSolid);  // the context's own brush is back
  EXPECT_EQ(dc.depth, 0);
}

TEST_F(AxesFixture, LogAxisNumbersDecadesFivesAndEnds) {
  f.X = AxisRecord{20, 0.1f, 0, 0, AxisByPainter | AxisTicks | AxisNumbers | AxisLog, "", ""};
  DrawFrameAndAxes(gx, f);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"0.1", "0.5", "1", "5", "10", "20"}));
  // 0.1 at the left edge, 1 at a third of ln 200, 20 at the right edge.
  EXPECT_EQ(dc.texts[0].x, 1000);
  EXPECT_EQ(dc.texts[2].x, RoundCoord(10000 / std::log(200.0) * std::log(10.0) + 1000));
  EXPECT_EQ(dc.texts[5].x, 11000);
  const auto ticks = XTicks();
  // 0.1..0.9, 1..9, 10, 20: 20 ticks, the unnumbered ones short.
  ASSERT_EQ(ticks.size(), 20u);
  int shortTicks = 0;
  for (const auto& t : ticks) shortTicks += t.second == 75;
  EXPECT_EQ(shortTicks, 14);
}

TEST_F(AxesFixture, TitleAndAxisTitlesArePlaced) {
  f.Title = "Acceleration";
  f.X.Title = "Time (sec)";
  f.Y = AxisRecord{500, -500, 500, 100, AxisByPainter | AxisTicks | AxisNumbers, "Acc. (cm/s/s)", ""};
  DrawFrameAndAxes(gx, f);
  ASSERT_GE(dc.texts.size(), 3u);
  EXPECT_EQ(dc.texts[0].text, "Acceleration");
  EXPECT_EQ(dc.texts[0].x, 1000);
  EXPECT_EQ(dc.texts[0].y, 1000 - 400);
  // Vertical numbers end half a font height left of the axis, centred on their tick.
  EXPECT_EQ(dc.texts[1].text, "-500");
  const int32_t w = 4 * 150;  // the recording context's width: 4 characters of h / 2
  EXPECT_EQ(dc.texts[1].x, 1000 - w - 150);
  EXPECT_EQ(dc.texts[1].y, 6000 - 150);
  EXPECT_EQ(dc.texts[2].text, "0");
  EXPECT_EQ(dc.texts[2].y, 3500 - 150);
  // The vertical title reads upwards, 1.5 font heights left of the leftmost number.
  const auto yTitle =
      std::find_if(dc.texts.begin(), dc.texts.end(), [](const auto& t) { return t.text == "Acc. (cm/s/s)"; });
  ASSERT_NE(yTitle, dc.texts.end());
  EXPECT_EQ(yTitle->x, 1000 - w - 150 - 450);
  EXPECT_EQ(yTitle->y, 3500);
  EXPECT_EQ(yTitle->font.escapement, 900);
  EXPECT_EQ(yTitle->align, TaCenter);
  const auto xTitle =
      std::find_if(dc.texts.begin(), dc.texts.end(), [](const auto& t) { return t.text == "Time (sec)"; });
  ASSERT_NE(xTitle, dc.texts.end());
  EXPECT_EQ(xTitle->x, 6000);
  EXPECT_EQ(xTitle->y, 6000 + 450);
  EXPECT_EQ(xTitle->font.escapement, 0);
}

TEST_F(AxesFixture, OneIsDrawnWithoutItsTrailingPoint) {
  f.X = AxisRecord{1, 0, 1, 0.5f, AxisNumbers, "", ""};
  DrawFrameAndAxes(gx, f);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"0", "1"}));
  f.X.Format = "0.00";
  dc.Clear();
  DrawFrameAndAxes(gx, f);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"0.00", "1.00"}));
}

TEST_F(AxesFixture, HorizontalGridLinesNeedTheHorizontalAxisGridBit) {
  auto horizontalGrid = [&] {
    int n = 0;
    for (const auto& l : dc.polylines)
      n += l.size() == 2 && l[0].y == l[1].y && l[0].x == 1000 && l[1].x == 11000;
    return n;
  };
  f.Y = AxisRecord{10, 0, 5, 1, AxisTicks | AxisGridMajor, "", ""};
  DrawFrameAndAxes(gx, f);
  EXPECT_EQ(horizontalGrid(), 0);
  f.X.Flags |= AxisGridMajor;
  dc.Clear();
  DrawFrameAndAxes(gx, f);
  EXPECT_EQ(horizontalGrid(), 3);  // 0, 5, 10
  f.Y.Flags |= AxisGridMinor;
  dc.Clear();
  DrawFrameAndAxes(gx, f);
  EXPECT_EQ(horizontalGrid(), 11);
}

TEST_F(AxesFixture, GridLinesAreLightAndDotted) {
  f.X.Flags |= AxisGridMajor;
  f.Y = AxisRecord{10, 0, 5, 1, AxisTicks | AxisGridMajor, "", ""};
  DrawFrameAndAxes(gx, f);
  const std::string gridPen = "SelectPen " + std::to_string(PenDot);
  std::string pen;
  int grid = 0;
  for (const std::string& line : dc.log) {
    if (line.rfind("SelectPen", 0) == 0) pen = line;
    if (line.rfind("Polyline 2:", 0) != 0) continue;  // grid lines are the two-point polylines
    ++grid;
    EXPECT_EQ(pen.rfind(gridPen, 0), 0u) << pen;
    EXPECT_NE(pen.find(" 12632256"), std::string::npos) << pen;  // light grey
  }
  EXPECT_EQ(grid, 3 + 6);
}

TEST_F(AxesFixture, TheLeftMarginMakesRoomForTheVerticalNumbersAndTitle) {
  f.Y = AxisRecord{500, -500, 500, 100, AxisTicks | AxisNumbers, "Acc. (cm/s/s)", ""};
  GraphFrame fitted = f;
  FitLeftMargin(gx, fitted);
  EXPECT_EQ(fitted.Left + fitted.Width, f.Left + f.Width);
  EXPECT_GT(fitted.Left, f.Left);
  DrawFrameAndAxes(gx, fitted);
  for (const auto& t : dc.texts) EXPECT_GE(t.x, 0) << t.text;  // nothing past the page's edge
  // Room enough already: nothing moves.
  f.Left = 5000;
  f.Width = 6000;
  fitted = f;
  FitLeftMargin(gx, fitted);
  EXPECT_EQ(fitted.Left, 5000);
  EXPECT_EQ(fitted.Width, 6000);
}

TEST_F(AxesFixture, SeriesIsCutAtThePlotEdgeOnlyWhenClipping) {
  f.X = AxisRecord{10, 0, 2, 1, 0, "", ""};
  f.Y = AxisRecord{1, -1, 1, 1, 0, "", ""};
  f.XData = {0, 5, 10};
  f.YData = {0, 2, 0};  // the middle point lies above the plot
  f.First = 1;
  f.Last = 3;
  f.SeriesLine = LineRecord{255, 20, 0};
  PlotSeries(gx, f);
  EXPECT_EQ(dc.Calls("Polyline"), (std::vector<std::string>{"Polyline 2: 1000,3500 3500,1000",
                                                            "Polyline 2: 8500,1000 11000,3500"}));
  EXPECT_EQ(dc.pen, DcPen{});
  EXPECT_FALSE(gx.SoftClipOn());

  dc.Clear();
  f.ClipToPlot = false;
  PlotSeries(gx, f);
  EXPECT_EQ(dc.Calls("Polyline"), (std::vector<std::string>{"Polyline 3: 1000,3500 6000,-1500 11000,3500"}));
}

TEST_F(AxesFixture, MarksOnlyWithAPositiveSizeAndStyle) {
  f.X = AxisRecord{10, 0, 2, 1, 0, "", ""};
  f.XData = {1, 2};
  f.YData = {0.5f, 0.5f};
  f.Last = 2;
  f.SeriesLine.Width = -1;
  f.MarkStyle = 1;
  f.MarkSize = 0;
  PlotSeries(gx, f);
  EXPECT_TRUE(dc.polygons.empty());
  EXPECT_TRUE(dc.Calls("Polyline").empty());
  f.MarkSize = 100;
  PlotSeries(gx, f);
  EXPECT_EQ(dc.polygons.size(), 2u);
}

TEST_F(AxesFixture, UnplaceablePointsBreakTheLine) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  f.X = AxisRecord{100, 1, 0, 0, AxisLog, "", ""};
  f.Y = AxisRecord{10, 0, 5, 1, 0, "", ""};
  f.XData = {1, 2, 0, 4, 5, 6, 7};  // 0 cannot be placed on a log axis
  f.YData = {1, 2, 3, 4, nan, 6, 7};
  f.Last = 7;
  f.ClipToPlot = false;
  PlotSeries(gx, f);
  const auto runs = dc.Calls("Polyline");
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].substr(0, 11), "Polyline 2:");
  EXPECT_EQ(runs[1].substr(0, 11), "Polyline 1:");
  EXPECT_EQ(runs[2].substr(0, 11), "Polyline 2:");
}

TEST_F(AxesFixture, AbsurdAxesFallBackAndNeverTrap) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const AxisRecord bad[] = {
      {0, 0, 0, 0, AxisTicks | AxisNumbers, "", ""},
      {5, 5, 1, 1, AxisTicks | AxisNumbers, "", ""},
      {nan, 0, 1, 1, AxisTicks | AxisNumbers, "", ""},
      {inf, -inf, 1, 1, AxisTicks | AxisNumbers, "", ""},
      {1e30f, -1e30f, 1e-30f, 1e-30f, AxisTicks | AxisNumbers, "", ""},
      {10, 0, 0.1f, 1, AxisTicks | AxisNumbers, "", ""},  // label step below half the tick step
      {10, 0, 1, -1, AxisTicks | AxisNumbers, "", ""},
      {10, 0, 1, 1, AxisTicks | AxisNumbers | AxisLog, "", ""},
      {-10, -100, 1, 1, AxisTicks | AxisNumbers | AxisLog, "", ""},
      {1e38f, 1e-38f, 1, 1, AxisTicks | AxisNumbers | AxisLog, "", ""},
      {1, 1, 1, 1, AxisTicks | AxisNumbers | AxisLog, "", ""},
  };
  for (const auto& a : bad) {
    for (bool vertical : {false, true}) {
      dc.Clear();
      GraphFrame g = f;
      (vertical ? g.Y : g.X) = a;
      g.XData = {0, 1, 2, nan, inf, -5};
      g.YData = {nan, 1e30f, -1e30f, 0, 1, 2};
      g.Last = 6;
      g.MarkStyle = 2;
      g.MarkSize = 50;
      DrawFrameAndAxes(gx, g);
      PlotSeries(gx, g);
      EXPECT_LT(dc.log.size(), 30000u);
      EXPECT_EQ(dc.depth, 0);
    }
    AxisRecord s = a;
    SanitizeAxis(s);
    EXPECT_TRUE(std::isfinite(s.Min) && std::isfinite(s.Max) && s.Max > s.Min);
    if (s.Flags & AxisLog) {
      EXPECT_GT(s.Min, 0);
    }
    EXPECT_TRUE(SanitizeAxis(s));  // stable once repaired
  }
}

TEST_F(AxesFixture, LegendBoxInTheRequestedCorner) {
  f.FrameLine = LineRecord{0, 20, 0};
  f.BackColor = 0xFFFFFF;
  f.TitleFont.Height = 300;
  LegendSpec legend;
  legend.Entries.push_back({LineRecord{255, 30, 1}, {}, 0, -1, 0, "NS"});
  legend.Entries.push_back({LineRecord{0xFF0000, 30, 0}, LineRecord{0, 10, 0}, 0x00FF00, 200, 4, "EW-long"});
  legend.Flags = LegendRight | LegendUpper;
  DrawLegend(gx, f, legend);
  const int32_t w = 7 * 150;
  const int32_t bw = 900 + w + 200, bh = 2 * 300 + 200;
  const int32_t x0 = 11000 - bw - 100, y0 = 1100;
  ASSERT_GE(dc.polygons.size(), 2u);
  EXPECT_EQ(dc.polygons[0],
            (std::vector<DcPoint>{{x0, y0}, {x0, y0 + bh}, {x0 + bw, y0 + bh}, {x0 + bw, y0}}));
  EXPECT_EQ(dc.polygons[1][0], (DcPoint{x0 + 600, y0 + 100 + 450 + 100}));  // the square mark's corner
  ASSERT_EQ(dc.texts.size(), 2u);
  EXPECT_EQ(dc.texts[0].x, x0 + 1000);
  EXPECT_EQ(dc.texts[0].y, y0 + 100);
  EXPECT_EQ(dc.texts[0].color, 255u);
  EXPECT_EQ(dc.texts[1].y, y0 + 400);
  EXPECT_EQ(dc.texts[1].color, 0xFF0000u);
  // The line samples are drawn with their entries' pens, not the grid's.
  EXPECT_EQ(dc.log.end(), std::find_if(dc.log.begin(), dc.log.end(), [](const std::string& line) {
              return line.rfind("SelectPen", 0) == 0 && line.find(" 12632256") != std::string::npos;
            }));
  EXPECT_NE(dc.log.end(), std::find(dc.log.begin(), dc.log.end(), "SelectPen 0 30 16711680"));

  dc.Clear();
  legend.Flags = LegendLeft | LegendLower | LegendNoBox | LegendNoSample;
  DrawLegend(gx, f, legend);
  EXPECT_TRUE(dc.polygons.empty());
  EXPECT_TRUE(dc.lines.empty());
  EXPECT_EQ(dc.texts[0].x, 1000 + 100);
  EXPECT_EQ(dc.texts[0].y, 6000 - (2 * 300 + 200) + 100);

  dc.Clear();
  legend.Flags = LegendNoBox;  // no corner: no legend
  DrawLegend(gx, f, legend);
  EXPECT_TRUE(dc.log.empty());
}

TEST(TickNumbers, SmallTicksKeepTheirValueUnderTheDefaultFormat) {
  EXPECT_EQ(TickNumber(1, ""), "1");
  EXPECT_EQ(TickNumber(0.5f, ""), "0.5");
  EXPECT_EQ(TickNumber(0.0001f, ""), "0.0001");
  EXPECT_EQ(TickNumber(0.00005f, ""), "0.00005");  // not 0.0001
  EXPECT_EQ(TickNumber(0.00001f, ""), "0.00001");  // not 0
  EXPECT_EQ(TickNumber(0.000015f, ""), "0.000015");
  EXPECT_EQ(TickNumber(-0.00002f, ""), "-0.00002");
  EXPECT_EQ(TickNumber(0.000005f, ""), "5e-6");
  EXPECT_EQ(TickNumber(2e-8f, ""), "2e-8");
  EXPECT_EQ(TickNumber(0, ""), "0");
  EXPECT_EQ(TickNumber(0.01f, "0.0"), "0.0");  // an explicit format is the user's choice
}

TEST(ScaleSteps, RoundAxisLimitFollowsOneTwoFive) {
  const std::pair<float, float> cases[] = {{0, 0},         {1, 1},      {1.002f, 2}, {3, 5},     {150, 200},
                                           {200, 200},     {287, 500},  {-287, 500}, {123, 200}, {7.3f, 10},
                                           {0.03f, 0.05f}, {999, 1000}, {1002, 2000}};
  for (auto [v, expected] : cases) EXPECT_FLOAT_EQ(RoundAxisLimit(v), expected) << v;
  // Within the 0.1 % allowance a value stays at its limit.
  EXPECT_FLOAT_EQ(RoundAxisLimit(1.001f), 1);
}

TEST(ScaleSteps, TickStepDividesTheLabelStep) {
  const std::pair<float, float> cases[] = {{0, 0},        {1, 0.5f},    {2, 1},       {5, 1},      {3, 1},
                                           {2.5f, 1.25f}, {1.5f, 0.5f}, {500, 100},   {-500, 100}, {4, 1},
                                           {6, 2},        {7, 7},       {0.2f, 0.1f}, {90, 30},    {20, 10}};
  for (auto [v, expected] : cases) EXPECT_NEAR(TickStepFor(v), expected, 1e-6 * std::fabs(expected)) << v;
}

}  // namespace
}  // namespace sism
