#include "draw/time_history.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <tuple>

#include "state/app_state.h"
#include "draw/axes.h"
#include "tests/support/recording_dc.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

using test::RecordingDc;

// Also keeps the pen of every polyline, so a strip's series can be told by its pen.
class PenDc : public RecordingDc {
 public:
  std::vector<DcPen> polylinePens;
  void Polyline(const DcPoint* p, int32_t n) override {
    polylinePens.push_back(pen);
    RecordingDc::Polyline(p, n);
  }
};

constexpr int32_t kLeft = 1500, kTop = 500, kWidth = 15000, kHeight = 2000;
constexpr int32_t kPitch = kHeight + 4 * 100;  // default WaveSpace 4 mm

// A 40 s record at 100 Hz: channel ch holds ch * 10 + (sample index) / 1000, with its
// peak given separately, so every drawn point tells which sample it came from.
struct TimeHistoryFixture : ::testing::Test {
  PenDc dc;
  cGraphicExtensions gx;
  GraphFrame frame;
  GraphSettings gs;
  TemplateFacts facts;
  std::vector<std::vector<float>> data;
  std::vector<TimeHistoryChannel> channels;
  int32_t count = 4000;

  void SetUp() override {
    gx.SetHdc(&dc);
    gx.SetWindow(20000, 20000, 20000, 20000);
    frame.Left = kLeft;
    frame.Top = kTop;
    frame.Width = kWidth;
    frame.Height = kHeight;
    frame.AxisFont.Height = 300;
    frame.TitleFont.Height = 400;
    gs.Font[3].Size = 8;
    SetChannels({"NS", "EW", "UD"}, {287, -123.4f, 55});
  }
  void SetChannels(const std::vector<std::string>& labels, const std::vector<float>& peaks) {
    data.assign(labels.size(), std::vector<float>(static_cast<size_t>(count)));
    channels.clear();
    for (size_t c = 0; c < labels.size(); ++c) {
      for (int32_t i = 1; i <= count; ++i)
        data[c][static_cast<size_t>(i - 1)] = static_cast<float>((c + 1) * 10) + static_cast<float>(i) / 1000;
      channels.push_back({labels[c], peaks[c], data[c].data(), count});
    }
  }
  void Reset() {
    dc.Clear();
    dc.polylinePens.clear();
    gs = GraphSettings();
    frame = GraphFrame();
    count = 4000;
    SetUp();
  }
  void Paint(int32_t kind = 1) { PaintTimeHistory(gx, frame, gs, facts, kind, 100, count, channels); }
  void AutomaticAxes() {
    gs.Axis[AxisTime].Specify = false;
    gs.Axis[AxisAcc].Specify = false;
  }
  void TimeWindow(float min, float max) {
    gs.Axis[AxisTime].Specify = true;
    gs.Axis[AxisTime].Min = min;
    gs.Axis[AxisTime].Max = max;
  }
  std::vector<const test::RecordedText*> TextsOf(const std::string& s) const {
    std::vector<const test::RecordedText*> out;
    for (const auto& t : dc.texts)
      if (t.text == s) out.push_back(&t);
    return out;
  }
  // The series polylines (the only polylines when there is no grid).
  const std::vector<std::vector<DcPoint>>& Series() const { return dc.polylines; }
  static int32_t Bottom(int j) { return kTop + (j - 1) * kPitch + kHeight; }
};

TEST_F(TimeHistoryFixture, ThreeStripsTitleTimeNumbersAndLegends) {
  AutomaticAxes();
  Paint();

  // The graph title once, above the first strip.
  const auto title = TextsOf("Acceleration");
  ASSERT_EQ(title.size(), 1u);
  EXPECT_EQ(title[0]->x, kLeft);
  EXPECT_EQ(title[0]->y, kTop - 400);

  // Three frames, one per strip.
  ASSERT_EQ(dc.polygons.size(), 3u);
  for (int j = 1; j <= 3; ++j) {
    EXPECT_EQ(dc.polygons[static_cast<size_t>(j - 1)][0].y, kTop + (j - 1) * kPitch);
    EXPECT_EQ(dc.polygons[static_cast<size_t>(j - 1)][1].y, Bottom(j));
  }

  // Time numbers and the time title under the last strip only.
  for (const char* s : {"10", "20", "30", "40"}) {
    const auto t = TextsOf(s);
    ASSERT_EQ(t.size(), 1u) << s;
    EXPECT_EQ(t[0]->y, Bottom(3) + 150) << s;
  }
  const auto timeTitle = TextsOf("Time (sec)");
  ASSERT_EQ(timeTitle.size(), 1u);
  EXPECT_EQ(timeTitle[0]->y, Bottom(3) + 450);
  // Amplitude numbers on every strip; the title along each strip's left side.
  EXPECT_EQ(TextsOf("-500").size(), 3u);
  EXPECT_EQ(TextsOf("500").size(), 3u);
  EXPECT_EQ(TextsOf("Acc. (cm/s/s)").size(), 3u);

  // Each strip its own legend, text only, in the right-upper corner, in its line colour.
  const std::vector<std::string> legends = {"NS (peak: 287.0 cm/s/s)", "EW (peak: -123.4 cm/s/s)",
                                            "UD (peak: 55.0 cm/s/s)"};
  for (int j = 1; j <= 3; ++j) {
    const auto t = TextsOf(legends[static_cast<size_t>(j - 1)]);
    ASSERT_EQ(t.size(), 1u) << legends[static_cast<size_t>(j - 1)];
    EXPECT_EQ(t[0]->y, kTop + (j - 1) * kPitch + 100);
    EXPECT_LT(t[0]->x, kLeft + kWidth);
    EXPECT_GT(t[0]->x, kLeft + kWidth / 2);
    EXPECT_EQ(t[0]->color, static_cast<Rgb>(gs.WaveLine[static_cast<size_t>(j)].Color));
    EXPECT_EQ(t[0]->font.height, RoundCoord(8 * 35.28));
  }

  // Series: one per strip, in the strip's colour, all with the first entry's width.
  ASSERT_EQ(Series().size(), 3u);
  for (int j = 1; j <= 3; ++j) {
    const DcPen& pen = dc.polylinePens[static_cast<size_t>(j - 1)];
    EXPECT_EQ(pen.color, static_cast<Rgb>(gs.WaveLine[static_cast<size_t>(j)].Color));
    EXPECT_EQ(pen.width, RoundCoord(gs.WaveLine[1].Width * 100));
    EXPECT_EQ(pen.style, PenSolid);
    for (const DcPoint& p : Series()[static_cast<size_t>(j - 1)]) {
      EXPECT_GE(p.y, kTop + (j - 1) * kPitch);
      EXPECT_LE(p.y, Bottom(j));
    }
  }
  // The first strip's top is put back, the title kept for the first strip only.
  EXPECT_EQ(frame.Top, kTop);
}

TEST_F(TimeHistoryFixture, AutomaticAxesOfFortySecondRecord) {
  AutomaticAxes();
  Paint();
  EXPECT_FLOAT_EQ(frame.X.Min, 0);
  EXPECT_FLOAT_EQ(frame.X.Max, 41);
  EXPECT_FLOAT_EQ(frame.X.LabelStep, 10);
  EXPECT_FLOAT_EQ(frame.X.TickStep, 1);
  EXPECT_FLOAT_EQ(frame.Y.Max, 500);
  EXPECT_FLOAT_EQ(frame.Y.Min, -500);
  EXPECT_FLOAT_EQ(frame.Y.LabelStep, 500);
  EXPECT_FLOAT_EQ(frame.Y.TickStep, 100);

  // Amplitude numbers only at -500, 0 and 500 of the first strip, ticks every 100.
  std::vector<std::string> left;
  for (const auto& t : dc.texts)
    if (t.x < kLeft && t.y < Bottom(1) && t.font.escapement == 0) left.push_back(t.text);
  EXPECT_EQ(left, (std::vector<std::string>{"-500", "0", "500"}));
  int ticks = 0;
  for (const auto& l : dc.lines)
    if (l.y1 == l.y2 && l.x2 == kLeft && l.y1 >= kTop && l.y1 <= Bottom(1)) ++ticks;
  EXPECT_EQ(ticks, 11);
  // Every sample of the record is drawn, the last one at 40 s of 41.
  ASSERT_FALSE(Series().empty());
  EXPECT_EQ(Series()[0].size(), 4000u);
  EXPECT_EQ(Series()[0].back().x, RoundCoord(3999 * (kWidth / 41.0 / 100) + kLeft));
}

TEST_F(TimeHistoryFixture, SpecifiedWindowDrawsItsSamples) {
  TimeWindow(10, 20);
  Paint();
  EXPECT_EQ(frame.First, 1);
  EXPECT_EQ(frame.Last, 1000);
  EXPECT_FLOAT_EQ(frame.X.LabelStep, 5);
  EXPECT_FLOAT_EQ(frame.X.TickStep, 1);
  ASSERT_EQ(Series().size(), 3u);
  const auto& s = Series()[0];
  ASSERT_EQ(s.size(), 1000u);
  // Sample 1001 at the left edge, sample 2000 one interval before the right edge.
  const double ky = kHeight / 1000.0;
  EXPECT_EQ(s.front().x, kLeft);
  EXPECT_EQ(s.front().y, RoundCoord((500 - (10 + 1.001f)) * ky + kTop));
  EXPECT_EQ(s.back().x, RoundCoord(999 * kWidth / 1000.0 + kLeft));
  EXPECT_EQ(s.back().y, RoundCoord((500 - (10 + 2.0f)) * ky + kTop));
  for (const char* t : {"10", "15", "20"}) EXPECT_EQ(TextsOf(t).size(), 1u) << t;
}

TEST_F(TimeHistoryFixture, WindowsAtAndBeyondTheRecordsEnd) {
  struct Case {
    float min, max;
    int32_t last;    // frame's last index
    size_t points;   // of the first strip's series
    int32_t firstX;  // of the first point
  };
  const Case cases[] = {
      {30, 50, 1000, 1000, kLeft},                // stops at sample 4000
      {39.99f, 45, 1, 0, 0},                      // the last sample alone: no line
      {45, 60, 0, 0, 0},                          // after the record: nothing
      {-10, 10, 1000, 1000, kLeft + kWidth / 2},  // before the record: starts at 0 s
  };
  for (const Case& c : cases) {
    Reset();
    TimeWindow(c.min, c.max);
    Paint();
    EXPECT_EQ(frame.Last, c.last) << c.min;
    if (c.points == 0) {
      EXPECT_TRUE(Series().empty()) << c.min;
      continue;
    }
    ASSERT_FALSE(Series().empty()) << c.min;
    EXPECT_EQ(Series()[0].size(), c.points) << c.min;
    EXPECT_EQ(Series()[0].front().x, c.firstX) << c.min;
  }
}

TEST_F(TimeHistoryFixture, WaveIncrementDecimates) {
  AutomaticAxes();
  const std::pair<int32_t, size_t> cases[] = {{0, 4000}, {-3, 4000}, {1, 4000}, {3, 1334}, {2000, 2}};
  for (auto [increment, points] : cases) {
    dc.Clear();
    dc.polylinePens.clear();
    gs.WaveIncrement = increment;
    Paint();
    ASSERT_EQ(Series().size(), 3u) << increment;
    EXPECT_EQ(Series()[0].size(), points) << increment;
    EXPECT_EQ(frame.Step, std::max(increment, 1));
  }
}

// 100 page units per pixel: about 27 samples fall in each of the strip's 150 columns.
TEST_F(TimeHistoryFixture, ScreenEnvelopeKeepsEveryColumnsExtremes) {
  AutomaticAxes();
  for (size_t c = 0; c < data.size(); ++c)
    for (int32_t i = 1; i <= count; ++i)
      data[c][static_cast<size_t>(i - 1)] =
          static_cast<float>(20 * std::sin(i * 0.37 * static_cast<double>(c + 1)) + (i == 1234 ? 250 : 0) -
                             (i == 3001 ? 180 : 0));
  gx.SetWindow(200, 200, 20000, 20000);
  Paint();
  ASSERT_EQ(Series().size(), 3u);
  const double kx = static_cast<double>(kWidth) / (frame.X.Max - frame.X.Min) / 100;
  const double ky = kHeight / (static_cast<double>(frame.Y.Max) - frame.Y.Min);
  for (size_t c = 0; c < 3; ++c) {
    const std::vector<DcPoint>& line = Series()[c];
    EXPECT_LE(line.size(), 2u * 152) << c;
    // Extremes of the samples per pixel column, as page y (top of the strip is y.Max).
    std::map<int64_t, std::pair<int32_t, int32_t>> expected;  // column: lowest y, highest y
    const int32_t top = kTop + static_cast<int32_t>(c) * kPitch;
    for (int32_t i = 1; i <= count; ++i) {
      const auto column = static_cast<int64_t>(std::floor(((i - 1) * kx + kLeft) / 100));
      const int32_t y = RoundCoord((frame.Y.Max - data[c][static_cast<size_t>(i - 1)]) * ky + top);
      auto [it, added] = expected.try_emplace(column, y, y);
      it->second.first = std::min(it->second.first, y);
      it->second.second = std::max(it->second.second, y);
    }
    std::map<int64_t, std::pair<int32_t, int32_t>> drawn;
    for (const DcPoint& p : line) {
      const auto column = static_cast<int64_t>(std::floor(p.x / 100.0));
      auto [it, added] = drawn.try_emplace(column, p.y, p.y);
      it->second.first = std::min(it->second.first, p.y);
      it->second.second = std::max(it->second.second, p.y);
    }
    EXPECT_EQ(drawn, expected) << c;
  }

  // A printer gets every sample.
  RecordingDc printer(TechRasterPrinter, 600);
  gx.SetHdc(&printer);
  gx.SetWindow(200, 200, 20000, 20000);
  Paint();
  ASSERT_EQ(printer.polylines.size(), 3u);
  EXPECT_EQ(printer.polylines[0].size(), static_cast<size_t>(count));
}

TEST_F(TimeHistoryFixture, OwnScalesFollowEachChannelsPeak) {
  AutomaticAxes();
  SetChannels({"strong", "weak"}, {287, -0.7f});
  Paint();
  EXPECT_FLOAT_EQ(frame.Y.Max, 500);  // shared: the strong channel's
  dc.Clear();
  PaintTimeHistory(gx, frame, gs, facts, 1, 100, count, channels, true);
  EXPECT_FLOAT_EQ(frame.Y.Max, 1);  // the last strip's own: the weak channel's
  EXPECT_FALSE(TextsOf("1").empty());
  EXPECT_FALSE(TextsOf("500").empty());
}

TEST_F(TimeHistoryFixture, TimeStepsBySpan) {
  const std::tuple<double, float, float> cases[] = {
      {10, 5, 1},      {19.4, 5, 1},     {19.6, 10, 1},      {20, 10, 1},
      {149, 10, 1},    {150, 20, 10},    {299, 20, 10},      {300, 50, 10},
      {599, 50, 10},   {600, 100, 10},   {2000, 100, 10},    {2001, 200, 20},
      {7200, 500, 50}, {10000, 500, 50}, {10001, 1000, 100}, {1e6, 50000, 5000}};
  for (auto [span, label, tick] : cases) {
    const TimeAxisSteps s = TimeStepsFor(span);
    EXPECT_FLOAT_EQ(s.label, label) << span;
    EXPECT_FLOAT_EQ(s.tick, tick) << span;
  }
}

TEST(TimeHistoryLegendText, PeakFormatAndUnitByKind) {
  struct Case {
    int32_t kind;
    float peak;
    const char* unit;
    const char* text;
  };
  const Case cases[] = {
      {1, 123.4f, "(cm/s/s)", "NS (peak: 123.4 cm/s/s)"},
      {1, -287.06f, "(cm/s/s)", "NS (peak: -287.1 cm/s/s)"},
      {2, 12.345f, "(cm/s)", "NS (peak: 12.35 cm/s)"},
      {3, 1.5f, "(cm)", "NS (peak: 1.500 cm)"},
      {1, 98.1f, "gal", "NS (peak: 98.1 gal)"},
      {1, 1, "((m))", "NS (peak: 1.0 (m))"},
      // Weak motion keeps three digits of its peak.
      {1, -0.1412f, "(cm/s/s)", "NS (peak: -0.141 cm/s/s)"},
      {2, 0.0015f, "(cm/s)", "NS (peak: 0.0015 cm/s)"},
  };
  for (const Case& c : cases) EXPECT_EQ(TimeHistoryLegend("NS", c.peak, c.kind, c.unit), c.text) << c.text;
}

TEST_F(TimeHistoryFixture, SpecifiedAmplitudeAndGrid) {
  gs.Axis[AxisAcc].Specify = true;
  gs.Axis[AxisAcc].Max = 287;
  gs.DrawGrid = true;
  gs.GridLine = AxisGridMajor | AxisLog;  // only the grid bits may reach the axes
  Paint();
  EXPECT_FLOAT_EQ(frame.Y.Max, 287);
  EXPECT_EQ(frame.Y.Flags & AxisLog, 0);
  EXPECT_EQ(frame.X.Flags & AxisLog, 0);
  EXPECT_EQ(frame.Y.Flags & AxisGridMajor, AxisGridMajor);
  // Off the 1-2-5 series: only the edges and 0 are marked, and they are numbered as such.
  EXPECT_EQ(TextsOf("287").size(), 3u);
  EXPECT_EQ(TextsOf("-287").size(), 3u);
  EXPECT_TRUE(TextsOf("290").empty());
}

TEST_F(TimeHistoryFixture, LegendPositions) {
  gs.LegFixTime = false;
  gs.LegendPosition = 0;
  Paint();
  EXPECT_TRUE(TextsOf("NS (peak: 287.0 cm/s/s)").empty());

  dc.Clear();
  gs.LegendPosition = 9;  // left-lower
  Paint();
  const auto t = TextsOf("NS (peak: 287.0 cm/s/s)");
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0]->x, kLeft + 100);
  EXPECT_GT(t[0]->y, kTop + kHeight / 2);
}

TEST_F(TimeHistoryFixture, MoreStripsThanComponentLines) {
  ResizeWaveLines(gs, 2);
  SetChannels({"A", "B", "C"}, {10, 20, 40});
  Paint();
  ASSERT_EQ(dc.polylinePens.size(), 3u);
  EXPECT_EQ(dc.polylinePens[2].color, static_cast<Rgb>(gs.WaveLine[1].Color));
}

// Whatever the settings and data say, nothing traps and every coordinate stays sane.
TEST_F(TimeHistoryFixture, AbsurdSettingsAndDataNeverBreakTheDrawing) {
  static constexpr float nan = std::numeric_limits<float>::quiet_NaN();
  static constexpr float inf = std::numeric_limits<float>::infinity();
  struct Case {
    const char* what;
    void (*apply)(TimeHistoryFixture&);
  };
  const Case cases[] = {
      {"nan time limits", [](TimeHistoryFixture& f) { f.TimeWindow(nan, nan); }},
      {"infinite time max", [](TimeHistoryFixture& f) { f.TimeWindow(0, inf); }},
      {"reversed window", [](TimeHistoryFixture& f) { f.TimeWindow(20, 10); }},
      {"zero span", [](TimeHistoryFixture& f) { f.TimeWindow(10, 10); }},
      {"huge window", [](TimeHistoryFixture& f) { f.TimeWindow(-3e38f, 3e38f); }},
      {"zero amplitude",
       [](TimeHistoryFixture& f) {
         f.gs.Axis[AxisAcc].Specify = true;
         f.gs.Axis[AxisAcc].Max = 0;
       }},
      {"tiny amplitude",
       [](TimeHistoryFixture& f) {
         f.gs.Axis[AxisAcc].Specify = true;
         f.gs.Axis[AxisAcc].Max = 1e-30f;
       }},
      {"nan amplitude",
       [](TimeHistoryFixture& f) {
         f.gs.Axis[AxisAcc].Specify = true;
         f.gs.Axis[AxisAcc].Max = nan;
       }},
      {"nan peaks and samples",
       [](TimeHistoryFixture& f) {
         f.channels[0].peak = nan;
         f.data[0][5] = nan;
         f.data[1][7] = inf;
         f.data[2][9] = 3e38f;
       }},
      {"zero peaks",
       [](TimeHistoryFixture& f) {
         f.AutomaticAxes();
         for (auto& c : f.channels) c.peak = 0;
       }},
      {"no samples",
       [](TimeHistoryFixture& f) {
         f.AutomaticAxes();
         f.count = 0;
         for (auto& c : f.channels) c = {c.label, c.peak, nullptr, 0};
       }},
      {"shorter channel", [](TimeHistoryFixture& f) { f.channels[1].count = 10; }},
      {"no channels", [](TimeHistoryFixture& f) { f.channels.clear(); }},
      {"absurd sizes",
       [](TimeHistoryFixture& f) {
         f.gs.WaveSpace = 2000000000;
         f.gs.WaveLine[1].Width = 1e30f;
         f.gs.LegendPosition = -1;
         f.gs.LegFixTime = false;
       }},
  };
  for (const Case& c : cases) {
    Reset();
    c.apply(*this);
    Paint();
    EXPECT_TRUE(std::isfinite(frame.X.Min) && std::isfinite(frame.X.Max) && frame.X.Max > frame.X.Min)
        << c.what;
    EXPECT_TRUE(std::isfinite(frame.Y.Max) && frame.Y.Max > 0 && frame.Y.Min == -frame.Y.Max) << c.what;
    EXPECT_EQ(frame.Top, kTop) << c.what;
    for (const auto& line : Series())
      for (const DcPoint& p : line) {
        EXPECT_LE(std::abs(p.x), 10000000) << c.what;
        EXPECT_LE(std::abs(p.y), 10000000) << c.what;
      }
    for (const DcPen& pen : dc.polylinePens) EXPECT_LE(pen.width, 2000) << c.what;
  }
}

TEST(TimeHistoryWindow, SampleRanges) {
  struct Case {
    double min, max;
    int32_t f, n;
    int32_t first, last;
    double lead;
  };
  const Case cases[] = {
      {0, 41, 100, 4000, 1, 4000, 0},  {10, 20, 100, 4000, 1001, 2000, 0}, {30, 50, 100, 4000, 3001, 4000, 0},
      {-1, 1, 100, 4000, 1, 100, 100}, {45, 60, 100, 4000, 1, 0, 0},       {0, 10, 0, 4000, 1, 0, 0},
      {0, 10, 100, 0, 1, 0, 0},        {-20, -10, 100, 4000, 1, 0, 0},
  };
  for (const Case& c : cases) {
    const WindowRange r = WindowSamples(c.min, c.max, c.f, c.n);
    EXPECT_EQ(r.first, c.first) << c.min << " " << c.max;
    EXPECT_EQ(r.last, c.last) << c.min << " " << c.max;
    EXPECT_DOUBLE_EQ(r.lead, c.lead) << c.min << " " << c.max;
  }
}

// Through the dispatcher: the painter is registered for kinds 1 to 3 and the samples
// shown reach the main window.
class NullHost : public DrawHost {
 public:
  RecordingDc screen;
  int32_t w = 0, h = 0;
  void SetViewArea(int32_t tw, int32_t th) override {
    w = tw / 15;
    h = th / 15;
  }
  int32_t ViewWidth() override { return w; }
  int32_t ViewHeight() override { return h; }
  DeviceContext* ViewDc() override { return &screen; }
  void RefreshView() override {}
  std::unique_ptr<PrintDocument> StartPrintDocument(const std::string&, DeviceContext*) override {
    return nullptr;
  }
  int32_t ReferencePixelsPerInchX() override { return 96; }
  int32_t ReferencePixelsPerInchY() override { return 96; }
  int32_t ScreenTwipsPerPixelX() override { return 15; }
  int32_t ScreenTwipsPerPixelY() override { return 15; }
  std::unique_ptr<ClipboardPicture> StartClipboardPicture(ClipboardFormats, int32_t, int32_t, int32_t,
                                                          int32_t) override {
    return nullptr;
  }
};

TEST(TimeHistoryDispatch, DrawnRangeAndTimeAxis) {
  AppState app;
  app.record.ChanCount = 2;
  app.record.SampFreq = 100;
  app.record.DataCount = 4000;
  app.record.RedimAcc(4000, 2);
  app.record.RedimLabel(2);
  app.record.RedimPeak(2);
  app.record.Label(1) = "NS";
  app.record.Label(2) = "EW";
  app.record.Peak(1) = 287;
  app.record.Peak(2) = -100;
  app.view.DrawChan = {true, true};
  DrawSession session;
  NullHost host;
  test::ScriptedUi ui;

  const struct {
    float min, max;
    int32_t first, last;
  } cases[] = {{10, 20, 1001, 2000}, {30, 50, 3001, 4000}, {0, 80, 1, 4000}, {-10, 10, 1, 1000}};
  for (const auto& c : cases) {
    app.graph.Axis[AxisTime].Min = c.min;
    app.graph.Axis[AxisTime].Max = c.max;
    host.screen.Clear();
    DrawGraph(app, session, host, ui, TargetScreen, 1);
    EXPECT_EQ(session.drawnFirst, c.first) << c.min;
    EXPECT_EQ(session.drawnLast, c.last) << c.min;
    EXPECT_TRUE(session.timeAxisActive);
    EXPECT_EQ(host.screen.polygons.size(), 2u);  // two strips
  }
  bool legend = false;
  for (const auto& t : host.screen.texts) legend |= t.text == "EW (peak: -100.0 cm/s/s)";
  EXPECT_TRUE(legend);

  // Velocity: the dispatcher has the acceleration integrated first.
  host.screen.Clear();
  DrawGraph(app, session, host, ui, TargetScreen, 2);
  EXPECT_TRUE(app.series.motionValid);
  EXPECT_EQ(host.screen.polygons.size(), 2u);
  EXPECT_FALSE(host.screen.polylines.empty());
  bool velocityLegend = false;
  for (const auto& t : host.screen.texts) velocityLegend |= t.text.rfind("NS (peak: ", 0) == 0;
  EXPECT_TRUE(velocityLegend);
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace sism

namespace sism {
namespace {

TEST(TimeHistorySeriesOf, KindsReadTheirOwnSeries) {
  AppState app;
  app.record.ChanCount = 2;
  app.record.SampFreq = 100;
  app.record.DataCount = 50;
  app.record.RedimAcc(50, 2);
  app.record.RedimLabel(2);
  app.record.RedimPeak(2);
  app.record.Label(1) = "NS";
  app.record.Label(2) = "EW";
  app.record.Peak(2) = -7;
  app.record.Acc(3, 2) = 1.5f;
  MotionData& m = app.series.motion;
  m.V.Resize(50, 2);
  m.D.Resize(50, 2);
  m.V(4, 2) = 2.5f;
  m.D(5, 2) = 3.5f;
  m.PeakVel = {1, -2};
  m.PeakDisp = {3, -4};
  m.Count = 50;
  m.ChanCount = 2;

  int32_t n = 0;
  auto acc = TimeHistorySeries(app, 1, {2, 9}, n);
  EXPECT_EQ(n, 50);
  ASSERT_EQ(acc.size(), 2u);
  EXPECT_EQ(acc[0].label, "EW");
  EXPECT_FLOAT_EQ(acc[0].peak, -7);
  EXPECT_FLOAT_EQ(acc[0].samples[2], 1.5f);
  EXPECT_EQ(acc[1].samples, nullptr);  // a channel the record does not have: an empty strip

  // Not integrated yet: labels only.
  auto vel = TimeHistorySeries(app, 2, {2}, n);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(vel[0].samples, nullptr);
  EXPECT_EQ(vel[0].label, "EW");

  app.series.motionValid = true;
  vel = TimeHistorySeries(app, 2, {2}, n);
  EXPECT_EQ(n, 50);
  EXPECT_FLOAT_EQ(vel[0].samples[3], 2.5f);
  EXPECT_FLOAT_EQ(vel[0].peak, -2);
  const auto disp = TimeHistorySeries(app, 3, {2}, n);
  EXPECT_FLOAT_EQ(disp[0].samples[4], 3.5f);
  EXPECT_FLOAT_EQ(disp[0].peak, -4);

  // A series shorter than it claims is drawn only as far as it goes.
  m.Count = 80;
  TimeHistorySeries(app, 2, {1}, n);
  EXPECT_EQ(n, 50);
  EXPECT_TRUE(TimeHistorySeries(app, 7, {1}, n).empty());
}

}  // namespace
}  // namespace sism

namespace sism {
namespace {

TEST_F(TimeHistoryFixture, ProcessingMarksTheOnsetAndTheNoiseWindowOnEveryStrip) {
  TimeMarks marks;
  marks.onset = 15;
  marks.noiseFrom = 2;
  marks.noiseTo = 14;
  TimeWindow(0, 40);
  PaintTimeHistory(gx, frame, gs, facts, 1, 100, count, channels, false, marks);
  const Rgb red = MakeRgb(220, 0, 0), green = MakeRgb(0, 128, 0);
  const int32_t onsetX = RoundCoord(kLeft + 15.0 / 40 * kWidth);
  int onsets = 0, brackets = 0;
  for (const test::RecordedLine& l : dc.lines) {
    if (l.pen.color == red) {
      EXPECT_EQ(l.x1, onsetX);
      EXPECT_EQ(l.x2, onsetX);
      EXPECT_EQ(l.y2 - l.y1, kHeight);
      EXPECT_EQ(l.y1, kTop + onsets * kPitch);
      ++onsets;
    } else if (l.pen.color == green && l.y1 == l.y2) {
      EXPECT_EQ(l.x1, RoundCoord(kLeft + 2.0 / 40 * kWidth));
      EXPECT_EQ(l.x2, RoundCoord(kLeft + 14.0 / 40 * kWidth));
      ++brackets;
    }
  }
  EXPECT_EQ(onsets, 3);
  EXPECT_EQ(brackets, 3);

  // A window after both marks draws neither; one across the noise window clips its bracket.
  for (auto [from, to, wantOnsets, wantBrackets] : {std::tuple{20.0f, 30.0f, 0, 0}, std::tuple{10.0f, 20.0f, 3, 3}}) {
    Reset();
    TimeWindow(from, to);
    PaintTimeHistory(gx, frame, gs, facts, 1, 100, count, channels, false, marks);
    int reds = 0, greens = 0;
    for (const test::RecordedLine& l : dc.lines) {
      reds += l.pen.color == red;
      if (l.pen.color == green && l.y1 == l.y2) {
        EXPECT_EQ(l.x1, kLeft);
        ++greens;
      }
    }
    EXPECT_EQ(reds, wantOnsets) << from;
    EXPECT_EQ(greens, wantBrackets) << from;
  }
}

}  // namespace
}  // namespace sism
