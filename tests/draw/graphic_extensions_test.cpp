#include "draw/graphic_extensions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/support/recording_dc.h"

namespace sism {
namespace {

using test::RecordingDc;

struct Fixture : ::testing::Test {
  RecordingDc dc;
  cGraphicExtensions gx;
  void SetUp() override { gx.SetHdc(&dc); }
  std::vector<std::string> Strokes() const {
    std::vector<std::string> out;
    for (const auto& l : dc.log)
      if (l.rfind("MoveTo", 0) == 0 || l.rfind("LineTo", 0) == 0) out.push_back(l);
    return out;
  }
};

TEST(RoundCoord, HalvesToEvenAndNeverTraps) {
  EXPECT_EQ(RoundCoord(2.5), 2);
  EXPECT_EQ(RoundCoord(3.5), 4);
  EXPECT_EQ(RoundCoord(-2.5), -2);
  EXPECT_EQ(RoundCoord(-2.6), -3);
  EXPECT_EQ(RoundCoord(std::nan("")), 0);
  EXPECT_EQ(RoundCoord(1e20), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(RoundCoord(-std::numeric_limits<double>::infinity()), std::numeric_limits<int32_t>::min());
}

TEST(GraphicExtensions, RefusesOtherTechnologiesAndDrawsNothingWithoutContext) {
  cGraphicExtensions gx;
  EXPECT_EQ(gx.hdc(), nullptr);
  RecordingDc camera(TechRasterCamera);
  gx.SetHdc(&camera);
  EXPECT_EQ(gx.hdc(), nullptr);
  gx.DrawLine(0, 0, 10, 10);
  EXPECT_TRUE(camera.log.empty());

  RecordingDc printer(TechRasterPrinter, 600);
  gx.SetHdc(&printer);
  gx.SetHdc(&camera);  // refused: the printer stays
  EXPECT_EQ(gx.hdc(), &printer);
  gx.DrawLine(0, 0, 10, 10);
  EXPECT_EQ(printer.Calls("LineTo").size(), 1u);
  EXPECT_EQ(printer.depth, 0);
}

TEST_F(Fixture, EveryOperationLeavesTheContextAsFound) {
  gx.SetWindow(200, 100, 20000, 10000);
  gx.ClipRect(0, 0, 100, 100);
  gx.SetFontName("Arial");
  std::vector<int32_t> X{0, 100, 200}, Y{0, 50, 0};
  gx.SetPenStyle(1);
  gx.SetMarkStyle(1);
  gx.SetMarkHeight(100);
  gx.DrawLine(0, 0, 1, 1);
  gx.DrawPolylineEx(X, Y);
  gx.DrawPolyMark(X, Y);
  gx.DrawRectangle(0, 0, 5, 5);
  gx.DrawEllipse(0, 0, 5, 5);
  gx.TextOut(0, 0, "abc");
  gx.DrawText(0, 0, 100, 100, "abc");
  EXPECT_GT(gx.GetTextWidth("abc"), 0);
  EXPECT_EQ(dc.depth, 0);
  EXPECT_EQ(dc.maxDepth, 1);
  EXPECT_EQ(dc.pen, DcPen{});  // the context's own pen is back
}

TEST_F(Fixture, WindowMappingAndHardClip) {
  gx.SetWindow(200, 100, 20000, 10000);
  EXPECT_FLOAT_EQ(gx.DeviceScale(), 0.01f);
  gx.SetOrigin(1000, 1000);
  gx.ClipRect(0, 0, 10000, 5000);
  gx.DrawLine(0, 0, 1, 1);
  EXPECT_EQ(dc.Calls("SetMapping"), std::vector<std::string>{"SetMapping 20000 10000 -1000 -1000 200 100"});
  EXPECT_EQ(dc.Calls("SetClipRect"), std::vector<std::string>{"SetClipRect 10 10 110 60"});

  dc.Clear();
  gx.SetWindow(200, 100, 20000, -10000);  // y upwards; origin reset
  gx.SetOrigin(1000, 500);
  gx.DrawLine(0, 0, 1, 1);
  EXPECT_EQ(dc.Calls("SetMapping"), std::vector<std::string>{"SetMapping 20000 -10000 -1000 9500 200 100"});
  EXPECT_EQ(dc.Calls("SetClipRect"), std::vector<std::string>{"SetClipRect 10 95 110 45"});

  dc.Clear();
  gx.SetWindow(0, 100, 20000, 10000);  // invalid: the context's own mapping is used
  EXPECT_FALSE(gx.WindowSet());
  EXPECT_EQ(gx.WindowWidth(), 20000);
  gx.ClipRect(10, 10, 10, 20);  // empty: off
  gx.DrawLine(0, 0, 1, 1);
  EXPECT_TRUE(dc.Calls("SetMapping").empty());
  EXPECT_TRUE(dc.Calls("SetClipRect").empty());
}

TEST_F(Fixture, PlainPolylineForSolidAndUnknownStyles) {
  std::vector<int32_t> X{0, 100}, Y{0, 0};
  for (int32_t style : {0, 5, 9}) {
    dc.Clear();
    gx.SetPenStyle(style);
    gx.DrawPolylineEx(X, Y);
    EXPECT_EQ(dc.Calls("Polyline"), std::vector<std::string>{"Polyline 2: 0,0 100,0"}) << style;
  }
  dc.Clear();
  gx.SetPenStyle(1);
  gx.SetLineUnit(0);
  gx.DrawPolylineEx(X, Y);
  EXPECT_EQ(dc.Calls("Polyline").size(), 1u);
}

TEST_F(Fixture, DashesOfEighteenAndGapsOfSixAcrossAVertex) {
  gx.SetPenWidth(1);
  gx.SetLineUnit(5);
  gx.SetPenStyle(1);
  std::vector<int32_t> X{0, 50, 50}, Y{0, 0, 50};
  gx.DrawPolylineEx(X, Y);
  const std::vector<std::string> expected{
      "MoveTo 0 0",   "LineTo 18 0",  "MoveTo 24 0",  "LineTo 42 0",  "MoveTo 48 0",
      "LineTo 50 0",  "MoveTo 50 0",  "LineTo 50 16", "MoveTo 50 22", "LineTo 50 40",
      "MoveTo 50 46", "LineTo 50 50", "MoveTo 50 50",
  };
  EXPECT_EQ(Strokes(), expected);
  // The pen given to the context is solid; the pattern is drawn here.
  EXPECT_EQ(dc.Calls("SelectPen"), std::vector<std::string>{"SelectPen 0 1 0"});
  EXPECT_EQ(gx.PenStyle(), 1);
}

TEST_F(Fixture, DashesAlwaysAdvance) {
  gx.SetPenStyle(1);
  gx.SetPenWidth(-100);  // a dash unit below 1: plain polyline
  std::vector<int32_t> X{0, 100}, Y{0, 0};
  gx.DrawPolylineEx(X, Y);
  EXPECT_EQ(dc.Calls("Polyline").size(), 1u);
  dc.Clear();
  gx.SetPenWidth(1);
  std::vector<int32_t> FarX{-2000000000, 2000000000, 2000000000}, FarY{0, 0, 60};
  gx.DrawPolylineEx(FarX, FarY);
  EXPECT_LT(dc.log.size(), 100u);  // the enormous segment solid, the short one dashed
  EXPECT_EQ(Strokes()[1], "LineTo 2000000000 0");
  EXPECT_EQ(Strokes()[2], "LineTo 2000000000 18");
}

TEST_F(Fixture, DashPatternsByStyle) {
  struct Case {
    int32_t style;
    std::vector<int32_t> lengths;  // drawn and skipped, alternately, along a long line
  } cases[] = {
      {2, {6, 6, 6, 6}},
      {3, {30, 6, 6, 6, 30}},
      {4, {30, 6, 6, 6, 6, 6, 30}},
  };
  for (const auto& c : cases) {
    dc.Clear();
    gx.SetPenStyle(c.style);
    std::vector<int32_t> X{0, 1000}, Y{0, 0};
    gx.DrawPolylineEx(X, Y);
    const auto s = Strokes();
    for (size_t i = 0; i < c.lengths.size(); ++i) {
      const int32_t from = std::stoi(s[i].substr(7));
      const int32_t to = std::stoi(s[i + 1].substr(7));
      EXPECT_EQ(to - from, c.lengths[i]) << "style " << c.style << " element " << i;
      EXPECT_EQ(s[i + 1].substr(0, 6), i % 2 == 0 ? "LineTo" : "MoveTo");
    }
  }
}

TEST_F(Fixture, GapRunningPastAVertexEndsWithAMove) {
  gx.SetPenStyle(1);
  // 0..18 dash, 18..24 gap; the vertex at 20 falls inside the gap.
  std::vector<int32_t> X{0, 20, 20}, Y{0, 0, 100};
  gx.DrawPolylineEx(X, Y);
  const auto s = Strokes();
  ASSERT_GE(s.size(), 3u);
  EXPECT_EQ(s[1], "LineTo 18 0");
  EXPECT_EQ(s[2], "MoveTo 20 4");  // the gap's end, 4 units into the next segment
  EXPECT_EQ(s[3], "LineTo 20 22");
}

TEST_F(Fixture, RepeatedPointKeepsThePatternPosition) {
  gx.SetPenStyle(1);
  std::vector<int32_t> X{0, 30, 30, 30, 100}, Y{0, 0, 0, 0, 0};
  gx.DrawPolylineEx(X, Y);
  const auto withRepeats = Strokes();
  dc.Clear();
  std::vector<int32_t> X2{0, 30, 100}, Y2{0, 0, 0};
  gx.DrawPolylineEx(X2, Y2);
  EXPECT_EQ(withRepeats, Strokes());
  // Short steps add up into the next segment rather than being lost.
  dc.Clear();
  std::vector<int32_t> X3{0, 0, 0, 0}, Y3{0, 0, 0, 30};
  gx.DrawPolylineEx(X3, Y3);
  EXPECT_EQ(Strokes()[1], "LineTo 0 18");
}

TEST_F(Fixture, ClippedPolylineInsideEqualsUnclipped) {
  gx.SetPenStyle(3);
  std::vector<int32_t> X{10, 50, 90, 20}, Y{10, 90, 10, 50};
  gx.DrawPolylineEx(X, Y);
  const auto plain = dc.log;
  dc.Clear();
  gx.ClipRectSoft(0, 0, 100, 100);
  gx.DrawPolylineClipped(X, Y);
  EXPECT_EQ(dc.log, plain);
}

TEST_F(Fixture, ClippedRunsGetEdgePoints) {
  gx.ClipRectSoft(0, 0, 100, 100);
  struct Case {
    std::vector<int32_t> X, Y;
    std::vector<std::string> polylines;
  } cases[] = {
      // leaves through the right edge and comes back through it
      {{10, 50, 150, 150, 50, 20},
       {50, 50, 50, 80, 80, 80},
       {"Polyline 3: 10,50 50,50 100,50", "Polyline 3: 100,80 50,80 20,80"}},
      // a slanted exit, rounded to the nearest integer
      {{50, 150}, {50, 100}, {"Polyline 2: 50,50 100,75"}},
      // entering from above and leaving below
      {{50, 50, 60}, {-50, 50, 150}, {"Polyline 3: 50,0 50,50 55,100"}},
      // the left edge is chosen when the point is beyond it, even if the crossing is not
      {{-100, 50}, {-100, 50}, {"Polyline 2: 0,0 50,50"}},
      // both ends outside: not drawn even though the segment crosses the rectangle
      {{-10, 110}, {50, 50}, {}},
      // a lone point inside after an exit makes a two-point run
      {{50, 200}, {50, 50}, {"Polyline 2: 50,50 100,50"}},
  };
  for (const auto& c : cases) {
    dc.Clear();
    gx.DrawPolylineClipped(c.X, c.Y);
    EXPECT_EQ(dc.Calls("Polyline"), c.polylines);
  }
  dc.Clear();
  gx.ClipRectSoft(0, 0, 0, 0);
  gx.DrawPolylineClipped(cases[0].X, cases[0].Y);
  EXPECT_EQ(dc.Calls("Polyline").size(), 1u);  // soft clip off: drawn whole
}

TEST_F(Fixture, MarksAreTranslatedFromPointToPoint) {
  gx.SetMarkStyle(1);
  gx.SetMarkHeight(7);
  gx.SetPenStyle(2);
  std::vector<int32_t> X{100, 110}, Y{200, 195};
  gx.DrawPolyMark(X, Y);
  ASSERT_EQ(dc.polygons.size(), 2u);
  // 564 * 7 / 1000 = 3.948 and -282 * 7 / 1000 = -1.974 truncate towards zero.
  EXPECT_EQ(dc.polygons[0][0], (DcPoint{100, 203}));
  EXPECT_EQ(dc.polygons[0][4], (DcPoint{103, 199}));
  EXPECT_EQ(dc.polygons[0][7], (DcPoint{99, 197}));
  for (size_t j = 0; j < dc.polygons[0].size(); ++j)
    EXPECT_EQ(dc.polygons[1][j], (DcPoint{dc.polygons[0][j].x + 10, dc.polygons[0][j].y - 5}));
  EXPECT_EQ(gx.PenStyle(), 0);  // marks leave the pen solid

  for (auto [style, height] : {std::pair{0, 100}, {7, 100}, {1, 0}, {1, -5}}) {
    dc.Clear();
    gx.SetMarkStyle(style);
    gx.SetMarkHeight(height);
    gx.DrawPolyMark(X, Y);
    EXPECT_TRUE(dc.polygons.empty()) << style << " " << height;
  }
}

TEST_F(Fixture, ClippedMarksOnlyInside) {
  gx.SetMarkStyle(4);
  gx.SetMarkHeight(10);
  gx.ClipRectSoft(0, 0, 100, 100);
  struct Case {
    std::vector<int32_t> X, Y;
    std::vector<DcPoint> centres;
  } cases[] = {
      {{-50, 50, 200}, {0, 50, 0}, {{50, 50}}},
      {{10, 20, 300, 30, -1, 40}, {10, 20, 300, 30, 0, 40}, {{10, 10}, {20, 20}, {30, 30}, {40, 40}}},
      {{500}, {500}, {}},
  };
  for (const auto& c : cases) {
    dc.Clear();
    gx.DrawPolyMarkClipped(c.X, c.Y);
    ASSERT_EQ(dc.polygons.size(), c.centres.size());
    for (size_t i = 0; i < c.centres.size(); ++i)
      EXPECT_EQ(dc.polygons[i][0], (DcPoint{c.centres[i].x + 5, c.centres[i].y + 5}));
  }
}

TEST_F(Fixture, FontArithmetic) {
  gx.SetWindow(1000, 500, 10000, 5000);  // 0.1 pixel per unit, 96 pixels per inch
  gx.SetFontPoint(10);
  EXPECT_EQ(gx.FontSize(), 133);  // 96 * 10 * 5000 / (500 * 72) = 133.3
  EXPECT_EQ(gx.FontPoint(), 10);
  gx.SetFontSize(-353);
  EXPECT_EQ(gx.FontSize(), -353);
  EXPECT_EQ(gx.FontPoint(), 26);

  gx.SetFontBold(true);
  EXPECT_EQ(gx.FontRecord().weight, 700);
  EXPECT_TRUE(gx.FontBold());
  gx.SetFontBold(false);
  EXPECT_FALSE(gx.FontBold());

  gx.SetFontAngle(90);
  EXPECT_EQ(gx.FontRecord().escapement, 900);
  gx.SetWindow(1000, 500, 10000, -5000);
  gx.SetFontAngle(90);
  EXPECT_EQ(gx.FontRecord().escapement, -900);
  EXPECT_EQ(gx.FontRecord().orientation, -900);
  EXPECT_EQ(gx.FontAngle(), 90);
}

TEST_F(Fixture, PenPixel) {
  gx.SetWindow(1000, 500, 10000, 5000);
  gx.SetPenPixel(2);
  EXPECT_EQ(gx.PenWidth(), 20);
  EXPECT_EQ(gx.PenPixel(), 2);
  gx.SetWindow(10000, 5000, 1000, 500);
  gx.SetPenPixel(2);
  EXPECT_EQ(gx.PenWidth(), 2);  // raised to the value itself
}

TEST_F(Fixture, SaveAndRestoreProperties) {
  gx.SetPenColor(255);
  gx.RestoreProperties();  // nothing saved: no change
  EXPECT_EQ(gx.PenColor(), 255u);

  gx.SaveProperties();
  gx.SetPenColor(1);
  gx.SetBrushColor(2);
  gx.SetFontName("Courier");
  gx.SetTextAlign(6);
  gx.SetLineUnit(50);
  gx.SetMarkStyle(3);
  gx.ClipRectSoft(0, 0, 10, 10);
  gx.RestoreProperties();
  EXPECT_EQ(gx.PenColor(), 255u);
  EXPECT_EQ(gx.BrushColor(), 0xFFFFFFu);
  EXPECT_EQ(gx.FontName(), "");
  EXPECT_EQ(gx.TextAlign(), 0);
  EXPECT_EQ(gx.LineUnit(), 5);
  EXPECT_EQ(gx.MarkStyle(), 3);   // not part of the saved style
  EXPECT_TRUE(gx.SoftClipOn());   // nor the clip
  EXPECT_TRUE(gx.FontDefined());  // nor the font-defined flag
}

TEST_F(Fixture, TextUsesTheObjectFontOnlyOnceNamed) {
  gx.SetTextAlign(6);
  gx.TextOut(10, 20, "x");
  EXPECT_TRUE(dc.Calls("SelectFont").empty());
  ASSERT_EQ(dc.texts.size(), 1u);
  EXPECT_EQ(dc.texts[0].align, 6);
  EXPECT_EQ(dc.textAlign, 0);  // put back

  dc.Clear();
  gx.SetFontName("Arial");
  gx.SetFontSize(300);
  gx.SetFontColor(0xFF);
  gx.TextOut(10, 20, "x");
  ASSERT_EQ(dc.texts.size(), 1u);
  EXPECT_EQ(dc.texts[0].font.faceName, "Arial");
  EXPECT_EQ(dc.texts[0].color, 0xFFu);
  EXPECT_EQ(dc.Calls("SetBackgroundTransparent").size(), 1u);

  struct Case {
    int32_t align, format;
  } cases[] = {{0, 2128}, {6, 2129}, {2, 2130}, {8, 2168}, {14, 2169}};
  for (const auto& c : cases) {
    dc.Clear();
    gx.SetTextAlign(c.align);
    gx.DrawText(0, 0, 100, 100, "y");
    EXPECT_EQ(dc.texts[0].align, c.format) << c.align;
  }
}

TEST(GraphicExtensions, TextWidthOnAMetafileNeedsAReference) {
  RecordingDc meta(TechMetafile);
  meta.measurable = false;
  cGraphicExtensions gx;
  gx.SetHdc(&meta);
  gx.SetFontName("Arial");
  gx.SetFontSize(40);
  EXPECT_EQ(gx.GetTextWidth("abcd"), 0);

  RecordingDc screen(TechRasterDisplay);
  gx.SetHdc(&screen);
  gx.SetHdc(&meta);
  EXPECT_EQ(gx.GetTextWidth("abcd"), 80);
  EXPECT_EQ(screen.Calls("TextExtent").size(), 1u);
  EXPECT_EQ(screen.depth, 0);
  gx.Forget(&screen);
  EXPECT_EQ(gx.GetTextWidth("abcd"), 0);

  // A vector picture that can measure itself does so.
  RecordingDc svg(TechMetafile);
  gx.SetHdc(&svg);
  EXPECT_EQ(gx.GetTextWidth("ab"), 40);
}

}  // namespace
}  // namespace sism
