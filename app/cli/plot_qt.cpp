// Graphs into files through the program's own draw dispatcher: PNG and SVG from the
// page recorded as for the clipboard, PDF as a printed page.
#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/cli/cli.h"
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "draw/draw_graph.h"
#include "draw/qt/page_output.h"

namespace sism::cli {
namespace {

std::unique_ptr<QGuiApplication>& Application() {
  static std::unique_ptr<QGuiApplication> app;
  return app;
}

void EnsureApplication() {
  std::unique_ptr<QGuiApplication>& app = Application();
  if (app) return;
  // Without a display the tool draws offscreen.
  if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr &&
      std::getenv("WAYLAND_DISPLAY") == nullptr)
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // Qt's note about a missing runtime folder says nothing about the graph.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
    if (msg.startsWith(QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR"))) return;
    if (type != QtDebugMsg && type != QtInfoMsg) std::fprintf(stderr, "%s\n", msg.toLocal8Bit().constData());
  });
  static int argc = 1;
  static char name[] = "sismora-cli";
  static char* argv[] = {name, nullptr};
  app = std::make_unique<QGuiApplication>(argc, argv);
  InstallFontSubstitutes();
}

// A host whose clipboard is a file and whose printer is a PDF writer.
class FileHost : public DrawHost {
 public:
  int32_t ppi = 96;
  QPagedPaintDevice* pdf = nullptr;
  QByteArray svg;
  QImage bitmap;
  bool pictureTaken = false;

  void SetViewArea(int32_t w, int32_t h) override { screen_.Begin(w / 15, h / 15); }
  int32_t ViewWidth() override { return screen_.Width(); }
  int32_t ViewHeight() override { return screen_.Height(); }
  DeviceContext* ViewDc() override { return &screen_.Dc(); }
  void RefreshView() override { screen_.End(); }
  std::unique_ptr<PrintDocument> StartPrintDocument(const std::string&, DeviceContext*) override {
    if (pdf == nullptr) return nullptr;
    return QtPrintDocument::Start(*pdf);
  }
  int32_t ReferencePixelsPerInchX() override { return ppi; }
  int32_t ReferencePixelsPerInchY() override { return ppi; }
  int32_t ScreenTwipsPerPixelX() override { return 15; }
  int32_t ScreenTwipsPerPixelY() override { return 15; }
  std::unique_ptr<ClipboardPicture> StartClipboardPicture(ClipboardFormats, int32_t vw, int32_t vh,
                                                          int32_t pw, int32_t ph) override {
    class ToFile : public QtClipboardPicture {
     public:
      ToFile(FileHost& host, int vw, int vh, int32_t pw, int32_t ph)
          : QtClipboardPicture(ClipboardFormats{true, true}, vw, vh, pw, ph), host_(host) {}
      void PutOnClipboard() override {
        host_.svg = Svg();
        host_.bitmap = Bitmap();
        host_.pictureTaken = true;
      }

     private:
      FileHost& host_;
    };
    return std::make_unique<ToFile>(*this, vw, vh, pw, ph);
  }

 private:
  ScreenPicture screen_;
};

bool WriteBytes(const QByteArray& bytes, const std::string& path, std::string& error) {
  try {
    AtomicFileWriter w(path);
    w.Write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    w.Commit();
    return true;
  } catch (const std::exception&) {
    error = "cannot be written";
    return false;
  }
}

}  // namespace

void EndPlotting() {
  Application().reset();
}

bool PlotAvailable() {
  return true;
}

bool HasPainter(int32_t kind) {
  const auto painters = DefaultPainters();
  const auto p = painters.find(kind);
  return p != painters.end() && p->second;
}

bool PlotToFile(AppState& app, int32_t kind, const std::string& path, const PlotOptions& options,
                UserInterface& ui, std::string& error) {
  const std::string folder = SplitPath(path).folder;
  if (!folder.empty() && !std::filesystem::is_directory(folder)) {
    error = "its folder does not exist";
    return false;
  }
  EnsureApplication();
  app.view.GraphKind = kind;  // the graph asked for is the one shown: titles and templates follow it
  if (ChannelsToDraw(app).empty()) {
    error = "no channel to draw";
    return false;
  }
  PageGeometry page;
  try {
    page = ComputePageGeometry(app, kind, static_cast<int32_t>(ChannelsToDraw(app).size()));
  } catch (const std::exception&) {
    error = "the page does not fit the page arithmetic";
    return false;
  }
  const std::string ext = LCase(SplitPath(path).ext);
  DrawSession session;
  FileHost host;
  app.run.SwitchE = true;  // the page at the reference resolution
  if (ext == ".pdf") {
    // One page the size of the graph page with the printer's 10 mm offset on each side.
    QPdfWriter writer(QString::fromStdString(path + ".part"));
    writer.setPageSize(
        QPageSize(QSizeF(page.width / 100.0 + 20, page.height / 100.0 + 20), QPageSize::Millimeter));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(std::max(options.dpi, 300));
    writer.setCreator(QStringLiteral("sismora-cli"));
    host.pdf = &writer;
    DrawGraph(app, session, host, ui, TargetPrinter, kind, options.reportSelector);
    host.pdf = nullptr;
    QFile part(QString::fromStdString(path + ".part"));
    if (!part.exists()) {
      error = "the PDF document could not be started";
      return false;
    }
    QFile::remove(QString::fromStdString(path));
    if (!part.rename(QString::fromStdString(path))) {
      part.remove();
      error = "cannot be written";
      return false;
    }
    return true;
  }
  if (options.width > 0 && page.width > 0)
    host.ppi = std::max(1, static_cast<int32_t>(std::lround(options.width * 2540.0 / page.width)));
  else
    host.ppi = options.dpi;
  DrawGraph(app, session, host, ui, TargetClipboard, kind, options.reportSelector);
  if (!host.pictureTaken) {
    error = "nothing was drawn";
    return false;
  }
  if (ext == ".svg") return WriteBytes(host.svg, path, error);
  return WriteImageFile(host.bitmap, path, ImageFormat::Png, error);
}

}  // namespace sism::cli
