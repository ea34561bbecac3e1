#include "draw/snr.h"

#include <gtest/gtest.h>

#include <cmath>

#include "draw/axes.h"
#include "draw/page_styles.h"
#include "draw/pointer.h"
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

// Taking a corner with the mouse: the screen drawing's pixels to the frequency on the log axis
// and back, the line under the pointer, and the corner a drag leaves.
TEST_F(SnrPage, ACornerLineIsFoundWithinAFewPixelsAndDraggedAlongTheLogAxis) {
  Processed();
  app.processed->result.channels[1].highPass = 0.6f;  // EW's high-pass corner apart from NS's
  DrawGraph(app, session, host, ui, TargetScreen, KindSnr);
  const GraphFrame& f = session.screenFrame;
  const double upp = session.screenUnitsPerPixel;
  ASSERT_GT(upp, 0);
  const std::vector<SnrCornerLine> lines = SnrCornerLines(app.graph, app.processed->result, session.screenChannels);
  ASSERT_EQ(lines.size(), 4u);
  const double reach = 4 * upp, mid = f.Top + f.Height / 2.0;
  auto pixelOf = [&](double hz) { return SnrPageX(f, hz) / upp; };

  // Frequencies and pixels: a decade is a fixed width, whatever the frequency.
  EXPECT_NEAR(pixelOf(1.5) - pixelOf(0.15), pixelOf(9) - pixelOf(0.9), 1e-6);
  EXPECT_NEAR(AxisValueAtPixel(session, pixelOf(0.5)), 0.5, 1e-4);
  EXPECT_TRUE(std::isnan(SnrPageX(f, 20)));  // off the axis

  // The line under the pointer, three pixels off, on either side.
  for (const double off : {-3.0, 3.0}) {
    const auto hit = SnrCornerNear(f, lines, (pixelOf(0.6) + off) * upp, mid, reach);
    ASSERT_TRUE(hit) << off;
    EXPECT_EQ(hit->ch, 2);
    EXPECT_FALSE(hit->lowPass);
  }
  // Both low-pass corners at 8 Hz: the channel drawn first.
  const auto both = SnrCornerNear(f, lines, pixelOf(8) * upp, mid, reach);
  ASSERT_TRUE(both);
  EXPECT_EQ(both->ch, 1);
  EXPECT_TRUE(both->lowPass);
  // Too far, above the plot, or nothing drawn.
  EXPECT_FALSE(SnrCornerNear(f, lines, (pixelOf(8) - 10) * upp, mid, reach));
  EXPECT_FALSE(SnrCornerNear(f, lines, pixelOf(8) * upp, f.Top - 5 * upp, reach));
  EXPECT_FALSE(SnrCornerNear(f, {}, pixelOf(8) * upp, mid, reach));

  // Dragged: the frequency under the pointer, to three digits.
  const ChannelProcessing& ns = app.processed->result.channels[0];
  const SnrCornerLine hp{1, false, 0.5f}, lp{1, true, 8};
  EXPECT_FLOAT_EQ(SnrDraggedCorner(f, hp, ns, SnrPageX(f, 0.2)), 0.2f);
  EXPECT_FLOAT_EQ(SnrDraggedCorner(f, hp, ns, SnrPageX(f, 1.23456)), 1.23f);
  EXPECT_FLOAT_EQ(SnrDraggedCorner(f, lp, ns, SnrPageX(f, 6.6666)), 6.67f);
  // Never past the other corner: a sixth of a decade clear of it.
  EXPECT_FLOAT_EQ(SnrDraggedCorner(f, hp, ns, SnrPageX(f, 9)), 5.45f);
  EXPECT_FLOAT_EQ(SnrDraggedCorner(f, lp, ns, SnrPageX(f, 0.3)), 0.734f);
  // Out of the plot: held at the ends of the spectra.
  EXPECT_FLOAT_EQ(SnrDraggedCorner(f, hp, ns, f.Left - 1000.0), 0.1f);
  EXPECT_FLOAT_EQ(SnrDraggedCorner(f, lp, ns, f.Left + f.Width + 1000.0), 10.0f);
  EXPECT_TRUE(std::isnan(SnrDraggedCorner(f, lp, ns, std::nan(""))));

  // A component switched off has no corners to take.
  app.graph.WaveLine[2].Width = 0;
  EXPECT_EQ(SnrCornerLines(app.graph, app.processed->result, {1, 2}).size(), 2u);
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
