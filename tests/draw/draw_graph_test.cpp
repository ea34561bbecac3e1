#include "draw/draw_graph.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "state/app_state.h"
#include "common/errors.h"
#include "draw/image_output.h"
#include "tests/support/fake_draw_host.h"
#include "tests/support/recording_dc.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

using test::RecordingDc;
using test::ScriptedUi;

using test::FakeHost;

struct DrawFixture : ::testing::Test {
  AppState app;
  DrawSession session;
  FakeHost host;
  ScriptedUi ui;
  std::vector<std::string> painted;  // "kind selector channels..."
  GraphFrame seen;
  int32_t incrementSeen = -1;

  void SetUp() override {
    app.record.ChanCount = 3;
    app.record.SampFreq = 100;
    app.record.DataCount = 4000;
    app.view.DrawChan = {true, true, true};
    for (int32_t k = 1; k <= 21; ++k)
      session.painters[k] = [this](PaintContext& c) {
        std::string s = std::to_string(c.kind) + " " + std::to_string(c.reportSelector);
        for (int32_t ch : c.channels) s += " " + std::to_string(ch);
        painted.push_back(s);
        seen = c.frame;
        incrementSeen = c.app.graph.WaveIncrement;
        c.gx.DrawLine(0, 0, 100, 100);
      };
  }
  // As the window does: it chooses the kind shown, then draws.
  void Draw(int32_t target, int32_t kind, int32_t selector = -1) {
    if (kind > 0) app.view.GraphKind = kind;
    DrawGraph(app, session, host, ui, target, kind, selector);
  }
};

TEST_F(DrawFixture, WavePageOfThreeStrips) {
  app.graph.WaveHeight = 40;
  app.graph.WaveSpace = 5;
  app.graph.TopMargin = 10;
  app.graph.BottomMargin = 10;
  const PageGeometry g = ComputePageGeometry(app, 1, 3);
  EXPECT_EQ(g.height, 15000);
  EXPECT_EQ(g.width, (15 + 150 + 5) * 100);
  EXPECT_EQ(g.plotTop, 1000);

  app.graph.Header = "%d";
  app.graph.Font[4].Size = 10;  // 3.528 mm: one line of 4 mm
  const PageGeometry h = ComputePageGeometry(app, 1, 3);
  EXPECT_EQ(h.height, 15400);
  EXPECT_EQ(h.plotTop, 1400);
  app.graph.Footer = "x";
  EXPECT_EQ(ComputePageGeometry(app, 1, 3).height, 15800);
  EXPECT_EQ(ComputePageGeometry(app, 1, 3).plotTop, 1400);
}

TEST_F(DrawFixture, SpectrumAndReportPages) {
  const PageGeometry s = ComputePageGeometry(app, 7, 3);
  EXPECT_EQ(s.width, (15 + 75 + 5) * 100);
  EXPECT_EQ(s.height, (5 + 75 + 10) * 100);
  EXPECT_EQ(s.plotWidth, 7500);
  const PageGeometry r = ComputePageGeometry(app, kReportKind, 3);
  EXPECT_EQ(r.width, 16000);
  EXPECT_EQ(r.height, 23500);
}

TEST_F(DrawFixture, OrbitGrid) {
  app.graph.OrbitTime = 2;
  app.graph.OrbitStart = 0;
  app.graph.OrbitEnd = 30;
  app.graph.OrbitInt = 10;
  struct Case {
    int32_t cols, columns, rows;
  } cases[] = {{2, 2, 2}, {5, 3, 1}, {3, 3, 1}, {0, 3, 1}, {1, 1, 3}};
  for (const auto& c : cases) {
    app.graph.OrbitCols = c.cols;
    const PageGeometry g = ComputePageGeometry(app, 12, 3);
    EXPECT_EQ(g.columns, c.columns) << c.cols;
    EXPECT_EQ(g.rows, c.rows) << c.cols;
    EXPECT_EQ(g.width, (15 + c.columns * 40 + (c.columns - 1) * 4 + 5) * 100);
    EXPECT_EQ(g.height, (5 + c.rows * 40 + (c.rows - 1) * 4 + 10) * 100);
  }
  app.graph.OrbitInt = 0;  // no window length: one plot rather than a division by zero
  EXPECT_EQ(OrbitWindowCount(app), 1);
  app.graph.OrbitTime = 1;
  EXPECT_EQ(ComputePageGeometry(app, 13, 3).columns, 1);
}

TEST_F(DrawFixture, AbsurdSizesAreAnOverflow) {
  app.graph.WaveWidth = 2000000000;
  try {
    Draw(TargetScreen, 1);
    FAIL() << "no error";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Number(), 6);
  }
  EXPECT_EQ(ui.pointer, PointerDefault);
  EXPECT_TRUE(painted.empty());
}

TEST_F(DrawFixture, ScreenDrawing) {
  session.zoom = 1.5f;
  Draw(TargetScreen, 1);
  ASSERT_EQ(painted, std::vector<std::string>{"1 0 1 2 3"});
  EXPECT_EQ(host.areaW, RoundCoord(17000 * 0.56693 * 1.5));
  EXPECT_EQ(
      host.screen.Calls("SetMapping")[0],
      "SetMapping 17000 8300 0 0 " + std::to_string(host.areaW / 15) + " " + std::to_string(host.areaH / 15));
  EXPECT_EQ(seen.Left, 1500);
  EXPECT_EQ(seen.Width, 15000);
  EXPECT_EQ(seen.Height, 2000);
  EXPECT_EQ(seen.AxisLine.Width, 20);
  EXPECT_NEAR(seen.AxisFont.Height, 352.8, 1e-3);
  EXPECT_TRUE(seen.ClipToPlot);
  EXPECT_EQ(session.Gx.LineUnit(), 50);
  EXPECT_EQ(host.log, std::vector<std::string>{"Refresh"});
  EXPECT_TRUE(session.timeAxisActive);
  EXPECT_EQ(ui.pointer, PointerDefault);
  EXPECT_EQ(app.view.GraphKind, 1);
}

TEST_F(DrawFixture, TimeAxisActiveByKind) {
  struct Case {
    int32_t kind, fourType, orbitTime;
    bool active;
  } cases[] = {{2, 0, 0, true},  {4, 1, 0, true},  {4, 0, 0, false},  {16, 1, 0, true}, {20, 1, 0, false},
               {7, 1, 0, false}, {12, 1, 1, true}, {12, 1, 0, false}, {21, 1, 0, false}};
  for (const auto& c : cases) {
    app.calc.FourDurationType = c.fourType;
    app.graph.OrbitTime = c.orbitTime;
    Draw(TargetScreen, c.kind);
    EXPECT_EQ(session.timeAxisActive, c.active) << c.kind;
  }
}

TEST_F(DrawFixture, KindZeroRepaintsTheCurrentKind) {
  Draw(TargetScreen, 0);
  EXPECT_TRUE(painted.empty());  // nothing shown yet
  Draw(TargetScreen, 4);
  Draw(TargetScreen, 0);
  EXPECT_EQ(painted, (std::vector<std::string>{"4 0 1 2 3", "4 0 1 2 3"}));
  painted.clear();
  Draw(TargetScreen, kReportKind, 2);
  Draw(TargetScreen, 0, 0);  // the report keeps its page
  EXPECT_EQ(painted, (std::vector<std::string>{"21 2 1 2 3", "21 2 1 2 3"}));
  EXPECT_EQ(session.reportState, 2);
  // Another kind for another target (a copy) leaves the one shown alone.
  painted.clear();
  DrawGraph(app, session, host, ui, TargetClipboard, 4);
  EXPECT_EQ(painted, (std::vector<std::string>{"4 2 1 2 3"}));
  EXPECT_EQ(app.view.GraphKind, kReportKind);
}

TEST_F(DrawFixture, ChannelListAndNoChannels) {
  app.view.DrawChan = {false, true, true};
  app.graph.CompCountMax = 1;
  Draw(TargetScreen, 7);
  EXPECT_EQ(painted, std::vector<std::string>{"7 0 2"});

  painted.clear();
  app.view.DrawChan = {false};  // shorter than the channel count
  app.calc.RecalcFlags = RecalcFourier;
  Draw(TargetScreen, 7);
  EXPECT_TRUE(painted.empty());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "No channels are specified.");
  EXPECT_EQ(ui.messages[0].icon, MsgIcon::Critical);
  EXPECT_EQ(ui.pointer, PointerDefault);
  EXPECT_EQ(app.calc.RecalcFlags, RecalcFourier);  // nothing painted: still pending
}

TEST_F(DrawFixture, PrintingDrawsEverySample) {
  app.graph.WaveIncrement = 4;
  app.calc.RecalcFlags = RecalcIntegration;
  app.view.Changes = RecalcTimeAxis;
  DrawGraph(app, session, host, ui, TargetPrinter, 2);
  EXPECT_EQ(incrementSeen, 1);
  EXPECT_EQ(app.graph.WaveIncrement, 4);
  EXPECT_EQ(host.log, (std::vector<std::string>{"StartDocument Sismora", "StartPage", "EndPage",
                                                "EndDocument", "destroyed"}));
  // Velocity is computed; the spectra that follow the moved time window wait for their view.
  EXPECT_EQ(app.calc.RecalcFlags, RecalcFourier | RecalcRelations);
  EXPECT_EQ(app.view.Changes, 0);
  EXPECT_EQ(session.Gx.hdc(), nullptr);  // the page context is gone

  host.log.clear();
  painted.clear();
  host.printerFails = true;
  DrawGraph(app, session, host, ui, TargetPrinter, 2);
  EXPECT_TRUE(painted.empty());
  EXPECT_EQ(app.graph.WaveIncrement, 4);
  EXPECT_EQ(ui.pointer, PointerDefault);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DrawFixture, PrinterPageMapping) {
  // The printable area 1:1 in 0.01 mm, shifted 10 mm right and down.
  std::vector<std::string> mapping;
  session.painters[1] = [&](PaintContext& c) {
    c.gx.DrawLine(0, 0, 1, 1);
    mapping = static_cast<RecordingDc*>(c.gx.hdc())->Calls("SetMapping");
  };
  DrawGraph(app, session, host, ui, TargetPrinter, 1);
  EXPECT_EQ(mapping, std::vector<std::string>{"SetMapping 20000 28000 -1000 -1000 4800 6800"});
}

TEST_F(DrawFixture, ClipboardCopies) {
  Draw(TargetClipboard, 4);
  EXPECT_TRUE(host.formats.vector);
  EXPECT_TRUE(host.formats.bitmap);
  EXPECT_EQ(host.pictureW, RoundCoord(95 * 0.03937 * 600));
  EXPECT_EQ(host.pictureH, RoundCoord(90 * 0.03937 * 600));
  EXPECT_EQ(host.log, std::vector<std::string>{"PutOnClipboard"});

  app.run.SwitchE = false;
  Draw(TargetClipboard, 4);
  EXPECT_FALSE(host.formats.vector);
  EXPECT_TRUE(host.formats.bitmap);
  EXPECT_EQ(host.pictureW, RoundCoord(9500 * 0.56693 / 15));
}

TEST_F(DrawFixture, PagesSayWhatWasDoneToTheRecord) {
  std::vector<std::string> texts;
  session.painters[1] = [&](PaintContext& c) {
    for (const test::RecordedText& t : static_cast<RecordingDc*>(c.gx.hdc())->texts) texts.push_back(t.text);
  };
  const int32_t plain = ComputePageGeometry(app, 1, 3).height;
  const std::string done = "band-pass 0.1\u201320 Hz, rotated 30\u00B0, 10\u201390 s";
  app.view.Preprocessing = done;
  // One line more at the foot of the page, in the header font.
  EXPECT_EQ(ComputePageGeometry(app, 1, 3).height, plain + RoundCoord(0.3528 * app.graph.Font[4].Size) * 100);
  for (int32_t target : {TargetPrinter, TargetClipboard, TargetScreen}) {
    texts.clear();
    Draw(target, 1);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), done), 1) << target;
  }
  app.view.Preprocessing.clear();
  texts.clear();
  Draw(TargetPrinter, 1);
  EXPECT_EQ(ComputePageGeometry(app, 1, 3).height, plain);
  EXPECT_TRUE(texts.empty());
}

TEST_F(DrawFixture, UnknownTargetDrawsNothing) {
  Draw(3, 1);
  EXPECT_TRUE(painted.empty());
  EXPECT_TRUE(host.log.empty());
  EXPECT_EQ(ui.pointer, PointerDefault);
}

TEST_F(DrawFixture, DrawnRangeHandedBack) {
  session.painters[1] = [](PaintContext& c) {
    c.frame.X.Min = 10;
    c.frame.First = 1;
    c.frame.Last = 1000;
  };
  Draw(TargetScreen, 1);
  EXPECT_EQ(session.drawnFirst, 1001);
  EXPECT_EQ(session.drawnLast, 2000);

  session.painters[12] = [](PaintContext& c) {
    c.frame.First = 1001;
    c.frame.Last = 3000;
  };
  app.graph.OrbitTime = 2;
  app.graph.OrbitStart = 5;
  Draw(TargetScreen, 12);
  EXPECT_EQ(session.drawnFirst, 501);
  EXPECT_EQ(session.drawnLast, 3000);
}

TEST_F(DrawFixture, HeaderAndFooterOnThePage) {
  app.graph.Header = "|%c|";
  app.record.SiteCode = "ABC";
  Draw(TargetScreen, 4);
  ASSERT_FALSE(host.screen.texts.empty());
  EXPECT_EQ(host.screen.texts[0].text, "ABC");
  EXPECT_EQ(host.screen.texts[0].x, 9500 / 2);
  EXPECT_EQ(host.screen.texts[0].align, TaCenter | TaTop);
}

TEST(ImageOutput, FormatByExtensionAndOverwriteQuestion) {
  EXPECT_EQ(ImageFormatFor("/tmp/a.png"), ImageFormat::Png);
  EXPECT_EQ(ImageFormatFor("/tmp/a.BMP"), ImageFormat::Bmp);
  EXPECT_EQ(ImageFormatFor("/tmp/a"), ImageFormat::Png);
  test::TempDir dir;
  ScriptedUi ui;
  EXPECT_TRUE(ConfirmImageOverwrite(dir.File("new.png"), ui));
  EXPECT_TRUE(ui.messages.empty());
  const std::string existing = dir.Write("old.png", "x");
  ui.yesNoAnswers = {false, true};
  EXPECT_FALSE(ConfirmImageOverwrite(existing, ui));
  EXPECT_TRUE(ConfirmImageOverwrite(existing, ui));
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, existing + " already exists.\nOverwrite?");
}

}  // namespace
}  // namespace sism

namespace sism {
namespace {

// Fitting: the screen page fills the view (to within a millimetre per plot) whatever the
// settings' sizes; printing keeps them.
TEST_F(DrawFixture, FittedScreenPageFillsTheView) {
  session.fit = {1200, 800};
  for (int32_t kind : {1, 7, 12, 21}) {
    Draw(TargetScreen, kind, 0);
    const double w = host.areaW / 15.0, h = host.areaH / 15.0;
    EXPECT_LE(w, 1200.5) << kind;
    EXPECT_LE(h, 800.5) << kind;
    // Square orbits and a report's fixed layout fill one side.
    EXPECT_TRUE(w >= 1200 - 3 * kScreenPixelsPerMm || h >= 800 - 4 * kScreenPixelsPerMm) << kind << " " << w << "x" << h;
    if (kind == 1 || kind == 7) {
      EXPECT_GE(w, 1200 - 2 * kScreenPixelsPerMm) << kind;
    }
  }
  // Too small a view: plots keep a legible size and the page grows past the view.
  session.fit = {100, 60};
  Draw(TargetScreen, 1);
  EXPECT_GT(host.areaW / 15.0, 100);
  EXPECT_GE(seen.Width, 4000);
  // The printer page keeps the settings' sizes.
  Draw(TargetPrinter, 1);
  EXPECT_EQ(seen.Width, app.graph.WaveWidth * 100);
}

}  // namespace
}  // namespace sism
