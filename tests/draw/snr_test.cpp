#include "draw/snr.h"

#include <gtest/gtest.h>

#include <cmath>

#include "draw/axes.h"
#include "draw/page_styles.h"
#include "state/graph_kinds.h"
#include "tests/support/fake_draw_host.h"
#include "tests/support/noise_record.h"
#include "tests/support/scripted_ui.h"

namespace sism {
namespace {

// Two channels of noise with a made-up run: spectra from 0.1 to 10 Hz, signal 100 times
// the noise, corners at 0.5 and 8 Hz.
struct SnrPage : ::testing::Test {
  AppState app;
  DrawSession session;
  test::FakeHost host;
  test::ScriptedUi ui;

  void SetUp() override {
    test::NoiseRecord(app, {"NS", "EW"}, 2000, 3, 20.0f);
    for (LineSettings& l : app.graph.WaveLine) l.Style = 0;
  }
  void Processed() {
    ProcessingRun run;
    for (int32_t ch = 1; ch <= 2; ++ch) {
      ChannelProcessing c;
      c.ch = ch;
      for (int32_t i = 0; i <= 40; ++i) {
        const float f = 0.1f * std::pow(10.0f, i / 20.0f);
        c.freqs.push_back(f);
        c.signal.push_back(50.0f * static_cast<float>(ch) / (1 + f));
        c.noise.push_back(0.5f / (1 + f));
      }
      c.highPass = 0.5f;
      c.lowPass = 8;
      c.processed = true;
      run.result.channels.push_back(c);
    }
    app.processed = run;
  }
  int SeriesDrawn() const {
    int n = 0;
    for (const auto& p : host.screen.polylines) n += p.size() > 10;
    return n;
  }
  bool Drew(const std::string& text) const {
    for (const test::RecordedText& t : host.screen.texts)
      if (t.text == text) return true;
    return false;
  }
};

TEST_F(SnrPage, WithoutARunTheEmptyPlotSaysHowToGetOne) {
  DrawGraph(app, session, host, ui, TargetScreen, KindSnr);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(Drew(SnrEmptyText()));
  EXPECT_EQ(SeriesDrawn(), 0);
}

TEST_F(SnrPage, SignalAndNoiseOfEveryChannelOnLogAxesWithTheirCorners) {
  Processed();
  DrawGraph(app, session, host, ui, TargetScreen, KindSnr);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(Drew(SnrEmptyText()));
  // The signals solid, the noise dashed: drawn as short segments in the channel's colour.
  EXPECT_EQ(SeriesDrawn(), 2);
  for (int32_t j = 1; j <= 2; ++j) {
    const Rgb color = static_cast<Rgb>(WaveLineOf(app.graph, j).Color);
    int dashes = 0;
    for (const test::RecordedLine& l : host.screen.lines) dashes += l.pen.color == color && l.pen.style == PenSolid;
    EXPECT_GT(dashes, 20) << j;
  }
  for (const char* t : {"NS signal", "NS noise", "EW signal", "EW noise"}) EXPECT_TRUE(Drew(t)) << t;

  const GraphFrame& f = session.lastFrame;
  EXPECT_TRUE(f.X.Flags & AxisLog);
  EXPECT_TRUE(f.Y.Flags & AxisLog);
  EXPECT_FLOAT_EQ(f.X.Min, 0.1f);
  EXPECT_FLOAT_EQ(f.X.Max, 10);
  EXPECT_FLOAT_EQ(f.Y.Max, 100);  // the decade above the largest signal, 100 / 1.1
  EXPECT_LE(f.Y.Min, 0.5f / 11);  // the noise floor stays in view

  // The corners: full-height dotted lines at 0.5 and 8 Hz, one pair per channel.
  int corners = 0;
  for (const test::RecordedLine& l : host.screen.lines) {
    if (l.pen.style != PenDot || l.x1 != l.x2 || l.y2 - l.y1 != f.Height) continue;
    const double at = std::pow(10.0, (l.x1 - f.Left) / static_cast<double>(f.Width) * 2 - 1);
    EXPECT_TRUE(std::fabs(at - 0.5) < 0.01 || std::fabs(at - 8) < 0.1) << at;
    ++corners;
  }
  EXPECT_EQ(corners, 4);
}

TEST(SnrKind, RowTitleAndMenuItem) {
  const GraphKindInfo& k = KindInfo(KindSnr);
  EXPECT_EQ(k.id, KindSnr);
  EXPECT_FALSE(k.exports);
  EXPECT_EQ(k.page, PageForm::Spectrum);
  EXPECT_STREQ(k.menuName, "mnuViewSnr");
  AppState app;
  EXPECT_EQ(KindTitleTemplate(app, KindSnr), KindName(KindSnr));
  EXPECT_NE(KindTitleTemplate(app, KindSnr), app.graph.GraphTitle[22]);
}

}  // namespace
}  // namespace sism
