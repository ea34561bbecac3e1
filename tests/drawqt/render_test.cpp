#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QPrinter>
#include <cstdlib>

#include "state/app_state.h"
#include "draw/axes.h"
#include "draw/draw_graph.h"
#include "draw/qt/page_output.h"
#include "draw/qt/qt_draw_host.h"
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
  return app;
}

// A host on Qt targets that keeps what it produced for inspection.
class QtTestHost : public DrawHost {
 public:
  ScreenPicture screen;
  QPagedPaintDevice* printer = nullptr;
  std::unique_ptr<QMimeData> clipboard;

  void SetViewArea(int32_t w, int32_t h) override { screen.Begin(w / 15, h / 15); }
  int32_t ViewWidth() override { return screen.Width(); }
  int32_t ViewHeight() override { return screen.Height(); }
  DeviceContext* ViewDc() override { return &screen.Dc(); }
  void RefreshView() override { screen.End(); }
  std::unique_ptr<PrintDocument> StartPrintDocument(const std::string&, DeviceContext*) override {
    if (printer == nullptr) return nullptr;
    return QtPrintDocument::Start(*printer);
  }
  int32_t ReferencePixelsPerInchX() override { return 96; }
  int32_t ReferencePixelsPerInchY() override { return 96; }
  int32_t ScreenTwipsPerPixelX() override { return 15; }
  int32_t ScreenTwipsPerPixelY() override { return 15; }
  std::unique_ptr<ClipboardPicture> StartClipboardPicture(ClipboardFormats f, int32_t vw, int32_t vh,
                                                          int32_t pw, int32_t ph) override {
    class Keep : public QtClipboardPicture {
     public:
      Keep(QtTestHost& host, ClipboardFormats f, int vw, int vh, int32_t pw, int32_t ph)
          : QtClipboardPicture(f, vw, vh, pw, ph), host_(host) {}
      void PutOnClipboard() override { host_.clipboard = TakeMimeData(); }

     private:
      QtTestHost& host_;
    };
    return std::make_unique<Keep>(*this, f, vw, vh, pw, ph);
  }
};

struct RenderFixture : ::testing::Test {
  AppState app;
  DrawSession session;
  QtTestHost host;
  test::ScriptedUi ui;

  void SetUp() override {
    App();
    app.record.ChanCount = 1;
    app.record.SampFreq = 100;
    app.record.DataCount = 100;
    app.view.DrawChan = {true};
    app.graph.Header = "Sismora test|%c|right";
    app.record.SiteCode = "QT1";
    // A spectrum page: frame, axes and one horizontal red line at the value 0.
    session.painters[4] = [](PaintContext& c) {
      GraphFrame& f = c.frame;
      f.X = AxisRecord{10, 0, 2, 1, AxisByPainter | AxisTicks | AxisNumbers, "Frequency (Hz)", ""};
      f.Y = AxisRecord{1, -1, 1, 0.5f, AxisByPainter | AxisTicks | AxisNumbers, "Amplitude", ""};
      f.Title = "Fourier Spectrum";
      DrawFrameAndAxes(c.gx, f);
      f.XData = {0, 10};
      f.YData = {0, 0};
      f.First = 1;
      f.Last = 2;
      f.SeriesLine = LineRecord{255, 100, 0};  // red, 1 mm
      PlotSeries(c.gx, f);
    };
  }
  // Page 95 x 90 mm; plot at (15 mm, 5 + 4 mm header) of 75 x 75 mm.
  static constexpr double kLeft = 1500, kTop = 900, kSize = 7500;
};

bool Dark(QRgb c) {
  return qRed(c) < 100 && qGreen(c) < 100 && qBlue(c) < 100;
}
bool Red(QRgb c) {
  return qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80;
}

// Whether any pixel within `r` of (x, y) passes the test.
template <typename Test>
bool Near(const QImage& img, double x, double y, int r, Test test) {
  for (int dy = -r; dy <= r; ++dy)
    for (int dx = -r; dx <= r; ++dx) {
      const int px = static_cast<int>(std::lround(x)) + dx, py = static_cast<int>(std::lround(y)) + dy;
      if (img.valid(px, py) && test(img.pixel(px, py))) return true;
    }
  return false;
}

TEST_F(RenderFixture, ScreenPagePixels) {
  DrawGraph(app, session, host, ui, TargetScreen, 4);
  const QImage& img = host.screen.Image();
  ASSERT_FALSE(img.isNull());
  EXPECT_EQ(img.width(), RoundCoord(9500 * 0.56693) / 15);
  const double s = std::min(img.width() / 9500.0, img.height() / 9400.0);
  // Frame corners.
  for (auto [x, y] :
       {std::pair{kLeft, kTop}, {kLeft + kSize, kTop}, {kLeft, kTop + kSize}, {kLeft + kSize, kTop + kSize}})
    EXPECT_TRUE(Near(img, x * s, y * s, 1, Dark)) << x << "," << y;
  // The line at 0 runs across the middle of the plot.
  for (double fx : {0.1, 0.5, 0.9})
    EXPECT_TRUE(Near(img, (kLeft + fx * kSize) * s, (kTop + kSize / 2) * s, 1, Red)) << fx;
  // Inside the plot away from the line: background.
  EXPECT_EQ(img.pixel(static_cast<int>((kLeft + kSize / 2) * s), static_cast<int>((kTop + kSize / 4) * s)),
            qRgb(255, 255, 255));
  // Outside the frame to the right, beyond any text: background.
  EXPECT_EQ(img.pixel(img.width() - 2, static_cast<int>((kTop + kSize / 2) * s)), qRgb(255, 255, 255));
  // Header text and tick numbers put dark pixels above the plot and left of it.
  EXPECT_TRUE(Near(img, 300 * s, 150 * s, 6, Dark));
  EXPECT_TRUE(Near(img, (kLeft - 400) * s, (kTop + kSize / 2) * s, 6, Dark));
  EXPECT_EQ(ui.pointer, PointerDefault);

  test::TempDir dir;
  std::string error;
  const std::string png = dir.File("page.png");
  ASSERT_TRUE(WriteImageFile(img, png, ImageFormat::Png, error)) << error;
  const std::string bmp = dir.File("page.bmp");
  ASSERT_TRUE(WriteImageFile(img, bmp, ImageFormat::Bmp, error)) << error;
  QImage back(QString::fromStdString(png));
  EXPECT_EQ(back.size(), img.size());
  QFile b(QString::fromStdString(bmp));
  ASSERT_TRUE(b.open(QIODevice::ReadOnly));
  EXPECT_EQ(b.read(2), QByteArray("BM"));
  EXPECT_FALSE(WriteImageFile(img, dir.File("no/such/folder/x.png"), ImageFormat::Png, error));
}

TEST_F(RenderFixture, ClipboardCopyAsSvgAndPng) {
  DrawGraph(app, session, host, ui, TargetClipboard, 4);
  ASSERT_TRUE(host.clipboard);
  const QByteArray svg = host.clipboard->data(QStringLiteral("image/svg+xml"));
  EXPECT_TRUE(svg.contains("<svg"));
  EXPECT_TRUE(svg.contains("Fourier Spectrum") || svg.contains("<text"));
  EXPECT_TRUE(host.clipboard->hasImage());
  const QImage bitmap = qvariant_cast<QImage>(host.clipboard->imageData());
  EXPECT_EQ(bitmap.width(), RoundCoord(95 * 0.03937 * 96));
  EXPECT_TRUE(Near(bitmap, (kLeft + kSize / 2) * bitmap.width() / 9500.0,
                   (kTop + kSize / 2) * bitmap.width() / 9500.0, 1, Red));

  app.run.SwitchE = false;
  DrawGraph(app, session, host, ui, TargetClipboard, 4);
  EXPECT_FALSE(host.clipboard->hasFormat(QStringLiteral("image/svg+xml")));
  EXPECT_TRUE(host.clipboard->hasImage());
}

TEST_F(RenderFixture, PrintedPdfPage) {
  test::TempDir dir;
  const QString path = QString::fromStdString(dir.File("page.pdf"));
  {
    QPdfWriter writer(path);
    writer.setResolution(300);
    host.printer = &writer;
    DrawGraph(app, session, host, ui, TargetPrinter, 4);
  }
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.read(4), QByteArray("%PDF"));
  EXPECT_GT(f.size(), 1000);
}

TEST_F(RenderFixture, PrinterDocumentOnAGivenPrinter) {
  test::TempDir dir;
  const QString path = QString::fromStdString(dir.File("printer.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  auto doc = StartPrinterDocument("Sismora", &printer);
  ASSERT_TRUE(doc);
  EXPECT_GT(doc->HorzRes(), 1000);
  EXPECT_GT(doc->HorzSizeMm(), 100);
  doc->StartPage();
  cGraphicExtensions gx;
  gx.SetHdc(&doc->Dc());
  gx.SetWindow(doc->HorzRes(), doc->VertRes(), doc->HorzSizeMm() * 100, doc->VertSizeMm() * 100);
  gx.DrawRectangle(1000, 1000, 5000, 5000);
  doc->EndPage();
  doc->EndDocument();
  doc.reset();
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.read(4), QByteArray("%PDF"));
  EXPECT_GT(ReferencePixelsPerInch(false), 0);
}

TEST_F(RenderFixture, HostForTheMainWindow) {
  struct Window : QtDrawHost {
    int resized = 0, repainted = 0;
    void ResizeGraphArea(int, int) override { ++resized; }
    void RepaintGraphArea() override { ++repainted; }
  } window;
  app.view.GraphKind = 4;
  DrawGraph(app, session, window, ui, TargetScreen, 4);
  EXPECT_EQ(window.resized, 1);
  EXPECT_EQ(window.repainted, 1);
  EXPECT_EQ(window.Picture().Width(), RoundCoord(9500 * 0.56693) / 15);
  const QImage& img = window.Picture().Image();
  const double s = img.width() / 9500.0;
  EXPECT_TRUE(Near(img, (kLeft + kSize / 2) * s, (kTop + kSize / 2) * s, 1, Red));
  // Zoomed in, the same page is drawn larger.
  session.zoom = 2;
  DrawGraph(app, session, window, ui, TargetScreen, 0);
  EXPECT_EQ(window.Picture().Width(), RoundCoord(9500 * 0.56693 * 2) / 15);
}

TEST_F(RenderFixture, AbsurdSettingsDrawWithoutFailing) {
  app.graph.Font[1].Size = 1e9f;
  app.graph.Font[2].Size = -5;
  app.graph.Line[1].Width = 1e9f;
  app.graph.Line[2].Style = 77;
  app.graph.LineUnit = -3;
  app.graph.SpecWidth = 0;
  app.graph.Font[4].Name = "No Such Face";
  EXPECT_NO_THROW(DrawGraph(app, session, host, ui, TargetScreen, 4));
  EXPECT_FALSE(host.screen.Image().isNull());
}

}  // namespace
}  // namespace sism
