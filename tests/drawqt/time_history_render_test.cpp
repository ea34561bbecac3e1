#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "analysis/drivers.h"
#include "state/app_state.h"
#include "draw/draw_graph.h"
#include "draw/qt/page_output.h"
#include "draw/qt/qt_draw_host.h"
#include "load/pipeline.h"
#include "record/readers.h"
#include "tests/support/samples.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/temp_dir.h"

namespace sism {
namespace {

QGuiApplication& App() {
  static int argc = 1;
  static char name[] = "test_drawqt";
  static char* argv[] = {name, nullptr};
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QGuiApplication app(argc, argv);
  static const bool fonts = (InstallFontSubstitutes(), true);
  (void)fonts;
  return app;
}

// The program's Qt host, keeping clipboard copies instead of publishing them.
class KeepingHost : public QtDrawHost {
 public:
  QByteArray svg;
  QImage bitmap;
  std::unique_ptr<ClipboardPicture> StartClipboardPicture(ClipboardFormats f, int32_t vw, int32_t vh,
                                                          int32_t pw, int32_t ph) override {
    class Keep : public QtClipboardPicture {
     public:
      Keep(KeepingHost& host, ClipboardFormats f, int vw, int vh, int32_t pw, int32_t ph)
          : QtClipboardPicture(f, vw, vh, pw, ph), host_(host) {}
      void PutOnClipboard() override {
        host_.svg = Svg();
        host_.bitmap = Bitmap();
      }

     private:
      KeepingHost& host_;
    };
    return std::make_unique<Keep>(*this, f, vw, vh, pw, ph);
  }
};

// Pictures go to SISMORA_RENDER_DIR when it is set (to look at them), else to a
// temporary folder.
struct DemoRender : ::testing::Test {
  AppState app;
  DrawSession session;
  KeepingHost host;
  test::ScriptedUi ui;
  test::TempDir temp;
  std::filesystem::path out;

  void SetUp() override {
    App();
    const std::string demo = std::string(SISMORA_SOURCE_DIR) + "/samples/demo.ac";
    ASSERT_TRUE(ReadAc(demo, app.record, ui)) << demo;
    app.view.DrawChan.assign(static_cast<size_t>(app.record.ChanCount), true);
    app.calc.RecalcFlags = -1;  // everything pending, as after a load
    const char* dir = std::getenv("SISMORA_RENDER_DIR");
    out = dir != nullptr && *dir != 0 ? std::filesystem::path(dir) : temp.Path();
  }

  // Pixels close to a colour in a band of the picture.
  static int CountColour(const QImage& img, QRgb colour, int x0, int x1, int y0, int y1) {
    int n = 0;
    for (int y = std::max(y0, 0); y < std::min(y1, img.height()); ++y)
      for (int x = std::max(x0, 0); x < std::min(x1, img.width()); ++x) {
        const QRgb p = img.pixel(x, y);
        if (std::abs(qRed(p) - qRed(colour)) < 40 && std::abs(qGreen(p) - qGreen(colour)) < 40 &&
            std::abs(qBlue(p) - qBlue(colour)) < 40)
          ++n;
      }
    return n;
  }
  static QRgb ToQRgb(RgbColor c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
};

TEST_F(DemoRender, AccelerationVelocityDisplacementPages) {
  const char* names[] = {"", "acceleration", "velocity", "displacement"};
  for (int32_t kind = 1; kind <= 3; ++kind) {
    session.zoom = 2;  // twice the screen size, to look at
    if (kind == 2 && !app.series.motionValid) {
      // Integrated here when drawing does not do it itself.
      RunIntegrationDriver(app, ui);
      app.series.motionValid = true;
    }
    DrawGraph(app, session, host, ui, TargetScreen, kind);
    const QImage& img = host.Picture().Image();
    ASSERT_FALSE(img.isNull()) << kind;
    std::string error;
    const std::string png = (out / (std::string("demo_") + names[kind] + ".png")).string();
    ASSERT_TRUE(WriteImageFile(img, png, ImageFormat::Png, error)) << error;

    const bool curves = true;
    // Each strip's curve in its component's colour, in the left half of the plot (the
    // legend is at the right).
    const double s =
        img.height() / static_cast<double>(ComputePageGeometry(app, kind, app.record.ChanCount).height);
    const GraphSettings& gs = app.graph;
    const int pitch = (gs.WaveHeight + gs.WaveSpace) * 100;
    const int top = gs.TopMargin * 100, left = gs.LeftMargin * 100;
    const int x0 = static_cast<int>((left + 100) * s), x1 = static_cast<int>((left + gs.WaveWidth * 50) * s);
    for (int32_t j = 1; j <= app.record.ChanCount; ++j) {
      const int y0 = static_cast<int>((top + (j - 1) * pitch) * s);
      const int y1 = static_cast<int>((top + (j - 1) * pitch + gs.WaveHeight * 100) * s);
      const QRgb colour = ToQRgb(gs.WaveLine[static_cast<size_t>(j)].Color);
      if (curves) {
        EXPECT_GT(CountColour(img, colour, x0, x1, y0, y1), 100) << names[kind] << " strip " << j;
      }
    }
    EXPECT_TRUE(session.timeAxisActive);
    EXPECT_TRUE(ui.messages.empty());

    // As the screen shows it unzoomed.
    session.zoom = 1;
    DrawGraph(app, session, host, ui, TargetScreen, kind);
    ASSERT_TRUE(WriteImageFile(host.Picture().Image(),
                               (out / (std::string("demo_") + names[kind] + "_screen.png")).string(),
                               ImageFormat::Png, error))
        << error;

    DrawGraph(app, session, host, ui, TargetClipboard, kind);
    ASSERT_TRUE(host.svg.contains("<svg")) << kind;
    const std::string svg = (out / (std::string("demo_") + names[kind] + ".svg")).string();
    QFile f(QString::fromStdString(svg));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(host.svg);
    f.close();
    // The picture reads back and shows the same curves.
    QSvgRenderer renderer(host.svg);
    ASSERT_TRUE(renderer.isValid()) << kind;
    QImage back(img.size(), QImage::Format_RGB32);
    back.fill(Qt::white);
    {
      QPainter p(&back);
      renderer.render(&p);
    }
    ASSERT_TRUE(WriteImageFile(back, (out / (std::string("demo_") + names[kind] + "_svg.png")).string(),
                               ImageFormat::Png, error))
        << error;
    const int y1 = static_cast<int>((top + gs.WaveHeight * 100) * s);
    if (curves) {
      EXPECT_GT(CountColour(back, ToQRgb(gs.WaveLine[1].Color), x0, x1, static_cast<int>(top * s), y1), 100)
          << names[kind];
    }
  }
}

}  // namespace
}  // namespace sism

namespace sism {
namespace {

// Real records on automatic axes: the scales follow each record's length and peak.
TEST_F(DemoRender, RealRecordsOnAutomaticAxes) {
  SKIP_WITHOUT_SAMPLES();
  const struct {
    const char* file;
    const char* picture;
  } records[] = {{"knet/AOM0011801241951.EW", "knet_ew"}, {"dmg/CE89146.V2", "dmg_v2"}};
  app.graph.Axis[AxisTime].Specify = false;
  for (const auto& r : records) {
    const std::string path = (test::SamplesDir() / r.file).string();
    ASSERT_GT(ReadAccFile(app, path, ui), 0) << path;
    session.zoom = 2;
    DrawGraph(app, session, host, ui, TargetScreen, 1);
    const GraphFrame& f = session.lastFrame;
    const double seconds = static_cast<double>(app.record.DataCount) / app.record.SampFreq;
    EXPECT_FLOAT_EQ(f.X.Max, static_cast<float>(RoundCoord(seconds) + 1)) << r.file;
    EXPECT_GE(f.Y.Max, app.record.PeakAcc * 0.999f) << r.file;
    EXPECT_LT(f.Y.Max, app.record.PeakAcc * 5.01f) << r.file;
    EXPECT_EQ(session.drawnFirst, 1);
    EXPECT_EQ(session.drawnLast, app.record.DataCount);
    std::string error;
    ASSERT_TRUE(WriteImageFile(host.Picture().Image(), (out / (std::string(r.picture) + ".png")).string(),
                               ImageFormat::Png, error))
        << error;
  }
}

}  // namespace
}  // namespace sism

namespace sism {
namespace {

// A zoomed time window with the grid, a header, and the legend at the left-lower corner.
TEST_F(DemoRender, WindowWithGridAndHeader) {
  app.graph.Axis[AxisTime].Min = 10;
  app.graph.Axis[AxisTime].Max = 20;
  app.graph.DrawGrid = true;
  app.graph.GridLine = AxisGridMajor | AxisGridMinor;
  app.graph.Header = "%d %t|%c|JMA Intensity: %i";
  app.graph.LegFixTime = false;
  app.graph.LegendPosition = 9;
  session.zoom = 2;
  DrawGraph(app, session, host, ui, TargetScreen, 1);
  EXPECT_EQ(session.drawnFirst, 1001);
  EXPECT_EQ(session.drawnLast, 2000);
  const QImage& img = host.Picture().Image();
  ASSERT_FALSE(img.isNull());
  std::string error;
  ASSERT_TRUE(WriteImageFile(img, (out / "demo_window_grid.png").string(), ImageFormat::Png, error)) << error;
}

}  // namespace
}  // namespace sism

namespace sism {
namespace {

// Kinds first..last of real records, as pictures and as vector copies; a report shows the
// record's second page when it has one.
struct RealRecord {
  const char* file;
  const char* picture;
};

void DrawKindsOf(DemoRender& t, const std::vector<RealRecord>& records, int32_t first, int32_t last) {
  for (const RealRecord& r : records) {
    const std::string path = (test::SamplesDir() / r.file).string();
    ASSERT_GT(ReadAccFile(t.app, path, t.ui), 0) << path;
    for (int32_t kind = first; kind <= last; ++kind) {
      const int32_t page = kind == KindReport && t.app.record.ChanCount > 3 ? 1 : 0;
      t.session.zoom = 1.5f;
      DrawGraph(t.app, t.session, t.host, t.ui, TargetScreen, kind, page);
      const QImage& img = t.host.Picture().Image();
      ASSERT_FALSE(img.isNull());
      EXPECT_TRUE(t.ui.messages.empty()) << r.file << " kind " << kind;
      // The first component's curve shows.
      EXPECT_GT(DemoRender::CountColour(img, DemoRender::ToQRgb(t.app.graph.WaveLine[1].Color), 0, img.width(), 0,
                                        img.height()),
                50)
          << r.file << " kind " << kind;
      std::string error;
      const std::string name = std::string(r.picture) + "_kind" + std::to_string(kind);
      ASSERT_TRUE(WriteImageFile(img, (t.out / (name + ".png")).string(), ImageFormat::Png, error)) << error;
      DrawGraph(t.app, t.session, t.host, t.ui, TargetClipboard, kind, page);
      EXPECT_TRUE(QSvgRenderer(t.host.svg).isValid()) << name;
    }
  }
}

TEST_F(DemoRender, RealRecordsAsSpectra) {
  SKIP_WITHOUT_SAMPLES();
  DrawKindsOf(*this, {{"knet/AOM0011801241951.EW", "knet"}, {"peer/RSN763_LOMAP_GIL067.AT2", "peer"}},
              KindFourier, KindEnergy);
}

// Orbits, relations and the report page of a three-channel and a six-channel record.
TEST_F(DemoRender, RealRecordsAsOrbitsRelationsAndReports) {
  SKIP_WITHOUT_SAMPLES();
  DrawKindsOf(*this, {{"knet/AOM0011801241951.EW", "knet"}, {"kiknet/NGNH311106302345.NS1", "kiknet"}},
              KindAccOrbit, KindReport);
}

}  // namespace
}  // namespace sism
